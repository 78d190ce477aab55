#include "wholefile.h"

#include "connection.h"
#include "usererror.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

WholeFile::WholeFile(const QString &target)
    : m_target(QFileInfo(target).absoluteFilePath())
{
    for (int attempt = 0; m_fd < 0; ++attempt) {
        m_temporary =
            m_target + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        m_fd = ::open(QFile::encodeName(m_temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && (errno != EEXIST || attempt > 100))
            fail(QStringLiteral("无法写入文件%1：%2。"), errno);
    }
    // A file that is replaced keeps its permissions.
    struct stat existing
    {
    };
    if (::stat(QFile::encodeName(m_target).constData(), &existing) == 0)
        ::fchmod(m_fd, existing.st_mode & 07777);
}

WholeFile::~WholeFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed)
        ::unlink(QFile::encodeName(m_temporary).constData());
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
    // name: a power cut must not leave a renamed but empty file.
    const bool synced = ::fsync(fd) == 0;
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
    if (::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(QStringLiteral("无法把文件写成%1：%2。"), errno);
    m_committed = true;
}
