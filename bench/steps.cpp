#include "steps.h"

#include <algorithm>
#include <array>

namespace steps {
namespace {

constexpr Target kUnder100ms{Rule::UnderMs, 100};
constexpr Target kSort{Rule::UnderMs, 800};
constexpr Target kFill{Rule::WithinFloor, 1.5};
constexpr Target kStatistic{Rule::WithinFloor, 2};
constexpr Target kChange{Rule::WithinFloorPlusPaint, 5};
// Every book of a file written: against the same rows inserted through
// SQLite in one transaction.
constexpr Target kCsvImport{Rule::WithinFloor, 3};
// The import window on a file of 2,000 columns: against the same books in
// 20 columns, opened in the same run.
constexpr Target kWideHeader{Rule::WithinFloor, 2, "20 columns"};
// A book window on a summary of one line of 300,000 characters: against the
// same window on the same book with no summary, opened in the same run.
constexpr Target kLongSummary{Rule::WithinFloor, 2, "no summary"};

// The whole-list fills, the export grids and the HTML page are slow by
// nature below a million books too; every other command should answer at
// once. A book written waits for the disk: judged against a single-row
// change on the same disk, plus the repaint.
constexpr std::array kSteps{
    Step{"start", "start to the filled main window", {}, {kFill}},
    Step{"start.windows", "  of it: the windows made (list filled)", {}, {}},
    Step{"paint", "repaint of the list, nothing changed", {}, {}},
    Step{"category", "category click in the tree", {kUnder100ms}, {kFill}},
    Step{"all", "全部分类: back to the full list", {}, {kFill}},
    Step{"sort.title", "sort by title (first sort)", {kUnder100ms}, {kSort}},
    Step{"sort.price", "sort by price", {kUnder100ms}, {kSort}},
    Step{"sort.date", "sort by purchase date", {kUnder100ms}, {kSort}},
    Step{"find.open", "查找: the dialog opens", {kUnder100ms}, {}},
    Step{"find", "查找: a word found, matches listed", {kUnder100ms}, {}},
    Step{"tnumber", "书籍数目统计", {kUnder100ms}, {kStatistic}},
    Step{"tjie", "借入借出统计", {kUnder100ms}, {kStatistic}},
    Step{"tmoney", "购买金额统计", {kUnder100ms}, {kStatistic}},
    Step{"charts", "统计图表: the window opens", {kStatistic}, {kStatistic}},
    Step{"all.again", "全部分类: the full list again", {}, {kFill}},
    Step{"add.open", "添加新书籍: the dialog opens", {kUnder100ms}, {}},
    Step{"add", "添加新书籍: 添加 clicked", {kUnder100ms, kChange}, {kUnder100ms}},
    Step{"mod.open", "修改书籍资料: the dialog opens", {kUnder100ms}, {}},
    Step{"mod", "修改书籍资料: 修改 clicked", {kUnder100ms, kChange}, {kUnder100ms}},
    Step{"del", "删除书籍: Yes answered", {kUnder100ms, kChange}, {kUnder100ms}},
    Step{"summary.view.empty", "查看书籍资料: the window opens, no summary", {kUnder100ms}, {}},
    Step{"summary.mod.empty", "修改书籍资料: the window opens, no summary", {kUnder100ms}, {}},
    Step{"summary.view", "查看书籍资料: a summary of 300,000 characters in one line", {kLongSummary}, {kLongSummary}},
    Step{"summary.mod", "修改书籍资料: a summary of 300,000 characters in one line", {kLongSummary}, {kLongSummary}},
    Step{"html.open", "存为HTML文件: the export grid opens", {}, {kFill}},
    Step{"html", "存为HTML文件: 保存, the page written", {}, {}},
    Step{"excel.open", "存为EXCEL文件: the export grid opens", {}, {kFill}},
    Step{"excel", "存为EXCEL文件: 保存", {kUnder100ms}, {}},
    Step{"excel.part", "  the grid's save of 65,535 selected rows", {}, {}},
    Step{"csv.export", "导出为CSV文件: every book written", {}, {}},
    Step{"csv.cli.one", "--import-csv of one book (a child process)", {}, {}, true},
    Step{"csv.cli", "--import-csv of every book (a child process)", {}, {}, true},
    Step{"csv.open", "从CSV文件导入: the import window opens", {}, {}},
    Step{"csv.import", "从CSV文件导入: 导入 to the list refilled", {kCsvImport}, {}},
    Step{"csv.import.write", "  of it: the books written", {kCsvImport}, {}},
    Step{"csv.narrow", "从CSV文件导入: 20 columns, the window opens", {}, {}},
    Step{"csv.wide", "从CSV文件导入: 2,000 columns, the window opens", {kWideHeader}, {kWideHeader}},
};

} // namespace

std::span<const Step> all()
{
    return kSteps;
}

const Step *find(std::string_view id)
{
    const auto at = std::find_if(kSteps.begin(), kSteps.end(), [&](const Step &s) { return s.id == id; });
    return at == kSteps.end() ? nullptr : &*at;
}

} // namespace steps
