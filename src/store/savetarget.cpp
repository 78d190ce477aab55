#include "savetarget.h"

#include "cataloguelock.h"
#include "connection.h"
#include "programfolder.h"
#include "usererror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdlib>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace savetarget {
namespace {

// How many symbolic links are followed from one name, as the system does.
constexpr int kMostLinks = 40;

QString absoluteUnresolved(const QString &path)
{
    // Not cleaned: ".." after a symbolic link leads where the link's target
    // leads, which only the system knows.
    return QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path;
}

// The real path of something that exists; "" when there is none.
QString realPath(const QString &path)
{
    char *real = ::realpath(QFile::encodeName(path).constData(), nullptr);
    if (!real)
        return QString();
    const QString out = QFile::decodeName(real);
    std::free(real);
    return out;
}

// Where a name stands: its folder's real path and the name itself, whether
// the file exists or not. A name in a folder that does not exist stands
// where its cleaned path says; nothing can be written there anyway.
QString placeOf(const QString &absolute)
{
    QString path = absolute;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.isEmpty()) {
        const QString real = realPath(path);
        return real.isEmpty() ? QDir::cleanPath(path) : real;
    }
    const QString folder = realPath(slash <= 0 ? QStringLiteral("/") : path.left(slash));
    if (folder.isEmpty())
        return QDir::cleanPath(path);
    return (folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')) + name;
}

// Every place a name stands for: its own, and while that is a symbolic
// link (also one that leads nowhere), the places of what it leads to.
QStringList placesOf(const QString &path)
{
    QStringList places;
    QString next = absoluteUnresolved(path);
    for (int links = 0; links <= kMostLinks; ++links) {
        const QString place = placeOf(next);
        if (places.contains(place))
            break;
        places << place;
        const QByteArray native = QFile::encodeName(place);
        QByteArray target(4096, Qt::Uninitialized);
        const ssize_t size = ::readlink(native.constData(), target.data(), size_t(target.size()));
        if (size <= 0 || size >= target.size())
            break;
        target.truncate(size);
        const QString leadsTo = QFile::decodeName(target);
        next = QDir::isAbsolutePath(leadsTo) ? leadsTo : place.left(place.lastIndexOf(QLatin1Char('/')) + 1) + leadsTo;
    }
    return places;
}

// The device and file number of an existing file, through links.
struct Identity
{
    dev_t device;
    ino_t inode;
    bool operator==(const Identity &) const = default;
};

std::optional<Identity> identityOf(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return Identity{status.st_dev, status.st_ino};
}

struct Guarded
{
    Kind kind;
    QString path;
};

// The files no save may replace, for the catalogue given as an absolute path.
std::vector<Guarded> guardedFiles(const QString &catalogue)
{
    std::vector<Guarded> files;
    // SQLite keeps its journal beside the catalogue's real file, the lock
    // stands beside the name the program was given: both are guarded beside
    // every name the catalogue is reached by.
    for (const QString &name : placesOf(catalogue)) {
        files.push_back({Kind::Catalogue, name});
        files.push_back({Kind::Lock, CatalogueLock::lockFileName(name)});
        for (const char *suffix : {"-journal", "-wal", "-shm"})
            files.push_back({Kind::Journal, name + QLatin1String(suffix)});
    }
    files.push_back({Kind::Lock, CatalogueLock::lockFileName(catalogue)});

    const QString folder = programfolder::path();
    for (const char *program : {"quillmere", "qmrestore", "qmnewdata"})
        files.push_back({Kind::ProgramFile, folder + QLatin1String(program)});
    if (QCoreApplication::instance())
        files.push_back({Kind::ProgramFile, QCoreApplication::applicationFilePath()});
    files.push_back({Kind::ProgramFile, programfolder::helpDocument()});
    files.push_back({Kind::ProgramFile, programfolder::catalogueTemplate()});
    return files;
}

QString refusal(Kind kind, const QString &what, const QString &file)
{
    switch (kind) {
    case Kind::Free:
        break;
    case Kind::Catalogue:
        return QStringLiteral("不能把%1保存为正在使用的数据文件%2本身，请另选一个文件名。").arg(what, file);
    case Kind::Lock:
        return QStringLiteral("不能把%1保存为%2：它是正在使用的数据文件的锁文件，请另选一个文件名。").arg(what, file);
    case Kind::Journal:
        return QStringLiteral("不能把%1保存为%2：它是正在使用的数据文件的日志文件，请另选一个文件名。").arg(what, file);
    case Kind::ProgramFile:
        return QStringLiteral("不能把%1保存为%2：它是本程序的文件，请另选一个文件名。").arg(what, file);
    }
    return QString();
}

} // namespace

Kind judge(const QString &target, const QString &dataFile)
{
    const QStringList places = placesOf(target);
    const std::optional<Identity> identity = identityOf(target);
    for (const Guarded &file : guardedFiles(QFileInfo(dataFile).absoluteFilePath())) {
        for (const QString &place : placesOf(file.path))
            if (places.contains(place))
                return file.kind;
        if (identity && identityOf(file.path) == identity)
            return file.kind;
    }
    return Kind::Free;
}

void check(const QString &target, const QString &what, const QString &dataFile)
{
    const Kind kind = judge(target, dataFile);
    if (kind != Kind::Free)
        throw UserError(refusal(kind, what, describeFile(absoluteUnresolved(target))));
}

} // namespace savetarget
