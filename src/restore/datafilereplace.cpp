#include "datafilereplace.h"

#include "cataloguecheck.h"
#include "store/connection.h"
#include "store/storeerror.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <system_error>

namespace restore {
namespace {

QString dataFile(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(kDataFileName));
}

// A complete copy of source in a new temporary file in folder, written
// through to the disk. The file is removed again when the object goes,
// unless it was renamed into place.
std::unique_ptr<QTemporaryFile> copyToTemporary(const QString &source, const QString &folder)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw StoreError(QStringLiteral("无法读取文件%1：%2").arg(describeFile(source), in.errorString()));
    auto out = std::make_unique<QTemporaryFile>(QDir(folder).filePath(QStringLiteral("data.qmd.XXXXXX")));
    if (!out->open())
        throw StoreError(QStringLiteral("无法在文件夹%1中写入临时文件：%2")
                             .arg(QDir::toNativeSeparators(folder), out->errorString()));
    const auto failed = [&](const QString &reason) {
        return StoreError(QStringLiteral("复制文件%1时出错：%2").arg(describeFile(source), reason));
    };
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty() && in.error() != QFileDevice::NoError)
            throw failed(in.errorString());
        if (out->write(block) != block.size())
            throw failed(out->errorString());
    }
    if (!out->flush() || ::fsync(out->handle()) != 0)
        throw failed(out->errorString());
    out->close();
    if (out->error() != QFileDevice::NoError)
        throw failed(out->errorString());
    return out;
}

// Renames from over to in one step, replacing to if it exists.
void renameOver(QTemporaryFile &from, const QString &to)
{
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(from.fileName()).toStdString(), QFile::encodeName(to).toStdString(),
                            error);
    if (error)
        throw StoreError(
            QStringLiteral("无法把文件写成%1：%2").arg(describeFile(to), QString::fromLocal8Bit(error.message())));
    from.setAutoRemove(false);
}

// A data file left with a rollback journal beside it (a program stopped in
// the middle of a change) is first brought back to its last whole state, so
// that the journal is not later played back into the restored file. A
// journal that stays means another program is still working on the file.
void settleJournal(const QString &target)
{
    const QString journal = target + QStringLiteral("-journal");
    if (!QFileInfo::exists(journal))
        return;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(target).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, 2000);
        sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
    if (QFileInfo::exists(journal))
        throw StoreError(QStringLiteral("数据文件%1正被其他程序使用（Quillmere可能还在运行）。请先关闭它，再还原。")
                             .arg(describeFile(target)));
}

} // namespace

QString safetyCopyName(const QString &folder)
{
    const QString stem = QStringLiteral("data-before-restore-%1")
                             .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString name = stem + QStringLiteral(".qmd");
    for (int n = 2; QFileInfo::exists(QDir(folder).filePath(name)); ++n)
        name = QStringLiteral("%1-%2.qmd").arg(stem).arg(n);
    return name;
}

QString replaceDataFile(const QString &backup, const QString &folder)
{
    const QString target = dataFile(folder);
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && QFileInfo(backup).canonicalFilePath() == targetInfo.canonicalFilePath())
        throw StoreError(QStringLiteral("%1就是当前的数据文件，不能用它自己来还原。").arg(describeFile(target)));

    const CatalogueFacts facts = inspect(backup);
    if (!facts.catalogue)
        throw StoreError(
            QStringLiteral("%1不是可以还原的Quillmere数据文件：%2。").arg(describeFile(backup), facts.problem));

    QString safetyName;
    if (targetInfo.exists()) {
        settleJournal(target);
        safetyName = safetyCopyName(folder);
        std::unique_ptr<QTemporaryFile> safety = copyToTemporary(target, folder);
        safety->setPermissions(targetInfo.permissions());
        renameOver(*safety, QDir(folder).filePath(safetyName));
    }

    std::unique_ptr<QTemporaryFile> copy = copyToTemporary(backup, folder);
    // What is put in place is checked, not only what was chosen.
    const CatalogueFacts copied = inspect(copy->fileName());
    if (!copied.catalogue)
        throw StoreError(
            QStringLiteral("复制出的文件不完整（%1），数据文件%2没有改变。").arg(copied.problem, describeFile(target)));
    copy->setPermissions(targetInfo.exists() ? targetInfo.permissions()
                                             : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ReadGroup | QFileDevice::ReadOther);
    renameOver(*copy, target);
    return safetyName;
}

} // namespace restore
