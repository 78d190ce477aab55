#pragma once

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

// The progress of a long transfer: a modal window with a bar and "取消",
// shown once the work is known to be large; small work shows none. While it
// is shown the program keeps answering the screen and the button.
class ProgressWindow
{
public:
    // Work of at least this many books shows the window.
    static constexpr qint64 kShownFrom = 2000;

    ProgressWindow(QWidget *parent, QString label);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow &) = delete;
    ProgressWindow &operator=(const ProgressWindow &) = delete;

    // Moves the bar to done of total; false once the user chose "取消".
    bool update(qint64 done, qint64 total);
    // Takes the window away.
    void close();

private:
    QWidget *m_parent;
    QString m_label;
    std::unique_ptr<QProgressDialog> m_dialog;
    int m_shownPercent = -1;
};
