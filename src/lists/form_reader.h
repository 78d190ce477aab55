#pragma once

#include "referencelist.h"

// The list of readers, the people books are lent to or borrowed from.
class Tform_reader : public ReferenceList
{
    Q_OBJECT

public:
    explicit Tform_reader(QWidget *parent = nullptr);

    Dataset ado_reader;

protected:
    Dataset &dataset() override { return ado_reader; }
};

extern Tform_reader *form_reader;
