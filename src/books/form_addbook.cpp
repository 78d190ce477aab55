#include "form_addbook.h"

#include "bookform.h"
#include "catalogue/catalogue.h"
#include "components/datepicker.h"
#include "components/guard.h"
#include "components/messages.h"
#include "ui_bookform.h"
#include "ui_form_addbook.h"

AddBookDialog *form_addbook = nullptr;

AddBookDialog::AddBookDialog(QWidget *parent)
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

    connect(c.book_name, &QLineEdit::textChanged, this, &AddBookDialog::enableAdd);
    // A book borrowed or lent now is dated today, unless a day is there.
    for (QRadioButton *button : {c.book_loan2, c.book_loan3})
        connect(button, &QRadioButton::toggled, this, [loand = c.book_loand](bool checked) {
            if (checked && !loand->hasDate())
                loand->setDay(QDate::currentDate());
        });
    guard::connect(ui->button_add, &QPushButton::clicked, this, &AddBookDialog::addBook);
    connect(ui->button_close, &QPushButton::clicked, this, &QDialog::reject);
}

AddBookDialog::~AddBookDialog() = default;

void AddBookDialog::FormShow()
{
    BookForm *form = ui->bookform;
    form->emptyTexts();
    form->resetChoices();
    ui->button_add->setEnabled(false);
    form->controls().book_name->setFocus();
    form->fillPickLists(catalogue());
}

void AddBookDialog::enableAdd()
{
    ui->button_add->setEnabled(!ui->bookform->controls().book_name->text().isEmpty());
}

bool AddBookDialog::addEvenIfStored(const BookFields &fields)
{
    const auto text = [&](const char *column) {
        for (const BookField &f : fields)
            if (f.column == QLatin1String(column))
                return f.text;
        return QString();
    };
    const std::optional<storedalready::Match> stored =
        catalogue().storedAlready(text("book_name"), text("book_author"), text("book_isbn"));
    if (!stored)
        return true;
    return msg::questionZh(this, QStringLiteral("数据文件中已经有这本书：\n%1\n\n仍然要添加吗？").arg(stored->described()),
                           msg::Preset::No);
}

void AddBookDialog::addBook()
{
    BookForm *form = ui->bookform;
    if (!form->checkInput())
        return;
    const BookFields fields = form->fields();
    if (!addEvenIfStored(fields))
        return;
    catalogue().addBook(fields);
    accept();
}
