#include "gridexport.h"

#include "store/usererror.h"

#include <QDir>
#include <QIODevice>
#include <QSaveFile>

namespace {

// Pieces are collected and handed to the file in blocks of about this size,
// so that memory stays the same whatever the size of the table.
constexpr qsizetype kBlock = 64 * 1024;

UserError cannotCreate(const QString &fileName)
{
    return UserError(QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(fileName)));
}

UserError nothingToWrite(const QString &fileName)
{
    return UserError(QStringLiteral("表格的数据没有读入，无法导出：文件 %1 未写入任何内容。")
                         .arg(QDir::toNativeSeparators(fileName)));
}

UserError writeFailed()
{
    return UserError(QStringLiteral("Stream write error"));
}

// Lets the grid draw again when the walk ends, also by an error.
class WalkScope
{
public:
    explicit WalkScope(ExportableGrid &grid)
        : m_grid(grid)
    {
        m_grid.exportStarted();
    }
    ~WalkScope() { m_grid.exportEnded(); }
    WalkScope(const WalkScope &) = delete;
    WalkScope &operator=(const WalkScope &) = delete;

private:
    ExportableGrid &m_grid;
};

// The rows' reader for the time of a walk: it may hold the data file open
// for reading, and lets it go when the walk ends, also by an error.
class ReadScope
{
public:
    ReadScope(std::unique_ptr<GridRowReader> &held, std::unique_ptr<GridRowReader> reader)
        : m_held(held)
    {
        m_held = std::move(reader);
    }
    ~ReadScope() { m_held.reset(); }
    ReadScope(const ReadScope &) = delete;
    ReadScope &operator=(const ReadScope &) = delete;

private:
    std::unique_ptr<GridRowReader> &m_held;
};

} // namespace

TGridExport::TGridExport(const QString &fileName, ExportableGrid &grid, bool saveAll)
    : m_fileName(fileName)
    , m_grid(grid)
    , m_saveAll(saveAll)
    , m_encoder("GB18030")
{
    if (!m_encoder.isValid())
        throw UserError(QStringLiteral("本程序所用的 Qt 不支持 GB18030 编码，无法导出。"));
}

TGridExport::~TGridExport() = default;

void TGridExport::CheckSize(qsizetype records, qsizetype columns) const
{
    Q_UNUSED(records)
    Q_UNUSED(columns)
}

void TGridExport::takeGrid()
{
    m_look = m_grid.exportLook();
    m_columns = m_grid.exportColumns();
    m_table = m_grid.exportTable();
    m_columnFields.clear();
    for (const GridColumn &column : m_columns)
        m_columnFields.push_back(m_table && !column.fieldName.isEmpty() ? m_table->fieldIndex(column.fieldName) : -1);
    m_selected.clear();
    if (m_table && !m_saveAll) {
        for (const int row : m_grid.exportSelectedRows())
            if (row >= 0 && row < m_table->rowCount())
                m_selected.push_back(row);
    }
}

qsizetype TGridExport::recordsToWrite() const
{
    if (!m_table)
        return 0;
    return m_selected.empty() ? m_table->rowCount() : qsizetype(m_selected.size());
}

void TGridExport::Execute()
{
    takeGrid();
    // Without a table the file would come out empty, in place of whatever
    // had that name.
    if (!m_table)
        throw nothingToWrite(m_fileName);
    CheckSize(recordsToWrite(), qsizetype(m_columns.size()));
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw cannotCreate(m_fileName);
    SaveToStream(file); // on an error the file is dropped unfinished
    // The last bytes reach the file here. A failure must stop the rename:
    // the save file would take the target's name even with bytes missing.
    if (!file.flush())
        throw writeFailed();
    if (!file.commit())
        throw file.error() == QFileDevice::WriteError ? writeFailed() : cannotCreate(m_fileName);
}

void TGridExport::SaveToStream(QIODevice &stream)
{
    m_stream = &stream;
    m_buffer.resize(0);
    m_buffer.reserve(kBlock + 4096);
    takeGrid();
    if (!m_table)
        return;

    const WalkScope walking(m_grid);
    const ReadScope reading(m_reader, m_table->reader());
    DoBeginWriting();
    try {
        rowCounter = 0;
        DoWriteHeader();
        if (m_selected.empty()) {
            const int rows = m_table->rowCount();
            for (int row = 0; row < rows; ++row) {
                DoWriteRecord(row);
                ++rowCounter;
            }
        } else {
            for (const int row : m_selected) {
                DoWriteRecord(row);
                ++rowCounter;
            }
        }
        DoWriteFooter();
    } catch (...) {
        // The end is still tried; the first failure is the one reported.
        try {
            DoEndWriting();
            flush();
        } catch (...) {
        }
        throw;
    }
    DoEndWriting();
    flush();
}

void TGridExport::flush()
{
    if (m_buffer.isEmpty())
        return;
    const qint64 written = m_stream->write(m_buffer);
    const bool complete = written == m_buffer.size();
    m_buffer.resize(0); // keeps its room for the next block
    if (!complete)
        throw writeFailed();
}

void TGridExport::Write(QByteArrayView bytes)
{
    m_buffer.append(bytes);
    if (m_buffer.size() >= kBlock)
        flush();
}

void TGridExport::WriteLn(QByteArrayView bytes)
{
    m_buffer.append(bytes);
    m_buffer.append("\r\n", 2);
    if (m_buffer.size() >= kBlock)
        flush();
}

QByteArray TGridExport::encoded(const QString &text)
{
    return m_encoder.encode(text);
}

const std::vector<GridSource::Cell> &TGridExport::readRecord(int row)
{
    return m_reader->read(row);
}
