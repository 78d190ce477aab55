#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

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
