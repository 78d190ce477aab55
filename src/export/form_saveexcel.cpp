#include "form_saveexcel.h"

Tform_saveexcel *form_saveexcel = nullptr;

Tform_saveexcel::Tform_saveexcel(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_saveexcel"));
    setWindowTitle(QStringLiteral("另存为EXCEL文档"));
}
