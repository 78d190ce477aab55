#pragma once

#include "bookrecord.h"
#include "storedalready.h"
#include "store/cataloguelock.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class Connection;
class PackedRows;
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

    // --- Books ---------------------------------------------------------------

    // The stored book of that number, if there is one.
    std::optional<StoredBook> book(qint64 id) const;
    // Appends the stored fields of the book's list row to into (as
    // readBookRows does); false when there is no such book.
    bool readBookRow(qint64 id, PackedRows &into) const;

    // Stores a new book and returns its number. The fields are written by
    // the store's rules (see BookField); a value the store refuses is
    // reported as UserError and nothing of the book is stored. Announces
    // bookAdded.
    qint64 addBook(const BookFields &fields);

    // What changeBook did.
    enum class Change {
        Written,          // the fields are stored (or there was nothing to store)
        ChangedMeanwhile, // another program changed the book since it was read: nothing written
        Gone,             // the book is no longer stored: nothing written
    };
    // In one transaction: when the stored book still equals expected (as
    // read before the user changed it), writes the changed fields into it;
    // otherwise writes nothing and gives what is stored now in current. With
    // no field changed, nothing is written, whatever is stored. Announces
    // bookChanged when it wrote, and when the stored book was not expected.
    Change changeBook(const StoredBook &expected, const BookFields &changed, StoredBook &current);

    // Deletes the book; false when it was no longer stored. Announces
    // bookRemoved either way: its row goes.
    bool removeBook(qint64 id);

    // The first stored book a new one with this title, first author and
    // ISBN repeats, by the one rule of storedalready.h; none when it repeats
    // no book.
    std::optional<storedalready::Match> storedAlready(const QString &title, const QString &author,
                                                      const QString &isbn) const;
    // Makes the indexes the question above is answered from, when the file
    // lacks them and may be written (see storedalready.h); a file open
    // read-only is left as it is. progress is called now and then while a
    // large file's are made.
    void prepareIndexes(const std::function<void()> &progress = {});

    // --- Categories and the name lists --------------------------------------

    // The three lists of names the book windows offer to pick from.
    enum class NameList { Authors, Publishers, Readers };

    // Every category's name, in the store's order.
    QStringList categoryNames() const;
    // Every name of the list, in the store's order.
    QStringList names(NameList list) const;

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
    mutable std::unique_ptr<storedalready::Finder> m_finder;
};
