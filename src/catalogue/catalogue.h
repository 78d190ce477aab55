#pragma once

#include "bookexport.h"
#include "bookimport.h"
#include "bookrecord.h"
#include "figures.h"
#include "importwriter.h"
#include "loanlist.h"
#include "store/cataloguelock.h"
#include "storedalready.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
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
    // Takes over a lock of no process running here (CatalogueLock::takeOver);
    // what the lock is, in words, for asking the user first.
    CatalogueLock::Outcome takeOverLock() { return m_lock->takeOver(); }
    QString lockHolder() const { return m_lock->describeHolder(); }

    // --- A file replaced under the program -----------------------------------

    // Whether another program replaced the data file since the catalogue
    // opened it (a sync tool, a backup copied over it by hand): the name now
    // leads to another file. The catalogue still reads the one it opened, and
    // writes to neither: every change is refused (UserError, and
    // replacedOutside()) until reload().
    bool isReplacedOutside() const;
    // Opens the file now at the path and announces categoriesChanged() and
    // booksReplaced(): every list is read again.
    void reload();
    // The words for a change refused because the file was replaced.
    QString replacedMessage() const;

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
    // Whether the catalogue holds any book at all.
    bool hasBooks() const;

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

    // A category is known by its name alone: a book belongs to it when its
    // category is exactly that text (case and blanks count). Names are
    // stored as given, with no check against the others: equal names make
    // two categories, and the operations act on the first of them. Each
    // change stored emits categoriesChanged() once.

    // Stores a new category.
    void addCategory(const QString &name);
    // Gives the first category named oldName the name newName and files
    // every book of oldName under newName, whole or not at all. With no
    // category of that name (another program removed it, or the name was
    // typed), newName is stored as a category of its own and the books of
    // oldName still move.
    void renameCategory(const QString &oldName, const QString &newName);
    // Removes the first category of this name, unless a book is filed under
    // it: then nothing changes and the answer is false. With no category of
    // that name nothing is removed, and the answer is true.
    bool removeCategory(const QString &name);

    // One name of a list with the number the store gave it.
    struct NameEntry
    {
        qint64 number = 0;
        QString name;
    };
    // Every name of the list with its number, in the store's order.
    QList<NameEntry> nameEntries(NameList list) const;
    // Stores the name in the list as given (no check against the others)
    // and returns the number the store gave it.
    qint64 addName(NameList list, const QString &name);
    // Removes the name of this number from the list; none of it: nothing.
    // The books that name it keep their texts.
    void removeName(NameList list, qint64 number);

    // --- The password -------------------------------------------------------

    // The start-up password: the text of the first row of the reg table,
    // compared exactly (letter case and blanks count, nothing trimmed or
    // hashed). The empty text, or no value, sets none.

    // The longest password, in bytes of the interface's 8-bit code page
    // (GB18030): ten Latin letters or five Chinese characters.
    static constexpr int kPasswordMaxBytes = 10;
    // The password's length in those bytes.
    static qsizetype passwordBytes(const QString &password);

    // Whether typed is the start-up password. With none set only the empty
    // text is.
    bool passwordMatches(const QString &typed) const;
    // Whether a start-up password is set.
    bool hasPassword() const { return !passwordMatches(QString()); }

    // How a change of the password ended; the checks run in this order.
    enum class PasswordChange {
        Changed,
        TooLong,          // the new password or its repetition is longer than kPasswordMaxBytes
        WrongOldPassword, // oldPassword is not the start-up password
        NotRepeated,      // repeated differs from newPassword
    };
    // Sets the start-up password to newPassword ("" removes it) once the
    // checks pass; nothing is stored when one fails. The length is checked
    // before the stored password is read.
    PasswordChange changePassword(const QString &oldPassword, const QString &newPassword, const QString &repeated);

    // --- Search, figures and loans ------------------------------------------

    // The books of each stored category text, and of all (书籍数目统计).
    figures::CategoryBooks categoryBooks() const;
    // Own, borrowed and lent books, and all books (借入借出统计).
    figures::LoanCounts loanCounts() const;
    // The books, the sum of their prices and the average (购买金额统计); the
    // books whose price is no number counted and named.
    figures::Money purchaseMoney() const;

    // Books per category of the category list, largest first (equal ones in
    // the list's order); past the first `shown`, and with the books of no
    // listed category, gathered under "其他" (left out when there are none).
    std::vector<figures::Part> booksByCategory(int shown) const;
    // Books per code of the column, in the codes' order (自己拥有, 借入,
    // 已借出; 已读, 未读; 非常喜欢 … 很糟糕), then the books of any other
    // stored value or none: 其他 for the loan code, 未填 for the others.
    std::vector<figures::Part> booksByCode(figures::Code column) const;
    // Books bought and money spent per year of the purchase date.
    figures::Purchases purchasesByYear() const;

    // The books lent out and borrowed in, their days counted to today.
    loanlist::Lists loanLists(QDate today) const;
    // A lent book given back: its loan code becomes 1 (自己拥有), nothing
    // else is written; bookChanged. False when no book has the number any
    // more (another program deleted it): nothing is written, and bookRemoved
    // tells that its row is to go.
    bool returnFromLoan(qint64 id);
    // A borrowed book given back leaves the catalogue: removeBook.

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
    // (see BookImport::judge): taken once, kept by the caller. Without
    // makeIndexes the file is left exactly as it is (see
    // BookImport::CatalogueKeys::read).
    BookImport::CatalogueKeys importKeys(bool makeIndexes = true) const;
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
    // Many books at once were added or changed (an import, a reload): every
    // list of books is to be read again.
    void booksReplaced();
    // A change was refused: the data file was replaced under the program
    // (see isReplacedOutside).
    void replacedOutside();

private:
    // The one connection, opened if need be: for the operations' own files
    // (and the core's tests, through catalogueconnection.h) only.
    friend struct CatalogueConnection;
    Connection &connection() const;
    // The connection for a change: refused when the file was replaced.
    Connection &writing();

    QString m_path;
    std::unique_ptr<CatalogueLock> m_lock;
    mutable std::unique_ptr<Connection> m_connection;
    // The opened file's device and inode, to know it from another one put
    // under its name.
    mutable std::pair<quint64, quint64> m_identity{0, 0};
    mutable std::unique_ptr<storedalready::Finder> m_finder;
};
