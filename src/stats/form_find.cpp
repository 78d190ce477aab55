#include "form_find.h"

Tform_find *form_find = nullptr;

Tform_find::Tform_find(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_find"));
    setWindowTitle(QStringLiteral("查找书籍"));
}
