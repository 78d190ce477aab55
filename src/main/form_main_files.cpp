// The main window's commands on the data file, the help document and the
// start-up password.
#include "form_main.h"

void Tform_main::wireFileCommands() {}
