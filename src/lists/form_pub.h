#pragma once

#include "components/formdialog.h"

class Tform_pub : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_pub(QWidget *parent = nullptr);
};

extern Tform_pub *form_pub;
