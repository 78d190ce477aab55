#include "results.h"

#include <QFile>

#include <algorithm>
#include <stdexcept>

namespace results {

Figure *Run::find(const std::string &id)
{
    const auto at = std::find_if(figures.begin(), figures.end(), [&](const Figure &f) { return f.id == id; });
    return at == figures.end() ? nullptr : &*at;
}

const Figure *Run::find(const std::string &id) const
{
    return const_cast<Run *>(this)->find(id);
}

std::string Run::note(const std::string &key) const
{
    const auto at = std::find_if(notes.begin(), notes.end(), [&](const auto &n) { return n.first == key; });
    return at == notes.end() ? std::string() : at->second;
}

// Lines: "step<TAB>id<TAB>ms<TAB>floor ms or -<TAB>peak MB<TAB>rise MB",
// "memory<TAB>id<TAB>file bytes<TAB>peak MB<TAB>baseline MB" and
// "note<TAB>key<TAB>text".
void write(const QString &path, const Run &run)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    for (const Figure &f : run.figures) {
        const QByteArray floor = f.floorMs ? QByteArray::number(*f.floorMs, 'f', 4) : QByteArray("-");
        file.write("step\t" + QByteArray::fromStdString(f.id) + '\t' + QByteArray::number(f.ms, 'f', 4) + '\t' + floor +
                   '\t' + QByteArray::number(f.peakMb, 'f', 2) + '\t' + QByteArray::number(f.riseMb, 'f', 2) + '\n');
    }
    for (const ChildMemory &m : run.memory)
        file.write("memory\t" + QByteArray::fromStdString(m.id) + '\t' + QByteArray::number(m.fileBytes, 'f', 0) +
                   '\t' + QByteArray::number(m.peakMb, 'f', 2) + '\t' + QByteArray::number(m.baselineMb, 'f', 2) +
                   '\n');
    for (const auto &[key, text] : run.notes)
        file.write("note\t" + QByteArray::fromStdString(key) + '\t' + QByteArray::fromStdString(text) + '\n');
    if (!file.flush())
        throw std::runtime_error("cannot write " + path.toStdString());
}

Run read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    Run run;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().chopped(1).split('\t');
        if (fields.value(0) == "step" && fields.size() == 6) {
            Figure f;
            f.id = fields[1].toStdString();
            f.ms = fields[2].toDouble();
            if (fields[3] != "-")
                f.floorMs = fields[3].toDouble();
            f.peakMb = fields[4].toDouble();
            f.riseMb = fields[5].toDouble();
            run.figures.push_back(f);
        } else if (fields.value(0) == "memory" && fields.size() == 5) {
            run.memory.push_back(
                {fields[1].toStdString(), fields[2].toDouble(), fields[3].toDouble(), fields[4].toDouble()});
        } else if (fields.value(0) == "note" && fields.size() >= 3) {
            run.notes.emplace_back(fields[1].toStdString(), fields.mid(2).join('\t').toStdString());
        } else {
            throw std::runtime_error("unexpected line in " + path.toStdString());
        }
    }
    return run;
}

} // namespace results
