#pragma once

#include "store/connection.h"
#include "store/dataset.h"
#include "store/programfolder.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class Catalogue;
class QAction;
class QProcess;
class QDialog;
class QWidget;

// Test fixtures: a fresh program folder with a new data file, reading and
// seeding the file directly (not through the program's own dataset), and
// a helper for modal windows.
namespace fixture {

// A temporary program folder holding a new, empty data.qmd; the program
// folder points at it and it is the current folder while the object lives.
class ProgramFolder
{
public:
    ProgramFolder();
    ~ProgramFolder();
    QString path() const; // with a trailing separator
    QString dataFile() const;
    bool isValid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Runs SQL statements on a data file; fails the test on error.
void exec(const QString &file, const QString &sql);
// The first column of every row of a query, as text (NULL as "<null>").
QStringList column(const QString &file, const QString &sql);
QString value(const QString &file, const QString &sql);

// Calls step with the next modal dialog once it is shown and has the
// keyboard focus (exec() runs); waited for by the dialog's own events.
void onNextModal(std::function<void(QDialog *)> step);

// Triggers the command and runs the steps on the modal dialog it opens; the
// dialog is closed afterwards if the steps left it open (also on a failure).
// Fails the test when no dialog opened.
void runDialog(QAction *command, const std::function<void(QDialog *)> &steps);

// The named child control; ends the test run when there is none.
template <class T> T *child(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Types into a control as a user would: Latin keys pressed one by one, other
// characters committed through the input method.
void type(QWidget *control, const QString &text);

// Shows the main window (not maximised) and waits until it is on screen.
void showMainWindow();

// A small tmpfs mounted on a fresh temporary folder: a target that fails for
// the superuser too, as a full or read-only disk does (folder permissions do
// not stop root). Where mounting is not allowed, isMounted() is false and the
// test skips.
class Tmpfs
{
public:
    explicit Tmpfs(qint64 bytes = 256 * 1024);
    ~Tmpfs();
    Tmpfs(const Tmpfs &) = delete;
    Tmpfs &operator=(const Tmpfs &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const; // with a trailing separator
    // Fills the disk: every later write fails with "no space left".
    void fill();
    // Makes the whole disk read-only, its files kept.
    bool makeReadOnly();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// Another program on a catalogue, as a separate process: one that holds the
// catalogue's lock as a running Quillmere does, or one that works on the data
// file through SQLite (see otherprogram.cpp). Ended when the object goes.
class OtherProgram
{
public:
    // Holds the lock of the data file.
    static std::unique_ptr<OtherProgram> holdingLock(const QString &dataFile);
    // Has the data file open; run() sends it SQL.
    static std::unique_ptr<OtherProgram> withSql(const QString &dataFile);
    // Runs sql rounds times, "%n" standing for the round, pauseMs apart,
    // and ends.
    static std::unique_ptr<OtherProgram> repeating(const QString &dataFile, int rounds, int pauseMs,
                                                   const QString &sql);
    ~OtherProgram();

    // Runs one line of SQL and returns the answer: "ok" or "error: ...".
    QString run(const QString &sql);
    // Ends it as kill -9 does: in the middle of whatever it was doing.
    void kill();
    // Closes its input and waits until it has ended; true when it ended well.
    bool finish();
    bool isRunning() const;
    qint64 processId() const;

private:
    explicit OtherProgram(const QStringList &arguments, const char *waitFor);
    QString readLine();
    std::unique_ptr<QProcess> m_process;
};

// A cursor with a connection of its own on a data file (by default the
// catalogue in use), opened at once: for the tests that drive the cursor
// itself, apart from any catalogue.
class OwnConnection
{
protected:
    explicit OwnConnection(const QString &file)
        : m_own(file)
    {}
    Connection m_own;
};
class Cursor : private OwnConnection, public Dataset
{
public:
    explicit Cursor(const QString &file = programfolder::dataFile())
        : OwnConnection(file)
        , Dataset(m_own)
    {}
};

// The real program file, as built.
QString programFile();

// Makes the program's windows on the catalogue in use (the program folder's,
// or the one chosen for the run) and removes them again, with message boxes
// and file boxes scripted instead of shown (msg::setNextAnswer,
// filedialog::setNextFileName). The catalogue is opened without its lock.
class Windows
{
public:
    Windows();
    ~Windows();
    Catalogue &catalogue() const { return *m_catalogue; }

private:
    std::unique_ptr<Catalogue> m_catalogue;
};

} // namespace fixture
