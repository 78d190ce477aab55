#pragma once

#include "catalogue/loanlist.h"
#include "components/formdialog.h"

#include <QDate>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

// 借阅一览: who has which book. Two lists, the books lent out and the books
// borrowed in, longest out first, those out longer than a chosen number of
// days in the warning colour; a line per book friend; a filter by book
// friend. "已归还" ends a loan in one write: a lent book is the user's own
// again, a borrowed one given back is deleted after a question. A double
// click opens the book's details window. Read afresh on every showing and
// after every change.
class LoanOverviewDialog : public FormDialog
{
    Q_OBJECT

public:
    explicit LoanOverviewDialog(QWidget *parent = nullptr);

    // The day the days are counted to: today unless a test sets one (an
    // invalid date sets today back).
    static void setToday(QDate day);
    static QDate today();
    // The warning limit in days, kept in the user's settings.
    static int warnDays();

protected:
    void FormShow() override;

private:
    void readLoans();
    void showLoans();
    void fillList(QTreeWidget *list, QLabel *caption, const QString &title, const std::vector<loanlist::Loan> &loans);
    QTreeWidgetItem *selectedItem() const;
    void keepOneSelection(QTreeWidget *list);
    void endSelectedLoan();
    void saveListsAsCsv();
    void openBook(QTreeWidgetItem *item);
    void setWarnDays(int days);

    loanlist::Lists m_lists;
    QComboBox *m_readerFilter;
    QSpinBox *m_warnDays;
    QLabel *m_lentOutCaption;
    QLabel *m_borrowedCaption;
    QTreeWidget *m_lentOutList;
    QTreeWidget *m_borrowedList;
    QListWidget *m_readerSummary;
    QPushButton *m_returnedButton;
    QPushButton *m_saveCsvButton;
    QPushButton *m_closeButton;
};

// The name the window had before; the tests that set its day still use it.
using Tform_loans = LoanOverviewDialog;
