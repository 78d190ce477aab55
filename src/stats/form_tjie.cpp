#include "form_tjie.h"

#include "components/guard.h"
#include "statlist.h"
#include "ui_form_tjie.h"

Tform_tjie *form_tjie = nullptr;

Tform_tjie::Tform_tjie(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::Tform_tjie>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_tjie"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Resizable; the client area of an outer size of 231 x 189.
    resize(223, 162);
    statlist::setup(ui->listview_tjie, 150);
    guard::connect(ui->button_ok, &QPushButton::clicked, this, &Tform_tjie::button_okClick);
}

Tform_tjie::~Tform_tjie() = default;

void Tform_tjie::FormShow()
{
    static constexpr struct
    {
        const char16_t *caption;
        const char16_t *command;
    } kRows[] = {
        {u"自己拥有的书籍", u"select * from book where book_loan=1"},
        {u"借入的书籍", u"select * from book where book_loan=2"},
        {u"已借出的书籍", u"select * from book where book_loan=3"},
        {u"全部书籍", u"select * from book"},
    };
    QTreeWidget *list = ui->listview_tjie;
    list->clear();
    for (const auto &r : kRows) {
        QTreeWidgetItem *row = statlist::addRow(list, QString::fromUtf16(r.caption));
        row->setText(1, QString::number(statlist::countRows(ado_tjie, QString::fromUtf16(r.command))));
    }
}

void Tform_tjie::button_okClick()
{
    accept();
}
