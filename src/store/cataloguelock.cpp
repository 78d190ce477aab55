#include "cataloguelock.h"

#include <QFileInfo>

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
    return m_lock.error() == QLockFile::LockFailedError ? Outcome::HeldElsewhere : Outcome::CannotLock;
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
