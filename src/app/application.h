#pragma once

class QApplication;

namespace app {

// Names the application, sets its font and icon. Throws std::runtime_error
// when the GB18030 encoder the program relies on is missing.
void setup(QApplication &application);

} // namespace app
