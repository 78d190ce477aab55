#include "form_bookbase.h"

#include "bookform.h"
#include "catalogue/catalogue.h"
#include "components/catalogueview.h"
#include "components/datepicker.h"
#include "components/messages.h"
#include "store/sqlquote.h"
#include "ui_bookform.h"
#include "ui_form_bookbase.h"

#include <QTimer>

BookDetailsDialog *form_bookbase = nullptr;

BookDetailsDialog::BookDetailsDialog(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::Tform_bookbase>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_bookbase"));
    setWindowTitle(QStringLiteral("查看书籍资料"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/bigbook.png")));
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setFixedClientSize(621, 443);
    ui->button_add->setIcon(QIcon(QStringLiteral(":/icons/close.png")));

    Ui::BookForm &c = ui->bookform->controls();
    const QList<QWidget *> order{c.book_name,  c.book_cate,    c.book_language, c.book_author, c.book_author2,
                                 c.book_isbn,  c.book_pub,     c.book_pubd,     c.book_pages,  c.book_buya,
                                 c.book_buyd,  c.book_value,   c.book_rating1,  c.book_loan1,  c.book_reader,
                                 c.book_loand, c.book_readed1, c.book_note,     ui->button_add};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    connect(ui->button_add, &QPushButton::clicked, this, &QDialog::accept);
}

BookDetailsDialog::~BookDetailsDialog() = default;

void BookDetailsDialog::FormShow()
{
    Ui::BookForm &c = ui->bookform->controls();
    c.book_reader->clearEditText();
    const std::optional<StoredBook> book =
        catalogue().book(sqlquote::checkedNumber(catalogueView().selectedBookNumber()));
    if (!book) {
        // Nothing of the book shown last stays in the controls.
        ui->bookform->emptyTexts();
        for (DatePicker *day : {c.book_pubd, c.book_buyd, c.book_loand})
            day->clearDate();
        msg::plain(this, QStringLiteral("这本书已不在数据文件中（可能已被其他程序删除），无法查看。"));
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    ui->bookform->load(*book);
    ui->button_add->setFocus();
}
