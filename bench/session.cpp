#include "session.h"

#include "driver.h"
#include "probe.h"
#include "steps.h"

#include "app/windows.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "store/programfolder.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>
#include <stdexcept>

namespace session {

using driver::require;

Context::Context(const Options &options)
    : options(options)
    , dataFile(QDir(options.folder).filePath(QStringLiteral("data.qmd")))
{}

void Context::startStep()
{
    m_peakResets = probe::resetPeak();
    m_residentBefore = probe::residentMb();
}

void Context::record(const std::string &id, double ms)
{
    require(!run.find(id), "step " + id + " taken twice");
    // Where the peak cannot be set back, a step's rise is what it added to
    // the peak of the steps before it.
    const double stepPeak = probe::peakMb();
    const double before = m_peakResets ? m_residentBefore : m_peak;
    m_peak = std::max(m_peak, stepPeak);
    run.figures.push_back({id, ms, std::nullopt, m_peak, stepPeak - before});
}

void Context::step(const std::string &id, const std::function<void()> &work)
{
    startStep();
    QElapsedTimer timer;
    timer.start();
    work();
    probe::settle(listViewport());
    record(id, probe::elapsedMs(timer));
}

void Context::setFloor(const std::string &id, double ms)
{
    if (results::Figure *figure = run.find(id))
        figure->floorMs = ms;
}

void Context::note(const std::string &key, const QString &text)
{
    run.notes.emplace_back(key, text.toStdString());
}

QTableView *Context::listView() const
{
    return driver::child<QTableView>(form_main, "listview_main_report");
}

QWidget *Context::listViewport() const
{
    return listView()->viewport();
}

QAbstractItemModel *Context::listModel() const
{
    return listView()->model();
}

int Context::listRows() const
{
    return listModel()->rowCount();
}

void Context::clickRow(int row)
{
    QTableView *view = listView();
    const QModelIndex index = listModel()->index(row, 0);
    view->scrollTo(index);
    probe::settle();
    driver::click(view->viewport(), view->visualRect(index).center());
    probe::settle();
    require(view->selectionModel()->currentIndex().row() == row, "the click did not select the row");
}

QString Context::cell(int row, int column) const
{
    return listModel()->data(listModel()->index(row, column)).toString();
}

int Context::column(const QString &caption) const
{
    QAbstractItemModel *model = listModel();
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->headerData(c, Qt::Horizontal).toString() == caption)
            return c;
    throw std::runtime_error("the list has no column " + caption.toStdString());
}

void Context::expectShown(const char *step, int questions, int errors)
{
    int asked = 0, refused = 0;
    for (const msg::Shown &s : msg::takeShown()) {
        if (s.kind == msg::Kind::Question && asked < questions) {
            ++asked;
        } else if (s.kind == msg::Kind::Error && refused < errors) {
            ++refused;
            note(std::string(step) + ".message", s.text.section(QLatin1Char('\n'), 0, 0));
        } else {
            throw std::runtime_error(std::string(step) + ": the program showed \"" + s.text.toStdString() + "\"");
        }
    }
    require(asked == questions && refused == errors, std::string(step) + ": a message the step asks for was not shown");
}

namespace {

// The windows go and the program folder points back at the real one when
// the session ends, also when it ends by an error.
class Ground
{
public:
    explicit Ground(const QString &folder) { programfolder::setOverride(folder); }
    ~Ground()
    {
        windows::destroyAll();
        programfolder::setOverride(QString());
    }
    Ground(const Ground &) = delete;
    Ground &operator=(const Ground &) = delete;
};

} // namespace

results::Run run(const Options &options)
{
    Context c(options);
    Ground ground(options.folder);
    startSteps(c);
    if (!options.csvOnly) {
        listSteps(c);
        dialogSteps(c);
        summarySteps(c);
        exportSteps(c);
    }
    csvSteps(c);
    floors(c);
    csvFloors(c);
    return c.run;
}

} // namespace session
