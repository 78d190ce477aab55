#include "cataloguelocation.h"

#include "connection.h"
#include "programfolder.h"
#include "usererror.h"
#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace cataloguelocation {

Choice decide(const QString &named)
{
    if (!named.isEmpty())
        return {Kind::Named, QFileInfo(named).absoluteFilePath()};
    const QString beside = programfolder::path() + QString::fromLatin1(kDataFileName);
    if (QFileInfo::exists(beside) || !QFileInfo(programfolder::catalogueTemplate()).isFile())
        return {Kind::BesideProgram, beside};
    return {Kind::Users, usersDataFile()};
}

QString usersDataFile()
{
    // What QStandardPaths calls the AppDataLocation of an application named
    // Quillmere, whatever name the running program was given.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = data.isEmpty() ? QString() : data + QStringLiteral("/Quillmere");
    if (folder.isEmpty())
        throw UserError(QStringLiteral("系统没有为您指定保存数据的文件夹（请检查环境变量 HOME），"
                                       "因此找不到您的数据文件“%1”。")
                            .arg(QString::fromLatin1(kDataFileName)));
    return QDir(folder).absoluteFilePath(QString::fromLatin1(kDataFileName));
}

void makeFolderFor(const QString &dataFile)
{
    const QString folder = QFileInfo(dataFile).absolutePath();
    if (QFileInfo(folder).isDir())
        return;
    if (!QDir().mkpath(folder))
        throw UserError(QStringLiteral("无法建立保存数据文件的文件夹“%1”，数据文件%2无法新建。\n"
                                       "请确认这个位置可以写入，并且路径中没有同名的文件。")
                            .arg(QDir::toNativeSeparators(folder), describeFile(dataFile)));
}

void copyTemplate(const QString &templateFile, const QString &dataFile)
{
    QFile in(templateFile);
    if (!in.open(QIODevice::ReadOnly))
        throw UserError(
            QStringLiteral("无法读取空白数据文件%1：%2。").arg(describeFile(templateFile), in.errorString()));
    WholeFile out(dataFile);
    out.copyFrom(in);
    out.close();
    // The installed file may be read-only for everybody; the user's copy is
    // the user's to write.
    QFile::setPermissions(out.temporaryPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ReadGroup | QFileDevice::ReadOther);
    out.commit();
}

} // namespace cataloguelocation
