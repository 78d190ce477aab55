#include "datafilereplace.h"

#include "cataloguecheck.h"
#include "store/cataloguelock.h"
#include "store/connection.h"
#include "store/usererror.h"
#include "store/wholefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <memory>

namespace restore {
namespace {

// How long the restore waits for a Quillmere that is ending (the one that
// started it) to let the catalogue go.
constexpr int kWaitForQuillmere = 5000;

// Copies source whole into a new file at target (see WholeFile); the copy
// is not committed yet.
std::unique_ptr<WholeFile> copyOf(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("无法读取文件%1：%2").arg(describeFile(source), in.errorString()));
    auto out = std::make_unique<WholeFile>(target);
    out->copyFrom(in);
    out->close();
    return out;
}

} // namespace

QString inUseMessage(const QString &target)
{
    return QStringLiteral("Quillmere正在使用数据文件%1。请先关闭Quillmere，再还原。").arg(describeFile(target));
}

void settleJournal(const QString &target)
{
    const QString journal = target + QStringLiteral("-journal");
    if (!QFileInfo::exists(journal))
        return;
    // A change that a program did not finish (it was killed, or the power
    // went) is rolled back by SQLite itself as soon as the file is read
    // through a connection that may write. A journal that is not worth
    // rolling back (its header was never written) stays until the next
    // write, so one write is made: the file's own user_version, unchanged.
    // SQLite replaces the old journal by its own and removes it at the
    // commit. Another program that holds the file is waited for as every
    // action waits (kBusyTimeout).
    QString failure;
    std::unique_ptr<Connection> connection;
    int code = SQLITE_OK; // the step that failed
    auto run = [&](const QByteArray &sql) {
        try {
            connection->exec(sql.constData());
        } catch (const UserError &) {
            code = sqlite3_errcode(connection->handle()) & 0xff;
            throw;
        }
    };
    try {
        connection = std::make_unique<Connection>(QFileInfo(target).absoluteFilePath());
        run("BEGIN IMMEDIATE");
        sqlite3_stmt *stmt = nullptr;
        int version = 0;
        const bool read =
            sqlite3_prepare_v2(connection->handle(), "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW;
        if (read)
            version = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        if (!read)
            throw UserError(connection->failure(QString::fromUtf8(sqlite3_errmsg(connection->handle()))));
        run("PRAGMA user_version=" + QByteArray::number(version) + "; COMMIT;");
    } catch (const UserError &e) {
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            failure = QStringLiteral("另一个程序正在写入它");
        else
            failure = connection ? QString::fromUtf8(sqlite3_errmsg(connection->handle())) : e.message();
        if (connection)
            sqlite3_exec(connection->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    connection.reset();
    if (failure.isEmpty() && QFileInfo::exists(journal))
        failure = QStringLiteral("它的日志文件“%1”无法清除").arg(QFileInfo(journal).fileName());
    if (!failure.isEmpty())
        throw UserError(QStringLiteral("数据文件%1正被其他程序使用（%2）。请先关闭那个程序，再还原。")
                            .arg(describeFile(target), failure));
}

QString safetyCopyName(const QString &dataFile)
{
    const QFileInfo info(dataFile);
    const QString folder = info.absolutePath();
    const QString stem =
        QStringLiteral("%1-before-restore-%2")
            .arg(info.completeBaseName(), QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString name = stem + QStringLiteral(".qmd");
    for (int n = 2; QFileInfo::exists(QDir(folder).filePath(name)); ++n)
        name = QStringLiteral("%1-%2.qmd").arg(stem).arg(n);
    return name;
}

QString replaceDataFile(const QString &backup, const QString &dataFile)
{
    const QFileInfo targetInfo(dataFile);
    const QString target = targetInfo.absoluteFilePath();
    const QString folder = targetInfo.absolutePath();
    if (targetInfo.exists() && QFileInfo(backup).canonicalFilePath() == targetInfo.canonicalFilePath())
        throw UserError(QStringLiteral("%1就是当前的数据文件，不能用它自己来还原。").arg(describeFile(target)));

    const CatalogueFacts facts = inspect(backup);
    if (!facts.catalogue)
        throw UserError(
            QStringLiteral("%1不是可以还原的Quillmere数据文件：%2。").arg(describeFile(backup), facts.problem));

    // No Quillmere may work on the file while it is replaced, and none may
    // start until it is done.
    CatalogueLock lock(target);
    const CatalogueLock::Outcome taken = lock.tryLock(kWaitForQuillmere);
    if (taken == CatalogueLock::Outcome::HeldElsewhere)
        throw UserError(inUseMessage(target));
    if (taken == CatalogueLock::Outcome::Unattributed)
        throw UserError(QStringLiteral("数据文件%1被锁定，没有还原：%2。\n这个锁不属于这台计算机上正在运行的"
                                       "Quillmere。请先启动Quillmere：它会说明这个锁，确认后可以解除它。")
                            .arg(describeFile(target), lock.describeHolder()));

    QString safetyName;
    if (targetInfo.exists()) {
        settleJournal(target);
        safetyName = safetyCopyName(target);
        std::unique_ptr<WholeFile> safety = copyOf(target, QDir(folder).filePath(safetyName));
        QFile::setPermissions(safety->temporaryPath(), targetInfo.permissions());
        safety->commit();
    }

    std::unique_ptr<WholeFile> copy = copyOf(backup, target);
    // What is put in place is checked, not only what was chosen.
    const CatalogueFacts copied = inspect(copy->temporaryPath());
    if (!copied.catalogue)
        throw UserError(
            QStringLiteral("复制出的文件不完整（%1），数据文件%2没有改变。").arg(copied.problem, describeFile(target)));
    QFile::setPermissions(copy->temporaryPath(), targetInfo.exists()
                                                     ? targetInfo.permissions()
                                                     : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
    copy->commit();
    return safetyName;
}

} // namespace restore
