#include "form_passwd.h"

#include "catalogue/catalogue.h"
#include "components/guard.h"
#include "components/messages.h"
#include "ui_form_passwd.h"

PasswordDialog *form_passwd = nullptr;

PasswordDialog::PasswordDialog(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::PasswordDialog>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_passwd"));
    setWindowTitle(QStringLiteral("数据库密码"));
    // Only the system menu's close box in the title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedClientSize(207, 139);

    guard::connect(ui->button_ok, &QPushButton::clicked, this, &PasswordDialog::changePassword);
    connect(ui->button_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

PasswordDialog::~PasswordDialog() = default;

void PasswordDialog::FormShow()
{
    ui->edit_old->clear();
    ui->edit_new->clear();
    ui->edit_new2->clear();

    const bool isSet = catalogue().hasPassword();
    ui->label1->setVisible(isSet);
    ui->edit_old->setVisible(isSet);
    if (isSet)
        ui->edit_old->setFocus();
    else
        ui->edit_new->setFocus();
}

void PasswordDialog::changePassword()
{
    // A failed check leaves the dialog open with everything typed.
    switch (catalogue().changePassword(ui->edit_old->text(), ui->edit_new->text(), ui->edit_new2->text())) {
    case Catalogue::PasswordChange::Changed:
        accept();
        return;
    case Catalogue::PasswordChange::TooLong:
        msg::plain(this, QStringLiteral("密码长度最长为10位,请确认..."), QStringLiteral("输入错误"));
        return;
    case Catalogue::PasswordChange::WrongOldPassword:
        msg::plain(this, QStringLiteral("原密码不对,请确认..."), QStringLiteral("原密码错误"));
        return;
    case Catalogue::PasswordChange::NotRepeated:
        msg::plain(this, QStringLiteral("两次输入的新密码不一致,请确认..."), QStringLiteral("新密码错误"));
        return;
    }
}
