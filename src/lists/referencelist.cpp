#include "referencelist.h"

#include "components/guard.h"
#include "components/lineinput.h"
#include "components/messages.h"
#include "components/pictures.h"
#include "store/sqlquote.h"
#include "store/textorder.h"
#include "ui_referencelist.h"

#include <QHeaderView>
#include <QStyle>

#include <algorithm>
#include <vector>

// What differs between the three members.
struct ReferenceTexts
{
    const char *objectName;
    const char16_t *caption;
    const char16_t *table;
    const char16_t *nameColumn;
    const char16_t *numberColumn;
    const char16_t *header;
    const char16_t *noSelection;
    const char16_t *question;
    const char16_t *deleteCommand; // the row's number bound to its "?"
    int picture; // the picture of the main window's command that opens the list
};

namespace {

const ReferenceTexts kMembers[] = {
    {"form_pub", u"出版社", u"pub", u"pub_name", u"pub_id", u"出版社", u"请选择一个需要删除的出版社...",
     u"确定删除这个出版社么?", u"select * from pub where pub_id=?", 8},
    {"form_author", u"作者库", u"author", u"author_name", u"author_id", u"作者", u"请选择一个需要删除的作者......",
     u"确定删除这个作者么?", u"select * from author where author_id=?", 6},
    {"form_reader", u"书友", u"reader", u"reader_name", u"reader_id", u"书友", u"请选择一个需要删除的书友......",
     u"确定删除这个书友么?", u"select * from reader where reader_id=?", 7},
};

QString text(const char16_t *s)
{
    return QString::fromUtf16(s);
}

} // namespace

ReferenceList::ReferenceList(Member member, QWidget *parent)
    : FormDialog(parent)
    , m_texts(kMembers[int(member)])
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

    guard::connect(ui->edit, &QLineEdit::textChanged, this, &ReferenceList::editChange);
    guard::connect(ui->button1, &QPushButton::clicked, this, &ReferenceList::button1Click);
    guard::connect(ui->button2, &QPushButton::clicked, this, &ReferenceList::button2Click);
    guard::connect(ui->button3, &QPushButton::clicked, this, &ReferenceList::button3Click);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { guard::run(this, [&] { listviewColumnClick(column); }); });
}

ReferenceList::~ReferenceList() = default;

void ReferenceList::FormCreate()
{
    ui->listview->clear();
    Dataset &ado = dataset();
    {
        ScopedClose closing(ado);
        ado.setCommandText(QStringLiteral("select * from ") + text(m_texts.table));
        ado.open();
        const int name = ado.fieldIndex(m_texts.nameColumn);
        const int number = ado.fieldIndex(m_texts.numberColumn);
        for (int i = 0; i < ado.recordCount(); ++i) {
            addRow(ado.fieldText(name), ado.fieldText(number));
            ado.next();
        }
    }
    ui->button1->setEnabled(false);
}

void ReferenceList::FormShow()
{
    ui->edit->setFocus();
}

void ReferenceList::hideEvent(QHideEvent *event)
{
    FormDialog::hideEvent(event);
    guard::run(this, [this] { FormHide(); });
}

void ReferenceList::FormHide()
{
    // A name typed and not added is dropped; the next opening starts empty.
    ui->edit->setText(QString());
    ui->edit->setFocus();
}

void ReferenceList::editChange()
{
    ui->button1->setEnabled(!ui->edit->text().isEmpty());
}

void ReferenceList::addRow(const QString &name, const QString &number)
{
    auto *row = new QTreeWidgetItem(ui->listview, {name, number});
    row->setIcon(0, m_picture);
}

void ReferenceList::button1Click()
{
    const QString name = ui->edit->text();
    if (!lineinput::fits(this, text(m_texts.header), name))
        return;
    Dataset &ado = dataset();
    {
        ScopedClose closing(ado);
        ado.setCommandText(QStringLiteral("select * from ") + text(m_texts.table));
        ado.open();
        ado.append();
        ado.setFieldByName(m_texts.nameColumn, name);
        ado.post();
        // The number the store gave the new row; the row goes at the end,
        // sorted or not.
        addRow(name, ado.fieldByName(m_texts.numberColumn));
    }
    ui->edit->setText(QString());
}

void ReferenceList::button3Click()
{
    const QList<QTreeWidgetItem *> selected = ui->listview->selectedItems();
    if (selected.isEmpty()) {
        msg::plain(this, text(m_texts.noSelection));
        return;
    }
    if (!msg::question(this, text(m_texts.question)))
        return;
    QTreeWidgetItem *row = selected.first();
    Dataset &ado = dataset();
    {
        ScopedClose closing(ado);
        ado.setCommandText(text(m_texts.deleteCommand), {sqlquote::checkedNumber(row->text(1))});
        ado.open();
        if (ado.recordCount() > 0)
            ado.deleteRecord();
    }
    delete row;
}

void ReferenceList::button2Click()
{
    reject();
}

int ReferenceList::listviewCompare(const QByteArray &a, const QByteArray &b) const
{
    return m_sortAscending[size_t(m_sortColumn)] ? textorder::compareKeys(a, b) : textorder::compareKeys(b, a);
}

void ReferenceList::listviewColumnClick(int column)
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
                     [this](const Keyed &a, const Keyed &b) { return listviewCompare(a.key, b.key) < 0; });
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
