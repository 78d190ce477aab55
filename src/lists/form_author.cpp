#include "form_author.h"

AuthorList *form_author = nullptr;

AuthorList::AuthorList(QWidget *parent)
    : ReferenceList(Catalogue::NameList::Authors, parent)
{}
