#include "datepicker.h"

#include "store/datetext.h"

#include <QCalendarWidget>
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
    setDate(QDate(2003, 9, 2));
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

void DatePicker::mousePressEvent(QMouseEvent *event)
{
    // Opening the calendar on an empty picker shows today, not the year 1000.
    if (!hasDate())
        calendarWidget()->setCurrentPage(QDate::currentDate().year(), QDate::currentDate().month());
    QDateEdit::mousePressEvent(event);
}
