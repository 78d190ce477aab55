#pragma once

#include <QDateEdit>

// A date picker with a drop-down calendar that holds whole days in the long
// date format, and that can also hold no date at all: it then shows
// "（无日期）". A new picker holds none. The user clears a day with the
// Delete key or the "清除日期" entry of its context menu; stepping an empty
// picker (arrow keys, wheel) or typing a digit into it starts from today.
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

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QDate noDate() const { return minimumDate(); }
};
