// The catalogue's transfers: the CSV export and import, the export grid's
// rows and the backup, all on the catalogue's one connection.
#include "catalogue.h"

#include "cataloguebackup.h"
#include "catalogueconnection.h"
#include "formats/gridstoredtable.h"
#include "store/connection.h"
#include "store/dataset.h"
#include "store/savetarget.h"
#include "store/usererror.h"

#include <QFileInfo>

namespace {

// The catalogue's connection, once its data file is known to be where the
// catalogue names it. An open connection still reads a file that was
// renamed or removed meanwhile; what it read or copied would not be the
// catalogue the user sees under that name, nor what the next start opens.
Connection &presentFile(const Catalogue &catalogue)
{
    if (!QFileInfo(catalogue.path()).isFile())
        throw UserError(missingDataFileMessage(catalogue.path()));
    return CatalogueConnection::of(catalogue);
}

} // namespace

qint64 Catalogue::exportBooks(const QString &target, const Progress &progress) const
{
    return bookexport::write(presentFile(*this), target, progress);
}

qint64 Catalogue::exportListedBooks(const QString &target, const std::vector<bookexport::ListedBook> &books,
                                    const QStringList &extraHeader) const
{
    return bookexport::writeListed(presentFile(*this), target, books, extraHeader);
}

BookImport::CatalogueKeys Catalogue::importKeys(bool makeIndexes) const
{
    return BookImport::CatalogueKeys::read(presentFile(*this), makeIndexes);
}

importwriter::Summary Catalogue::importBooks(const BookImport &books, bool withDuplicates,
                                             const importwriter::Progress &progress)
{
    presentFile(*this);
    const importwriter::Summary summary = importwriter::write(writing(), books, withDuplicates, progress);
    if (!summary.cancelled && summary.added > 0)
        Q_EMIT booksReplaced();
    return summary;
}

std::unique_ptr<StoredGridTable> Catalogue::exportGridRows(const QStringList &fieldNames) const
{
    Dataset books(presentFile(*this));
    books.setCommandText(QStringLiteral("select * from book"));
    auto rows = std::make_unique<StoredGridTable>();
    rows->open(books, fieldNames);
    return rows;
}

void Catalogue::backUp(const QString &target) const
{
    // Writing the backup over the data file itself would put a new file
    // under the name while the program still works on the old one; over its
    // lock, its journal or a file of the program, it would break them.
    savetarget::check(target, QStringLiteral("备份"), m_path);
    catalogue::backUp(presentFile(*this), target);
}
