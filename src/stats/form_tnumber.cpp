#include "form_tnumber.h"

#include "components/guard.h"
#include "statlist.h"
#include "ui_form_tnumber.h"

Tform_tnumber *form_tnumber = nullptr;

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
    for (int i = 0; i < ado_tnumber1.recordCount(); ++i) {
        const QString name = ado_tnumber1.fieldText(nameColumn);
        // The row stands before it is counted: a failure leaves it without
        // its figure, and the list stops there.
        QTreeWidgetItem *row = statlist::addRow(list, name);
        const int books =
            statlist::countRows(ado_tnumber2, QStringLiteral("select * from book where book_cate=?"), {name});
        row->setText(1, QString::number(books));
        ado_tnumber1.next();
    }
    QTreeWidgetItem *all = statlist::addRow(list, QStringLiteral("全部书籍"));
    all->setText(1, QString::number(statlist::countRows(ado_tnumber2, QStringLiteral("select * from book"))));
}

void Tform_tnumber::button_okClick()
{
    accept();
}
