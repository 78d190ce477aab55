// The main window's export commands.
#include "form_main.h"

#include "components/guard.h"
#include "export/form_saveexcel.h"
#include "export/form_savehtml.h"

#include <QAction>

void Tform_main::wireExportCommands()
{
    guard::connect(action("mfsaveexcel"), &QAction::triggered, this, &Tform_main::mfsaveexcelClick);
    guard::connect(action("mfsavehtml"), &QAction::triggered, this, &Tform_main::mfsavehtmlClick);
}

void Tform_main::mfsaveexcelClick()
{
    form_saveexcel->showModal();
}

void Tform_main::mfsavehtmlClick()
{
    form_savehtml->showModal();
}
