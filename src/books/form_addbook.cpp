#include "form_addbook.h"

#include "bookform.h"
#include "components/catalogueview.h"
#include "components/guard.h"
#include "components/messages.h"
#include "duplicatebook.h"
#include "ui_bookform.h"
#include "ui_form_addbook.h"

Tform_addbook *form_addbook = nullptr;

Tform_addbook::Tform_addbook(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::Tform_addbook>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_addbook"));
    setWindowTitle(QStringLiteral("添加新书籍资料"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/main/00.png")));
    setFixedClientSize(621, 443);
    ui->button_add->setIcon(QIcon(QStringLiteral(":/icons/main/00.png")));
    ui->button_close->setIcon(QIcon(QStringLiteral(":/icons/close.png")));

    BookForm *form = ui->bookform;
    Ui::BookForm &c = form->controls();
    form->enableLoanRule();
    form->enableHighlight();
    // Basic data, counterpart, summary, add, cancel, liking, loan, read.
    const QList<QWidget *> order{c.book_name,    c.book_cate,      c.book_language, c.book_author, c.book_author2,
                                 c.book_isbn,    c.book_pub,       c.book_pubd,     c.book_pages,  c.book_buya,
                                 c.book_buyd,    c.book_value,     c.book_reader,   c.book_loand,  c.book_note,
                                 ui->button_add, ui->button_close, c.book_rating1,  c.book_loan1,  c.book_readed1};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(c.book_name, &QLineEdit::textChanged, this, &Tform_addbook::book_nameChange);
    guard::connect(ui->button_add, &QPushButton::clicked, this, &Tform_addbook::button_addClick);
    connect(ui->button_close, &QPushButton::clicked, this, &QDialog::reject);
}

Tform_addbook::~Tform_addbook() = default;

void Tform_addbook::FormShow()
{
    BookForm *form = ui->bookform;
    form->emptyTexts();
    form->resetChoices();
    ui->button_add->setEnabled(false);
    form->controls().book_name->setFocus();
    form->fillPickLists(ado_addbook);
}

void Tform_addbook::book_nameChange()
{
    ui->button_add->setEnabled(!ui->bookform->controls().book_name->text().isEmpty());
}

bool Tform_addbook::addEvenIfStored(const BookForm::FieldTexts &fields)
{
    const auto text = [&](const char *column) {
        for (const BookForm::FieldText &f : fields)
            if (f.column == QLatin1String(column))
                return f.text;
        return QString();
    };
    const QString stored = duplicatebook::find(text("book_name"), text("book_author"), text("book_isbn"));
    if (stored.isEmpty())
        return true;
    return msg::question(this, QStringLiteral("数据文件中已经有这本书：\n%1\n\n仍然要添加吗？").arg(stored));
}

void Tform_addbook::button_addClick()
{
    BookForm *form = ui->bookform;
    if (!form->checkInput())
        return;
    if (!addEvenIfStored(form->fields()))
        return;
    QString id;
    {
        ScopedClose closing(ado_addbook);
        ado_addbook.setCommandText(QStringLiteral("select * from book"));
        ado_addbook.open();
        ado_addbook.append();
        form->write(ado_addbook);
        ado_addbook.post();
        id = ado_addbook.fieldByName(u"book_id");
    }
    catalogueView().bookAdded(id);
    accept();
}
