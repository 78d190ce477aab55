#pragma once

#include <QObject>

class QWidget;

// No exception crosses the event loop. Every handler runs inside guard::run:
// an error of the store or the file system stops the rest of the handler and
// is shown in the application's error box; the program goes on.
namespace guard {

void showFailure(QWidget *parent, std::exception_ptr failure) noexcept;

template <class F> void run(QWidget *parent, F &&handler) noexcept
{
    try {
        handler();
    } catch (...) {
        showFailure(parent, std::current_exception());
    }
}

// Connects a signal to a window's handler that takes no arguments, guarded.
template <class Sender, class Signal, class Window>
QMetaObject::Connection connect(Sender *sender, Signal signal, Window *window, void (Window::*handler)())
{
    return QObject::connect(sender, signal, window, [window, handler] { run(window, [&] { (window->*handler)(); }); });
}

} // namespace guard
