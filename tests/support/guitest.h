#pragma once

#include "fixture.h"

#include <QObject>
#include <QStringList>

#include <memory>

namespace fixture {

// The ground of the test programs that drive the program's windows, as a
// user would: every test case gets a fresh program folder with a new
// catalogue, message boxes, file boxes and the desktop scripted with no
// answer left from before, and the Chinese date formats; start() makes the
// windows on that folder and shows the main window. At the end no modal
// window may be left open.
class GuiTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<Windows> windows;

    QString dataFile() const { return folder->dataFile(); }
    // Runs SQL on the data file, and reads the first column of a query.
    void seed(const QString &sql) const { exec(folder->dataFile(), sql); }
    QStringList query(const QString &sql) const { return column(folder->dataFile(), sql); }
    // Makes the windows and shows the main window.
    void start();
    // Chooses the main window's command as a user would: the test fails when
    // there is no such command or it cannot be chosen.
    static void trigger(const char *command);

    // What init() and cleanup() do, for a program whose own init() and
    // cleanup() do more around them.
    void setUpCase();
    void tearDownCase();

private Q_SLOTS:
    void init() { setUpCase(); }
    void cleanup() { tearDownCase(); }
};

} // namespace fixture
