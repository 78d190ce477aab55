#include "form_tjie.h"

Tform_tjie *form_tjie = nullptr;

Tform_tjie::Tform_tjie(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_tjie"));
    setWindowTitle(QStringLiteral("借入借出统计"));
}
