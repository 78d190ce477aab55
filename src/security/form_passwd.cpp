#include "form_passwd.h"

Tform_passwd *form_passwd = nullptr;

Tform_passwd::Tform_passwd(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_passwd"));
    setWindowTitle(QStringLiteral("数据库密码"));
}
