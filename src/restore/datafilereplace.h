#pragma once

#include <QString>

// Putting a backup in the place of a data file (the catalogue in use).
namespace restore {

// Replaces the data file by a copy of backup. The file there is first kept
// under a new name beside it (the safety copy); then the backup is copied to
// a temporary file in the same folder, checked again, and renamed over the
// data file in one step. At every moment the data file is either the old
// file or the whole new one. No Quillmere may hold the catalogue meanwhile:
// one that is ending is waited for a few seconds.
// Returns the safety copy's file name, "" when there was no data file.
// Throws UserError with a message for the user; the data file is then as it
// was.
QString replaceDataFile(const QString &backup, const QString &dataFile);

// Brings a data file left with a rollback journal beside it back to its last
// whole state, through SQLite, and lets SQLite remove the journal. Throws
// UserError when another program is still writing to the file. The caller
// holds the catalogue's lock, so no Quillmere is that program.
void settleJournal(const QString &dataFile);

// The message for a catalogue that a running Quillmere holds.
QString inUseMessage(const QString &dataFile);

// The safety copy's name for a restore of dataFile at this time, not yet
// taken in its folder: data.qmd is kept as data-before-restore-DATE-TIME.qmd.
QString safetyCopyName(const QString &dataFile);

} // namespace restore
