#include "app/application.h"
#include "store/programfolder.h"
#include "app/windows.h"
#include "components/guard.h"
#include "main/form_main.h"
#include "store/cataloguelock.h"
#include "store/connection.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int result = 0;
    // Held until every window and its connections are gone.
    std::unique_ptr<CatalogueLock> lock;
    try {
        app::setup(application);
        lock = std::make_unique<CatalogueLock>(programfolder::path() + QString::fromLatin1(kDataFileName));
        if (!app::takeCatalogue(*lock))
            return 1;
        windows::createAll();
        if (form_main->FormShow())
            result = application.exec();
    } catch (...) {
        // Start-up itself failed: say so, then end.
        guard::showFailure(nullptr, std::current_exception());
        result = 1;
    }
    windows::destroyAll();
    return result;
}
