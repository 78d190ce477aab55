// The main window's commands for categories, the reference lists, the
// statistics and the search.
#include "form_main.h"

void Tform_main::wireListCommands() {}
