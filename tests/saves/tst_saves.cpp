// The helpers the tests of saving share.
#include "tst_saves.h"

#include "components/desktop.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "store/datetext.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QtTest>

void SavesTest::init()
{
    msg::setScripted(true);
    filedialog::setScripted(true);
    datetext::setLocale(QLocale(QLocale::Chinese, QLocale::China));
}

void SavesTest::cleanup()
{
    QTRY_VERIFY(!QApplication::activeModalWidget());
    windows.reset();
    desktop::setScripted(false);
    msg::setScripted(false);
    filedialog::setScripted(false);
    datetext::resetLocale();
    place.reset();
}

void SavesTest::open(fixture::CatalogueElsewhere::Layout layout)
{
    place = std::make_unique<fixture::CatalogueElsewhere>(layout);
    QVERIFY(place->isValid());
}

void SavesTest::start()
{
    windows = std::make_unique<fixture::Windows>();
    fixture::showMainWindow();
}

void SavesTest::trigger(const char *command)
{
    QAction *action = form_main ? form_main->action(command) : nullptr;
    QVERIFY2(action, command);
    QVERIFY2(action->isEnabled(), command);
    action->trigger();
}

void SavesTest::save(const QString &how, const QString &path)
{
    const auto inWindow = [&](const char *command, const char *button) {
        fixture::runDialog(form_main->action(command), [&](QDialog *dialog) {
            filedialog::setNextFileName(path);
            QTest::mouseClick(fixture::child<QPushButton>(dialog, button), Qt::LeftButton);
        });
    };
    filedialog::takeAsked(); // only this save's box is counted
    if (how == QLatin1String("csv")) {
        filedialog::setNextFileName(path);
        trigger("mfsavecsv");
    } else if (how == QLatin1String("backup")) {
        filedialog::setNextFileName(path);
        trigger("mfbeifen");
    } else if (how == QLatin1String("html")) {
        inWindow("mfsavehtml", "button_ok");
    } else if (how == QLatin1String("excel")) {
        inWindow("mfsaveexcel", "button_ok");
    } else if (how == QLatin1String("loans")) {
        inWindow("msloans", "button_savecsv");
    } else if (how == QLatin1String("chart")) {
        inWindow("mschart", "button_savepng");
    } else {
        QFAIL(qPrintable(QStringLiteral("no save called ") + how));
    }
    QVERIFY2(filedialog::takeAsked().size() == 1, qPrintable(how));
}

QString SavesTest::onlyError()
{
    const QList<msg::Shown> shown = msg::takeShown();
    if (shown.size() == 1 && shown[0].kind == msg::Kind::Error)
        return shown[0].text;
    QStringList seen;
    for (const msg::Shown &s : shown)
        seen << QStringLiteral("[%1] %2").arg(int(s.kind)).arg(s.text);
    return QStringLiteral("not one error: ") + seen.join(QStringLiteral(" / "));
}

QString SavesTest::catalogueValue(const QString &sql) const
{
    return fixture::value(place->dataFile(), sql);
}

QTEST_MAIN(SavesTest)
