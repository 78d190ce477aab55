#pragma once

#include <QString>

namespace pictures {

// The command picture with this index (0 to 29), shared by the main window's
// commands and the windows they open.
inline QString command(int index)
{
    return QStringLiteral(":/icons/main/%1.png").arg(index, 2, 10, QLatin1Char('0'));
}

} // namespace pictures
