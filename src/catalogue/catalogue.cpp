#include "catalogue.h"

#include "store/connection.h"
#include "store/usererror.h"

#include <QFile>

#include <sys/stat.h>

namespace {

// The device and inode of the file at path; none when there is no file.
std::pair<quint64, quint64> identityOf(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {0, 0};
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

} // namespace

Catalogue::Catalogue(const QString &absolutePath, QObject *parent)
    : Catalogue(absolutePath, std::make_unique<CatalogueLock>(absolutePath), parent)
{}

Catalogue::Catalogue(const QString &absolutePath, std::unique_ptr<CatalogueLock> taken, QObject *parent)
    : QObject(parent)
    , m_path(absolutePath)
    , m_lock(std::move(taken))
{}

Catalogue::~Catalogue() = default;

CatalogueLock::Outcome Catalogue::takeLock(int timeoutMs)
{
    return m_lock->tryLock(timeoutMs);
}

Connection &Catalogue::connection() const
{
    if (!m_connection) {
        m_connection = std::make_unique<Connection>(m_path);
        m_identity = identityOf(m_path);
    }
    return *m_connection;
}

bool Catalogue::isReplacedOutside() const
{
    if (!m_connection)
        return false;
    const std::pair<quint64, quint64> now = identityOf(m_path);
    // A file gone is told by the operations themselves (the missing file).
    return now != std::pair<quint64, quint64>{0, 0} && now != m_identity;
}

QString Catalogue::replacedMessage() const
{
    return QStringLiteral("数据文件%1已在程序之外被替换（例如被同步工具或者从备份手工复制），这次的修改没有写入。\n"
                          "程序显示的还是原来的内容；请在主窗口中重新读入数据文件，再修改。")
        .arg(describeFile(m_path));
}

Connection &Catalogue::writing()
{
    if (isReplacedOutside()) {
        Q_EMIT replacedOutside();
        throw UserError(replacedMessage());
    }
    return connection();
}

void Catalogue::reload()
{
    m_finder.reset();
    m_connection.reset();
    connection();
    Q_EMIT categoriesChanged();
    Q_EMIT booksReplaced();
}
