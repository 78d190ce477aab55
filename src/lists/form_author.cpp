#include "form_author.h"

Tform_author *form_author = nullptr;

Tform_author::Tform_author(QWidget *parent)
    : ReferenceList(Member::Authors, parent)
{}
