#pragma once

#include "bookvalues.h"

#include <QByteArray>
#include <QChar>
#include <QString>

#include <utility>
#include <vector>

// The choices an import of a CSV file takes besides the file: those the
// import window offers, given on the command line.
struct ImportOptions
{
    QByteArray encoding; // the file's encoding; empty: found from its bytes
    QChar separator;     // the field separator; null: found from the header
    // Columns sent to another field than their headers say: the header,
    // and the field's caption or name ("不导入" for none).
    std::vector<std::pair<QString, QString>> mapping;
    bookvalues::DateOrder dateOrder = bookvalues::DateOrder::Unknown;
    bool withDuplicates = false; // add books the catalogue holds already
    bool dryRun = false;         // tell what would be imported, write nothing
    bool forceUnlock = false;    // take over a lock of no process running here (see cataloguelock.h)
};
