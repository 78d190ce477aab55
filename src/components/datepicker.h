#pragma once

#include <QDateEdit>

// A date picker with a drop-down calendar that holds whole days in the long
// date format, and that can also hold no date at all (a stored date left
// empty): it then shows "（无日期）" until the user picks a day.
class DatePicker : public QDateEdit
{
    Q_OBJECT

public:
    explicit DatePicker(QWidget *parent = nullptr);

    bool hasDate() const;
    void clearDate();
    // The day shown; an invalid date when it holds none.
    QDate day() const;
    void setDay(QDate day);

    // The short date text of the day, "" when it holds none.
    QString dateText() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QDate noDate() const { return minimumDate(); }
};
