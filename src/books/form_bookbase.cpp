#include "form_bookbase.h"

#include "bookform.h"
#include "components/datepicker.h"
#include "components/messages.h"
#include "components/catalogueview.h"
#include "store/sqlquote.h"
#include "ui_bookform.h"
#include "ui_form_bookbase.h"

#include <QTimer>

Tform_bookbase *form_bookbase = nullptr;

Tform_bookbase::Tform_bookbase(QWidget *parent)
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

Tform_bookbase::~Tform_bookbase() = default;

void Tform_bookbase::FormShow()
{
    Ui::BookForm &c = ui->bookform->controls();
    c.book_reader->clearEditText();
    {
        ScopedClose closing(ado_bookbase);
        ado_bookbase.setCommandText(QStringLiteral("select * from book where book_id=?"),
                                    {sqlquote::checkedNumber(catalogueView().selectedBookNumber())});
        ado_bookbase.open();
        if (ado_bookbase.recordCount() == 0) {
            // Nothing of the book shown last stays in the controls.
            ui->bookform->emptyTexts();
            for (DatePicker *day : {c.book_pubd, c.book_buyd, c.book_loand})
                day->clearDate();
            msg::plain(this, QStringLiteral("这本书已不在数据文件中（可能已被其他程序删除），无法查看。"));
            QTimer::singleShot(0, this, &QDialog::reject);
            return;
        }
        ui->bookform->load(ado_bookbase);
    }
    ui->button_add->setFocus();
}
