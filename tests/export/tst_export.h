#pragma once

#include "support/guitest.h"

#include <QByteArray>
#include <QObject>
#include <QPalette>
#include <QString>

#include <functional>
#include <memory>

class ExportGrid;
class QDialog;

// The GB18030 bytes of the texts the tests meet, written out by hand.
namespace gb {
inline QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}
} // namespace gb

// The export: the two dialogs and their grid (tst_export.cpp), the HTML page
// (tst_html.cpp), the worksheet (tst_excel.cpp), the grid's rows read from
// the data file (tst_grid.cpp), the engine on tables made by hand
// (tst_engine.cpp) and the values of "导出为CSV文件" (tst_csvexport.cpp). The
// dialogs are driven from the main window's commands against a real data
// file; the files are compared byte for byte and read back by independent
// readers.
class ExportTest : public fixture::GuiTest
{
    Q_OBJECT

public:
    // The desktop colours the tests run under.
    static constexpr quint32 kBase = 0xFFFEF0;     // window
    static constexpr quint32 kText = 0x101820;     // window text
    static constexpr quint32 kButton = 0xD4D0C8;   // button face
    static constexpr quint32 kMidlight = 0xE3E1DC; // 3-D light
    static constexpr quint32 kShadow = 0x404040;   // window frame

protected:
    QPalette m_savedPalette;

    // One book with no values, one with a Chinese title, one lent out whose
    // title holds "<B>" and "&".
    void seedThreeBooks();
    void start();
    // Opens the dialog through the main window's command, runs the steps in
    // it and leaves it through "取消" if it is still open.
    void inDialog(const char *command, const std::function<void(QDialog *)> &steps);
    // Saves through the dialog: prepare may change the grid first.
    void saveThrough(const char *command, const QString &path,
                     const std::function<void(ExportGrid *)> &prepare = nullptr);
    // The two columns with a computed width get fixed ones, so that the
    // bytes do not depend on the installed fonts.
    static void fixComputedWidths(ExportGrid *grid);

    static ExportGrid *gridOf(QDialog *dialog);
    static void click(QDialog *dialog, const char *button);
    static QByteArray readAll(const QString &path);
    static QStringList filesIn(const QString &folder);
    // Runs Debian's own Python on a script; "" and a skip when it is missing.
    static QByteArray python(const QString &script, const QStringList &arguments);

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    // tst_export.cpp
    void commandsOpenTheirDialogs_data();
    void commandsOpenTheirDialogs();
    void gridShowsTheBookTable();
    void snapshotLastsUntilCancel();
    void cancelledSaveBoxWritesNothing_data();
    void cancelledSaveBoxWritesNothing();
    void fileThatCannotBeCreated_data();
    void fileThatCannotBeCreated();
    void unreadTableWritesNothing_data();
    void unreadTableWritesNothing();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void savingTwiceGivesTheSameFile_data();
    void savingTwiceGivesTheSameFile();
    void worksheetRefusesTooManyBooks();

    // tst_html.cpp
    void htmlBytes_data();
    void htmlBytes();
    void htmlFollowsTheShownLayout();
    void htmlParsesBack();
    void htmlColoursFollowThePalette();
    void htmlWritesSelectedRowsInSelectionOrder();

    // tst_excel.cpp
    void excelBytes_data();
    void excelBytes();
    void excelFollowsTheShownLayout();
    void excelReadsBack();

    // tst_grid.cpp
    void gridShowsAndWritesStoredValuesAsBefore();
    void rowsFollowTheCommand_data();
    void rowsFollowTheCommand();
    void removedBookIsAnEmptyRow_data();
    void removedBookIsAnEmptyRow();
    void unreadableRowsNameTheFile();
    void gridLetsTheFileGoWithItsDialog();

    // tst_engine.cpp
    void worksheetCells_data();
    void worksheetCells();
    void pageCellsAndStyles();
    void writeErrorStillEndsTheFile_data();
    void writeErrorStillEndsTheFile();
    void gridWithoutDataWritesNothing();

    // tst_csvexport.cpp
    void csvWritesStoredValues_data();
    void csvWritesStoredValues();
};
