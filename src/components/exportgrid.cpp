#include "exportgrid.h"

#include "guard.h"

#include "catalogue/catalogue.h"
#include "formats/gridexportexcel.h"
#include "formats/gridexporthtml.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace {

struct ColumnDef
{
    const char *field;
    const char16_t *caption;
    int width;        // pixels; 0: the grid's default for the column
    int displayWidth; // characters, for the default width
};

// The columns in the order shown at start.
constexpr ColumnDef kColumns[ExportGrid::kColumnCount] = {
    {"book_id", u"编号", 0, 11},
    {"book_name", u"名称", 109, 0},
    {"book_author", u"第一作者", 82, 0},
    {"book_author2", u"第二作者", 92, 0},
    {"book_cate", u"分类", 84, 0},
    {"book_language", u"语言", 0, 10},
    {"book_pages", u"页数", 50, 0},
    {"book_isbn", u"ISBN", 122, 0},
    {"book_pub", u"出版社", 152, 0},
    {"book_pubd", u"出版日期", 112, 0},
    {"book_value", u"价格", 88, 0},
    {"book_buyd", u"购买日期", 112, 0},
    {"book_buya", u"购买地点", 119, 0},
    {"book_reader", u"借入借出关系人", 109, 0},
    {"book_loand", u"借入借出日期", 112, 0},
};

const QString kFontName = QStringLiteral("宋体");
constexpr int kFontPoints = 9;

GridColor colorOf(const QColor &color)
{
    return quint32(color.rgb() & 0xFFFFFFu);
}

GridFont gridFont(const QPalette &palette)
{
    GridFont font;
    font.name = kFontName;
    font.pointSize = kFontPoints;
    font.color = colorOf(palette.color(QPalette::Text)); // the window-text colour
    return font;
}

} // namespace

ExportGridModel::ExportGridModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_fields(ExportGrid::kColumnCount, -1)
{}

void ExportGridModel::setTable(const GridSource *table)
{
    beginResetModel();
    m_table = table;
    for (int c = 0; c < ExportGrid::kColumnCount; ++c)
        m_fields[size_t(c)] = table ? table->fieldIndex(ExportGrid::fieldName(c)) : -1;
    endResetModel();
}

void ExportGridModel::refresh()
{
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

int ExportGridModel::columnField(int column) const
{
    return column >= 0 && column < ExportGrid::kColumnCount ? m_fields[size_t(column)] : -1;
}

bool ExportGridModel::isNumeric(int column) const
{
    const int field = columnField(column);
    if (field < 0)
        return false;
    const FieldType type = m_table->field(field).type;
    return type == FieldType::Integer || type == FieldType::Float;
}

int ExportGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_table ? 0 : m_table->rowCount();
}

int ExportGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ExportGrid::kColumnCount;
}

QVariant ExportGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_table || index.row() >= m_table->rowCount())
        return {};
    if (role == Qt::DisplayRole) {
        const int field = columnField(index.column());
        return field < 0 ? QString() : cellText(index.row(), field);
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((isNumeric(index.column()) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}

// No exception leaves here: the view asks while it paints. The failure is
// told once the paint is over.
QString ExportGridModel::cellText(int row, int field) const
{
    try {
        return m_table->displayText(row, field);
    } catch (...) {
        if (!m_failure) {
            m_failure = std::current_exception();
            auto *self = const_cast<ExportGridModel *>(this);
            QMetaObject::invokeMethod(self, &ExportGridModel::readFailed, Qt::QueuedConnection);
        }
    }
    return QString();
}

QVariant ExportGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ExportGrid::kColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return ExportGrid::caption(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags ExportGridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

ExportGrid::ExportGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new ExportGridModel(this))
    , m_font(kFontName, kFontPoints)
{
    setFont(m_font);
    horizontalHeader()->setFont(m_font);
    setModel(m_model);
    connect(m_model, &ExportGridModel::readFailed, this,
            [this] { guard::showFailure(this, m_model->takeReadFailure()); });
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setWordWrap(false);
    setHorizontalScrollMode(ScrollPerPixel);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);

    setUpRows(verticalHeader());

    // Columns move and change width by dragging their headers; there is no
    // way to hide one, and none gets narrower than a few pixels.
    QHeaderView *header = horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(8);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < kColumnCount; ++c)
        header->resizeSection(c, kColumns[c].width > 0 ? kColumns[c].width : defaultWidth(c));
}

void ExportGrid::setUpRows(QHeaderView *rows) const
{
    // Every row is one line high; no row is ever measured.
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(QFontMetrics(m_font).height() + 4);
}

ExportGrid::~ExportGrid()
{
    m_model->setTable(nullptr);
}

QString ExportGrid::fieldName(int column)
{
    return QString::fromLatin1(kColumns[column].field);
}

QString ExportGrid::caption(int column)
{
    return QString::fromUtf16(kColumns[column].caption);
}

QString ExportGrid::columnName(int column) const
{
    return objectName() + fieldName(column);
}

// The larger of: the caption in the header font with 6 pixels to spare, and
// as many digits "0" in the cell font as the field's display width, with 4.
int ExportGrid::defaultWidth(int column) const
{
    const QFontMetrics metrics(m_font);
    const int captionWidth = metrics.horizontalAdvance(caption(column)) + 6;
    const int digitsWidth = metrics.horizontalAdvance(QLatin1Char('0')) * kColumns[column].displayWidth + 4;
    return std::max(captionWidth, digitsWidth);
}

QStringList ExportGrid::fieldNames()
{
    QStringList fields;
    for (int c = 0; c < kColumnCount; ++c)
        fields << fieldName(c);
    return fields;
}

void ExportGrid::open(const Catalogue &catalogue)
{
    if (m_table) {
        m_table->dropPages();
        m_model->refresh();
        return;
    }
    setRows(catalogue.exportGridRows(fieldNames()));
}

void ExportGrid::setRows(std::unique_ptr<StoredGridTable> rows)
{
    m_model->setTable(nullptr);
    m_table = std::move(rows);
    m_model->setTable(m_table.get());
}

void ExportGrid::close()
{
    m_model->setTable(nullptr);
    m_table.reset();
    // The row header keeps room for every row it has had (a million rows:
    // some megabytes) until it goes: a closed grid starts a new one.
    auto *rows = new QHeaderView(Qt::Vertical, this);
    setUpRows(rows);
    setVerticalHeader(rows);
}

qsizetype ExportGrid::exportRecordCount(bool saveAll) const
{
    if (!m_table)
        return 0;
    const qsizetype selected = saveAll ? 0 : qsizetype(exportSelectedRows().size());
    return selected > 0 ? selected : m_table->rowCount();
}

void ExportGrid::SaveToHTML(const QString &fileName, bool saveAll)
{
    TGridExportHTML exporter(fileName, *this, saveAll);
    exporter.Execute();
}

void ExportGrid::SaveToXLS(const QString &fileName, bool saveAll)
{
    TGridExportExcel exporter(fileName, *this, saveAll);
    exporter.Execute();
}

GridLook ExportGrid::exportLook() const
{
    // The desktop's colours, from the application palette at this moment:
    // the window colour is Base, the window-text colour Text, the button face
    // Button, the 3-D light Midlight and the window frame Shadow.
    const QPalette colors = QGuiApplication::palette();
    GridLook look;
    look.name = objectName();
    look.color = colorOf(colors.color(QPalette::Base));
    look.font = gridFont(colors);
    look.headerColor = colorOf(colors.color(QPalette::Button));
    look.headerFont = gridFont(colors);
    look.bandColor = colorOf(colors.color(QPalette::Button));
    look.bandFont = gridFont(colors);
    look.groupNodeColor = colorOf(colors.color(QPalette::Button));
    look.groupNodeTextColor = std::nullopt;
    look.rowFooterColor = colorOf(colors.color(QPalette::Midlight));
    look.rowFooterTextColor = colorOf(colors.color(QPalette::Text));
    look.gridLineColor = std::nullopt;
    look.windowFrameColor = colorOf(colors.color(QPalette::Shadow));
    look.windowColor = colorOf(colors.color(QPalette::Base));
    look.showGrid = true;
    look.showHeader = true;
    look.showBands = false;
    look.showSummaryFooter = false;
    look.singleBorder = true;
    look.ctl3D = true;
    return look;
}

std::vector<GridColumn> ExportGrid::exportColumns() const
{
    const GridLook look = exportLook();
    const QHeaderView *header = horizontalHeader();
    std::vector<GridColumn> shown;
    for (int place = 0; place < header->count(); ++place) {
        const int column = header->logicalIndex(place);
        if (header->isSectionHidden(column))
            continue;
        GridColumn c;
        c.caption = caption(column);
        c.width = header->sectionSize(column);
        c.headerAlignment = GridAlignment::Left;
        c.alignment = m_model->isNumeric(column) ? GridAlignment::Right : GridAlignment::Left;
        c.color = look.color;
        c.font = look.font;
        c.fieldName = fieldName(column);
        shown.push_back(std::move(c));
    }
    return shown;
}

std::vector<int> ExportGrid::exportSelectedRows() const
{
    std::vector<int> rows;
    if (!selectionModel() || !m_table)
        return rows;
    // The ranges in the order they were selected; a row once.
    std::vector<bool> taken(size_t(m_table->rowCount()), false);
    for (const QItemSelectionRange &range : selectionModel()->selection()) {
        for (int row = std::max(range.top(), 0); row <= range.bottom() && row < m_table->rowCount(); ++row) {
            if (!taken[size_t(row)]) {
                taken[size_t(row)] = true;
                rows.push_back(row);
            }
        }
    }
    return rows;
}

void ExportGrid::exportStarted()
{
    m_savedTop = verticalScrollBar()->value();
    m_savedCurrent = currentIndex();
    setUpdatesEnabled(false);
}

void ExportGrid::exportEnded() noexcept
{
    if (m_savedCurrent.isValid() && m_savedCurrent != currentIndex())
        selectionModel()->setCurrentIndex(m_savedCurrent, QItemSelectionModel::NoUpdate);
    verticalScrollBar()->setValue(m_savedTop);
    setUpdatesEnabled(true);
}
