#pragma once

#include "referencelist.h"

// The publisher list.
class PublisherList : public ReferenceList
{
    Q_OBJECT

public:
    explicit PublisherList(QWidget *parent = nullptr);
};

extern PublisherList *form_pub;
