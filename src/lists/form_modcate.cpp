#include "form_modcate.h"

#include "catalogue/catalogue.h"
#include "components/guard.h"
#include "components/lineinput.h"
#include "ui_form_modcate.h"

#include <QStyle>

RenameCategoryDialog *form_modcate = nullptr;

RenameCategoryDialog::RenameCategoryDialog(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::RenameCategoryDialog>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_modcate"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinimizeButtonHint);
    setFixedClientSize(320, 124);

    QPalette red = ui->Label1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    ui->Label1->setPalette(red);
    QFont bold = ui->Label1->font();
    bold.setBold(true);
    ui->Label1->setFont(bold);
    ui->image_modcate->setPixmap(style()->standardIcon(QStyle::SP_ArrowRight).pixmap(32, 32));

    guard::connect(ui->edit_modcate2, &QLineEdit::textChanged, this, &RenameCategoryDialog::enableRename);
    guard::connect(ui->button_mod, &QPushButton::clicked, this, &RenameCategoryDialog::renameCategory);
    connect(ui->button_close, &QPushButton::clicked, this, &QDialog::reject);
}

RenameCategoryDialog::~RenameCategoryDialog() = default;

void RenameCategoryDialog::FormCreate()
{
    ui->button_mod->setEnabled(false);
}

int RenameCategoryDialog::editCategory(const QString &name)
{
    m_category = name;
    return showModal();
}

void RenameCategoryDialog::FormShow()
{
    // Set once the boxes take texts of any length (see lineinput.h).
    ui->edit_modcate1->setText(m_category);
    ui->edit_modcate2->setText(QString());
    ui->edit_modcate2->setFocus();
}

void RenameCategoryDialog::enableRename()
{
    ui->button_mod->setEnabled(!ui->edit_modcate2->text().isEmpty());
}

void RenameCategoryDialog::renameCategory()
{
    const QString newName = ui->edit_modcate2->text();
    if (!lineinput::fits(this, QStringLiteral("新的分类名称"), newName))
        return;
    catalogue().renameCategory(ui->edit_modcate1->text(), newName);
    accept();
}
