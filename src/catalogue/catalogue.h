#pragma once

#include "bookexport.h"
#include "bookimport.h"
#include "importwriter.h"
#include "store/cataloguelock.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class Connection;
class PackedRows;
class StoredGridTable;
struct BookQuery;

// One open catalogue: its data file named by its absolute path, the lock
// that keeps it to this program, and the one connection every operation on
// it runs on. The windows are handed the catalogue and call its operations;
// they hold no connection, cursor or SQL of their own. Every change it
// stores is announced by a signal, which the book list and the category tree
// follow.
//
// The operations stand in files of their own by subject (books, categories
// and name lists, the password, search and figures, loans, transfers and
// backups); this file holds what they share.
class Catalogue : public QObject
{
    Q_OBJECT

public:
    // The catalogue whose data file is at absolutePath. The file is opened
    // on the first operation, which fails (UserError naming the file) as
    // long as it is missing: a missing file is never made (see
    // connection.h), and the windows come up and say so. The lock is not
    // taken here.
    explicit Catalogue(const QString &absolutePath, QObject *parent = nullptr);
    // The same, keeping a lock on it that was taken before the file was
    // there (the user's first catalogue is made while the lock is held).
    Catalogue(const QString &absolutePath, std::unique_ptr<CatalogueLock> taken, QObject *parent = nullptr);
    ~Catalogue() override;

    Catalogue(const Catalogue &) = delete;
    Catalogue &operator=(const Catalogue &) = delete;

    // The data file, an absolute path.
    const QString &path() const { return m_path; }

    // Takes the catalogue for this program (see CatalogueLock), waiting up
    // to timeoutMs for a holder that is ending. Held until releaseLock() or
    // until the catalogue goes.
    CatalogueLock::Outcome takeLock(int timeoutMs = 0);
    bool isLocked() const { return m_lock->isLocked(); }
    void releaseLock() { m_lock->unlock(); }

    // The one connection, opened if need be, for the core's own operations.
    // Windows never use it: they call the operations.
    Connection &connection() const;

    // --- The book list ------------------------------------------------------

    // The stored fields of one list row (see bookrow.h: kFieldCount of them,
    // the title first, the number last) and whether each holds dates.
    using DateFields = std::array<bool, 17>;

    // Appends one row of stored fields per book the query selects, in the
    // store's order; dates tells which fields hold dates. Rows read before an
    // error stay.
    void readBookRows(const BookQuery &query, PackedRows &into, DateFields &dates) const;

    // --- Categories and the name lists --------------------------------------

    // The three lists of names the book windows offer to pick from.
    enum class NameList { Authors, Publishers, Readers };

    // Every category's name, in the store's order.
    QStringList categoryNames() const;
    // Every name of the list, in the store's order.
    QStringList names(NameList list) const;

    // --- Transfers and backups ----------------------------------------------

    // Told how many books of how many are done; false stops the work.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    // Writes every book to a CSV file at target, in the order of the book
    // numbers (see bookexport.h). Returns how many were written, or -1 when
    // progress stopped it: then no file is left. Refuses a target that is a
    // file of the catalogue or of the program (savetarget). Throws UserError
    // naming the file; a file that had the name before stays as it was.
    qint64 exportBooks(const QString &target, const Progress &progress = {}) const;
    // Writes the listed books in the order given, each followed by its
    // values of the columns named in extraHeader; a book no longer stored is
    // left out. Returns how many were written.
    qint64 exportListedBooks(const QString &target, const std::vector<bookexport::ListedBook> &books,
                             const QStringList &extraHeader) const;

    // The stored books' keys that an import's records are judged against
    // (see BookImport::judge): taken once, kept by the caller.
    BookImport::CatalogueKeys importKeys() const;
    // Adds the books of a judged import, and the names they bring to the
    // lists, in one transaction (see importwriter::write). Emits
    // booksReplaced() once when books were added: not for nothing added,
    // nor when progress stopped it (then nothing is written).
    importwriter::Summary importBooks(const BookImport &books, bool withDuplicates,
                                      const importwriter::Progress &progress = {});

    // Every book (the book table as the store returns it), kept as its
    // number only, with the named fields read when shown or written: the
    // export grid's rows. They read through this catalogue's connection and
    // must go before the catalogue does.
    std::unique_ptr<StoredGridTable> exportGridRows(const QStringList &fieldNames) const;

    // Copies the data file to target byte for byte as of one moment (see
    // cataloguebackup.h), whole or not at all; a target that is a file of
    // the catalogue or of the program is refused (savetarget).
    void backUp(const QString &target) const;

Q_SIGNALS:
    // A book was stored under this number.
    void bookAdded(qint64 id);
    // The stored book of this number was changed.
    void bookChanged(qint64 id);
    // The book of this number was deleted.
    void bookRemoved(qint64 id);
    // A category was added, renamed or removed.
    void categoriesChanged();
    // Many books at once were added or changed (an import): every list of
    // books is to be read again.
    void booksReplaced();

private:
    QString m_path;
    std::unique_ptr<CatalogueLock> m_lock;
    mutable std::unique_ptr<Connection> m_connection;
};
