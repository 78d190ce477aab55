#pragma once

#include "components/formdialog.h"

class Tform_author : public FormDialog
{
    Q_OBJECT

public:
    explicit Tform_author(QWidget *parent = nullptr);
};

extern Tform_author *form_author;
