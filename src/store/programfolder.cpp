#include "programfolder.h"

#include "connection.h"
#include "usererror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// Where the installed data folder stands seen from the installed program
// (set by the build from its install folders).
#ifndef QM_DATA_FROM_PROGRAM
#define QM_DATA_FROM_PROGRAM "../share/quillmere"
#endif

namespace programfolder {
namespace {

QString g_override;
QString g_dataFile; // "" while the catalogue is the one beside the program

QString withSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString besideProgramFile()
{
    return path() + QString::fromLatin1(kDataFileName);
}

} // namespace

QString path()
{
    const QString folder = g_override.isEmpty() ? QCoreApplication::applicationDirPath() : g_override;
    return withSeparator(QFileInfo(folder).absoluteFilePath());
}

QString installedFolder()
{
    return withSeparator(QDir::cleanPath(path() + QStringLiteral(QM_DATA_FROM_PROGRAM)));
}

QString helpDocument()
{
    const QString name = QStringLiteral("qmp.html");
    const QString beside = path() + name;
    const QString installed = installedFolder() + name;
    if (!QFileInfo(beside).isFile() && QFileInfo(installed).isFile())
        return installed;
    return beside;
}

QString catalogueTemplate()
{
    return installedFolder() + QString::fromLatin1(kDataFileName);
}

QString dataFile()
{
    return g_dataFile.isEmpty() ? besideProgramFile() : g_dataFile;
}

QString catalogueFolder()
{
    return withSeparator(QFileInfo(dataFile()).absolutePath());
}

bool besideProgram()
{
    return isBesideProgram(dataFile());
}

bool isBesideProgram(const QString &file)
{
    return QFileInfo(file).absoluteFilePath() == besideProgramFile();
}

void useDataFile(const QString &file)
{
    g_dataFile = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
}

void enter()
{
    const QString folder = catalogueFolder();
    if (QDir::setCurrent(folder))
        return;
    const QString text = besideProgram() ? QStringLiteral("无法进入程序文件夹“%1”。")
                                         : QStringLiteral("无法进入数据文件所在的文件夹“%1”。");
    throw UserError(text.arg(QDir::toNativeSeparators(folder)));
}

void setOverride(const QString &folder)
{
    g_override = folder;
    g_dataFile.clear();
}

} // namespace programfolder
