#include "driver.h"

#include "main/form_main.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QInputMethodEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <exception>
#include <memory>

namespace driver {
namespace {

// Waits for the next modal dialog to be shown and to take the keyboard focus,
// by the dialog's own events; then runs the step once in its event loop. A
// step that has not run when the dialog is gone again never runs.
class ModalWatcher : public QObject
{
public:
    struct State
    {
        std::function<void(QDialog *)> step;
        bool taken = false;
        bool ran = false;
        bool cancelled = false;
    };

    explicit ModalWatcher(std::function<void(QDialog *)> step)
        : m_state(std::make_shared<State>())
    {
        m_state->step = std::move(step);
        qApp->installEventFilter(this);
    }
    ~ModalWatcher() override
    {
        qApp->removeEventFilter(this);
        m_state->cancelled = true;
    }

    bool ran() const { return m_state->ran; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_state->taken && (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show))
            take(qobject_cast<QDialog *>(watched));
        return false;
    }

private:
    void take(QDialog *dialog)
    {
        if (!dialog || dialog != QApplication::activeModalWidget() || !dialog->isVisible() || !dialog->isActiveWindow())
            return;
        m_state->taken = true;
        QTimer::singleShot(0, dialog, [state = m_state, dialog] {
            if (state->cancelled || !dialog->isVisible())
                return;
            state->ran = true;
            state->step(dialog);
        });
    }

    std::shared_ptr<State> m_state;
};

} // namespace

QAction *command(const char *name)
{
    QAction *action = form_main ? form_main->action(name) : nullptr;
    require(action != nullptr, std::string("no command ") + name);
    require(action->isEnabled(), std::string("the command is disabled: ") + name);
    return action;
}

void click(QWidget *widget, QPoint pos)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
}

void clickButton(const QWidget *window, const char *name)
{
    QPushButton *button = child<QPushButton>(window, name);
    require(button->isVisible() && button->isEnabled(), std::string("the button cannot be clicked: ") + name);
    click(button, button->rect().center());
}

void type(QWidget *control, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(control, QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(control, &commit);
        }
    }
}

void withModal(const std::function<void()> &trigger, const std::function<void(QDialog *)> &inside)
{
    std::exception_ptr failure;
    ModalWatcher watcher([&](QDialog *dialog) {
        // Nothing may leave the dialog's event loop by an exception.
        QPointer<QDialog> guarded(dialog);
        try {
            inside(dialog);
        } catch (...) {
            failure = std::current_exception();
        }
        if (guarded && guarded->isVisible())
            guarded->reject();
    });
    trigger();
    if (failure)
        std::rethrow_exception(failure);
    require(watcher.ran(), "no dialog opened");
}

} // namespace driver
