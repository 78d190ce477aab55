#include "form_csvimport.h"

#include "catalogue/catalogue.h"
#include "components/guard.h"
#include "components/pictures.h"
#include "mappingdelegate.h"
#include "skippedrows.h"
#include "store/bookfields.h"
#include "ui_form_csvimport.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSignalBlocker>
#include <QStandardItemModel>

#include <set>

using bookcolumns::Target;
using bookvalues::DateOrder;
using Status = BookImport::Status;

namespace {

// The fields a target fills.
std::vector<int> columnsFilled(Target target)
{
    switch (target) {
    case Target::None:
        return {};
    case Target::Stars:
    case Target::Stars10:
        return {bookcolumns::columnOf(Target::Rating)};
    case Target::Shelves:
    case Target::ReadDate:
    case Target::ReadFlag:
        return {bookcolumns::columnOf(Target::Read)};
    case Target::Authors:
        return {bookcolumns::columnOf(Target::Author), bookcolumns::columnOf(Target::Author2)};
    case Target::LoanedTo:
        return {bookcolumns::columnOf(Target::Loan), bookcolumns::columnOf(Target::Reader)};
    case Target::PubInfo:
        return {bookcolumns::columnOf(Target::Pub)};
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
        return value.text().toString();
    case BookImport::Value::Date:
        return value.date.toString(Qt::ISODate);
    case BookImport::Value::Whole:
        return bookfields::shownText(bookcolumns::columnName(column), QString::number(value.whole));
    }
    return QString();
}

QString statusText(const BookImport::Judgement &j)
{
    switch (j.status) {
    case Status::Good:
        return j.warned ? QStringLiteral("导入（部分留空）") : QStringLiteral("导入");
    case Status::Blank:
        return QStringLiteral("空行");
    case Status::Problem:
        return QStringLiteral("无法读取");
    case Status::Duplicate:
        return QStringLiteral("已有");
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

CsvImportDialog::CsvImportDialog(std::unique_ptr<BookImport> books, const Catalogue &catalogue, QWidget *parent)
    : FormDialog(parent)
    , m_books(std::move(books))
    , m_catalogueKeys(catalogue.importKeys())
    , ui(std::make_unique<Ui::CsvImportDialog>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_csvimport"));
    setWindowTitle(QStringLiteral("从CSV文件导入书籍"));
    setWindowIcon(QIcon(pictures::command(27)));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    // As large as the layout asks for, within the screen.
    QSize size(960, 760);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 60));
    resize(size);

    m_preview = new QStandardItemModel(this);
    m_preview->setObjectName(QStringLiteral("model_preview"));
    ui->grid_preview->setModel(m_preview);
    ui->grid_preview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_skipped = new SkippedRowsModel(this);
    m_skipped->setObjectName(QStringLiteral("model_problems"));
    ui->grid_problems->setModel(m_skipped);
    ui->grid_problems->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    ui->grid_problems->horizontalHeader()->resizeSection(0, 80);
    ui->grid_problems->horizontalHeader()->resizeSection(1, 130);

    QTableWidget *grid = ui->grid_mapping;
    grid->setItemDelegateForColumn(2, new MappingDelegate(grid));
    grid->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 10);
    grid->horizontalHeader()->resizeSection(0, 200);
    grid->horizontalHeader()->resizeSection(1, 260);

    ui->combo_dateorder->addItem(QStringLiteral("（请选择）"), int(DateOrder::Unknown));
    ui->combo_dateorder->addItem(QStringLiteral("日/月/年"), int(DateOrder::Dmy));
    ui->combo_dateorder->addItem(QStringLiteral("月/日/年"), int(DateOrder::Mdy));

    fillReading();
    fillMapping();
    refresh();

    connect(ui->check_duplicates, &QCheckBox::toggled, this, [this](bool on) {
        m_skipped->setWithDuplicates(on);
        showCounts();
    });
    connect(grid, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem *item) { guard::run(this, [&] { changeTarget(item); }); });
    connect(ui->combo_encoding, &QComboBox::activated, this, [this] { guard::run(this, [&] { readAgain(); }); });
    connect(ui->combo_separator, &QComboBox::activated, this, [this] { guard::run(this, [&] { readAgain(); }); });
    connect(ui->combo_dateorder, &QComboBox::activated, this, [this] { guard::run(this, [&] { changeDateOrder(); }); });
    connect(ui->button_import, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->button_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

CsvImportDialog::~CsvImportDialog() = default;

bool CsvImportDialog::withDuplicates() const
{
    return ui->check_duplicates->isChecked();
}

int CsvImportDialog::booksToAdd() const
{
    int n = m_books->count(Status::Good);
    if (withDuplicates())
        n += m_books->count(Status::Duplicate);
    return n;
}

void CsvImportDialog::fillReading()
{
    const CsvTable &table = m_books->table();
    ui->label_file->setText(QStringLiteral("文件：%1　　标题行之后共 %2 行")
                                .arg(QFileInfo(m_books->path()).fileName())
                                .arg(table.recordCount()));
    ui->label_file->setToolTip(m_books->path());

    const QSignalBlocker blockEncoding(ui->combo_encoding);
    ui->combo_encoding->clear();
    for (const CsvEncodingChoice &choice : csvreader::encodingChoices())
        ui->combo_encoding->addItem(choice.caption, choice.id);
    int at = ui->combo_encoding->findData(table.encodingId());
    if (at < 0) {
        ui->combo_encoding->addItem(table.encodingName(), table.encodingId());
        at = ui->combo_encoding->count() - 1;
    }
    ui->combo_encoding->setCurrentIndex(at);

    const QSignalBlocker blockSeparator(ui->combo_separator);
    ui->combo_separator->clear();
    for (const CsvSeparatorChoice &choice : csvreader::separatorChoices())
        ui->combo_separator->addItem(choice.caption, choice.separator);
    ui->combo_separator->setCurrentIndex(ui->combo_separator->findData(table.separator()));
}

void CsvImportDialog::fillMapping()
{
    const CsvTable &table = m_books->table();
    QTableWidget *grid = ui->grid_mapping;
    m_filling = true;
    grid->setRowCount(0);
    grid->setRowCount(table.columnCount());
    for (int c = 0; c < table.columnCount(); ++c) {
        auto *header = new QTableWidgetItem(oneLine(table.header(c)));
        header->setFlags(Qt::ItemIsEnabled);
        if (!bookcolumns::isKnownHeader(table.header(c)))
            header->setToolTip(QStringLiteral("程序不认识这个列名"));
        grid->setItem(c, 0, header);
        auto *first = new QTableWidgetItem(oneLine(table.field(0, c)));
        first->setFlags(Qt::ItemIsEnabled);
        grid->setItem(c, 1, first);
        auto *target = new QTableWidgetItem(bookcolumns::caption(m_books->target(c)));
        target->setData(MappingDelegate::kTargetRole, int(m_books->target(c)));
        target->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        grid->setItem(c, 2, target);
    }
    m_filling = false;
}

void CsvImportDialog::changeTarget(QTableWidgetItem *item)
{
    if (m_filling || item->column() != 2)
        return;
    const auto target = Target(item->data(MappingDelegate::kTargetRole).toInt());
    if (target == m_books->target(item->row()))
        return;
    m_books->setTarget(item->row(), target);
    refresh();
}

void CsvImportDialog::readAgain()
{
    CsvOptions options;
    options.encoding = ui->combo_encoding->currentData().toByteArray();
    options.separator = ui->combo_separator->currentData().toChar();
    const QString path = m_books->path();
    try {
        auto again = std::make_unique<BookImport>(csvreader::readFile(path, options), path);
        again->setDateOrder(m_books->dateOrder());
        m_books = std::move(again);
    } catch (...) {
        fillReading(); // the choices as the file was read before
        throw;
    }
    fillReading();
    fillMapping();
    refresh();
}

void CsvImportDialog::changeDateOrder()
{
    m_books->setDateOrder(DateOrder(ui->combo_dateorder->currentData().toInt()));
    refresh();
}

void CsvImportDialog::refresh()
{
    m_books->judge(m_catalogueKeys);
    const bool unsettled = m_books->dateOrderUnsettled();
    ui->label_dateorder->setVisible(unsettled);
    ui->combo_dateorder->setVisible(unsettled);
    if (unsettled)
        ui->combo_dateorder->setToolTip(
            QStringLiteral("文件中像“%1”这样的日期，日和月无法确定先后").arg(m_books->unsettledDateExample()));
    // A few names: a file of two thousand columns would fill the window
    // with them (the list above shows every column).
    const QString ignored = m_books->ignoredColumnsText(kListedIgnored);
    ui->label_ignored->setText(ignored.isEmpty() ? QStringLiteral("文件的每一列都导入。")
                                                 : QStringLiteral("没有导入的列：%1").arg(ignored));
    fillPreview();
    m_skipped->reset(*m_books);
    m_skipped->setWithDuplicates(withDuplicates());
    showCounts();
}

void CsvImportDialog::fillPreview()
{
    // The loan is always there: given by the file, or an own copy.
    std::set<int> columns{bookcolumns::columnOf(Target::Loan)};
    for (int c = 0; c < m_books->table().columnCount(); ++c)
        for (const int filled : columnsFilled(m_books->target(c)))
            columns.insert(filled);

    m_preview->clear();
    QStringList headers{QStringLiteral("行"), QStringLiteral("状态")};
    for (const int column : columns)
        headers << bookfields::caption(bookcolumns::columnName(column));
    m_preview->setHorizontalHeaderLabels(headers);

    const int rows = std::min(kPreviewBooks, m_books->table().recordCount());
    BookImport::Book book;
    for (int r = 0; r < rows; ++r) {
        m_books->book(r, book);
        QList<QStandardItem *> items{new QStandardItem(QString::number(m_books->table().line(r))),
                                     new QStandardItem(statusText(m_books->judgement(r)))};
        for (const int column : columns)
            items << new QStandardItem(shown(column, book[size_t(column - 1)]));
        m_preview->appendRow(items);
    }
    ui->grid_preview->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
}

void CsvImportDialog::showCounts()
{
    QString text = QStringLiteral("可以导入 %1 本书").arg(m_books->count(Status::Good));
    if (m_books->warnedCount() > 0)
        text += QStringLiteral("（其中 %1 本有资料无法识别，将留空）").arg(m_books->warnedCount());
    text += QStringLiteral("；数据文件中已有的书 %1 本（%2）")
                .arg(m_books->count(Status::Duplicate))
                .arg(withDuplicates() ? QStringLiteral("也导入") : QStringLiteral("不导入"));
    text += QStringLiteral("；无法读取的行 %1 行（不导入）").arg(m_books->count(Status::Problem));
    if (m_books->count(Status::Blank) > 0)
        text += QStringLiteral("；空行 %1 行").arg(m_books->count(Status::Blank));
    text += QStringLiteral("。\n只与数据文件中已有的书比较是否重复：文件中相同的书各自导入。");
    if (m_books->dateOrderUnsettled() && m_books->dateOrder() == DateOrder::Unknown)
        text += QStringLiteral("\n文件中像“%1”这样的日期无法确定日和月的先后：请选择日期顺序，否则这些日期留空。")
                    .arg(m_books->unsettledDateExample());
    if (!m_books->importsAnything())
        text = QStringLiteral("没有一列导入到书籍的资料中：请至少为一列选择导入到哪里。");
    ui->label_counts->setText(text);
    const int adding = booksToAdd();
    ui->button_import->setEnabled(m_books->importsAnything() && adding > 0);
    ui->button_import->setText(QStringLiteral("导入 %1 本书(&I)").arg(adding));
}
