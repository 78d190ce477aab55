#pragma once

#include "catalogue/figures.h"
#include "catalogue/loanlist.h"
#include "store/cataloguelock.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

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

    // --- Categories and the name lists --------------------------------------

    // The three lists of names the book windows offer to pick from.
    enum class NameList { Authors, Publishers, Readers };

    // Every category's name, in the store's order.
    QStringList categoryNames() const;
    // Every name of the list, in the store's order.
    QStringList names(NameList list) const;

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
    // A borrowed book given back: deleted; bookRemoved, also when it was gone
    // already (then false).
    bool deleteReturnedBook(qint64 id);

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
