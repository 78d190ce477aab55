#pragma once

#include "support/guitest.h"

#include "catalogue/importoptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class CsvTable;
class QDialog;

// A record of a table as the reader's tests write it: its fields joined by
// "|", a quoted empty field as "" (tst_csvfile.cpp).
QString recordText(const CsvTable &table, int record);

// The CSV import and export: the file format read and written
// (tst_csvfile.cpp), the encodings of the files read (tst_csvencoding.cpp),
// reading the values of other programs' files
// (tst_values.cpp), the round trip through both commands
// (tst_roundtrip.cpp), the import window (tst_importwindow.cpp) and the
// command-line commands (tst_csvcommand.cpp). Every case works on a real
// data file in a fresh program folder, through the main window's commands
// where a user would.
class TransferTest : public fixture::GuiTest
{
    Q_OBJECT

protected:
    // Writes a file into the program folder; returns its path.
    QString writeFile(const QString &name, const QByteArray &bytes) const;
    // Every book, one line each in the order of their numbers: every stored
    // field but the number as SQL writes it (NULL, 12, 'text'), so that the
    // kind of value counts as much as the value.
    QStringList storedBooks() const;
    int bookCount() const;
    // Chooses "从CSV文件导入书籍" on the file and runs the steps in the import
    // window; the window is left through "取消" if the steps leave it open.
    // Fails when the window does not open.
    void inImportWindow(const QString &path, const std::function<void(QDialog *)> &steps);
    // The same, clicking "导入" at once.
    void importThroughWindow(const QString &path);
    // Exports through "导出为CSV文件" into the file.
    void exportThroughWindow(const QString &path);
    // Runs "quillmere --import-csv" on the file into the fixture's catalogue,
    // as the program's entry runs it; returns its exit status and what it
    // printed.
    int importByCommand(const QString &path, const ImportOptions &options = {}, QString *out = nullptr,
                        QString *err = nullptr);
    // The text of the only message shown since the last call; fails when
    // there was not exactly one.
    static QString onlyMessage();
    static void click(QDialog *dialog, const char *button);

private Q_SLOTS:
    // tst_csvfile.cpp
    void writerQuotesAsRfc4180_data();
    void writerQuotesAsRfc4180();
    void readerFindsEncodingAndSeparator_data();
    void readerFindsEncodingAndSeparator();
    void readerSplitsFields_data();
    void readerSplitsFields();
    void recordsAcrossBlocksAreWhole_data();
    void recordsAcrossBlocksAreWhole();
    void badRecordCostsOnlyItself_data();
    void badRecordCostsOnlyItself();
    void readerRefusesWhatIsNoTable_data();
    void readerRefusesWhatIsNoTable();
    void sourceReadsTheSizeItWasOpenedWith();
    void badFileIsRefusedByName_data();
    void badFileIsRefusedByName();

    // tst_csvencoding.cpp
    void realFilesAreReadInTheirEncoding_data();
    void realFilesAreReadInTheirEncoding();
    void callersChoiceIsTaken_data();
    void callersChoiceIsTaken();
    void encodingNamesAreUnderstood_data();
    void encodingNamesAreUnderstood();

    // tst_values.cpp
    void datesAreRead_data();
    void datesAreRead();
    void codesAndNumbersAreRead_data();
    void codesAndNumbersAreRead();
    void namesAndTextsAreSplit_data();
    void namesAndTextsAreSplit();
    void isbnKeysMatchTheSameBook_data();
    void isbnKeysMatchTheSameBook();
    void headersFindTheirFields_data();
    void headersFindTheirFields();

    // tst_realfiles.cpp
    void realFilesAreReadAsMeant_data();
    void realFilesAreReadAsMeant();
    void windowAndCommandLineAgree_data();
    void windowAndCommandLineAgree();
    void unsettledDatesAreAskedFor();
    void damagedRowsCostOnlyThemselves_data();
    void damagedRowsCostOnlyThemselves();
    void dryRunWritesNothing();

    // tst_roundtrip.cpp
    void exportWritesEveryFieldAsText();
    void roundTripKeepsEveryField_data();
    void roundTripKeepsEveryField();
    void exportCancelledLeavesNoFile();
    void exportThatFailsKeepsTheOldFile_data();
    void exportThatFailsKeepsTheOldFile();

    // tst_importwindow.cpp
    void otherProgramsExportIsMapped();
    void changedMappingChangesTheBooks();
    void gb18030AndTabsAreDetected();
    void duplicatesAreMarked_data();
    void duplicatesAreMarked();
    void cancelWritesNothing();
    void cancelledProgressWritesNothing();
    void failureHalfWayLeavesTheCatalogue();
    void listAndTreeShowTheNewBooks();

    // tst_csvcommand.cpp
    void commandLineExportAndImport();
    void commandLineRefusesWithoutTheRightPassword_data();
    void commandLineRefusesWithoutTheRightPassword();
    void commandLinePasswordIsReadWithoutEcho();
    void commandLineImportWaitsForTheOpenWindow();
    void commandLineRefusesABadFile();
};
