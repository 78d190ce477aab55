#include "form_tjie.h"

#include "catalogue/catalogue.h"
#include "statlist.h"
#include "ui_form_tjie.h"

LoanStatisticsDialog *form_tjie = nullptr;

LoanStatisticsDialog::LoanStatisticsDialog(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::LoanStatisticsDialog>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_tjie"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Resizable; the client area of an outer size of 231 x 189.
    resize(223, 162);
    statlist::setup(ui->listview_tjie, 150);
    connect(ui->button_ok, &QPushButton::clicked, this, &QDialog::accept);
}

LoanStatisticsDialog::~LoanStatisticsDialog() = default;

void LoanStatisticsDialog::FormShow()
{
    showCounts();
}

void LoanStatisticsDialog::showCounts()
{
    QTreeWidget *list = ui->listview_tjie;
    list->clear();
    // The first row stands before the books are counted: a failure leaves it
    // without its figure, and the list stops there.
    QTreeWidgetItem *own = statlist::addRow(list, QStringLiteral("自己拥有的书籍"));
    const figures::LoanCounts counts = catalogue().loanCounts();
    own->setText(1, QString::number(counts.own));
    statlist::addRow(list, QStringLiteral("借入的书籍"), QString::number(counts.borrowedIn));
    statlist::addRow(list, QStringLiteral("已借出的书籍"), QString::number(counts.lentOut));
    statlist::addRow(list, QStringLiteral("全部书籍"), QString::number(counts.all));
}
