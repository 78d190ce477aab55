#include "app/application.h"
#include "app/windows.h"
#include "components/guard.h"
#include "main/form_main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int result = 0;
    try {
        app::setup(application);
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
