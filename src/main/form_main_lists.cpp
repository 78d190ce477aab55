// The main window's commands for categories, the reference lists, the
// statistics and the search: each shows its dialog modally.
#include "form_main.h"

#include "components/guard.h"
#include "lists/form_addcate.h"
#include "lists/form_author.h"
#include "lists/form_pub.h"
#include "lists/form_reader.h"
#include "stats/form_find.h"
#include "stats/form_tjie.h"
#include "stats/form_tmoney.h"
#include "stats/form_tnumber.h"

#include <QAction>

void Tform_main::wireListCommands()
{
    const struct
    {
        const char *name;
        void (Tform_main::*handler)();
    } handlers[] = {
        {"meaddcate", &Tform_main::meaddcateClick}, {"mereader", &Tform_main::mereaderClick},
        {"meauthor", &Tform_main::meauthorClick},   {"mepub", &Tform_main::mepubClick},
        {"msnumber", &Tform_main::msnumberClick},   {"msmoney", &Tform_main::msmoneyClick},
        {"msjie", &Tform_main::msjieClick},         {"mtfind", &Tform_main::mtfindClick},
    };
    for (const auto &h : handlers)
        guard::connect(action(h.name), &QAction::triggered, this, h.handler);
}

void Tform_main::meaddcateClick()
{
    form_addcate->showModal();
}

void Tform_main::mereaderClick()
{
    form_reader->showModal();
}

void Tform_main::meauthorClick()
{
    form_author->showModal();
}

void Tform_main::mepubClick()
{
    form_pub->showModal();
}

void Tform_main::msnumberClick()
{
    form_tnumber->showModal();
}

void Tform_main::msmoneyClick()
{
    form_tmoney->showModal();
}

void Tform_main::msjieClick()
{
    form_tjie->showModal();
}

void Tform_main::mtfindClick()
{
    form_find->showModal();
}
