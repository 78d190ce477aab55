#pragma once

#include "referencelist.h"

// The publisher list.
class Tform_pub : public ReferenceList
{
    Q_OBJECT

public:
    explicit Tform_pub(QWidget *parent = nullptr);

    Dataset ado_pub;

protected:
    Dataset &dataset() override { return ado_pub; }
};

extern Tform_pub *form_pub;
