#pragma once

#include "components/formdialog.h"

class Tform_bookbase : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_bookbase(QWidget *parent = nullptr);
};

extern Tform_bookbase *form_bookbase;
