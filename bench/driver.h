#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <stdexcept>
#include <string>

class QAction;
class QDialog;
class QWidget;

// Driving the program's windows as a user does: the main window's commands
// by name, controls found by their object names, mouse clicks on what is
// shown, typing, and modal dialogs worked on while their own event loop
// runs. Every failure throws std::runtime_error.
namespace driver {

inline void require(bool ok, const std::string &what)
{
    if (!ok)
        throw std::runtime_error(what);
}

// The main window's command; it must exist and be enabled.
QAction *command(const char *name);

// The named control under parent.
template <class T> T *child(const QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    require(found != nullptr, std::string("no control ") + name);
    return found;
}

// A left click at pos of the widget, pressed and released.
void click(QWidget *widget, QPoint pos);
// A click in the middle of the named button of the window.
void clickButton(const QWidget *window, const char *name);

// Types into the control: Latin keys pressed one by one, other characters
// committed through the input method, as a Chinese input method does.
void type(QWidget *control, const QString &text);

// Runs trigger, which opens a modal dialog; once the dialog is shown and
// active, runs inside in the dialog's own event loop. Throws when no dialog
// opened, or what inside threw once the dialog has closed; a dialog that
// inside left open is closed.
void withModal(const std::function<void()> &trigger, const std::function<void(QDialog *)> &inside);

} // namespace driver
