#include "form_addcate.h"

Tform_addcate *form_addcate = nullptr;

Tform_addcate::Tform_addcate(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_addcate"));
    setWindowTitle(QStringLiteral("添加新类别"));
}
