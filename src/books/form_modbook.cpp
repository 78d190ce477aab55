#include "form_modbook.h"

#include "bookform.h"
#include "components/catalogueview.h"
#include "components/guard.h"
#include "components/messages.h"
#include "store/bookfields.h"
#include "store/sqlquote.h"
#include "store/transaction.h"
#include "ui_bookform.h"
#include "ui_form_modbook.h"

#include <QTimer>

Tform_modbook *form_modbook = nullptr;

namespace {

const QString kGone = QStringLiteral("这本书已不在数据文件中（可能已被其他程序删除），无法修改。");

} // namespace

Tform_modbook::Tform_modbook(QWidget *parent)
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

    connect(c.book_name, &QLineEdit::textChanged, this, &Tform_modbook::book_nameChange);
    guard::connect(ui->button_add, &QPushButton::clicked, this, &Tform_modbook::button_addClick);
    connect(ui->button_close, &QPushButton::clicked, this, &QDialog::reject);
}

Tform_modbook::~Tform_modbook() = default;

bool Tform_modbook::openSelectedBook()
{
    ado_modbook.setCommandText(QStringLiteral("select * from book where book_id=?"),
                               {sqlquote::checkedNumber(catalogueView().selectedBookNumber())});
    ado_modbook.open();
    return ado_modbook.recordCount() > 0;
}

void Tform_modbook::FormShow()
{
    BookForm *form = ui->bookform;
    Ui::BookForm &c = form->controls();
    c.book_reader->clearEditText();
    m_loaded.clear();
    m_columns.clear();
    m_shown.clear();
    form->fillPickLists(ado_modbook);
    {
        ScopedClose closing(ado_modbook);
        if (!openSelectedBook()) {
            msg::plain(this, kGone);
            QTimer::singleShot(0, this, &QDialog::reject);
            return;
        }
        form->load(ado_modbook);
        m_loaded = storedRecord(ado_modbook);
        for (int column = 0; column < ado_modbook.fieldCount(); ++column)
            m_columns << ado_modbook.fieldName(column);
    }
    m_shown = form->fields();
    c.book_name->setFocus();
}

void Tform_modbook::book_nameChange()
{
    ui->button_add->setEnabled(!ui->bookform->controls().book_name->text().isEmpty());
}

Tform_modbook::Outcome Tform_modbook::writeIfUnchanged(const StoredRecord &expected,
                                                       const BookForm::FieldTexts &changed, StoredRecord &current)
{
    Transaction whole(ado_modbook);
    ScopedClose closing(ado_modbook);
    if (!openSelectedBook())
        return Outcome::Gone;
    current = storedRecord(ado_modbook);
    // Nothing of the user's to write: whatever another program stored stays.
    if (current != expected && !changed.isEmpty())
        return Outcome::ChangedMeanwhile;
    if (!changed.isEmpty()) {
        ado_modbook.edit();
        BookForm::write(ado_modbook, changed);
        ado_modbook.post();
    }
    whole.commit();
    return Outcome::Written;
}

QString Tform_modbook::changedMeanwhile(const StoredRecord &before, const StoredRecord &now) const
{
    const auto shown = [](const QString &column, const StoredValue &value) {
        QString text = bookfields::shownText(column, value.toText());
        text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (text.size() > 40)
            text = text.left(40) + QStringLiteral("…");
        return value.type == Dataset::Value::Null || text.isEmpty() ? QStringLiteral("（空）")
                                                                    : QStringLiteral("“%1”").arg(text);
    };
    QString changes;
    for (size_t i = 0; i < now.size() && i < before.size() && i < size_t(m_columns.size()); ++i) {
        if (now[i] == before[i])
            continue;
        const QString &column = m_columns[qsizetype(i)];
        changes += QStringLiteral("    %1：%2 → %3\n")
                       .arg(bookfields::caption(column), shown(column, before[i]), shown(column, now[i]));
    }
    return QStringLiteral("打开这个修改窗口以后，这本书已被其他程序改动：\n\n%1\n"
                          "选“Yes”：写入你在本窗口中改动过的项目，其余项目保留其他程序的改动。\n"
                          "选“No”：不写入任何内容。\n\n要写入你的修改吗？")
        .arg(changes);
}

void Tform_modbook::button_addClick()
{
    BookForm *form = ui->bookform;
    if (!form->checkInput(m_shown))
        return;
    // Only what the user changed is written: a field left alone keeps what
    // is stored, also a value the dialog cannot show (a date another
    // program wrote in a form of its own).
    BookForm::FieldTexts changed;
    for (const BookForm::FieldText &field : form->fields())
        if (!m_shown.contains(field))
            changed.append(field);

    const QString number = catalogueView().selectedBookNumber();
    StoredRecord expected = m_loaded;
    for (;;) {
        StoredRecord current;
        const Outcome outcome = writeIfUnchanged(expected, changed, current);
        if (outcome == Outcome::Written)
            break;
        if (outcome == Outcome::Gone) {
            msg::plain(this, kGone);
            reject();
            return;
        }
        // Asked outside the transaction, so that the other program is not
        // kept waiting; what the user agreed to is checked again.
        if (!msg::question(this, changedMeanwhile(m_loaded, current)))
            return;
        expected = current;
    }
    // The row shows the book as stored, as a refill of the list would.
    catalogueView().bookChanged(number);
    accept();
}
