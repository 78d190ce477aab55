#include "bookform.h"

#include "catalogue/catalogue.h"
#include "components/datepicker.h"
#include "components/lineinput.h"
#include "components/messages.h"
#include "components/style.h"
#include "isbnhint.h"
#include "store/codes.h"
#include "store/datetext.h"
#include "ui_bookform.h"

#include <QApplication>
#include <QHash>

#include <algorithm>

namespace {

QDate storedDay(const StoredBook &book, QStringView column)
{
    const QString text = book.text(column);
    return text.isEmpty() ? QDate() : datetext::parse(text);
}

} // namespace

BookForm::BookForm(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::BookForm>())
{
    ui->setupUi(this);
    m_rating = {ui->book_rating1, ui->book_rating2, ui->book_rating3, ui->book_rating4, ui->book_rating5};
    m_loan = {ui->book_loan1, ui->book_loan2, ui->book_loan3};
    m_readed = {ui->book_readed1, ui->book_readed2};
    m_groups = {ui->groupbox_base,   ui->groupbox_rating, ui->groupbox_loan,
                ui->groupbox_reader, ui->groupbox_readed, ui->groupbox_note};
    ui->book_language->addItems({QStringLiteral("中文"), QStringLiteral("英文"), QStringLiteral("日文"),
                                 QStringLiteral("韩文"), QStringLiteral("法文"), QStringLiteral("德语"),
                                 QStringLiteral("意大利语"), QStringLiteral("西班牙语"), QStringLiteral("其它")});
    ui->book_language->setCurrentIndex(-1);
    resetChoices();
    for (const QList<QRadioButton *> *group : radioGroups()) {
        tabStopAtChecked(*group);
        for (QRadioButton *button : *group)
            connect(button, &QRadioButton::toggled, this, [this, group](bool checked) {
                if (checked)
                    tabStopAtChecked(*group);
            });
    }
    setCounterpartEnabled(false);

    // The ISBN's hint stands in the gap under the ISBN box, clear of the
    // page count's row; a long one reaches under the second author.
    auto *hint = new IsbnHint(ui->book_isbn, ui->groupbox_base);
    const QRect box = ui->book_isbn->geometry();
    const int left = ui->label_book_isbn->x();
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint->placeIn(
        QRect(left, box.bottom() + 1, ui->groupbox_base->width() - left - 2, ui->book_pages->y() - box.bottom() - 1),
        ui->book_author2->x());
}

BookForm::~BookForm()
{
    disconnect(m_highlight);
}

void BookForm::enableLoanRule()
{
    for (QRadioButton *button : m_loan)
        connect(button, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                setCounterpartEnabled(!ui->book_loan1->isChecked());
        });
}

void BookForm::enableHighlight()
{
    disconnect(m_highlight);
    m_highlight = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { highlight(now); });
}

void BookForm::highlight(QWidget *focus)
{
    for (QGroupBox *group : m_groups) {
        const bool inside = focus && group->isAncestorOf(focus);
        if (group->property(style::kHighlighted).toBool() == inside)
            continue;
        group->setProperty(style::kHighlighted, inside);
        // The rules are read again for the group alone, not its controls.
        group->style()->unpolish(group);
        group->style()->polish(group);
        group->update();
    }
}

void BookForm::showEvent(QShowEvent *event)
{
    keepGroupsTogether();
    QWidget::showEvent(event);
}

// Tab enters a radio group at its tab stop, and goes on to the next control
// in the window's tab chain that has one. A window orders its controls by
// naming each group's first button, which leaves the group's other buttons
// behind elsewhere in the chain, so that a group whose first button is not
// checked was reached after the groups that follow it. Each group's buttons
// are put back right after its first one.
void BookForm::keepGroupsTogether()
{
    for (const QList<QRadioButton *> *group : radioGroups())
        for (qsizetype i = 1; i < group->size(); ++i)
            setTabOrder(group->at(i - 1), group->at(i));
}

// Qt makes the focused button a group's only tab stop once the group had the
// focus; until then every button is one, and Tab lands on whichever comes
// first, checked or not. The checked button is the tab stop from the start.
// A group with no button checked (a book whose code is unknown) is entered
// at its first button.
void BookForm::tabStopAtChecked(const QList<QRadioButton *> &group)
{
    const bool noneChecked = std::none_of(group.begin(), group.end(), [](QRadioButton *b) { return b->isChecked(); });
    for (QRadioButton *button : group) {
        const Qt::FocusPolicy policy = button->focusPolicy();
        const bool stop = button->isChecked() || (noneChecked && button == group.first());
        button->setFocusPolicy(stop ? Qt::FocusPolicy(policy | Qt::TabFocus) : Qt::FocusPolicy(policy & ~Qt::TabFocus));
    }
}

void BookForm::setCounterpartEnabled(bool enabled)
{
    ui->book_reader->setEnabled(enabled);
    ui->book_loand->setEnabled(enabled);
}

void BookForm::emptyTexts()
{
    for (QLineEdit *edit : {ui->book_name, ui->book_isbn, ui->book_pages, ui->book_buya, ui->book_value})
        edit->clear();
    for (QComboBox *combo :
         {ui->book_cate, ui->book_language, ui->book_author, ui->book_author2, ui->book_pub, ui->book_reader}) {
        combo->setCurrentIndex(-1);
        combo->clearEditText();
    }
    ui->book_note->clear();
}

void BookForm::resetChoices()
{
    ui->book_rating1->setChecked(true);
    ui->book_loan1->setChecked(true);
    ui->book_readed1->setChecked(true);
}

void BookForm::fillPickLists(const Catalogue &catalogue)
{
    const QStringList authors = catalogue.names(Catalogue::NameList::Authors);
    const std::pair<QComboBox *, QStringList> lists[] = {
        {ui->book_cate, catalogue.categoryNames()},
        {ui->book_author, authors},
        {ui->book_author2, authors},
        {ui->book_pub, catalogue.names(Catalogue::NameList::Publishers)},
        {ui->book_reader, catalogue.names(Catalogue::NameList::Readers)},
    };
    for (const auto &[combo, names] : lists) {
        combo->clear();
        combo->addItems(names);
        combo->setCurrentIndex(-1);
        combo->clearEditText();
    }
}

void BookForm::load(const StoredBook &book)
{
    ui->book_name->setText(book.text(u"book_name"));
    ui->book_cate->setEditText(book.text(u"book_cate"));
    ui->book_language->setEditText(book.text(u"book_language"));
    ui->book_author->setEditText(book.text(u"book_author"));
    ui->book_author2->setEditText(book.text(u"book_author2"));
    ui->book_isbn->setText(book.text(u"book_isbn"));
    ui->book_pub->setEditText(book.text(u"book_pub"));
    ui->book_pages->setText(book.text(u"book_pages"));
    ui->book_buya->setText(book.text(u"book_buya"));
    ui->book_value->setText(book.text(u"book_value"));
    QString note = book.text(u"book_note");
    if (note.contains(QLatin1Char('\r')))
        note.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    ui->book_note->setText(note);
    ui->book_pubd->setDay(storedDay(book, u"book_pubd"));
    ui->book_buyd->setDay(storedDay(book, u"book_buyd"));
    checkCode(m_rating, codes::number(book.text(u"book_rating")));
    checkCode(m_readed, codes::number(book.text(u"book_readed")));

    // The counterpart of an own copy stays hidden; a borrowed or lent book,
    // and one whose loan code is unknown, shows what is stored.
    const int loan = codes::number(book.text(u"book_loan"));
    if (loan == codes::kOwnCopy) {
        setCounterpartEnabled(false);
    } else {
        setCounterpartEnabled(true);
        ui->book_reader->setEditText(book.text(u"book_reader"));
        ui->book_loand->setDay(storedDay(book, u"book_loand"));
    }
    checkCode(m_loan, loan);
}

bool BookForm::checkInput(const FieldTexts &loaded)
{
    const auto unchanged = [&](const FieldText &field) { return loaded.contains(field); };
    // One-line boxes, with the caption of the label beside each.
    const QHash<QString, std::pair<QWidget *, QString>> lines{
        {QStringLiteral("book_name"), {ui->book_name, ui->label_book_name->text()}},
        {QStringLiteral("book_cate"), {ui->book_cate, ui->label_book_cate->text()}},
        {QStringLiteral("book_language"), {ui->book_language, ui->label_book_language->text()}},
        {QStringLiteral("book_author"), {ui->book_author, ui->label_book_author->text()}},
        {QStringLiteral("book_author2"), {ui->book_author2, ui->label_book_author2->text()}},
        {QStringLiteral("book_isbn"), {ui->book_isbn, ui->label_book_isbn->text()}},
        {QStringLiteral("book_pub"), {ui->book_pub, ui->label_book_pub->text()}},
        {QStringLiteral("book_pages"), {ui->book_pages, ui->label_book_pages->text()}},
        {QStringLiteral("book_buya"), {ui->book_buya, ui->label_book_buya->text()}},
        {QStringLiteral("book_value"), {ui->book_value, ui->label_book_value->text()}},
        {QStringLiteral("book_reader"), {ui->book_reader, ui->label_reader->text()}},
    };
    for (const FieldText &field : fields()) {
        const auto line = lines.constFind(field.column);
        if (line == lines.cend() || unchanged(field))
            continue;
        if (!lineinput::fits(window(), line->second, field.text)) {
            line->first->setFocus();
            return false;
        }
    }

    const QString pages = ui->book_pages->text();
    bool whole = true;
    if (!pages.isEmpty() && !unchanged({QStringLiteral("book_pages"), pages}))
        pages.trimmed().toLongLong(&whole);
    if (whole)
        return true;
    msg::plain(window(), QStringLiteral("页数必须是整数：“%1”不是整数。\n请改正页数，或者让它空着。").arg(pages));
    ui->book_pages->setFocus();
    return false;
}

BookForm::FieldTexts BookForm::fields() const
{
    QString note = ui->book_note->text();
    FieldTexts out{
        {QStringLiteral("book_name"), ui->book_name->text()},
        {QStringLiteral("book_author"), ui->book_author->currentText()},
        {QStringLiteral("book_author2"), ui->book_author2->currentText()},
        {QStringLiteral("book_cate"), ui->book_cate->currentText()},
        {QStringLiteral("book_language"), ui->book_language->currentText()},
        {QStringLiteral("book_pages"), ui->book_pages->text()},
        {QStringLiteral("book_isbn"), ui->book_isbn->text()},
        {QStringLiteral("book_pub"), ui->book_pub->currentText()},
        {QStringLiteral("book_pubd"), ui->book_pubd->dateText()},
        {QStringLiteral("book_value"), ui->book_value->text()},
        {QStringLiteral("book_buyd"), ui->book_buyd->dateText()},
        {QStringLiteral("book_buya"), ui->book_buya->text()},
        {QStringLiteral("book_note"), note.replace(QLatin1Char('\n'), QLatin1String("\r\n"))},
        {QStringLiteral("book_rating"), QString::number(checkedCode(m_rating))},
    };
    const int loan = checkedCode(m_loan);
    out.append({QStringLiteral("book_loan"), QString::number(loan)});
    if (loan != codes::kOwnCopy) {
        out.append({QStringLiteral("book_reader"), ui->book_reader->currentText()});
        out.append({QStringLiteral("book_loand"), ui->book_loand->dateText()});
    }
    out.append({QStringLiteral("book_readed"), QString::number(checkedCode(m_readed))});
    return out;
}

int BookForm::checkedCode(const QList<QRadioButton *> &buttons) const
{
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            return i + 1;
    return 0;
}

void BookForm::checkCode(const QList<QRadioButton *> &buttons, int code)
{
    if (code >= 1 && code <= buttons.size()) {
        buttons[code - 1]->setChecked(true);
        return;
    }
    // A button of an exclusive group is unchecked only with the group's
    // rule off for the moment.
    for (QRadioButton *button : buttons) {
        if (!button->isChecked())
            continue;
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
    tabStopAtChecked(buttons);
}
