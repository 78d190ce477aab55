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

// The application's style sheet: the group boxes above, and password boxes
// that show each character as "*".
inline QString application()
{
    return groupBox() + QStringLiteral("QLineEdit { lineedit-password-character: 42; }");
}

} // namespace style
