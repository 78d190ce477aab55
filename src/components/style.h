#pragma once

#include <QColor>
#include <QString>

namespace style {

// Group boxes draw their title inside the top line of their frame, so that
// controls placed just under the title stay inside the frame. With a colour,
// the group is filled with it (the book dialogs' highlight).
inline QString groupBox(const QColor &background = QColor())
{
    QString rule = QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px;");
    if (background.isValid())
        rule += QStringLiteral(" background-color: %1;").arg(background.name());
    return rule + QStringLiteral(" }"
                                 "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
                                 " left: 7px; padding: 0 2px; }");
}

// The book dialogs' highlight: the group box holding the keyboard focus has
// this property set and is filled sky blue. A property, not a style sheet of
// its own: changing a widget's style sheet polishes every control inside it
// again, and a pick list of thousands of names lays out all its items anew.
inline constexpr char kHighlighted[] = "highlighted";
inline const QColor kHighlightColour(166, 202, 240);

// The application's style sheet: the group boxes above, the highlighted
// ones, and password boxes that show each character as "*".
inline QString application()
{
    return groupBox() +
           QStringLiteral("QGroupBox[%1=\"true\"] { background-color: %2; }")
               .arg(QLatin1String(kHighlighted), kHighlightColour.name()) +
           QStringLiteral("QLineEdit { lineedit-password-character: 42; }");
}

} // namespace style
