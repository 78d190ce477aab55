#include "form_tnumber.h"

Tform_tnumber *form_tnumber = nullptr;

Tform_tnumber::Tform_tnumber(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_tnumber"));
    setWindowTitle(QStringLiteral("书籍数目统计"));
}
