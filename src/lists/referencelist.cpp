#include "referencelist.h"

#include "components/guard.h"
#include "components/lineinput.h"
#include "components/messages.h"
#include "components/pictures.h"
#include "store/textorder.h"
#include "ui_referencelist.h"

#include <QHeaderView>
#include <QStyle>

#include <algorithm>
#include <vector>

// What differs between the three lists.
struct ReferenceTexts
{
    Catalogue::NameList list;
    const char *objectName;
    const char16_t *caption;
    const char16_t *header;
    const char16_t *noSelection;
    const char16_t *question;
    int picture; // the picture of the main window's command that opens the list
};

namespace {

const ReferenceTexts kLists[] = {
    {Catalogue::NameList::Publishers, "form_pub", u"出版社", u"出版社", u"请选择一个需要删除的出版社...",
     u"确定删除这个出版社么?", 8},
    {Catalogue::NameList::Authors, "form_author", u"作者库", u"作者", u"请选择一个需要删除的作者......",
     u"确定删除这个作者么?", 6},
    {Catalogue::NameList::Readers, "form_reader", u"书友", u"书友", u"请选择一个需要删除的书友......",
     u"确定删除这个书友么?", 7},
};

const ReferenceTexts &textsOf(Catalogue::NameList list)
{
    for (const ReferenceTexts &texts : kLists)
        if (texts.list == list)
            return texts;
    return kLists[0];
}

// Where a row keeps its number, beside the number's text.
constexpr int kNumberRole = Qt::UserRole;

QString text(const char16_t *s)
{
    return QString::fromUtf16(s);
}

} // namespace

ReferenceList::ReferenceList(Catalogue::NameList names, QWidget *parent)
    : FormDialog(parent)
    , m_list(names)
    , m_texts(textsOf(names))
    , ui(std::make_unique<Ui::ReferenceList>())
{
    ui->setupUi(this);
    setObjectName(QString::fromLatin1(m_texts.objectName));
    setWindowTitle(text(m_texts.caption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedClientSize(268, 318);

    m_picture = QIcon(pictures::command(m_texts.picture));
    ui->button1->setIcon(m_picture);
    ui->button3->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));

    QTreeWidget *list = ui->listview;
    list->headerItem()->setText(0, text(m_texts.header));
    QHeaderView *header = list->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    list->setColumnWidth(0, 130);
    list->setColumnWidth(1, 50);
    list->setIconSize(QSize(16, 16));

    guard::connect(ui->edit, &QLineEdit::textChanged, this, &ReferenceList::enableAdd);
    guard::connect(ui->button1, &QPushButton::clicked, this, &ReferenceList::addName);
    connect(ui->button2, &QPushButton::clicked, this, &QDialog::reject);
    guard::connect(ui->button3, &QPushButton::clicked, this, &ReferenceList::removeSelectedName);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { guard::run(this, [&] { sortByColumn(column); }); });
}

ReferenceList::~ReferenceList() = default;

void ReferenceList::FormCreate()
{
    ui->listview->clear();
    for (const Catalogue::NameEntry &entry : catalogue().nameEntries(m_list))
        addRow(entry.name, entry.number);
    ui->button1->setEnabled(false);
}

void ReferenceList::FormShow()
{
    ui->edit->setFocus();
}

void ReferenceList::hideEvent(QHideEvent *event)
{
    FormDialog::hideEvent(event);
    guard::run(this, [this] { dropTypedName(); });
}

void ReferenceList::dropTypedName()
{
    ui->edit->setText(QString());
    ui->edit->setFocus();
}

void ReferenceList::enableAdd()
{
    ui->button1->setEnabled(!ui->edit->text().isEmpty());
}

void ReferenceList::addRow(const QString &name, qint64 number)
{
    auto *row = new QTreeWidgetItem(ui->listview, {name, QString::number(number)});
    row->setIcon(0, m_picture);
    row->setData(1, kNumberRole, number);
}

void ReferenceList::addName()
{
    const QString name = ui->edit->text();
    if (!lineinput::fits(this, text(m_texts.header), name))
        return;
    // The row goes at the end with the number the store gave it, sorted or
    // not.
    addRow(name, catalogue().addName(m_list, name));
    ui->edit->setText(QString());
}

void ReferenceList::removeSelectedName()
{
    const QList<QTreeWidgetItem *> selected = ui->listview->selectedItems();
    if (selected.isEmpty()) {
        msg::plain(this, text(m_texts.noSelection));
        return;
    }
    if (!msg::question(this, text(m_texts.question)))
        return;
    QTreeWidgetItem *row = selected.first();
    catalogue().removeName(m_list, row->data(1, kNumberRole).toLongLong());
    delete row;
}

int ReferenceList::compareRows(const QByteArray &a, const QByteArray &b) const
{
    return m_sortAscending[size_t(m_sortColumn)] ? textorder::compareKeys(a, b) : textorder::compareKeys(b, a);
}

void ReferenceList::sortByColumn(int column)
{
    if (column < 0 || column >= int(m_sortAscending.size()))
        return;
    m_sortColumn = column;

    QTreeWidget *list = ui->listview;
    QTreeWidgetItem *current = list->currentItem();
    const QList<QTreeWidgetItem *> selected = list->selectedItems();
    struct Keyed
    {
        QByteArray key;
        QTreeWidgetItem *row;
    };
    std::vector<Keyed> rows;
    const QList<QTreeWidgetItem *> taken = list->invisibleRootItem()->takeChildren();
    rows.reserve(size_t(taken.size()));
    for (QTreeWidgetItem *row : taken)
        rows.push_back({textorder::key(row->text(column)), row});
    std::stable_sort(rows.begin(), rows.end(),
                     [this](const Keyed &a, const Keyed &b) { return compareRows(a.key, b.key) < 0; });
    QList<QTreeWidgetItem *> sorted;
    sorted.reserve(qsizetype(rows.size()));
    for (const Keyed &k : rows)
        sorted.append(k.row);
    list->addTopLevelItems(sorted);
    if (current)
        list->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem *row : selected)
        row->setSelected(true);

    m_sortAscending[size_t(column)] = !m_sortAscending[size_t(column)];
}
