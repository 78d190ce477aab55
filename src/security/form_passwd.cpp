#include "form_passwd.h"

#include "components/guard.h"
#include "components/messages.h"
#include "ui_form_passwd.h"

#include <QStringEncoder>

Tform_passwd *form_passwd = nullptr;

Tform_passwd::Tform_passwd(QWidget *parent)
    : FormDialog(parent)
    , ui(std::make_unique<Ui::Tform_passwd>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("form_passwd"));
    setWindowTitle(QStringLiteral("数据库密码"));
    // Only the system menu's close box in the title bar.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedClientSize(207, 139);

    guard::connect(ui->button_ok, &QPushButton::clicked, this, &Tform_passwd::button_okClick);
    guard::connect(ui->button_cancel, &QPushButton::clicked, this, &Tform_passwd::button_cancelClick);
}

Tform_passwd::~Tform_passwd() = default;

qsizetype Tform_passwd::byteLength(const QString &password)
{
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder.encode(password);
    return bytes.size();
}

void Tform_passwd::FormShow()
{
    ui->edit_old->clear();
    ui->edit_new->clear();
    ui->edit_new2->clear();

    ScopedClose closing(ado_passwd);
    ado_passwd.setCommandText(QStringLiteral("select * from reg"));
    ado_passwd.open();
    const bool isSet = !ado_passwd.fieldByName(u"reg_passwd").isEmpty();
    ui->label1->setVisible(isSet);
    ui->edit_old->setVisible(isSet);
    if (isSet)
        ui->edit_old->setFocus();
    else
        ui->edit_new->setFocus();
}

void Tform_passwd::button_okClick()
{
    const QString password = ui->edit_new->text();
    const QString repeated = ui->edit_new2->text();
    // The length comes first, before the old password is looked at.
    if (byteLength(password) > kMaxBytes || byteLength(repeated) > kMaxBytes) {
        msg::plain(this, QStringLiteral("密码长度最长为10位,请确认..."), QStringLiteral("输入错误"));
        return;
    }

    ScopedClose closing(ado_passwd);
    ado_passwd.setCommandText(QStringLiteral("select * from reg"));
    ado_passwd.open();
    // Compared exactly: letter case and blanks count.
    if (ui->edit_old->text() != ado_passwd.fieldByName(u"reg_passwd")) {
        msg::plain(this, QStringLiteral("原密码不对,请确认..."), QStringLiteral("原密码错误"));
        return;
    }
    if (password != repeated) {
        msg::plain(this, QStringLiteral("两次输入的新密码不一致,请确认..."), QStringLiteral("新密码错误"));
        return;
    }
    ado_passwd.edit();
    ado_passwd.setFieldByName(u"reg_passwd", password);
    ado_passwd.post();
    ado_passwd.close();
    accept();
}

void Tform_passwd::button_cancelClick()
{
    reject();
}
