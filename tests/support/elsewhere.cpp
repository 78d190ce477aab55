#include "elsewhere.h"

#include "catalogue/schema.h"
#include "filehelpers.h"
#include "fixture.h"
#include "store/cataloguelock.h"
#include "store/programfolder.h"

#include <QDir>
#include <QDirIterator>

namespace fixture {

CatalogueElsewhere::CatalogueElsewhere(Layout layout)
    : m_layout(layout)
    , m_previousFolder(QDir::currentPath())
{
    const QString base = root();
    if (layout == Layout::Portable) {
        m_watched = base + QStringLiteral("program/");
        m_programFolder = m_watched;
        m_dataFile = base + QStringLiteral("books/藏书.qmd");
    } else {
        m_watched = base + QStringLiteral("prefix/");
        m_programFolder = m_watched + QStringLiteral("bin/");
        m_dataFile = base + QStringLiteral("home/.local/share/Quillmere/data.qmd");
    }
    QDir().mkpath(m_programFolder);
    QDir().mkpath(QFileInfo(m_dataFile).path());
    QDir().mkpath(outside());
    for (const char *program : {"quillmere", "qmrestore", "qmnewdata"})
        filehelpers::writeProgram(m_programFolder + QLatin1String(program));
    if (layout == Layout::Portable) {
        filehelpers::writeFile(m_programFolder + QStringLiteral("qmp.html"), "<html>help</html>");
        filehelpers::makeCatalogue(decoy(), 0);
        exec(decoy(), QStringLiteral("insert into category (cate_name) values ('Decoys');"
                                     "insert into book (book_name, book_cate, book_loan, book_reader, book_loand, "
                                     "book_value) values ('Decoy', 'Decoys', 3, 'Decoy reader', '2026-01-01', '99')"));
    } else {
        const QString share = m_watched + QStringLiteral("share/quillmere/");
        QDir().mkpath(share);
        filehelpers::writeFile(share + QStringLiteral("qmp.html"), "<html>help</html>");
        schema::create(share + QStringLiteral("data.qmd"));
    }
    schema::create(m_dataFile);
    m_before = programFiles();

    programfolder::setOverride(m_programFolder);
    programfolder::useDataFile(m_dataFile);
    m_lock = std::make_unique<CatalogueLock>(m_dataFile);
    if (m_lock->tryLock() != CatalogueLock::Outcome::Locked)
        qFatal("cannot lock %s", qPrintable(m_dataFile));
    QDir::setCurrent(QFileInfo(m_dataFile).path());
}

CatalogueElsewhere::~CatalogueElsewhere()
{
    m_lock.reset();
    programfolder::setOverride(QString());
    QDir::setCurrent(m_previousFolder);
}

QString CatalogueElsewhere::root() const
{
    return m_root.path() + QLatin1Char('/');
}

QString CatalogueElsewhere::programFolder() const
{
    return m_programFolder;
}

QString CatalogueElsewhere::dataFile() const
{
    return m_dataFile;
}

QString CatalogueElsewhere::decoy() const
{
    return m_programFolder + QStringLiteral("data.qmd");
}

QString CatalogueElsewhere::outside() const
{
    return root() + QStringLiteral("out/");
}

QMap<QString, QByteArray> CatalogueElsewhere::programFiles() const
{
    QMap<QString, QByteArray> files;
    QDirIterator it(m_watched, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(m_watched).relativeFilePath(path), filehelpers::bytes(path));
    }
    return files;
}

QString CatalogueElsewhere::programFilesChanged() const
{
    const QMap<QString, QByteArray> now = programFiles();
    QStringList changes;
    for (auto it = m_before.cbegin(); it != m_before.cend(); ++it) {
        if (!now.contains(it.key()))
            changes << QStringLiteral("gone: ") + it.key();
        else if (now.value(it.key()) != it.value())
            changes << QStringLiteral("changed: ") + it.key();
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (!m_before.contains(it.key()))
            changes << QStringLiteral("new: ") + it.key();
    return changes.join(QStringLiteral("; "));
}

} // namespace fixture
