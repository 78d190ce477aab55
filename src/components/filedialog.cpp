#include "filedialog.h"

#include <QFileDialog>
#include <QQueue>

namespace filedialog {
namespace {

bool g_scripted = false;
QQueue<QString> g_names;
QList<Options> g_asked;

QString run(QWidget *parent, const Options &options, QFileDialog::AcceptMode mode)
{
    if (g_scripted) {
        g_asked.append(options);
        return g_names.isEmpty() ? QString() : g_names.dequeue();
    }
    QFileDialog box(parent);
    box.setAcceptMode(mode);
    box.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    box.setOption(QFileDialog::DontUseNativeDialog, true);
    box.setNameFilter(options.filter);
    box.setDefaultSuffix(options.defaultSuffix);
    if (!options.proposedName.isEmpty())
        box.selectFile(options.proposedName);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return QString();
    return box.selectedFiles().constFirst();
}

} // namespace

QString saveFileName(QWidget *parent, const Options &options)
{
    return run(parent, options, QFileDialog::AcceptSave);
}

QString openFileName(QWidget *parent, const Options &options)
{
    return run(parent, options, QFileDialog::AcceptOpen);
}

void setScripted(bool scripted)
{
    g_scripted = scripted;
    g_names.clear();
    g_asked.clear();
}

void setNextFileName(const QString &path)
{
    g_names.enqueue(path);
}

QList<Options> takeAsked()
{
    return std::exchange(g_asked, {});
}

} // namespace filedialog
