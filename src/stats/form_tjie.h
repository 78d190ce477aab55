#pragma once

#include "components/formdialog.h"

class Tform_tjie : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_tjie(QWidget *parent = nullptr);
};

extern Tform_tjie *form_tjie;
