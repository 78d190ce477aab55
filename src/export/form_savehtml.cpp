#include "form_savehtml.h"

Tform_savehtml *form_savehtml = nullptr;

Tform_savehtml::Tform_savehtml(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_savehtml"));
    setWindowTitle(QStringLiteral("存为HTML文件"));
}
