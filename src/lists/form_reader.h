#pragma once

#include "components/formdialog.h"

class Tform_reader : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_reader(QWidget *parent = nullptr);
};

extern Tform_reader *form_reader;
