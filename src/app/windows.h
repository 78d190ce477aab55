#pragma once

// The program's seventeen windows, created once at start in a fixed order,
// the main window first, each running its creation event as it is made (the
// main window's fillAtStart(), a dialog's FormCreate()). An error in a
// creation event is shown in the error box and the next window is created all
// the same.
class Catalogue;

namespace windows {

// Every window is handed the catalogue it works on.
void createAll(Catalogue &catalogue);
// Destroys them again, last made first (at exit, and between tests).
void destroyAll();

} // namespace windows
