#pragma once

#include "components/formdialog.h"

class Tform_saveexcel : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_saveexcel(QWidget *parent = nullptr);
};

extern Tform_saveexcel *form_saveexcel;
