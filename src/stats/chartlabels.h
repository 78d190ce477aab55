#pragma once

#include "catalogue/figures.h"

#include <QFontMetricsF>
#include <QString>

#include <vector>

// How the charts fit their scales and labels to the room they get: value
// axes that count in whole numbers, and purchase years gathered into decades
// (or wider spans) when a label for every year would not fit.
namespace chartlabels {

// A value axis from 0 whose ticks all fall on whole numbers: its top and
// the number of ticks, both ends included.
struct Scale
{
    double top = 1;
    int ticks = 2;
};
Scale wholeNumbers(double most);

// A bar of the purchase chart: a year, a span of years or 日期未知, with the
// exact figures of what it holds for its tooltip.
struct YearBar
{
    QString label;
    qint64 books = 0;
    money::Fen spent = 0;
    QString tip;
};

// The spans the purchase years are gathered in, narrowest first.
inline constexpr int kYearSpans[] = {1, 5, 10, 20, 50, 100, 1000, 10000};

// The years (oldest first, 日期未知 last) in bars of `span` years: a year
// alone ("2003"), a decade ("1990年代") or another span ("1990–94",
// "1900–99", "1000–1999"). A group's tooltip has its figures and those of
// the narrower groups in it that have books (years, decades, centuries).
std::vector<YearBar> yearBars(const std::vector<figures::Year> &years, int span);

// The narrowest span whose every label fits the room a bar gets on an axis
// `room` wide (the widest span when none does).
int yearSpan(const std::vector<figures::Year> &years, const QFontMetricsF &metrics, qreal room);

// Whether labels spread evenly over an axis `room` long each fit their share
// with a little space between neighbours.
bool labelsFit(const QStringList &labels, const QFontMetricsF &metrics, qreal room);

// A category name cut to a width the category chart can give it.
QString shortName(const QString &name, const QFontMetricsF &metrics);

} // namespace chartlabels
