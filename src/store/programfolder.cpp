#include "programfolder.h"

#include "usererror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace programfolder {
namespace {

QString g_override;

} // namespace

QString path()
{
    QString folder = g_override.isEmpty() ? QCoreApplication::applicationDirPath() : g_override;
    folder = QFileInfo(folder).absoluteFilePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void enter()
{
    const QString folder = path();
    if (!QDir::setCurrent(folder))
        throw UserError(QStringLiteral("无法进入程序文件夹“%1”。").arg(QDir::toNativeSeparators(folder)));
}

void setOverride(const QString &folder)
{
    g_override = folder;
}

} // namespace programfolder
