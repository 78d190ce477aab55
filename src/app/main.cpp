#include "app/application.h"
#include "app/commandline.h"
#include "app/windows.h"
#include "main/form_main.h"
#include "store/cataloguelock.h"

#include <QApplication>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    // The help and the version are answered on the terminal, also where
    // there is no display to open windows on.
    const app::CommandLine asked = app::parseCommandLine(app::argumentList(argc, argv), app::Program::Quillmere);
    if (asked.action == app::CommandLine::Action::Help || asked.action == app::CommandLine::Action::Version) {
        std::fputs(qPrintable(asked.text), stdout);
        return 0;
    }

    QApplication application(argc, argv);
    // Qt has taken its own options (-platform, -style, ...) out by now.
    const app::CommandLine line = app::parseCommandLine(application.arguments(), app::Program::Quillmere);
    if (line.action != app::CommandLine::Action::Run) {
        std::fputs(qPrintable(line.text), stderr);
        return 2;
    }

    int result = 0;
    // Held until every window and its connections are gone.
    std::unique_ptr<CatalogueLock> lock;
    try {
        app::setup(application);
        lock = app::openCatalogue(line.dataFile);
        if (!lock)
            return 1;
        windows::createAll();
        if (form_main->FormShow())
            result = application.exec();
    } catch (...) {
        // Start-up itself failed: say so, then end.
        app::reportStartFailure("quillmere", std::current_exception());
        result = 1;
    }
    windows::destroyAll();
    return result;
}
