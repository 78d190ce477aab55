#pragma once

#include "components/formdialog.h"

class Tform_savehtml : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_savehtml(QWidget *parent = nullptr);
};

extern Tform_savehtml *form_savehtml;
