#include "form_reader.h"

Tform_reader *form_reader = nullptr;

Tform_reader::Tform_reader(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_reader"));
    setWindowTitle(QStringLiteral("书友"));
}
