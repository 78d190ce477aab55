// The restore program: puts a backup in the place of the program folder's
// data.qmd.
#include "app/application.h"
#include "components/guard.h"
#include "restore/form_restore.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int result = 0;
    try {
        app::setup(application);
        form_restore = new Tform_restore;
        form_restore->show();
        result = application.exec();
    } catch (...) {
        guard::showFailure(nullptr, std::current_exception());
        result = 1;
    }
    delete form_restore;
    form_restore = nullptr;
    return result;
}
