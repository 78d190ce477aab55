#include "chartlabels.h"

#include <QStringList>

#include <cmath>
#include <map>

namespace chartlabels {

Scale wholeNumbers(double most)
{
    // A step of 1, 2 or 5 times a power of ten, never below 1, so that at
    // most about six intervals reach the largest value.
    const double wanted = std::max(1.0, most) / 6.0;
    double step = 1;
    while (step < wanted) {
        if (step * 2 >= wanted) {
            step *= 2;
            break;
        }
        if (step * 5 >= wanted) {
            step *= 5;
            break;
        }
        step *= 10;
    }
    const double intervals = std::max(1.0, std::ceil(std::max(0.0, most) / step));
    return {intervals * step, int(intervals) + 1};
}

namespace {

const QString kUnknownYear = QStringLiteral("日期未知");

// The first year of the span that holds `year`.
int spanStart(int year, int span)
{
    return int(std::floor(double(year) / span)) * span;
}

QString yearText(int year)
{
    return year >= 0 ? QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0')) : QString::number(year);
}

QString spanLabel(int start, int span)
{
    if (span == 1)
        return yearText(start);
    if (span == 10)
        return yearText(start) + QStringLiteral("年代");
    const int end = start + span - 1;
    // "1980–99" within a century, "1000–1999" across.
    if (start >= 0 && start / 100 == end / 100)
        return yearText(start) + QStringLiteral("–") + QStringLiteral("%1").arg(end % 100, 2, 10, QLatin1Char('0'));
    return yearText(start) + QStringLiteral("–") + yearText(end);
}

// The groups a span's tooltip lists: years in five or ten years, decades in
// up to a century, then centuries and millennia.
int finerSpan(int span)
{
    if (span <= 10)
        return 1;
    if (span <= 100)
        return 10;
    return span / 10;
}

QString figuresText(const QString &label, qint64 books, money::Fen spent)
{
    return QStringLiteral("%1：%2 本，%3 元").arg(label).arg(books).arg(money::amountText(spent));
}

QString totalText(const QString &label, qint64 books, money::Fen spent)
{
    return QStringLiteral("%1：共 %2 本，%3 元").arg(label).arg(books).arg(money::amountText(spent));
}

struct Group
{
    qint64 books = 0;
    money::Fen spent = 0;
};

std::map<int, Group> grouped(const std::vector<figures::Year> &years, int span)
{
    std::map<int, Group> out;
    for (const figures::Year &y : years) {
        if (y.label == kUnknownYear)
            continue;
        Group &g = out[spanStart(y.label.toInt(), span)];
        g.books += y.books;
        g.spent += y.spent;
    }
    return out;
}

} // namespace

std::vector<YearBar> yearBars(const std::vector<figures::Year> &years, int span)
{
    std::vector<YearBar> out;
    const std::map<int, Group> groups = grouped(years, span);
    const std::map<int, Group> parts = span > 1 ? grouped(years, finerSpan(span)) : std::map<int, Group>();
    for (const auto &[start, g] : groups) {
        YearBar bar{spanLabel(start, span), g.books, g.spent, QString()};
        QStringList lines{span == 1 ? figuresText(bar.label, g.books, g.spent)
                                    : totalText(bar.label, g.books, g.spent)};
        for (auto it = parts.lower_bound(start); it != parts.end() && it->first < start + span; ++it)
            lines << figuresText(spanLabel(it->first, finerSpan(span)), it->second.books, it->second.spent);
        bar.tip = lines.join(QLatin1Char('\n'));
        out.push_back(bar);
    }
    for (const figures::Year &y : years) {
        if (y.label == kUnknownYear)
            out.push_back({y.label, y.books, y.spent, figuresText(y.label, y.books, y.spent)});
    }
    return out;
}

bool labelsFit(const QStringList &labels, const QFontMetricsF &metrics, qreal room)
{
    if (labels.isEmpty())
        return true;
    const qreal share = room / qreal(labels.size());
    const qreal gap = metrics.averageCharWidth();
    for (const QString &label : labels) {
        if (metrics.horizontalAdvance(label) + gap > share)
            return false;
    }
    return true;
}

int yearSpan(const std::vector<figures::Year> &years, const QFontMetricsF &metrics, qreal room)
{
    for (const int span : kYearSpans) {
        QStringList labels;
        for (const YearBar &bar : yearBars(years, span))
            labels << bar.label;
        if (labelsFit(labels, metrics, room))
            return span;
    }
    return std::end(kYearSpans)[-1];
}

QString shortName(const QString &name, const QFontMetricsF &metrics)
{
    // About twelve Chinese characters.
    return metrics.elidedText(name, Qt::ElideRight, 12 * metrics.horizontalAdvance(QChar(0x4E2D)));
}

} // namespace chartlabels
