#pragma once

#include "floor.h"
#include "results.h"

#include "catalogue/catalogue.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAbstractItemModel;
class QTableView;

// One process run: the user's session on the program's windows, step by
// step, each step timed once as the user meets it (the click, the work, the
// repaint), with the peak memory after it; then the floors of the same
// work. Needs the QApplication; the program folder holds data.qmd.
namespace session {

struct Options
{
    QString folder;       // the program folder, holding data.qmd
    int books = 0;        // as seeded
    bool csvOnly = false; // the start and the CSV steps alone
};

results::Run run(const Options &options);

// What the parts of the session share.
class Context
{
public:
    explicit Context(const Options &options);

    const Options options;
    const QString dataFile;
    // The catalogue the windows work on, opened at start.
    std::unique_ptr<Catalogue> catalogue;
    results::Run run;
    // A connection of its own for checking what the program did; opened
    // once the program has started.
    std::optional<Floor> check;

    // Marks the start of a step: its memory is measured from here.
    void startStep();
    // Records a step's time, with the peak memory since its start.
    void record(const std::string &id, double ms);
    // Times work as one step: the work, then the turn of the event loop and
    // the repaint of the list that show its result; records it.
    void step(const std::string &id, const std::function<void()> &work);
    void setFloor(const std::string &id, double ms);
    void note(const std::string &key, const QString &text);

    // The main window's book list as the report view shows it.
    QTableView *listView() const;
    QWidget *listViewport() const;
    QAbstractItemModel *listModel() const;
    int listRows() const;
    // Clicks the list's row (scrolled into view first, not timed).
    void clickRow(int row);
    // The text in a cell of the list, and the list's column by its caption.
    QString cell(int row, int column) const;
    int column(const QString &caption) const;
    // Throws when the program showed a message; a step that asks a question
    // or refuses with a message expects that many messages of that kind.
    void expectShown(const char *step, int questions = 0, int errors = 0);

private:
    bool m_peakResets = false; // the peak was set back at the step's start
    double m_residentBefore = 0;
    double m_peak = 0; // the highest peak of the session so far
};

// The parts of the session, in the order they run (with csvOnly: the
// start, the CSV steps and their floors).
void startSteps(Context &c);  // start, the repaint of the list
void listSteps(Context &c);   // tree, sorts, search
void dialogSteps(Context &c); // statistics, add, modify, delete
void summarySteps(Context &c); // both book windows on a book with a huge one-line summary
void exportSteps(Context &c); // both export dialogs and their files
void csvSteps(Context &c);    // the CSV export, the import of its file, the import window on a wide file
void floors(Context &c);      // the floors of every step, after the session
void csvFloors(Context &c);   // the CSV steps' floors, last: they write the rows imported once more

// Of csvSteps: the exported file imported on the command line, in a child
// process, with the child's peak memory; and the import window opened on a
// file of 20 and one of 2,000 columns.
void commandLineImport(Context &c, const QString &csv);
void importWindowWidths(Context &c);
// Of csvFloors: the floor of the import on the command line.
void commandLineFloor(Context &c);

// The book table's columns after the number: what an import writes.
extern const QByteArray kImportedColumns;

} // namespace session
