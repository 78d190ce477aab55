#include "form_find.h"

#include "catalogue/bookquery.h"
#include "catalogue/findcommand.h"
#include "components/catalogueview.h"
#include "components/guard.h"
#include "components/messages.h"
#include "ui_form_find.h"

FindDialog *form_find = nullptr;

namespace {

// The word as a message quotes it: a long one cut short.
QString shortWord(const QString &word)
{
    constexpr qsizetype kShown = 40;
    if (word.size() <= kShown)
        return word;
    qsizetype cut = kShown;
    if (word.at(cut - 1).isHighSurrogate())
        --cut; // not inside a character
    return word.left(cut) + QChar(0x2026);
}

} // namespace

FindDialog::FindDialog(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::FindDialog>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_find"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedClientSize(347, 179);

    guard::connect(ui->edit_find, &QLineEdit::textChanged, this, &FindDialog::enableFind);
    guard::connect(ui->button_ok, &QPushButton::clicked, this, &FindDialog::findBooks);
    connect(ui->button_close, &QPushButton::clicked, this, &QDialog::reject);
}

FindDialog::~FindDialog() = default;

void FindDialog::FormShow()
{
    ui->edit_find->setText(QString());
    ui->check_cate->setChecked(false);
    ui->check_author->setChecked(false);
    ui->check_note->setChecked(false);
    ui->check_reader->setChecked(false);
    ui->button_ok->setEnabled(false);
    ui->edit_find->setFocus();
}

void FindDialog::enableFind()
{
    ui->button_ok->setEnabled(!ui->edit_find->text().isEmpty());
}

void FindDialog::findBooks()
{
    // A word SQLite cannot match as typed is refused before anything runs:
    // the list and the dialog stay as they are.
    const QString word = ui->edit_find->text();
    const QString refusal = findcommand::refusal(word);
    if (!refusal.isEmpty()) {
        msg::plain(this, refusal);
        return;
    }
    findcommand::Options options;
    options.cate = ui->check_cate->isChecked();
    options.author = ui->check_author->isChecked();
    options.note = ui->check_note->isChecked();
    options.reader = ui->check_reader->isChecked();
    // The list is emptied before the search runs; on an error it stays
    // empty and the dialog stays open with its word and options. How many
    // were found the main window's status bar tells; none, this says.
    if (catalogueView().listBooks(BookQuery::matching(word, options)) == 0)
        msg::plain(this, QStringLiteral("没有找到含有“%1”的书籍").arg(shortWord(word)));
    accept();
}
