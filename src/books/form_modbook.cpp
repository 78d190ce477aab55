#include "form_modbook.h"

Tform_modbook *form_modbook = nullptr;

Tform_modbook::Tform_modbook(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_modbook"));
    setWindowTitle(QStringLiteral("修改书籍资料"));
}
