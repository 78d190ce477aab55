#pragma once

class CatalogueLock;
class QApplication;

namespace app {

// Names the application, sets its font and icon. Throws std::runtime_error
// when the GB18030 encoder the program relies on is missing.
void setup(QApplication &application);

// Takes the catalogue for this run of the program. When another Quillmere
// already has it open, says so and returns false: the program then ends
// without having touched the file. A folder that takes no lock file (a
// read-only one) does not stop the start: nothing can be written there.
bool takeCatalogue(CatalogueLock &lock);

} // namespace app
