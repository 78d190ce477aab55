#include "datafile.h"

#include <QDir>
#include <QFileInfo>

QString describeFile(const QString &absolutePath)
{
    const QFileInfo info(absolutePath);
    return QStringLiteral("“%1”（文件夹：%2）").arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath()));
}

QString missingDataFileMessage(const QString &absolutePath)
{
    return QStringLiteral("找不到数据文件%1。\n程序不会自动新建数据文件；请把数据文件放回该文件夹。")
        .arg(describeFile(absolutePath));
}
