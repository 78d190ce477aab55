#pragma once

#include "referencelist.h"

// The author list.
class AuthorList : public ReferenceList
{
    Q_OBJECT

public:
    explicit AuthorList(QWidget *parent = nullptr);
};

extern AuthorList *form_author;
