#include "guitest.h"

#include "components/desktop.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "store/datetext.h"

#include <QAction>
#include <QApplication>
#include <QtTest>

namespace fixture {

void GuiTest::setUpCase()
{
    folder = std::make_unique<ProgramFolder>();
    msg::setScripted(true);
    filedialog::setScripted(true);
    datetext::setLocale(QLocale(QLocale::Chinese, QLocale::China));
}

void GuiTest::tearDownCase()
{
    QTRY_VERIFY(!QApplication::activeModalWidget());
    windows.reset();
    desktop::setScripted(false);
    msg::setScripted(false);
    filedialog::setScripted(false);
    datetext::resetLocale();
    folder.reset();
}

void GuiTest::start()
{
    windows = std::make_unique<Windows>();
    showMainWindow();
}

void GuiTest::trigger(const char *command)
{
    QAction *action = form_main ? form_main->action(command) : nullptr;
    QVERIFY2(action, command);
    QVERIFY2(action->isEnabled(), command);
    action->trigger();
}

} // namespace fixture
