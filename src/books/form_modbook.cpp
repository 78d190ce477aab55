#include "form_modbook.h"

#include "bookform.h"
#include "catalogue/catalogue.h"
#include "components/catalogueview.h"
#include "components/guard.h"
#include "components/messages.h"
#include "store/bookfields.h"
#include "store/sqlquote.h"
#include "ui_bookform.h"
#include "ui_form_modbook.h"

#include <QTimer>

ChangeBookDialog *form_modbook = nullptr;

namespace {

const QString kGone = QStringLiteral("这本书已不在数据文件中（可能已被其他程序删除），无法修改。");

} // namespace

ChangeBookDialog::ChangeBookDialog(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::Tform_modbook>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_modbook"));
    setWindowTitle(QStringLiteral("修改书籍资料"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/main/01.png")));
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setFixedClientSize(605, 443);
    ui->button_add->setIcon(QIcon(QStringLiteral(":/icons/main/01.png")));
    ui->button_close->setIcon(QIcon(QStringLiteral(":/icons/close.png")));

    BookForm *form = ui->bookform;
    Ui::BookForm &c = form->controls();
    c.groupbox_base->setGeometry(10, 16, 585, 145);
    c.groupbox_rating->setGeometry(10, 168, 585, 41);
    c.groupbox_loan->setGeometry(8, 216, 225, 41);
    c.groupbox_reader->setGeometry(8, 264, 225, 73);
    c.groupbox_readed->setGeometry(8, 344, 225, 41);
    c.groupbox_note->setGeometry(250, 216, 345, 169);
    form->enableLoanRule();
    form->enableHighlight();
    // Top to bottom: basic data, liking, loan, counterpart, read, summary.
    const QList<QWidget *> order{c.book_name,  c.book_cate,    c.book_language, c.book_author,  c.book_author2,
                                 c.book_isbn,  c.book_pub,     c.book_pubd,     c.book_pages,   c.book_buya,
                                 c.book_buyd,  c.book_value,   c.book_rating1,  c.book_loan1,   c.book_reader,
                                 c.book_loand, c.book_readed1, c.book_note,     ui->button_add, ui->button_close};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(c.book_name, &QLineEdit::textChanged, this, &ChangeBookDialog::enableSave);
    guard::connect(ui->button_add, &QPushButton::clicked, this, &ChangeBookDialog::saveChanges);
    connect(ui->button_close, &QPushButton::clicked, this, &QDialog::reject);
}

ChangeBookDialog::~ChangeBookDialog() = default;

void ChangeBookDialog::FormShow()
{
    BookForm *form = ui->bookform;
    Ui::BookForm &c = form->controls();
    c.book_reader->clearEditText();
    m_loaded = StoredBook();
    m_shown.clear();
    form->fillPickLists(catalogue());
    const std::optional<StoredBook> book =
        catalogue().book(sqlquote::checkedNumber(catalogueView().selectedBookNumber()));
    if (!book) {
        msg::plain(this, kGone);
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    form->load(*book);
    m_loaded = *book;
    m_shown = form->fields();
    c.book_name->setFocus();
}

void ChangeBookDialog::enableSave()
{
    ui->button_add->setEnabled(!ui->bookform->controls().book_name->text().isEmpty());
}

QString ChangeBookDialog::changedMeanwhile(const StoredBook &before, const StoredBook &now) const
{
    const auto shown = [](const QString &column, const StoredValue &value) {
        QString text = bookfields::shownText(column, value.toText());
        text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (text.size() > 40)
            text = text.left(40) + QStringLiteral("…");
        return value.type == FieldValue::Null || text.isEmpty() ? QStringLiteral("（空）")
                                                                : QStringLiteral("“%1”").arg(text);
    };
    QString changes;
    for (size_t i = 0; i < now.values.size() && i < before.values.size() && i < size_t(now.columns.size()); ++i) {
        if (now.values[i] == before.values[i])
            continue;
        const QString &column = now.columns[qsizetype(i)];
        changes += QStringLiteral("    %1：%2 → %3\n")
                       .arg(bookfields::caption(column), shown(column, before.values[i]), shown(column, now.values[i]));
    }
    return QStringLiteral("打开这个修改窗口以后，这本书已被其他程序改动：\n\n%1\n"
                          "选“是”：写入你在本窗口中改动过的项目，其余项目保留其他程序的改动。\n"
                          "选“否”：不写入任何内容。\n\n要写入你的修改吗？")
        .arg(changes);
}

void ChangeBookDialog::saveChanges()
{
    BookForm *form = ui->bookform;
    if (!form->checkInput(m_shown))
        return;
    // Only what the user changed is written: a field left alone keeps what
    // is stored, also a value the dialog cannot show (a date another
    // program wrote in a form of its own).
    BookFields changed;
    for (const BookField &field : form->fields())
        if (!m_shown.contains(field))
            changed.append(field);

    StoredBook expected = m_loaded;
    for (;;) {
        StoredBook current;
        const Catalogue::Change outcome = catalogue().changeBook(expected, changed, current);
        if (outcome == Catalogue::Change::Written)
            break;
        if (outcome == Catalogue::Change::Gone) {
            msg::plain(this, kGone);
            reject();
            return;
        }
        // Asked outside the transaction, so that the other program is not
        // kept waiting; what the user agreed to is checked again.
        if (!msg::questionZh(this, changedMeanwhile(m_loaded, current)))
            return;
        expected = current;
    }
    accept();
}
