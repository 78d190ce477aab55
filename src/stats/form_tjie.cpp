#include "form_tjie.h"

#include "components/guard.h"
#include "statlist.h"
#include "ui_form_tjie.h"

#include <iterator>

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
    static constexpr const char16_t *kCaptions[] = {u"自己拥有的书籍", u"借入的书籍", u"已借出的书籍", u"全部书籍"};
    QTreeWidget *list = ui->listview_tjie;
    list->clear();
    // The first row stands before the books are counted: a failure leaves it
    // without its figure, and the list stops there.
    QTreeWidgetItem *first = statlist::addRow(list, QString::fromUtf16(kCaptions[0]));
    // One pass over the books; each figure counts the rows for which its
    // condition holds, the lending code compared as "where book_loan=1" does.
    ScopedClose closing(ado_tjie);
    ado_tjie.setCommandText(QStringLiteral("select count(*) filter (where book_loan=1), "
                                           "count(*) filter (where book_loan=2), "
                                           "count(*) filter (where book_loan=3), count(*) from book"));
    ado_tjie.open();
    first->setText(1, ado_tjie.fieldText(0));
    for (int i = 1; i < int(std::size(kCaptions)); ++i)
        statlist::addRow(list, QString::fromUtf16(kCaptions[i]), ado_tjie.fieldText(i));
}

void Tform_tjie::button_okClick()
{
    accept();
}
