#include "form_pub.h"

Tform_pub *form_pub = nullptr;

Tform_pub::Tform_pub(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_pub"));
    setWindowTitle(QStringLiteral("出版社"));
}
