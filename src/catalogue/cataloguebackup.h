#pragma once

#include <QString>

class Connection;

namespace catalogue {

// Copies the data file open on the connection to target byte for byte while
// holding a read transaction on it: no program can commit a change during
// the copy, so the copy is the whole catalogue as of one moment (a change
// interrupted by a crash is first rolled back by SQLite). The bytes are read
// through the connection's own file, never through another descriptor of
// it, which would cost the connection its locks when closed. The copy is
// written whole or not at all. Throws UserError, naming the file, when the
// data file is gone or cannot be read, when another program keeps writing
// to it for longer than the busy timeout, or when the target cannot be
// written; an older file at target is then left as it was.
void backUp(Connection &connection, const QString &target);

} // namespace catalogue
