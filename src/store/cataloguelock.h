#pragma once

#include <QDateTime>
#include <QLockFile>
#include <QString>

// One program at a time on a catalogue: a lock file beside the data file
// ("data.qmd.lock"), held by Quillmere for its whole run and by the restore
// program while it replaces the file. A lock left by a program that was
// killed is recognised as stale (its process is gone) and taken over.
//
// A lock that names no process running on this computer (one written on
// another computer, an empty or unreadable file, a folder of that name) is
// not taken by itself: it may be another computer's at work on the same
// file through a shared folder. The user is told what it is and may take it
// over (takeOver).
class CatalogueLock
{
public:
    explicit CatalogueLock(const QString &dataFile);
    ~CatalogueLock();

    CatalogueLock(const CatalogueLock &) = delete;
    CatalogueLock &operator=(const CatalogueLock &) = delete;

    enum class Outcome {
        Locked,        // this program holds the catalogue now
        HeldElsewhere, // another program running on this computer holds it
        Unattributed,  // a lock of no process running here (see above)
        CannotLock,    // the folder takes no lock file (read-only, missing)
    };
    // Takes the lock, waiting up to timeoutMs for a holder that is ending.
    Outcome tryLock(int timeoutMs = 0);
    void unlock();
    // Removes a lock of no process running here and takes the catalogue:
    // Locked, or CannotLock when it cannot be removed (a folder that holds
    // files). Never removes the lock of a program running here.
    Outcome takeOver();
    // The lock file as found, in words for the user: "主机“pc2”上的进程
    // 4711（quillmere），建于 2026-11-11 10:00（30天前）", or what is wrong
    // with it.
    QString describeHolder() const;
    bool isLocked() const { return m_lock.isLocked(); }
    const QString &dataFile() const { return m_dataFile; }

    // Whether a running program other than this one holds the catalogue.
    static bool isHeldElsewhere(const QString &dataFile);
    static QString lockFileName(const QString &dataFile);

private:
    QString m_dataFile;
    QLockFile m_lock;
};
