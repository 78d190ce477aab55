#include "form_csvimport.h"

#include "components/guard.h"
#include "components/pictures.h"
#include "skippedrows.h"
#include "store/bookfields.h"
#include "ui_form_csvimport.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QStandardItemModel>

#include <set>

using bookcolumns::Target;
using Status = BookImport::Status;

namespace {

// The fields a target fills.
std::vector<int> columnsFilled(Target target)
{
    switch (target) {
    case Target::None:
        return {};
    case Target::Stars:
        return {bookcolumns::columnOf(Target::Rating)};
    case Target::Shelves:
        return {bookcolumns::columnOf(Target::Cate), bookcolumns::columnOf(Target::Read)};
    case Target::ReadDate:
        return {bookcolumns::columnOf(Target::Read)};
    default:
        return {bookcolumns::columnOf(target)};
    }
}

// A value as the book list will show it: codes by their texts, dates as stored.
QString shown(int column, const BookImport::Value &value)
{
    switch (value.kind) {
    case BookImport::Value::None:
        return QString();
    case BookImport::Value::Text:
        return value.text.toString();
    case BookImport::Value::Date:
        return value.date.toString(Qt::ISODate);
    case BookImport::Value::Whole:
        return bookfields::shownText(bookcolumns::columnName(column), QString::number(value.whole));
    }
    return QString();
}

QString statusText(Status status)
{
    switch (status) {
    case Status::Good:
        return QStringLiteral("导入");
    case Status::Blank:
        return QStringLiteral("空行");
    case Status::Problem:
        return QStringLiteral("有问题");
    case Status::DuplicateInFile:
    case Status::DuplicateInCatalogue:
        return QStringLiteral("重复");
    }
    return QString();
}

// A line of a field for the mapping list: line breaks shown as spaces.
QString oneLine(QStringView text)
{
    QString out = text.left(80).toString();
    out.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return out;
}

} // namespace

Tform_csvimport::Tform_csvimport(BookImport &books, const BookImport::CatalogueKeys &catalogue, QWidget *parent)
    : FormDialog(parent)
    , m_books(books)
    , m_catalogue(catalogue)
    , ui(std::make_unique<Ui::Tform_csvimport>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_csvimport"));
    setWindowTitle(QStringLiteral("从CSV文件导入书籍"));
    setWindowIcon(QIcon(pictures::command(27)));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    // As large as the layout asks for, within the screen.
    QSize size(960, 720);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 60));
    resize(size);

    const CsvTable &table = books.table();
    ui->label_file->setText(QStringLiteral("文件：%1\n编码：%2　　分隔符：%3　　标题行之后共 %4 行")
                                .arg(QFileInfo(books.path()).fileName(), table.encodingName(), table.separatorName())
                                .arg(table.recordCount()));
    ui->label_file->setToolTip(books.path());

    m_preview = new QStandardItemModel(this);
    m_preview->setObjectName(QStringLiteral("model_preview"));
    ui->grid_preview->setModel(m_preview);
    ui->grid_preview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_skipped = new SkippedRowsModel(this);
    m_skipped->setObjectName(QStringLiteral("model_problems"));
    ui->grid_problems->setModel(m_skipped);
    ui->grid_problems->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    ui->grid_problems->horizontalHeader()->resizeSection(0, 80);

    fillMapping();
    refresh();

    connect(ui->check_duplicates, &QCheckBox::toggled, this, [this] { showCounts(); });
    guard::connect(ui->button_import, &QPushButton::clicked, this, &Tform_csvimport::button_importClick);
    connect(ui->button_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

Tform_csvimport::~Tform_csvimport() = default;

bool Tform_csvimport::withDuplicates() const
{
    return ui->check_duplicates->isChecked();
}

int Tform_csvimport::booksToAdd() const
{
    int n = m_books.count(Status::Good);
    if (withDuplicates())
        n += m_books.count(Status::DuplicateInFile) + m_books.count(Status::DuplicateInCatalogue);
    return n;
}

void Tform_csvimport::fillMapping()
{
    const CsvTable &table = m_books.table();
    QTableWidget *grid = ui->grid_mapping;
    grid->setRowCount(table.columnCount());
    grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 10);
    for (int c = 0; c < table.columnCount(); ++c) {
        grid->setItem(c, 0, new QTableWidgetItem(oneLine(table.header(c))));
        grid->setItem(c, 1, new QTableWidgetItem(oneLine(table.field(0, c))));
        auto *combo = new QComboBox(grid);
        combo->setObjectName(QStringLiteral("combo_column%1").arg(c));
        for (int t = 0; t < bookcolumns::kTargetCount; ++t)
            combo->addItem(bookcolumns::caption(Target(t)), t);
        combo->setCurrentIndex(combo->findData(int(m_books.target(c))));
        combo->setMaxVisibleItems(bookcolumns::kTargetCount);
        grid->setCellWidget(c, 2, combo);
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, c](int index) { guard::run(this, [&] { mappingChange(c, index); }); });
    }
    grid->horizontalHeader()->resizeSection(0, 200);
    grid->horizontalHeader()->resizeSection(1, 260);
}

void Tform_csvimport::mappingChange(int column, int index)
{
    auto *combo = qobject_cast<QComboBox *>(ui->grid_mapping->cellWidget(column, 2));
    m_books.setTarget(column, Target(combo->itemData(index).toInt()));
    refresh();
}

void Tform_csvimport::refresh()
{
    m_books.judge(m_catalogue);
    fillPreview();
    m_skipped->reset(m_books);
    showCounts();
}

void Tform_csvimport::fillPreview()
{
    // The three codes are always there: given by the file, or the entry
    // window's choice.
    std::set<int> columns{bookcolumns::columnOf(Target::Rating), bookcolumns::columnOf(Target::Loan),
                          bookcolumns::columnOf(Target::Read)};
    for (int c = 0; c < m_books.table().columnCount(); ++c)
        for (const int filled : columnsFilled(m_books.target(c)))
            columns.insert(filled);

    m_preview->clear();
    QStringList headers{QStringLiteral("行"), QStringLiteral("状态")};
    for (const int column : columns)
        headers << bookfields::caption(bookcolumns::columnName(column));
    m_preview->setHorizontalHeaderLabels(headers);

    const int rows = std::min(kPreviewBooks, m_books.table().recordCount());
    BookImport::Book book;
    for (int r = 0; r < rows; ++r) {
        m_books.book(r, book);
        QList<QStandardItem *> items{new QStandardItem(QString::number(m_books.table().line(r))),
                                     new QStandardItem(statusText(m_books.judgement(r).status))};
        for (const int column : columns)
            items << new QStandardItem(shown(column, book[size_t(column - 1)]));
        m_preview->appendRow(items);
    }
    ui->grid_preview->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
}

void Tform_csvimport::showCounts()
{
    const int duplicates = m_books.count(Status::DuplicateInFile) + m_books.count(Status::DuplicateInCatalogue);
    QString text = QStringLiteral("可以导入 %1 本书").arg(m_books.count(Status::Good));
    text += QStringLiteral("；重复的书 %1 本（%2）")
                .arg(duplicates)
                .arg(withDuplicates() ? QStringLiteral("也导入") : QStringLiteral("不导入"));
    text += QStringLiteral("；有问题的行 %1 行（不导入）").arg(m_books.count(Status::Problem));
    if (m_books.count(Status::Blank) > 0)
        text += QStringLiteral("；空行 %1 行").arg(m_books.count(Status::Blank));
    text += QStringLiteral("。");
    if (!m_books.importsAnything())
        text = QStringLiteral("没有一列导入到书籍的资料中：请至少为一列选择导入到哪里。");
    ui->label_counts->setText(text);
    const int adding = booksToAdd();
    ui->button_import->setEnabled(m_books.importsAnything() && adding > 0);
    ui->button_import->setText(QStringLiteral("导入 %1 本书(&I)").arg(adding));
}

void Tform_csvimport::button_importClick()
{
    accept();
}
