#include "form_tnumber.h"

#include "components/guard.h"
#include "statlist.h"
#include "ui_form_tnumber.h"

#include <QByteArray>
#include <QHash>

#include <optional>

Tform_tnumber *form_tnumber = nullptr;

namespace {

// The books of each stored category text, and of all, counted in one pass.
struct BookCounts
{
    QHash<QByteArray, qint64> byText; // a text's UTF-8 bytes: its books
    qint64 all = 0;

    // The books for which book_cate = name, the name bound as text.
    qint64 of(const QString &name) const { return byText.value(name.toUtf8()); }
};

// One walk over the category index, a group for each stored value. A book
// counts for a category when book_cate = name holds, the name bound as a text:
// the column compares by its collation, BINARY, which is also what groups the
// rows, so that holds exactly for the texts of the same bytes (case, blanks,
// a zero character and all). No value and a blob never equal a text (nor
// would a number, which the column's TEXT affinity does not keep): their
// books count among all books only.
BookCounts countBooks(Dataset &books)
{
    BookCounts counts;
    books.setCommandText(
        QStringLiteral("select book_cate, count(*), typeof(book_cate) = 'text' from book group by book_cate"));
    books.scan([&counts](const Dataset::Row &row) {
        const qint64 n = row.value(1).integer;
        counts.all += n;
        if (row.value(2).integer != 0)
            counts.byText.insert(row.value(0).textBytes().toByteArray(), n);
    });
    return counts;
}

} // namespace

Tform_tnumber::Tform_tnumber(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::Tform_tnumber>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_tnumber"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedClientSize(191, 291);
    statlist::setup(ui->listview_tnumber, 115);
    guard::connect(ui->button_ok, &QPushButton::clicked, this, &Tform_tnumber::button_okClick);
}

Tform_tnumber::~Tform_tnumber() = default;

void Tform_tnumber::FormShow()
{
    QTreeWidget *list = ui->listview_tnumber;
    list->clear();
    ScopedClose closing(ado_tnumber1);
    ado_tnumber1.setCommandText(QStringLiteral("select * from category"));
    ado_tnumber1.open();
    const int nameColumn = ado_tnumber1.fieldIndex(u"cate_name");
    // The first row stands before the books are counted: a failure leaves it
    // without its figure, and the list stops there.
    std::optional<BookCounts> counts;
    const auto counted = [&]() -> const BookCounts & {
        if (!counts)
            counts = countBooks(ado_tnumber2);
        return *counts;
    };
    for (int i = 0; i < ado_tnumber1.recordCount(); ++i) {
        const QString name = ado_tnumber1.fieldText(nameColumn);
        QTreeWidgetItem *row = statlist::addRow(list, name);
        row->setText(1, QString::number(counted().of(name)));
        ado_tnumber1.next();
    }
    QTreeWidgetItem *all = statlist::addRow(list, QStringLiteral("全部书籍"));
    all->setText(1, QString::number(counted().all));
}

void Tform_tnumber::button_okClick()
{
    accept();
}
