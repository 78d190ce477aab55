#include "form_modcate.h"

Tform_modcate *form_modcate = nullptr;

Tform_modcate::Tform_modcate(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_modcate"));
    setWindowTitle(QStringLiteral("修改类别"));
}
