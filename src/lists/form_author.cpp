#include "form_author.h"

Tform_author *form_author = nullptr;

Tform_author::Tform_author(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_author"));
    setWindowTitle(QStringLiteral("作者库"));
}
