#pragma once

#include <QString>

namespace app {

// The application title: the caption of the main window and of every plain
// message that has no caption of its own.
inline QString title()
{
    return QStringLiteral("Quillmere个人版 2.0");
}

} // namespace app
