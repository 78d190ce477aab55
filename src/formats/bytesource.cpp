#include "bytesource.h"

#include "store/connection.h"
#include "store/usererror.h"
#include "store/wholefile.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void cannotRead(const QString &path, const QString &why)
{
    throw UserError(QStringLiteral("无法读取文件%1：%2").arg(describeFile(path), why));
}

// The system's reason in words; for reading, a missing permission is the
// one to read.
QString reasonOf(int error)
{
    if (error == EACCES || error == EPERM)
        return QStringLiteral("没有读取权限。");
    return fileerror::reason(error) + QStringLiteral("。");
}

// What a file that is not a regular one is, in words.
QString kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("命名管道");
    if (S_ISCHR(mode))
        return QStringLiteral("字符设备");
    if (S_ISBLK(mode))
        return QStringLiteral("块设备");
    if (S_ISSOCK(mode))
        return QStringLiteral("套接字");
    return QStringLiteral("特殊文件");
}

// A size limit in words: "1 GB", "64 MB".
QString sizeInWords(qint64 bytes)
{
    constexpr qint64 kGb = qint64(1) << 30;
    if (bytes >= kGb && bytes % kGb == 0)
        return QStringLiteral("%1 GB").arg(bytes / kGb);
    return QStringLiteral("%1 MB").arg(bytes >> 20);
}

} // namespace

ByteSource::ByteSource(const QString &path, qint64 largest)
    : m_path(path)
{
    const QByteArray name = QFile::encodeName(path);
    // Without waiting: opening a named pipe blocks until a writer comes.
    m_fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            throw UserError(QStringLiteral("找不到文件%1。").arg(describeFile(path)));
        cannotRead(path, reasonOf(error));
    }
    struct stat info = {};
    if (::fstat(m_fd, &info) != 0) {
        const int error = errno;
        ::close(m_fd);
        cannotRead(path, reasonOf(error));
    }
    QString refusal;
    if (S_ISDIR(info.st_mode))
        refusal = QStringLiteral("这是一个文件夹，不是文件。");
    else if (!S_ISREG(info.st_mode))
        refusal = QStringLiteral("它不是普通文件，而是%1，不能作为文件读取。").arg(kindOf(info.st_mode));
    else if (info.st_size > largest)
        refusal = QStringLiteral("文件超过%1，太大了。").arg(sizeInWords(largest));
    if (!refusal.isEmpty()) {
        ::close(m_fd);
        cannotRead(path, refusal);
    }
    m_size = info.st_size;
}

ByteSource::ByteSource(QByteArrayView bytes, const QString &path)
    : m_path(path)
    , m_bytes(bytes)
    , m_size(bytes.size())
{}

ByteSource::~ByteSource()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void ByteSource::forEachBlock(const std::function<bool(QByteArrayView)> &f) const
{
    if (m_fd < 0) {
        for (qint64 at = 0; at < m_size; at += kBlockSize)
            if (!f(m_bytes.sliced(at, qMin<qint64>(kBlockSize, m_size - at))))
                return;
        return;
    }
    QByteArray block(qsizetype(qMin<qint64>(kBlockSize, m_size)), Qt::Uninitialized);
    for (qint64 at = 0; at < m_size;) {
        const qsizetype wanted = qsizetype(qMin<qint64>(block.size(), m_size - at));
        const ssize_t got = ::pread(m_fd, block.data(), size_t(wanted), off_t(at));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw UserError(QStringLiteral("读取文件%1时出错：%2").arg(describeFile(m_path), reasonOf(errno)));
        if (got == 0)
            throw UserError(QStringLiteral("读取文件%1时出错：文件在读取的时候变短了，可能正被别的程序改写。")
                                .arg(describeFile(m_path)));
        at += got;
        if (!f(QByteArrayView(block.constData(), qsizetype(got))))
            return;
    }
}
