#pragma once

#include <QString>

#include <exception>
#include <memory>

class Catalogue;
class CatalogueLock;
class QApplication;

namespace app {

// Names the application ("Quillmere", with the title as the name windows
// show, and the desktop menu entry it belongs to), sets its font and icon.
// Throws std::runtime_error when the GB18030 encoder the program relies on
// is missing.
void setup(QApplication &application);

// Opens the catalogue of this run: decides where it is (see
// cataloguelocation.h; named is the file given with --data, "" when none),
// makes it the catalogue in use and takes its lock (see takeCatalogue). On
// the first start of an installed program, the user's catalogue is made from
// the installed empty one, and the user is told once where it is. Returns
// null when the program is to end because another Quillmere has the
// catalogue. Throws UserError for a named file that is missing (nothing is
// made in its place) and when the user's catalogue cannot be made.
std::unique_ptr<Catalogue> openCatalogue(const QString &named, bool forceUnlock = false);

// Takes the catalogue for this run of the program. When another Quillmere
// already has it open, says so and returns false: the program then ends
// without having touched the file. A lock of no Quillmere running on this
// computer (see cataloguelock.h) is described and taken over once the user
// says yes, or at once with forceUnlock (--force-unlock); no, and the
// program ends. A folder that takes no lock file (a read-only one) does not
// stop the start: nothing can be written there.
bool takeCatalogue(CatalogueLock &lock, bool forceUnlock = false);

// The start-up failed: says why on the terminal ("program: ...") and in the
// error box.
void reportStartFailure(const char *program, std::exception_ptr failure);

} // namespace app
