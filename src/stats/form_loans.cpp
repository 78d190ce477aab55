#include "form_loans.h"

#include "catalogue/bookexport.h"
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

Tform_loans::Tform_loans(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_loans"));
    setWindowTitle(QStringLiteral("借阅一览"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/main/28.png")));
    resize(760, 620);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *readerCaption = new QLabel(QStringLiteral("书友(&R)："), this);
    combo_reader = new QComboBox(this);
    combo_reader->setObjectName(QStringLiteral("combo_reader"));
    combo_reader->setMinimumWidth(140);
    readerCaption->setBuddy(combo_reader);
    auto *daysCaption = new QLabel(QStringLiteral("借出或借入超过(&D)"), this);
    spin_days = new QSpinBox(this);
    spin_days->setObjectName(QStringLiteral("spin_days"));
    spin_days->setRange(1, 3650);
    daysCaption->setBuddy(spin_days);
    top->addWidget(readerCaption);
    top->addWidget(combo_reader);
    top->addStretch();
    top->addWidget(daysCaption);
    top->addWidget(spin_days);
    top->addWidget(new QLabel(QStringLiteral("天的书用红色标出"), this));
    layout->addLayout(top);

    label_lentout = new QLabel(this);
    label_lentout->setObjectName(QStringLiteral("label_lentout"));
    listview_lentout = makeList(this, "listview_lentout");
    label_borrowed = new QLabel(this);
    label_borrowed->setObjectName(QStringLiteral("label_borrowed"));
    listview_borrowed = makeList(this, "listview_borrowed");
    layout->addWidget(label_lentout);
    layout->addWidget(listview_lentout, 3);
    layout->addWidget(label_borrowed);
    layout->addWidget(listview_borrowed, 2);
    layout->addWidget(new QLabel(QStringLiteral("按书友："), this));
    listview_readers = new QListWidget(this);
    listview_readers->setObjectName(QStringLiteral("listview_readers"));
    layout->addWidget(listview_readers, 1);

    auto *buttons = new QHBoxLayout;
    button_returned = makeButton(this, "button_returned", QStringLiteral("已归还(&H)"));
    button_returned->setToolTip(QStringLiteral("选中的书已经还回：借出的书成为自己拥有，借入的书删除"));
    button_savecsv = makeButton(this, "button_savecsv", QStringLiteral("导出为CSV文件(&C)…"));
    button_close = makeButton(this, "button_close", QStringLiteral("关闭"));
    button_close->setIcon(QIcon(QStringLiteral(":/icons/close.png")));
    buttons->addWidget(button_returned);
    buttons->addWidget(button_savecsv);
    buttons->addStretch();
    buttons->addWidget(button_close);
    layout->addLayout(buttons);

    spin_days->setValue(warnDays());
    guard::connect(button_returned, &QPushButton::clicked, this, &Tform_loans::button_returnedClick);
    guard::connect(button_savecsv, &QPushButton::clicked, this, &Tform_loans::button_savecsvClick);
    connect(button_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(combo_reader, &QComboBox::currentIndexChanged, this, [this] { showLoans(); });
    connect(spin_days, &QSpinBox::valueChanged, this, [this](int days) { spin_daysChange(days); });
    for (QTreeWidget *list : {listview_lentout, listview_borrowed}) {
        connect(list, &QTreeWidget::itemSelectionChanged, this, [this, list] { selectionChanged(list); });
        connect(list, &QTreeWidget::itemDoubleClicked, this,
                [this](QTreeWidgetItem *item) { guard::run(this, [&] { listDblClick(item); }); });
    }
    button_returned->setEnabled(false);
}

void Tform_loans::setToday(QDate day)
{
    g_today = day;
}

QDate Tform_loans::today()
{
    return g_today.isValid() ? g_today : QDate::currentDate();
}

int Tform_loans::warnDays()
{
    return QSettings().value(kSettingsKey, kDefaultWarnDays).toInt();
}

void Tform_loans::FormShow()
{
    readLoans();
}

void Tform_loans::readLoans()
{
    m_lists = loanlist::read(ado_loans, today());
    // The book friends of both lists; the one chosen stays chosen.
    const QString chosen = combo_reader->currentIndex() > 0 ? combo_reader->currentData().toString() : QString();
    QSignalBlocker quiet(combo_reader);
    combo_reader->clear();
    combo_reader->addItem(QStringLiteral("全部书友"));
    listview_readers->clear();
    for (const loanlist::Counterparty &c : loanlist::byCounterparty(m_lists)) {
        combo_reader->addItem(shownReader(c.reader), c.reader);
        listview_readers->addItem(loanlist::summaryLine(c));
    }
    const int at = chosen.isNull() ? -1 : combo_reader->findData(chosen);
    combo_reader->setCurrentIndex(at > 0 ? at : 0);
    showLoans();
}

void Tform_loans::showLoans()
{
    fillList(listview_lentout, label_lentout, QStringLiteral("已借出"), m_lists.lentOut);
    fillList(listview_borrowed, label_borrowed, QStringLiteral("借入"), m_lists.borrowedIn);
    button_returned->setEnabled(selectedItem() != nullptr);
}

void Tform_loans::fillList(QTreeWidget *list, QLabel *caption, const QString &title,
                           const std::vector<loanlist::Loan> &loans)
{
    const bool all = combo_reader->currentIndex() <= 0;
    const QString reader = combo_reader->currentData().toString();
    const int limit = spin_days->value();
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

QTreeWidgetItem *Tform_loans::selectedItem() const
{
    for (QTreeWidget *list : {listview_lentout, listview_borrowed}) {
        const QList<QTreeWidgetItem *> selected = list->selectedItems();
        if (!selected.isEmpty())
            return selected.first();
    }
    return nullptr;
}

void Tform_loans::selectionChanged(QTreeWidget *list)
{
    // One selected row in both lists together.
    if (!list->selectedItems().isEmpty()) {
        QTreeWidget *other = list == listview_lentout ? listview_borrowed : listview_lentout;
        QSignalBlocker quiet(other);
        other->clearSelection();
    }
    button_returned->setEnabled(selectedItem() != nullptr);
}

void Tform_loans::spin_daysChange(int days)
{
    QSettings().setValue(kSettingsKey, days);
    showLoans();
}

void Tform_loans::button_returnedClick()
{
    QTreeWidgetItem *item = selectedItem();
    if (!item)
        return;
    const bool lent = item->treeWidget() == listview_lentout;
    const QString number = item->data(Title, Qt::UserRole).toString();
    const QString title = item->text(Title);
    if (!lent && !msg::question(this, QStringLiteral("借入的《%1》（编号：%2）已经还给%3了吗？\n"
                                                     "还回的书将从数据文件中删除。")
                                          .arg(title, number, shownReader(item->text(Reader)))))
        return;
    {
        ScopedClose closing(ado_loans);
        ado_loans.setCommandText(QStringLiteral("select * from book where book_id = ?"), {number.toLongLong()});
        ado_loans.open();
        if (ado_loans.recordCount() == 0) {
            msg::plain(this, QStringLiteral("编号为 %1 的书籍已不在数据文件中。").arg(number));
        } else if (lent) {
            // The one field that makes the book the user's own again.
            ado_loans.edit();
            ado_loans.setFieldByName(u"book_loan", QStringLiteral("1"));
            ado_loans.post();
        } else {
            ado_loans.deleteRecord();
        }
    }
    if (lent)
        catalogueView().bookStored(number);
    else
        catalogueView().bookDeleted(number);
    readLoans();
}

void Tform_loans::listDblClick(QTreeWidgetItem *item)
{
    if (!item)
        return;
    catalogueView().openBook(item->data(Title, Qt::UserRole).toString());
    readLoans();
}

void Tform_loans::button_savecsvClick()
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
    for (QTreeWidget *list : {listview_lentout, listview_borrowed}) {
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = list->topLevelItem(i);
            books.push_back({item->data(Title, Qt::UserRole).toString().toLongLong(), {item->text(Days)}});
        }
    }
    const qint64 rows = bookexport::writeListed(programfolder::dataFile(), QFileInfo(chosen).absoluteFilePath(), books,
                                                {QStringLiteral("天数")});
    msg::plain(this, QStringLiteral("已把 %1 本书写入“%2”。").arg(rows).arg(QFileInfo(chosen).fileName()));
}
