#pragma once

#include "catalogue/bookrecord.h"

#include <QList>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

class Catalogue;
class QGroupBox;
class QRadioButton;

namespace Ui {
class BookForm;
}

// The form the three book windows share: the six group boxes with every
// control named after the book column it shows. It knows the pick lists, the
// codes of the radio groups, the loan rule, the group highlight, how a
// stored book is shown and what a book is written as.
class BookForm : public QWidget
{
    Q_OBJECT

public:
    // A column of book and the text the controls hold for it.
    using FieldText = BookField;
    using FieldTexts = BookFields;

    explicit BookForm(QWidget *parent = nullptr);
    // Lets go of the focus signal first: the children, deleted after this,
    // may move the focus as they go.
    ~BookForm() override;

    Ui::BookForm &controls() { return *ui; }

    // The loan rule: an own copy disables the counterpart controls. Once on,
    // it follows every loan button that becomes checked.
    void enableLoanRule();
    // The highlight rule: the group holding the keyboard focus is sky blue.
    void enableHighlight();

    // Empties the twelve text controls, the language box included.
    void emptyTexts();
    // Checks "非常喜爱", "自己拥有" and "已读".
    void resetChoices();
    // Refills the category, author (both), publisher and reader lists from
    // the catalogue, in the store's order.
    void fillPickLists(const Catalogue &catalogue);
    // Shows a stored book. A code that matches no button (none, out of
    // range, a text) checks no button of its group; the counterpart and the
    // loan date show for every book but an own copy; a date with no value
    // shows as no date.
    void load(const StoredBook &book);
    // Checks what the store would refuse or cut, before anything is written:
    // the page count must be a whole number, and no one-line text may be
    // longer than the program keeps. Fields that hold what was loaded (given
    // as loaded) are not checked. Says what is wrong and returns false,
    // leaving every control as the user typed it.
    bool checkInput(const FieldTexts &loaded = {});
    // The book's columns as the controls hold them, in the order they are
    // written. The counterpart and the loan date are there for every book
    // but an own copy. A group with no button checked gives the code "0":
    // the modification dialog writes only what the user changed, so that an
    // unknown code stays as stored until a button is picked.
    FieldTexts fields() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::array<const QList<QRadioButton *> *, 3> radioGroups() const { return {&m_rating, &m_loan, &m_readed}; }
    void keepGroupsTogether();
    void tabStopAtChecked(const QList<QRadioButton *> &group);
    int checkedCode(const QList<QRadioButton *> &buttons) const;
    void checkCode(const QList<QRadioButton *> &buttons, int code);
    void setCounterpartEnabled(bool enabled);
    void highlight(QWidget *focus);

    std::unique_ptr<Ui::BookForm> ui;
    QList<QRadioButton *> m_rating, m_loan, m_readed;
    QList<QGroupBox *> m_groups;
    QMetaObject::Connection m_highlight;
};
