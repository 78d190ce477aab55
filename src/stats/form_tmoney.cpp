#include "form_tmoney.h"

#include "components/guard.h"
#include "components/messages.h"
#include "money.h"
#include "statlist.h"
#include "ui_form_tmoney.h"

#include <QStringList>

Tform_tmoney *form_tmoney = nullptr;

namespace {

// How many books the message about prices left out names one by one.
constexpr int kNamedAtMost = 20;

} // namespace

Tform_tmoney::Tform_tmoney(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::Tform_tmoney>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_tmoney"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedClientSize(227, 145);
    statlist::setup(ui->listview_tmoney, 150);
    guard::connect(ui->button_ok, &QPushButton::clicked, this, &Tform_tmoney::button_okClick);
}

Tform_tmoney::~Tform_tmoney() = default;

void Tform_tmoney::FormShow()
{
    QTreeWidget *list = ui->listview_tmoney;
    list->clear();

    money::Tally tally;
    QStringList leftOut;
    int leftOutCount = 0;
    int nameColumn = -1, valueColumn = -1;
    ado_tmoney.setCommandText(QStringLiteral("select * from book"));
    ado_tmoney.scan([&](const Dataset::Row &row) {
        if (valueColumn < 0) {
            nameColumn = row.fieldIndex(u"book_name");
            valueColumn = row.fieldIndex(u"book_value");
        }
        const QString price = row.value(valueColumn).text();
        if (tally.add(price) != money::Tally::Outcome::NotANumber)
            return;
        if (++leftOutCount <= kNamedAtMost)
            leftOut << QStringLiteral("《%1》（价格：%2）").arg(row.value(nameColumn).text(), price);
    });

    statlist::addRow(list, QStringLiteral("书籍总数"), QString::number(tally.books()));
    statlist::addRow(list, QStringLiteral("购买金额总数"), money::amountText(tally.total()));
    statlist::addRow(list, QStringLiteral("平均每本购买金额"), money::amountText(tally.average()));

    if (leftOutCount > 0) {
        QString text =
            QStringLiteral("下列书籍的价格不是数字，没有计入购买金额总数：\n") + leftOut.join(QLatin1Char('\n'));
        if (leftOutCount > kNamedAtMost)
            text += QStringLiteral("\n……等，共 %1 本").arg(leftOutCount);
        msg::plain(this, text);
    }
}

void Tform_tmoney::button_okClick()
{
    accept();
}
