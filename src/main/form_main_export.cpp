// The main window's export commands.
#include "form_main.h"

void Tform_main::wireExportCommands() {}
