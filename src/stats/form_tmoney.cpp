#include "form_tmoney.h"

Tform_tmoney *form_tmoney = nullptr;

Tform_tmoney::Tform_tmoney(QWidget *parent)
    : FormDialog(parent)
{
    setObjectName(QStringLiteral("form_tmoney"));
    setWindowTitle(QStringLiteral("购买金额统计"));
}
