#pragma once

#include "components/formdialog.h"

class Tform_addcate : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_addcate(QWidget *parent = nullptr);
};

extern Tform_addcate *form_addcate;
