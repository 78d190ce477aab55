#pragma once

#include <QList>
#include <QString>

class QWidget;

// Every message box and question of the program goes through here, so that
// tests can answer questions directly and see what was shown.
namespace msg {

// A plain message: no icon, one OK button, the application title as caption
// unless a caption is given.
void plain(QWidget *parent, const QString &text, const QString &caption = QString());

// A question before a destructive step: caption "Information", the
// information icon, buttons "&Yes" and "&No". True only for Yes.
bool question(QWidget *parent, const QString &text);

// The same question in Chinese, for the newer questions of the main program
// (a book stored already, 已归还, ...) and for the restore program: caption
// "提示", buttons "是(&Y)" and "否(&N)", the default one as given (Enter
// answers it). Scripted and answered as question().
enum class Preset { Yes, No };
bool questionZh(QWidget *parent, const QString &text, Preset preset = Preset::Yes);

// The application's error box: critical icon, the application title as
// caption, the error's text.
void error(QWidget *parent, const QString &text);

// What was shown, for tests.
enum class Kind { Plain, Question, Error };
struct Shown
{
    Kind kind;
    QString caption;
    QString text;
};

// While scripted, nothing is shown on screen: each message is recorded and a
// question takes the next queued answer (No when none is queued).
void setScripted(bool scripted);
void setNextAnswer(bool yes);
QList<Shown> takeShown();

} // namespace msg
