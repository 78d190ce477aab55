#include "form_reader.h"

ReaderList *form_reader = nullptr;

ReaderList::ReaderList(QWidget *parent)
    : ReferenceList(Catalogue::NameList::Readers, parent)
{}
