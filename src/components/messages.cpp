#include "messages.h"

#include "components/apptitle.h"

#include <QMessageBox>
#include <QPushButton>
#include <QQueue>

namespace msg {
namespace {

bool g_scripted = false;
QQueue<bool> g_answers;
QList<Shown> g_shown;

} // namespace

void plain(QWidget *parent, const QString &text, const QString &caption)
{
    const QString title = caption.isNull() ? app::title() : caption;
    if (g_scripted) {
        g_shown.append({Kind::Plain, title, text});
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

namespace {

// A question with the information icon and two buttons; true only for the
// first. Scripted, it takes the next queued answer.
bool ask(QWidget *parent, const QString &title, const QString &text, const QString &yesText, const QString &noText,
         Preset preset = Preset::Yes)
{
    if (g_scripted) {
        g_shown.append({Kind::Question, title, text});
        return !g_answers.isEmpty() && g_answers.dequeue();
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(yesText, QMessageBox::YesRole);
    QPushButton *no = box.addButton(noText, QMessageBox::NoRole);
    box.setDefaultButton(preset == Preset::Yes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace

bool question(QWidget *parent, const QString &text)
{
    return ask(parent, QStringLiteral("Information"), text, QStringLiteral("&Yes"), QStringLiteral("&No"));
}

bool questionZh(QWidget *parent, const QString &text, Preset preset)
{
    return ask(parent, QStringLiteral("提示"), text, QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"), preset);
}

void error(QWidget *parent, const QString &text)
{
    if (g_scripted) {
        g_shown.append({Kind::Error, app::title(), text});
        return;
    }
    QMessageBox box(QMessageBox::Critical, app::title(), text, QMessageBox::Ok, parent);
    box.exec();
}

void setScripted(bool scripted)
{
    g_scripted = scripted;
    g_answers.clear();
    g_shown.clear();
}

void setNextAnswer(bool yes)
{
    g_answers.enqueue(yes);
}

QList<Shown> takeShown()
{
    return std::exchange(g_shown, {});
}

} // namespace msg
