#include "datepicker.h"

#include "store/datetext.h"

#include <QCalendarWidget>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>

DatePicker::DatePicker(QWidget *parent)
    : QDateEdit(parent)
{
    setCalendarPopup(true);
    // The day before the earliest day a user can pick stands for "no date".
    setMinimumDate(QDate(1000, 1, 1));
    setSpecialValueText(QStringLiteral("（无日期）"));
    QString format = datetext::locale().dateFormat(QLocale::LongFormat);
    // Weekday names make the box too wide for its place; the day is enough.
    format.remove(QStringLiteral("dddd")).remove(QStringLiteral("ddd"));
    setDisplayFormat(format.trimmed().remove(QRegularExpression(QStringLiteral("^[,\\s]+|[,\\s]+$"))));
    clearDate();
}

bool DatePicker::hasDate() const
{
    return date() != noDate();
}

void DatePicker::clearDate()
{
    setDate(noDate());
}

QDate DatePicker::day() const
{
    return hasDate() ? date() : QDate();
}

void DatePicker::setDay(QDate day)
{
    if (day.isValid() && day > noDate())
        setDate(day);
    else
        clearDate();
}

QString DatePicker::dateText() const
{
    return hasDate() ? datetext::format(date()) : QString();
}

void DatePicker::stepBy(int steps)
{
    // From no date, the first step lands on today rather than on a day
    // next to the year 1000.
    if (!hasDate()) {
        setDate(QDate::currentDate());
        return;
    }
    QDateEdit::stepBy(steps);
}

DatePicker::StepEnabled DatePicker::stepEnabled() const
{
    if (!hasDate())
        return isReadOnly() ? StepNone : StepEnabled(StepUpEnabled | StepDownEnabled);
    return QDateEdit::stepEnabled();
}

void DatePicker::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && !isReadOnly()) {
        clearDate();
        selectAll();
        event->accept();
        return;
    }
    // Typing a day into an empty picker starts from today, with the first
    // part of the date (the year, in Chinese order) taking what is typed.
    if (!hasDate() && !isReadOnly() && !event->text().isEmpty() && event->text().front().isDigit()) {
        setDate(QDate::currentDate());
        setSelectedSection(sectionAt(0));
    }
    QDateEdit::keyPressEvent(event);
}

void DatePicker::mousePressEvent(QMouseEvent *event)
{
    // Opening the calendar on an empty picker shows today, not the year 1000.
    if (!hasDate())
        calendarWidget()->setCurrentPage(QDate::currentDate().year(), QDate::currentDate().month());
    QDateEdit::mousePressEvent(event);
}

void DatePicker::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = lineEdit()->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    QAction *clear = menu->addAction(QStringLiteral("清除日期"), this, &DatePicker::clearDate);
    clear->setObjectName(QStringLiteral("action_cleardate"));
    clear->setEnabled(hasDate() && !isReadOnly() && isEnabled());
    menu->popup(event->globalPos());
    event->accept();
}
