#include "booklistview.h"

#include "booklistmodel.h"
#include "store/bookrow.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {

// Whole rows are chosen in the report: no cell of it shows a focus of its
// own.
class RowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

} // namespace

BookListView::BookListView(QWidget *parent)
    : QStackedWidget(parent)
    , m_model(new BookListModel(this))
    , m_report(new QTableView(this))
    , m_icons(new QListView(this))
{
    m_report->setObjectName(QStringLiteral("listview_main_report"));
    m_icons->setObjectName(QStringLiteral("listview_main_icons"));

    m_report->setModel(m_model);
    m_icons->setModel(m_model);
    m_icons->setSelectionModel(m_report->selectionModel());

    m_report->setItemDelegate(new RowDelegate(m_report));
    m_report->setShowGrid(false);
    m_report->setWordWrap(false);
    m_report->setCornerButtonEnabled(false);
    m_report->setSortingEnabled(false);
    m_report->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView *rows = m_report->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setHighlightSections(false);
    fitRowHeight();
    QHeaderView *header = m_report->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < bookrow::kColumnCount; ++c)
        m_report->setColumnWidth(c, bookrow::initialWidth(c));
    connect(header, &QHeaderView::sectionClicked, this, &BookListView::columnClick);

    m_icons->setUniformItemSizes(true);
    m_icons->setLayoutMode(QListView::Batched);
    m_icons->setBatchSize(2000);
    m_icons->setMovement(QListView::Static);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setModelColumn(0);

    setupView(m_report);
    setupView(m_icons);

    addWidget(m_report);
    addWidget(m_icons);
    setCurrentWidget(m_report);
}

void BookListView::setupView(QAbstractItemView *view)
{
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setFrameShape(QFrame::StyledPanel);
    // The list's background is the palette's light three-dimensional colour.
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Midlight));
    view->setPalette(palette);
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint &pos) { Q_EMIT contextMenuRequested(view->viewport()->mapToGlobal(pos)); });
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
}

void BookListView::fitRowHeight()
{
    QStyleOptionViewItem option;
    option.initFrom(m_report);
    option.font = m_report->font();
    option.fontMetrics = m_report->fontMetrics();
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    option.text = QStringLiteral("书名Ag");
    option.decorationSize = m_report->iconSize().isValid()
                                ? m_report->iconSize()
                                : QSize(m_report->style()->pixelMetric(QStyle::PM_SmallIconSize),
                                        m_report->style()->pixelMetric(QStyle::PM_SmallIconSize));
    const QSize size = m_report->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), m_report);
    m_report->verticalHeader()->setMinimumSectionSize(1);
    m_report->verticalHeader()->setDefaultSectionSize(size.height());
}

void BookListView::changeEvent(QEvent *event)
{
    QStackedWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitRowHeight();
}

QAbstractItemView *BookListView::currentView() const
{
    return m_style == ViewStyle::Report ? static_cast<QAbstractItemView *>(m_report) : m_icons;
}

void BookListView::setViewStyle(ViewStyle style)
{
    m_style = style;
    if (style == ViewStyle::Report) {
        m_model->setLargeIcons(false);
        m_model->setItemSize(QSize());
        setCurrentWidget(m_report);
        return;
    }
    const bool large = style == ViewStyle::LargeIcons;
    m_model->setLargeIcons(large);
    m_icons->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    m_icons->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    m_icons->setWordWrap(large);
    m_icons->setFlow(style == ViewStyle::List ? QListView::TopToBottom : QListView::LeftToRight);
    m_icons->setWrapping(true);
    // The view modes reset these; every style keeps them.
    m_icons->setMovement(QListView::Static);
    m_icons->setResizeMode(QListView::Adjust);
    switch (style) {
    case ViewStyle::LargeIcons:
        m_model->setItemSize(QSize(100, 64));
        break;
    case ViewStyle::SmallIcons:
        m_model->setItemSize(QSize(160, 20));
        break;
    default:
        m_model->setItemSize(QSize(200, 20));
        break;
    }
    m_icons->setGridSize(QSize());
    setCurrentWidget(m_icons);
}

int BookListView::selectedRow() const
{
    const QModelIndexList rows = m_report->selectionModel()->selectedRows();
    if (rows.size() != 1) {
        // Selection of whole rows in the icon view selects column 0 only.
        const QModelIndexList cells = m_report->selectionModel()->selectedIndexes();
        return cells.isEmpty() ? -1 : cells.first().row();
    }
    return rows.first().row();
}

void BookListView::selectRow(int row)
{
    QItemSelectionModel *selection = m_report->selectionModel();
    if (row < 0) {
        selection->clearSelection();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void BookListView::columnClick(int column)
{
    if (column < 0 || column >= int(m_sortAscending.size()))
        return;
    m_sortColumn = column;
    m_model->sortRows(column, m_sortAscending[size_t(column)]);
    m_sortAscending[size_t(column)] = !m_sortAscending[size_t(column)];
}

bool BookListView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == m_report->viewport() || watched == m_icons->viewport())) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            Q_EMIT doubleClicked();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && (watched == m_report || watched == m_icons)) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Q_EMIT enterPressed();
            return true;
        }
    }
    return QStackedWidget::eventFilter(watched, event);
}
