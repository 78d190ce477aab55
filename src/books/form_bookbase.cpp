#include "form_bookbase.h"

Tform_bookbase *form_bookbase = nullptr;

Tform_bookbase::Tform_bookbase(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_bookbase"));
    setWindowTitle(QStringLiteral("查看书籍资料"));
}
