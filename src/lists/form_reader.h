#pragma once

#include "referencelist.h"

// The list of book friends, the people books are lent to or borrowed from.
class ReaderList : public ReferenceList
{
    Q_OBJECT

public:
    explicit ReaderList(QWidget *parent = nullptr);
};

extern ReaderList *form_reader;
