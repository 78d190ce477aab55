#pragma once

#include "components/formdialog.h"

class Tform_passwd : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_passwd(QWidget *parent = nullptr);
};

extern Tform_passwd *form_passwd;
