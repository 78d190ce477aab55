#pragma once

#include <QLockFile>
#include <QString>

// One program at a time on a catalogue: a lock file beside the data file
// ("data.qmd.lock"), held by Quillmere for its whole run and by the restore
// program while it replaces the file. A lock left by a program that was
// killed is recognised as stale (its process is gone) and taken over.
class CatalogueLock
{
public:
    explicit CatalogueLock(const QString &dataFile);
    ~CatalogueLock();

    CatalogueLock(const CatalogueLock &) = delete;
    CatalogueLock &operator=(const CatalogueLock &) = delete;

    enum class Outcome {
        Locked,        // this program holds the catalogue now
        HeldElsewhere, // another running program holds it
        CannotLock,    // the folder takes no lock file (read-only, missing)
    };
    // Takes the lock, waiting up to timeoutMs for a holder that is ending.
    Outcome tryLock(int timeoutMs = 0);
    void unlock();
    bool isLocked() const { return m_lock.isLocked(); }
    const QString &dataFile() const { return m_dataFile; }

    // Whether a running program other than this one holds the catalogue.
    static bool isHeldElsewhere(const QString &dataFile);
    static QString lockFileName(const QString &dataFile);

private:
    QString m_dataFile;
    QLockFile m_lock;
};
