// The two book windows on a book whose summary is one line of 300,000
// characters with nowhere to wrap (text pasted from a web page or a file
// gone wrong), against the same windows on the same book with no summary.
// A text box lays out a paragraph in time that grows faster than its
// length; the summary box holds such a line in short paragraphs, so both
// windows should open nearly as fast as with no summary at all.
#include "session.h"

#include "driver.h"
#include "probe.h"

#include "main/form_main.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QPlainTextEdit>

namespace session {
namespace {

using driver::require;

constexpr int kSummaryLength = 300000;
constexpr int kRow = 2;

// The book window opened on the list's row, timed until it is shown and
// painted, recorded as the step id (not when id is empty), and closed again
// without a change; returns the time.
double openOnRow(Context &c, const std::function<void()> &trigger, const std::string &id, int summaryLength)
{
    c.clickRow(kRow);
    double ms = 0;
    QElapsedTimer timer;
    driver::withModal(
        [&] {
            c.startStep();
            timer.start();
            trigger();
        },
        [&](QDialog *dialog) {
            probe::settle(dialog);
            ms = probe::elapsedMs(timer);
            if (!id.empty())
                c.record(id, ms);
            auto *note = driver::child<QPlainTextEdit>(dialog, "book_note");
            require(note->document()->characterCount() >= summaryLength,
                    id + ": the window does not show the whole summary");
        });
    probe::settle(c.listViewport());
    c.expectShown(id.empty() ? "summary" : id.c_str());
    return ms;
}

// The summary of the book in the row, written beside the program as
// another program would (the windows read the book afresh).
void setSummary(Context &c, const QString &summary)
{
    const qint64 number = c.cell(kRow, c.column(QStringLiteral("编号"))).toLongLong();
    require(c.check->change("update book set book_note=? where book_id=?", {summary, number}) == 1,
            "the summary could not be written");
}

} // namespace

void summarySteps(Context &c)
{
    QString summary;
    summary.reserve(kSummaryLength);
    while (summary.size() < kSummaryLength)
        summary += QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    summary.truncate(kSummaryLength);

    const auto details = [] { form_main->popmenu_booklist()->findChild<QAction *>(QStringLiteral("N6"))->trigger(); };
    const auto modify = [] { driver::command("meeditbook")->trigger(); };
    setSummary(c, QString());
    // 查看书籍资料 is made at its first opening, which the session has not
    // had yet (修改书籍资料 has): opened once untimed, so that both windows
    // are timed as they open every other time.
    openOnRow(c, details, std::string(), 0);
    const double viewEmpty = openOnRow(c, details, "summary.view.empty", 0);
    const double modifyEmpty = openOnRow(c, modify, "summary.mod.empty", 0);
    setSummary(c, summary);
    openOnRow(c, details, "summary.view", kSummaryLength);
    openOnRow(c, modify, "summary.mod", kSummaryLength);
    c.setFloor("summary.view", viewEmpty);
    c.setFloor("summary.mod", modifyEmpty);
    setSummary(c, QString());
}

} // namespace session
