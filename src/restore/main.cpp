// The restore program: puts a backup in the place of the catalogue that
// Quillmere uses (the data.qmd beside it, the user's own for an installed
// program, or the file named with --data).
#include "components/application.h"
#include "components/commandline.h"
#include "restore/form_restore.h"
#include "store/cataloguelocation.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    const app::CommandLine asked = app::parseCommandLine(app::argumentList(argc, argv), app::Program::Restore);
    if (asked.action == app::CommandLine::Action::Help || asked.action == app::CommandLine::Action::Version) {
        std::fputs(qPrintable(asked.text), stdout);
        return 0;
    }

    QApplication application(argc, argv);
    const app::CommandLine line = app::parseCommandLine(application.arguments(), app::Program::Restore);
    if (line.action != app::CommandLine::Action::Run) {
        std::fputs(qPrintable(line.text), stderr);
        return 2;
    }

    int result = 0;
    try {
        app::setup(application);
        // The same catalogue as Quillmere's; nothing is made here.
        form_restore = new RestoreWindow(cataloguelocation::decide(line.dataFile).dataFile);
        form_restore->show();
        result = application.exec();
    } catch (...) {
        app::reportStartFailure("qmrestore", std::current_exception());
        result = 1;
    }
    delete form_restore;
    form_restore = nullptr;
    return result;
}
