#include "form_tmoney.h"

#include "catalogue/money.h"
#include "components/guard.h"
#include "components/messages.h"
#include "statlist.h"
#include "ui_form_tmoney.h"

#include <QByteArray>
#include <QStringList>

#include <algorithm>
#include <vector>

Tform_tmoney *form_tmoney = nullptr;

namespace {

// How many books the message about prices left out names one by one.
constexpr int kNamedAtMost = 20;

// A stored price that is no number.
struct LeftOut
{
    QByteArray bytes; // as the file holds it: a text's UTF-8, a blob's bytes
    qint64 firstBook; // the lowest book_id that has it
};

// The first books, in the order of the file (book_id), whose price is one of
// those left out: "《title》（价格：price）", at most kNamedAtMost and at most
// books of them.
QStringList namedBooks(Dataset &dataset, std::vector<LeftOut> &prices, qint64 books)
{
    if (prices.empty())
        return {};
    // Every price's first book is itself left out, and no two prices share
    // one: so at most kNamedAtMost prices have their first book among the
    // first kNamedAtMost books left out, and only those prices have any book
    // there. The kNamedAtMost prices met first are all that need looking for.
    std::sort(prices.begin(), prices.end(),
              [](const LeftOut &a, const LeftOut &b) { return a.firstBook < b.firstBook; });
    if (prices.size() > size_t(kNamedAtMost))
        prices.resize(size_t(kNamedAtMost));
    // A price is looked for by the hex digits of its bytes (the file keeps
    // its texts in UTF-8, the bytes read): a blob, or a text that is no valid
    // UTF-8, would not come back the same through a QString bound as text.
    QString marks;
    QVariantList values{prices.front().firstBook};
    for (const LeftOut &price : prices) {
        marks += marks.isEmpty() ? QStringLiteral("?") : QStringLiteral(", ?");
        values << QString::fromLatin1(price.bytes.toHex().toUpper());
    }
    values << std::min<qint64>(kNamedAtMost, books);
    dataset.setCommandText(QStringLiteral("select book_name, book_value from book where book_id >= ? and "
                                          "hex(book_value) in (%1) order by book_id limit ?")
                               .arg(marks),
                           values);
    QStringList named;
    dataset.scan([&named](const Dataset::Row &row) {
        named << QStringLiteral("《%1》（价格：%2）").arg(row.value(0).text(), row.value(1).text());
    });
    return named;
}

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

    // One group for each stored price, its text tallied for as many books as
    // have it; the sum is exact, so the order does not matter. The column's
    // TEXT affinity keeps no numbers, and the groups are made by its
    // collation, BINARY: the values of a group are of one kind (no value, a
    // text or a blob) with the same bytes, so they all have the same text.
    money::Tally tally;
    std::vector<LeftOut> leftOut;
    qint64 leftOutCount = 0;
    ado_tmoney.setCommandText(
        QStringLiteral("select book_value, count(*), min(book_id) from book group by book_value"));
    ado_tmoney.scan([&](const Dataset::Row &row) {
        const Dataset::Value price = row.value(0);
        const qint64 books = row.value(1).integer;
        if (tally.add(price.text(), books) != money::Tally::Outcome::NotANumber)
            return;
        leftOutCount += books;
        leftOut.push_back({price.textBytes().toByteArray(), row.value(2).integer});
    });
    const QStringList named = namedBooks(ado_tmoney, leftOut, leftOutCount);

    statlist::addRow(list, QStringLiteral("书籍总数"), QString::number(tally.books()));
    statlist::addRow(list, QStringLiteral("购买金额总数"), money::amountText(tally.total()));
    statlist::addRow(list, QStringLiteral("平均每本购买金额"), money::amountText(tally.average()));

    if (leftOutCount > 0) {
        QString text =
            QStringLiteral("下列书籍的价格不是数字，没有计入购买金额总数：\n") + named.join(QLatin1Char('\n'));
        if (leftOutCount > kNamedAtMost)
            text += QStringLiteral("\n……等，共 %1 本").arg(leftOutCount);
        msg::plain(this, text);
    }
}

void Tform_tmoney::button_okClick()
{
    accept();
}
