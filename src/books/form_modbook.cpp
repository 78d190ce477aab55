#include "form_modbook.h"

#include "bookform.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/guard.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "store/sqlquote.h"
#include "ui_bookform.h"
#include "ui_form_modbook.h"

#include <QTimer>

Tform_modbook *form_modbook = nullptr;

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
    ado_modbook.setCommandText(QStringLiteral("select * from book where book_id=") +
                               sqlquote::checkedId(form_main->selectedBookNumber()));
    ado_modbook.open();
    if (ado_modbook.recordCount() > 0)
        return true;
    msg::plain(this, QStringLiteral("这本书已不在数据文件中，无法修改。"));
    return false;
}

void Tform_modbook::FormShow()
{
    BookForm *form = ui->bookform;
    Ui::BookForm &c = form->controls();
    c.book_reader->clearEditText();
    form->fillPickLists(ado_modbook);
    {
        ScopedClose closing(ado_modbook);
        if (!openSelectedBook()) {
            QTimer::singleShot(0, this, &QDialog::reject);
            return;
        }
        form->load(ado_modbook);
    }
    c.book_name->setFocus();
}

void Tform_modbook::book_nameChange()
{
    ui->button_add->setEnabled(!ui->bookform->controls().book_name->text().isEmpty());
}

void Tform_modbook::button_addClick()
{
    BookForm *form = ui->bookform;
    if (!form->checkInput())
        return;
    {
        ScopedClose closing(ado_modbook);
        if (!openSelectedBook())
            return;
        ado_modbook.edit();
        form->write(ado_modbook);
        ado_modbook.post();
    }
    BookListView *list = form_main->listview_main;
    const int row = list->selectedRow();
    if (row >= 0) {
        // The number stays as it is; the rest follows the controls.
        QStringList texts = form->rowTexts(list->model()->cell(row, bookrow::Number).toString());
        list->model()->setRow(row, texts);
    }
    accept();
}
