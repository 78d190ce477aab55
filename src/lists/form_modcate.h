#pragma once

#include "components/formdialog.h"

class Tform_modcate : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_modcate(QWidget *parent = nullptr);
};

extern Tform_modcate *form_modcate;
