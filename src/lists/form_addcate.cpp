#include "form_addcate.h"

#include "catalogue/catalogue.h"
#include "components/guard.h"
#include "components/lineinput.h"
#include "ui_form_addcate.h"

#include <QStyle>

AddCategoryDialog *form_addcate = nullptr;

AddCategoryDialog::AddCategoryDialog(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::AddCategoryDialog>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_addcate"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedClientSize(185, 96);
    ui->image_cate->setPixmap(style()->standardIcon(QStyle::SP_DirIcon).pixmap(32, 32));

    guard::connect(ui->edit_new, &QLineEdit::textChanged, this, &AddCategoryDialog::enableAdd);
    guard::connect(ui->button1, &QPushButton::clicked, this, &AddCategoryDialog::addCategory);
    connect(ui->button2, &QPushButton::clicked, this, &QDialog::reject);
}

AddCategoryDialog::~AddCategoryDialog() = default;

void AddCategoryDialog::FormShow()
{
    ui->button1->setEnabled(false);
    ui->edit_new->setText(QString());
    ui->edit_new->setFocus();
}

void AddCategoryDialog::enableAdd()
{
    ui->button1->setEnabled(!ui->edit_new->text().isEmpty());
}

void AddCategoryDialog::addCategory()
{
    const QString name = ui->edit_new->text();
    if (!lineinput::fits(this, QStringLiteral("分类名称"), name))
        return;
    catalogue().addCategory(name);
    accept();
}
