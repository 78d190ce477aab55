#pragma once

#include "catalogue/loanlist.h"
#include "components/formdialog.h"
#include "store/dataset.h"

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
class Tform_loans : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_loans(QWidget *parent = nullptr);

    // The day the days are counted to: today unless a test sets one (an
    // invalid date sets today back).
    static void setToday(QDate day);
    static QDate today();
    // The warning limit in days, kept in the user's settings.
    static int warnDays();

    Dataset ado_loans;

protected:
    void FormShow() override;

private:
    void readLoans();
    void showLoans();
    void fillList(QTreeWidget *list, QLabel *caption, const QString &title, const std::vector<loanlist::Loan> &loans);
    QTreeWidgetItem *selectedItem() const;
    void selectionChanged(QTreeWidget *list);
    void button_returnedClick();
    void button_savecsvClick();
    void listDblClick(QTreeWidgetItem *item);
    void spin_daysChange(int days);

    loanlist::Lists m_lists;
    QComboBox *combo_reader;
    QSpinBox *spin_days;
    QLabel *label_lentout;
    QLabel *label_borrowed;
    QTreeWidget *listview_lentout;
    QTreeWidget *listview_borrowed;
    QListWidget *listview_readers;
    QPushButton *button_returned;
    QPushButton *button_savecsv;
    QPushButton *button_close;
};
