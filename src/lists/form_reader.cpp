#include "form_reader.h"

Tform_reader *form_reader = nullptr;

Tform_reader::Tform_reader(QWidget *parent)
    : ReferenceList(Member::Readers, parent)
{}
