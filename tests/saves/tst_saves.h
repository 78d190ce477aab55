#pragma once

#include "support/elsewhere.h"
#include "support/fixture.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// Saving files, and every command on a catalogue that is not the data file
// beside the program. The check that keeps every save off the catalogue's
// own files and the program's (tst_savetarget.cpp); every file-touching
// command of the main window, through its real windows, on the catalogue in
// use while the data file beside the program stays as it was
// (tst_ground.cpp); and every save onto the catalogue, its lock, its journal
// or the restore program refused with the file left as it was
// (tst_refusals.cpp).
class SavesTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<fixture::CatalogueElsewhere> place;
    std::unique_ptr<fixture::Windows> windows;

    // Makes the program's folders in the layout and chooses the catalogue.
    void open(fixture::CatalogueElsewhere::Layout layout);
    // Makes the windows and shows the main window.
    void start();
    static void trigger(const char *command);
    // Saves through one of the program's save commands, as a user does,
    // with the name chosen in its file box: "csv" (导出为CSV文件), "html",
    // "excel" (the export windows), "backup" (备份数据), "loans" (借阅一览's
    // CSV) or "chart" (统计图表's picture).
    void save(const QString &how, const QString &path);
    // The text of the one message shown since the last call, which must be
    // an error; else a note of what was shown.
    static QString onlyError();
    QString catalogueValue(const QString &sql) const;

private Q_SLOTS:
    void init();
    void cleanup();

    // tst_savetarget.cpp
    void targetsAreJudged_data();
    void targetsAreJudged();
    void refusalsNameTheFileAndSayWhy_data();
    void refusalsNameTheFileAndSayWhy();

    // tst_ground.cpp
    void everyCommandWorksOnTheCatalogueInUse_data();
    void everyCommandWorksOnTheCatalogueInUse();

    // tst_refusals.cpp
    void savesOntoTheCataloguesFilesAreRefused_data();
    void savesOntoTheCataloguesFilesAreRefused();
};
