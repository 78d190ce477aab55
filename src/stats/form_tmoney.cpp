#include "form_tmoney.h"

#include "catalogue/catalogue.h"
#include "components/messages.h"
#include "statlist.h"
#include "ui_form_tmoney.h"

MoneyStatisticsDialog *form_tmoney = nullptr;

MoneyStatisticsDialog::MoneyStatisticsDialog(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::MoneyStatisticsDialog>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_tmoney"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedClientSize(227, 145);
    statlist::setup(ui->listview_tmoney, 150);
    connect(ui->button_ok, &QPushButton::clicked, this, &QDialog::accept);
}

MoneyStatisticsDialog::~MoneyStatisticsDialog() = default;

void MoneyStatisticsDialog::FormShow()
{
    showMoney();
}

void MoneyStatisticsDialog::showMoney()
{
    QTreeWidget *list = ui->listview_tmoney;
    list->clear();
    const figures::Money bought = catalogue().purchaseMoney();
    statlist::addRow(list, QStringLiteral("书籍总数"), QString::number(bought.tally.books()));
    statlist::addRow(list, QStringLiteral("购买金额总数"), money::amountText(bought.tally.total()));
    statlist::addRow(list, QStringLiteral("平均每本购买金额"), money::amountText(bought.tally.average()));

    if (bought.leftOut > 0) {
        QString text =
            QStringLiteral("下列书籍的价格不是数字，没有计入购买金额总数：\n") + bought.named.join(QLatin1Char('\n'));
        if (bought.leftOut > figures::kNamedAtMost)
            text += QStringLiteral("\n……等，共 %1 本").arg(bought.leftOut);
        msg::plain(this, text);
    }
}
