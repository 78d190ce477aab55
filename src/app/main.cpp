#include "app/windows.h"
#include "catalogue/catalogue.h"
#include "catalogue/csvcommand.h"
#include "components/application.h"
#include "components/commandline.h"
#include "main/form_main.h"
#include "store/cataloguelocation.h"
#include "store/cataloguelock.h"
#include "store/datafile.h"
#include "store/usererror.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {

bool isCsvCommand(const app::CommandLine &line)
{
    return line.action == app::CommandLine::Action::ExportCsv || line.action == app::CommandLine::Action::ImportCsv;
}

// --export-csv and --import-csv: the same catalogue the windows would open,
// without a window and so without a display. The catalogue must exist: the
// commands make none (an installed program's user's catalogue is made by
// the program's first start). Runs with the application object made.
int runCsvCommand(const app::CommandLine &line)
{
    QString dataFile;
    try {
        dataFile = cataloguelocation::decide(line.dataFile).dataFile;
    } catch (const UserError &e) {
        std::fprintf(stderr, "quillmere: %s\n", e.what());
        return 1;
    }
    if (!QFileInfo(dataFile).isFile()) {
        std::fprintf(stderr, "quillmere: %s\n", qPrintable(missingDataFileMessage(dataFile)));
        return 1;
    }
    Catalogue catalogue(dataFile);
    if (line.action == app::CommandLine::Action::ExportCsv)
        return csvcommand::exportBooks(catalogue, line.csvFile);
    ImportOptions options = line.import;
    options.forceUnlock = line.forceUnlock;
    return csvcommand::importBooks(catalogue, line.csvFile, options);
}

} // namespace

int main(int argc, char *argv[])
{
    // The help and the version are answered on the terminal, also where
    // there is no display to open windows on.
    const app::CommandLine asked = app::parseCommandLine(app::argumentList(argc, argv), app::Program::Quillmere);
    if (asked.action == app::CommandLine::Action::Help || asked.action == app::CommandLine::Action::Version) {
        std::fputs(qPrintable(asked.text), stdout);
        return 0;
    }
    if (isCsvCommand(asked)) {
        QCoreApplication core(argc, argv);
        return runCsvCommand(asked);
    }

    QApplication application(argc, argv);
    // Qt has taken its own options (-platform, -style, ...) out by now.
    const app::CommandLine line = app::parseCommandLine(application.arguments(), app::Program::Quillmere);
    // A command line with Qt's own options in it is read here.
    if (isCsvCommand(line))
        return runCsvCommand(line);
    if (line.action != app::CommandLine::Action::Run) {
        std::fputs(qPrintable(line.text), stderr);
        return 2;
    }

    int result = 0;
    // Held until every window is gone.
    std::unique_ptr<Catalogue> catalogue;
    try {
        app::setup(application);
        catalogue = app::openCatalogue(line.dataFile, line.forceUnlock);
        if (!catalogue)
            return 1;
        windows::createAll(*catalogue);
        if (form_main->logIn())
            result = application.exec();
    } catch (...) {
        // Start-up itself failed: say so, then end.
        app::reportStartFailure("quillmere", std::current_exception());
        result = 1;
    }
    windows::destroyAll();
    return result;
}
