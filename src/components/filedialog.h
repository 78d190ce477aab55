#pragma once

#include <QList>
#include <QString>

class QWidget;

// The program's file boxes, in one place so that tests can give the file
// name directly instead of driving the box.
namespace filedialog {

struct Options
{
    QString defaultSuffix; // added to a name typed without one, e.g. "qmd"
    QString filter;        // one file type, e.g. "Quillmere数据文件 (*.qmd)"
    QString proposedName;  // the name the box proposes, e.g. "qmdbackup.qmd"
};

// The save box: asks before replacing an existing file. Returns the chosen
// path, or an empty text when the user cancelled.
QString saveFileName(QWidget *parent, const Options &options);

// The open box, for an existing file. Returns "" when cancelled.
QString openFileName(QWidget *parent, const Options &options);

// While scripted, no box is shown: each call records its options and
// returns the next queued name ("" when none is queued, as a cancel).
void setScripted(bool scripted);
void setNextFileName(const QString &path);
QList<Options> takeAsked();

} // namespace filedialog
