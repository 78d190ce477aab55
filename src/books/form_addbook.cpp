#include "form_addbook.h"

Tform_addbook *form_addbook = nullptr;

Tform_addbook::Tform_addbook(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_addbook"));
    setWindowTitle(QStringLiteral("添加新书籍资料"));
}
