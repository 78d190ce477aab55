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

bool question(QWidget *parent, const QString &text)
{
    const QString title = QStringLiteral("Information");
    if (g_scripted) {
        g_shown.append({Kind::Question, title, text});
        return !g_answers.isEmpty() && g_answers.dequeue();
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool questionZh(QWidget *parent, const QString &text)
{
    const QString title = QStringLiteral("提示");
    if (g_scripted) {
        g_shown.append({Kind::Question, title, text});
        return !g_answers.isEmpty() && g_answers.dequeue();
    }
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
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
