#pragma once

#include <QLabel>

class QLineEdit;

// The line under a book window's ISBN box. When the box is left, it says
// whether the ISBN there is a valid ISBN-10 or ISBN-13 and offers, as a
// link, to turn it into the other form (a 979 ISBN-13 has no ISBN-10); it
// never stops the user. What the user typed is tidied first, in the box:
// full-width digits become ASCII digits and a leading "ISBN" or "ISBN:"
// goes; hyphens and blanks stay. Otherwise the box keeps what was typed
// unless the link is followed. Typing, or a book loaded into the box, hides
// the hint again.
class IsbnHint : public QLabel
{
    Q_OBJECT

public:
    explicit IsbnHint(QLineEdit *box, QWidget *parent = nullptr);

    // Stands the hint in the band between the box and the row below, in the
    // largest type size, up to the form's own, whose letters fit the band
    // whole (the band may be lower than a line of text). A hint longer than
    // the band reaches further left, as far as furthestLeft.
    void placeIn(const QRect &band, int furthestLeft);

    // Tidies the box's text if the user edited it, and judges it, as
    // leaving the box does.
    void check();

    // The text with full-width digits (and X) made ASCII and a leading
    // "ISBN" prefix, with its colon and the blanks after it, removed.
    static QString tidied(const QString &text);

private:
    void show(const QString &text, bool good, const QString &link = QString(), const QString &linkText = QString());
    void convert(const QString &link);
    void fitFont();
    void fitBand(int left);

    QLineEdit *m_box;
    QRect m_band;
    int m_furthestLeft = 0;
    int m_leading = 0;
    bool m_fitted = false;
};
