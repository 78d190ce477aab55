#pragma once

#include <QLabel>

class QLineEdit;

// The line under a book window's ISBN box. When the box is left, it says
// whether the ISBN there is a valid ISBN-10 or ISBN-13 and offers, as a
// link, to turn it into the other form (a 979 ISBN-13 has no ISBN-10); it
// never stops the user. The box keeps exactly what was typed unless the link
// is followed. Typing, or a book loaded into the box, hides it again.
class IsbnHint : public QLabel
{
    Q_OBJECT

public:
    explicit IsbnHint(QLineEdit *box, QWidget *parent = nullptr);

    // Judges the box's text now, as leaving the box does.
    void check();

private:
    void show(const QString &text, bool good, const QString &link = QString(), const QString &linkText = QString());
    void convert(const QString &link);

    QLineEdit *m_box;
};
