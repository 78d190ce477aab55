#pragma once

#include "referencelist.h"

// The author list.
class Tform_author : public ReferenceList
{
    Q_OBJECT

public:
    explicit Tform_author(QWidget *parent = nullptr);

    Dataset ado_author;

protected:
    Dataset &dataset() override { return ado_author; }
};

extern Tform_author *form_author;
