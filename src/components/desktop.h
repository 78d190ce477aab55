#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QUrl;

// The desktop's services in one place: opening a document or a web address
// with the program the desktop has for it, and starting another program.
// Tests can record these requests instead of carrying them out.
namespace desktop {

// Opens a local document or a web address with the desktop's default
// program. False when nothing could be started to open it.
bool open(const QUrl &url);

// Starts a program in the given working folder without waiting for it.
// False when it could not be started (missing, not executable).
bool start(const QString &program, const QString &workingFolder, const QStringList &arguments = {});

// What was asked for, for tests.
struct Request
{
    enum class Kind { Open, Start };
    Kind kind;
    QString target; // the address, or the program's path
    QString workingFolder;
    QStringList arguments;
};

// While scripted, nothing is opened or started: each request is recorded and
// returns the next queued result (true when none is queued).
void setScripted(bool scripted);
void setNextResult(bool ok);
QList<Request> takeRequests();

} // namespace desktop
