#include "form_loans.h"

#include "catalogue/bookexport.h"
#include "catalogue/catalogue.h"
#include "components/catalogueview.h"
#include "components/filedialog.h"
#include "components/guard.h"
#include "components/messages.h"
#include "store/programfolder.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QColor kWarning(255, 205, 205);
const QString kSettingsKey = QStringLiteral("loans/warnDays");
constexpr int kDefaultWarnDays = 30;
QDate g_today;

enum Column { Title, Reader, Date, Days, Category, ColumnCount };

QString shownReader(const QString &reader)
{
    return reader.isEmpty() ? QStringLiteral("（未填书友）") : reader;
}

QString daysText(const loanlist::Loan &loan)
{
    if (!loan.dateKnown())
        return QStringLiteral("日期未知");
    return loan.days < 0 ? QStringLiteral("今天之后") : QString::number(loan.days);
}

QTreeWidget *makeList(QWidget *parent, const char *name)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setHeaderLabels({QStringLiteral("书名"), QStringLiteral("书友"), QStringLiteral("日期"),
                           QStringLiteral("天数"), QStringLiteral("分类")});
    list->header()->resizeSection(Title, 260);
    list->header()->resizeSection(Reader, 110);
    list->header()->resizeSection(Date, 110);
    list->header()->resizeSection(Days, 70);
    return list;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

LoanOverviewDialog::LoanOverviewDialog(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_loans"));
    setWindowTitle(QStringLiteral("借阅一览"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/main/28.png")));
    resize(760, 620);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *readerCaption = new QLabel(QStringLiteral("书友(&R)："), this);
    m_readerFilter = new QComboBox(this);
    m_readerFilter->setObjectName(QStringLiteral("combo_reader"));
    m_readerFilter->setMinimumWidth(140);
    readerCaption->setBuddy(m_readerFilter);
    auto *daysCaption = new QLabel(QStringLiteral("借出或借入超过(&D)"), this);
    m_warnDays = new QSpinBox(this);
    m_warnDays->setObjectName(QStringLiteral("spin_days"));
    m_warnDays->setRange(1, 3650);
    daysCaption->setBuddy(m_warnDays);
    top->addWidget(readerCaption);
    top->addWidget(m_readerFilter);
    top->addStretch();
    top->addWidget(daysCaption);
    top->addWidget(m_warnDays);
    top->addWidget(new QLabel(QStringLiteral("天的书用红色标出"), this));
    layout->addLayout(top);

    m_lentOutCaption = new QLabel(this);
    m_lentOutCaption->setObjectName(QStringLiteral("label_lentout"));
    m_lentOutList = makeList(this, "listview_lentout");
    m_borrowedCaption = new QLabel(this);
    m_borrowedCaption->setObjectName(QStringLiteral("label_borrowed"));
    m_borrowedList = makeList(this, "listview_borrowed");
    layout->addWidget(m_lentOutCaption);
    layout->addWidget(m_lentOutList, 3);
    layout->addWidget(m_borrowedCaption);
    layout->addWidget(m_borrowedList, 2);
    layout->addWidget(new QLabel(QStringLiteral("按书友："), this));
    m_readerSummary = new QListWidget(this);
    m_readerSummary->setObjectName(QStringLiteral("listview_readers"));
    layout->addWidget(m_readerSummary, 1);

    auto *buttons = new QHBoxLayout;
    m_returnedButton = makeButton(this, "button_returned", QStringLiteral("已归还(&H)"));
    m_returnedButton->setToolTip(QStringLiteral("选中的书已经还回：借出的书成为自己拥有，借入的书删除"));
    m_saveCsvButton = makeButton(this, "button_savecsv", QStringLiteral("导出为CSV文件(&C)…"));
    m_closeButton = makeButton(this, "button_close", QStringLiteral("关闭"));
    m_closeButton->setIcon(QIcon(QStringLiteral(":/icons/close.png")));
    buttons->addWidget(m_returnedButton);
    buttons->addWidget(m_saveCsvButton);
    buttons->addStretch();
    buttons->addWidget(m_closeButton);
    layout->addLayout(buttons);

    m_warnDays->setValue(warnDays());
    guard::connect(m_returnedButton, &QPushButton::clicked, this, &LoanOverviewDialog::endSelectedLoan);
    guard::connect(m_saveCsvButton, &QPushButton::clicked, this, &LoanOverviewDialog::saveListsAsCsv);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_readerFilter, &QComboBox::currentIndexChanged, this, [this] { showLoans(); });
    connect(m_warnDays, &QSpinBox::valueChanged, this, [this](int days) { setWarnDays(days); });
    for (QTreeWidget *list : {m_lentOutList, m_borrowedList}) {
        connect(list, &QTreeWidget::itemSelectionChanged, this, [this, list] { keepOneSelection(list); });
        connect(list, &QTreeWidget::itemDoubleClicked, this,
                [this](QTreeWidgetItem *item) { guard::run(this, [&] { openBook(item); }); });
    }
    m_returnedButton->setEnabled(false);
}

void LoanOverviewDialog::setToday(QDate day)
{
    g_today = day;
}

QDate LoanOverviewDialog::today()
{
    return g_today.isValid() ? g_today : QDate::currentDate();
}

int LoanOverviewDialog::warnDays()
{
    return QSettings().value(kSettingsKey, kDefaultWarnDays).toInt();
}

void LoanOverviewDialog::FormShow()
{
    readLoans();
}

void LoanOverviewDialog::readLoans()
{
    m_lists = catalogue().loanLists(today());
    // The book friends of both lists; the one chosen stays chosen.
    const QString chosen = m_readerFilter->currentIndex() > 0 ? m_readerFilter->currentData().toString() : QString();
    QSignalBlocker quiet(m_readerFilter);
    m_readerFilter->clear();
    m_readerFilter->addItem(QStringLiteral("全部书友"));
    m_readerSummary->clear();
    for (const loanlist::Counterparty &c : loanlist::byCounterparty(m_lists)) {
        m_readerFilter->addItem(shownReader(c.reader), c.reader);
        m_readerSummary->addItem(loanlist::summaryLine(c));
    }
    const int at = chosen.isNull() ? -1 : m_readerFilter->findData(chosen);
    m_readerFilter->setCurrentIndex(at > 0 ? at : 0);
    showLoans();
}

void LoanOverviewDialog::showLoans()
{
    fillList(m_lentOutList, m_lentOutCaption, QStringLiteral("已借出"), m_lists.lentOut);
    fillList(m_borrowedList, m_borrowedCaption, QStringLiteral("借入"), m_lists.borrowedIn);
    m_returnedButton->setEnabled(selectedItem() != nullptr);
}

void LoanOverviewDialog::fillList(QTreeWidget *list, QLabel *caption, const QString &title,
                                  const std::vector<loanlist::Loan> &loans)
{
    const bool all = m_readerFilter->currentIndex() <= 0;
    const QString reader = m_readerFilter->currentData().toString();
    const int limit = m_warnDays->value();
    list->clear();
    QList<QTreeWidgetItem *> items;
    int overdue = 0;
    for (const loanlist::Loan &loan : loans) {
        if (!all && loan.reader != reader)
            continue;
        auto *item =
            new QTreeWidgetItem({loan.title, shownReader(loan.reader), loan.dateText, daysText(loan), loan.category});
        item->setData(Title, Qt::UserRole, loan.number);
        item->setTextAlignment(Days, Qt::AlignRight | Qt::AlignVCenter);
        if (loanlist::overdue(loan, limit)) {
            ++overdue;
            for (int c = 0; c < ColumnCount; ++c)
                item->setBackground(c, kWarning);
        }
        items << item;
    }
    list->addTopLevelItems(items);
    QString text = QStringLiteral("%1（%2 本").arg(title).arg(items.size());
    if (overdue > 0)
        text += QStringLiteral("，其中 %1 本超过 %2 天").arg(overdue).arg(limit);
    caption->setText(text + QStringLiteral("）："));
}

QTreeWidgetItem *LoanOverviewDialog::selectedItem() const
{
    for (QTreeWidget *list : {m_lentOutList, m_borrowedList}) {
        const QList<QTreeWidgetItem *> selected = list->selectedItems();
        if (!selected.isEmpty())
            return selected.first();
    }
    return nullptr;
}

void LoanOverviewDialog::keepOneSelection(QTreeWidget *list)
{
    // One selected row in both lists together.
    if (!list->selectedItems().isEmpty()) {
        QTreeWidget *other = list == m_lentOutList ? m_borrowedList : m_lentOutList;
        QSignalBlocker quiet(other);
        other->clearSelection();
    }
    m_returnedButton->setEnabled(selectedItem() != nullptr);
}

void LoanOverviewDialog::setWarnDays(int days)
{
    QSettings().setValue(kSettingsKey, days);
    showLoans();
}

void LoanOverviewDialog::endSelectedLoan()
{
    QTreeWidgetItem *item = selectedItem();
    if (!item)
        return;
    const bool lent = item->treeWidget() == m_lentOutList;
    const QString number = item->data(Title, Qt::UserRole).toString();
    const QString title = item->text(Title);
    if (!lent && !msg::questionZh(this, QStringLiteral("借入的《%1》（编号：%2）已经还给%3了吗？\n"
                                                     "还回的书将从数据文件中删除。")
                                          .arg(title, number, shownReader(item->text(Reader)))))
        return;
    const qint64 id = number.toLongLong();
    // Either way the main window follows the catalogue's signal: the row is
    // rewritten, or goes when the book is gone.
    const bool found = lent ? catalogue().returnFromLoan(id) : catalogue().removeBook(id);
    if (!found)
        msg::plain(this, QStringLiteral("编号为 %1 的书籍已不在数据文件中。").arg(number));
    readLoans();
}

void LoanOverviewDialog::openBook(QTreeWidgetItem *item)
{
    if (!item)
        return;
    catalogueView().openBook(item->data(Title, Qt::UserRole).toString());
    readLoans();
}

void LoanOverviewDialog::saveListsAsCsv()
{
    filedialog::Options box;
    box.defaultSuffix = QStringLiteral("csv");
    box.filter = QStringLiteral("CSV文件 (*.csv)");
    box.proposedName = QStringLiteral("借阅一览.csv");
    const QString chosen = filedialog::saveFileName(this, box);
    programfolder::enter();
    if (chosen.isEmpty())
        return;
    // The books as listed (lent out, then borrowed in, as filtered), in the
    // main export's columns, so that the file reads back as the same books;
    // the days as shown after them, which an import leaves aside.
    std::vector<bookexport::ListedBook> books;
    for (QTreeWidget *list : {m_lentOutList, m_borrowedList}) {
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = list->topLevelItem(i);
            books.push_back({item->data(Title, Qt::UserRole).toString().toLongLong(), {item->text(Days)}});
        }
    }
    const qint64 rows =
        catalogue().exportListedBooks(QFileInfo(chosen).absoluteFilePath(), books, {QStringLiteral("天数")});
    msg::plain(this, QStringLiteral("已把 %1 本书写入“%2”。").arg(rows).arg(QFileInfo(chosen).fileName()));
}
