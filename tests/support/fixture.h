#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

class QAction;
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

// Calls step with the next modal dialog once it is shown (exec() runs).
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

// Makes the program's windows on the current program folder and removes them
// again, with message boxes and file boxes scripted instead of shown
// (msg::setNextAnswer, filedialog::setNextFileName).
class Windows
{
public:
    Windows();
    ~Windows();
};

} // namespace fixture
