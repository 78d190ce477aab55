#include "filehelpers.h"

#include "catalogue/schema.h"
#include "support/fixture.h"

#include <QDir>
#include <QFile>

namespace filehelpers {

QByteArray bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

void writeProgram(const QString &path)
{
    writeFile(path, "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$(pwd -P)\" > started.tmp && mv started.tmp started.txt\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

void seedBooks(const QString &file, int count, int noteLength)
{
    QString sql = QStringLiteral("begin;");
    for (int i = 0; i < count; ++i)
        sql += QStringLiteral("insert into book (book_name, book_loan, book_note) values ('书%1', 1, '%2');")
                   .arg(i)
                   .arg(QString(noteLength, QLatin1Char('x')));
    fixture::exec(file, sql + QStringLiteral("commit;"));
}

QString makeCatalogue(const QString &path, int books, int noteLength)
{
    schema::create(path);
    seedBooks(path, books, noteLength);
    return path;
}

QByteArray readAll(std::FILE *file)
{
    std::rewind(file);
    QByteArray bytes;
    char block[4096];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.append(block, qsizetype(got));
    return bytes;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace filehelpers
