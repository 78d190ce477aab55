#include "form_pub.h"

PublisherList *form_pub = nullptr;

PublisherList::PublisherList(QWidget *parent)
    : ReferenceList(Catalogue::NameList::Publishers, parent)
{}
