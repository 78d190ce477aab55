#include "form_pub.h"

Tform_pub *form_pub = nullptr;

Tform_pub::Tform_pub(QWidget *parent)
    : ReferenceList(Member::Publishers, parent)
{}
