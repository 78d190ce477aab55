#pragma once

#include <QMap>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class CatalogueLock;

namespace fixture {

// A program whose catalogue in use is not the data file beside it, as when
// it is started with --data or installed. Everything stands in one fresh
// temporary folder:
//
//  Portable:  program/ holds quillmere, qmrestore, qmnewdata (stand-ins),
//             qmp.html and a data.qmd of its own with one book lent out
//             ("Decoy", category "Decoys"), the decoy no command may touch;
//             the catalogue in use is books/藏书.qmd.
//  Installed: prefix/bin/ holds the three programs and no data file;
//             prefix/share/quillmere/ the help document and the empty
//             catalogue; the catalogue in use is the user's own,
//             home/.local/share/Quillmere/data.qmd.
//
// The program folder points at the program's folder, the catalogue in use
// is chosen, its lock is held (as the running program holds it) and its
// folder is the current one, while the object lives. out/ is a folder for
// the files the commands save. The catalogue starts empty.
class CatalogueElsewhere
{
public:
    enum class Layout { Portable, Installed };

    explicit CatalogueElsewhere(Layout layout);
    ~CatalogueElsewhere();
    CatalogueElsewhere(const CatalogueElsewhere &) = delete;
    CatalogueElsewhere &operator=(const CatalogueElsewhere &) = delete;

    bool isValid() const { return m_root.isValid(); }
    Layout layout() const { return m_layout; }
    QString root() const;          // with a trailing separator
    QString programFolder() const; // with a trailing separator
    QString dataFile() const;      // the catalogue in use
    QString decoy() const;         // data.qmd beside the program (none in the installed layout)
    QString outside() const;       // out/, with a trailing separator

    // What changed in the program's files since the start: every file below
    // the program's folder (and the installed data folder) by name and
    // bytes; "" when nothing did.
    QString programFilesChanged() const;

private:
    QMap<QString, QByteArray> programFiles() const;

    Layout m_layout;
    QTemporaryDir m_root;
    QString m_programFolder;
    QString m_dataFile;
    QString m_watched; // the folder below which nothing may change
    QMap<QString, QByteArray> m_before;
    std::unique_ptr<CatalogueLock> m_lock;
    QString m_previousFolder;
};

} // namespace fixture
