#include "wholefile.h"

#include "connection.h"
#include "usererror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileerror {

QString reason(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("磁盘已满");
    case EDQUOT:
        return QStringLiteral("超出了磁盘配额");
    case EROFS:
        return QStringLiteral("磁盘是只读的");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入权限");
    case ENOENT:
        return QStringLiteral("文件夹不存在");
    case ENOTDIR:
        return QStringLiteral("路径中有一段不是文件夹");
    case EISDIR:
        return QStringLiteral("同名的是一个文件夹");
    case EFBIG:
        return QStringLiteral("文件超过了系统允许的大小");
    case ENAMETOOLONG:
        return QStringLiteral("文件名太长");
    case EIO:
        return QStringLiteral("磁盘读写错误");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("同时打开的文件太多");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace fileerror

namespace {

// "<name>.<eight hex digits>.tmp": the temporary files of the target name.
bool isTemporaryOf(const QString &entry, const QString &name)
{
    if (entry.size() != name.size() + 13 || !entry.startsWith(name) || !entry.endsWith(QLatin1String(".tmp")) ||
        entry.at(name.size()) != QLatin1Char('.'))
        return false;
    for (qsizetype i = name.size() + 1; i < name.size() + 9; ++i) {
        const char16_t c = entry.at(i).unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

// Removes the temporary files of target that no writer holds: a writer that
// was killed left them. One whose lock cannot be taken is being written.
void removeStaleTemporaries(const QString &target)
{
    const QFileInfo info(target);
    const QString name = info.fileName();
    const QDir folder = info.absoluteDir();
    const QStringList entries = folder.entryList({name + QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden);
    for (const QString &entry : entries) {
        if (!isTemporaryOf(entry, name))
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(entry));
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        struct stat st
        {
        };
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
}

} // namespace

WholeFile::WholeFile(const QString &target, Streams streams)
    : m_target(QFileInfo(target).absoluteFilePath())
{
    struct stat existing
    {
    };
    const QByteArray name = QFile::encodeName(m_target);
    if (::stat(name.constData(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        if (S_ISDIR(existing.st_mode))
            fail(QStringLiteral("无法写入文件%1：%2。"), EISDIR);
        const bool stream = S_ISCHR(existing.st_mode) || S_ISFIFO(existing.st_mode);
        if (!stream || streams == Streams::Refused)
            throw UserError(
                QStringLiteral("无法写入文件%1：它不是普通文件，而是设备、管道或者套接字。请另选一个文件名。")
                    .arg(describeFile(m_target)));
        // Nothing to replace and nothing to take back: the bytes go as they come.
        m_fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (m_fd < 0)
            fail(QStringLiteral("无法写入文件%1：%2。"), errno);
        m_temporary = m_target;
        m_stream = true;
        return;
    }
    removeStaleTemporaries(m_target);
    makeTemporary();
    // A file that is replaced keeps its permissions.
    if (::stat(name.constData(), &existing) == 0)
        ::fchmod(m_fd, existing.st_mode & 07777);
}

void WholeFile::makeTemporary()
{
    for (int attempt = 0; m_fd < 0; ++attempt) {
        m_temporary =
            m_target + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        m_fd = ::open(QFile::encodeName(m_temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && (errno != EEXIST || attempt > 100))
            fail(QStringLiteral("无法写入文件%1：%2。"), errno);
    }
    // Held by a descriptor of its own, which outlives the writing one until
    // the file is renamed or removed: no other writer takes it for stale.
    m_hold = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (m_hold >= 0)
        ::flock(m_hold, LOCK_EX | LOCK_NB);
}

WholeFile::~WholeFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed && !m_stream)
        ::unlink(QFile::encodeName(m_temporary).constData());
    if (m_hold >= 0)
        ::close(m_hold);
}

void WholeFile::fail(const QString &what, int error) const
{
    throw UserError(what.arg(describeFile(m_target), fileerror::reason(error)));
}

void WholeFile::write(const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(QStringLiteral("写入文件%1时出错：%2。"), errno);
        }
        data += written;
        size -= written;
    }
}

void WholeFile::copyFrom(QFile &source)
{
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(block.data(), block.size());
        if (got < 0)
            throw UserError(
                QStringLiteral("读取文件%1时出错：%2。").arg(describeFile(source.fileName()), source.errorString()));
        if (got == 0)
            return;
        write(block.constData(), got);
    }
}

void WholeFile::close()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    // Written through to the disk before the file may take the target's
    // name: a power cut must not leave a renamed but empty file. A stream
    // has no disk to force (a pipe or a terminal says EINVAL).
    const bool synced = ::fsync(fd) == 0 || (m_stream && (errno == EINVAL || errno == EROFS));
    const int syncError = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced)
        fail(QStringLiteral("写入文件%1时出错：%2。"), syncError);
    if (!closed)
        fail(QStringLiteral("写入文件%1时出错：%2。"), errno);
}

void WholeFile::commit()
{
    close();
    if (!m_stream && ::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(QStringLiteral("无法把文件写成%1：%2。"), errno);
    m_committed = true;
}
