#include "form_tnumber.h"

#include "catalogue/catalogue.h"
#include "statlist.h"
#include "ui_form_tnumber.h"

#include <optional>

CountStatisticsDialog *form_tnumber = nullptr;

CountStatisticsDialog::CountStatisticsDialog(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::CountStatisticsDialog>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_tnumber"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedClientSize(191, 291);
    statlist::setup(ui->listview_tnumber, 115);
    connect(ui->button_ok, &QPushButton::clicked, this, &QDialog::accept);
}

CountStatisticsDialog::~CountStatisticsDialog() = default;

void CountStatisticsDialog::FormShow()
{
    showCounts();
}

void CountStatisticsDialog::showCounts()
{
    QTreeWidget *list = ui->listview_tnumber;
    list->clear();
    const QStringList names = catalogue().categoryNames();
    // The first row stands before the books are counted: a failure leaves it
    // without its figure, and the list stops there.
    std::optional<figures::CategoryBooks> counts;
    const auto counted = [&]() -> const figures::CategoryBooks & {
        if (!counts)
            counts = catalogue().categoryBooks();
        return *counts;
    };
    for (const QString &name : names) {
        QTreeWidgetItem *row = statlist::addRow(list, name);
        row->setText(1, QString::number(counted().of(name)));
    }
    QTreeWidgetItem *all = statlist::addRow(list, QStringLiteral("全部书籍"));
    all->setText(1, QString::number(counted().all));
}
