#include "cataloguelock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

namespace {

// What the lock file says of its holder.
struct Holder
{
    bool readable = false; // a process number, a program and a computer
    qint64 pid = 0;
    QString program;
    QString host;
    QByteArray machine; // the computer's own id, when the lock has one
};

Holder readHolder(const QString &lockFile)
{
    Holder holder;
    QFile file(lockFile);
    if (!file.open(QIODevice::ReadOnly))
        return holder;
    const QList<QByteArray> lines = file.read(4096).split('\n');
    bool number = false;
    holder.pid = lines.value(0).trimmed().toLongLong(&number);
    holder.program = QString::fromUtf8(lines.value(1)).trimmed();
    holder.host = QString::fromUtf8(lines.value(2)).trimmed();
    holder.machine = lines.value(3).trimmed();
    holder.readable = number && holder.pid > 0 && !holder.host.isEmpty();
    return holder;
}

// Whether the holder is a process of this computer: its name, and its id
// where the lock has one (a copy of a folder from a computer of the same
// name is not this one).
bool ofThisComputer(const Holder &holder)
{
    return holder.readable && holder.host == QSysInfo::machineHostName() &&
           (holder.machine.isEmpty() || holder.machine == QSysInfo::machineUniqueId());
}

} // namespace

CatalogueLock::CatalogueLock(const QString &dataFile)
    : m_dataFile(QFileInfo(dataFile).absoluteFilePath())
    , m_lock(lockFileName(dataFile))
{
    // A lock is stale only when its program has ended, never by its age:
    // Quillmere holds it for as long as it runs.
    m_lock.setStaleLockTime(0);
}

CatalogueLock::~CatalogueLock() = default;

QString CatalogueLock::lockFileName(const QString &dataFile)
{
    return QFileInfo(dataFile).absoluteFilePath() + QStringLiteral(".lock");
}

CatalogueLock::Outcome CatalogueLock::tryLock(int timeoutMs)
{
    if (m_lock.isLocked() || m_lock.tryLock(timeoutMs))
        return Outcome::Locked;
    const QString file = lockFileName(m_dataFile);
    if (QFileInfo(file).isDir())
        return Outcome::Unattributed;
    if (m_lock.error() != QLockFile::LockFailedError)
        return Outcome::CannotLock;
    // A lock of a process that ended on this computer was taken over above.
    return ofThisComputer(readHolder(file)) ? Outcome::HeldElsewhere : Outcome::Unattributed;
}

CatalogueLock::Outcome CatalogueLock::takeOver()
{
    const Outcome found = tryLock();
    if (found != Outcome::Unattributed)
        return found;
    const QString file = lockFileName(m_dataFile);
    if (QFileInfo(file).isDir()) {
        if (!QDir().rmdir(file))
            return Outcome::CannotLock;
    } else if (!QFile::remove(file)) {
        return Outcome::CannotLock;
    }
    return tryLock();
}

QString CatalogueLock::describeHolder() const
{
    const QString file = lockFileName(m_dataFile);
    const QFileInfo info(file);
    if (!info.exists())
        return QStringLiteral("没有锁文件");
    const QDateTime made = info.lastModified();
    const qint64 days = made.daysTo(QDateTime::currentDateTime());
    const QString when = QStringLiteral("建于 %1（%2）")
                             .arg(made.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                  days > 0 ? QStringLiteral("%1天前").arg(days) : QStringLiteral("今天"));
    if (info.isDir())
        return QStringLiteral("锁文件“%1”是一个文件夹，%2").arg(info.fileName(), when);
    if (info.size() == 0)
        return QStringLiteral("锁文件“%1”是空的，%2").arg(info.fileName(), when);
    const Holder holder = readHolder(file);
    if (!holder.readable)
        return QStringLiteral("锁文件“%1”的内容无法识别，%2").arg(info.fileName(), when);
    const QString program = holder.program.isEmpty() ? QString() : QStringLiteral("（%1）").arg(holder.program);
    if (holder.host != QSysInfo::machineHostName())
        return QStringLiteral("锁文件属于另一台计算机“%1”上的进程 %2%3，%4")
            .arg(holder.host)
            .arg(holder.pid)
            .arg(program, when);
    return QStringLiteral("锁文件属于计算机“%1”上的进程 %2%3，%4，但不是这台计算机上正在运行的程序")
        .arg(holder.host)
        .arg(holder.pid)
        .arg(program, when);
}

void CatalogueLock::unlock()
{
    m_lock.unlock();
}

bool CatalogueLock::isHeldElsewhere(const QString &dataFile)
{
    CatalogueLock probe(dataFile);
    return probe.tryLock() == Outcome::HeldElsewhere;
}
