#include "probe.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <fstream>
#include <string>

namespace probe {
namespace {

// A field of /proc/self/status in kB ("VmHWM:     12345 kB"), in MB.
double statusMb(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size(), field) == 0 && line.size() > field.size() && line[field.size()] == ':')
            return std::stod(line.substr(field.size() + 1)) / 1024.0;
    }
    return 0.0;
}

} // namespace

double peakMb()
{
    return statusMb("VmHWM");
}

double residentMb()
{
    return statusMb("VmRSS");
}

bool resetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear);
}

namespace {

// Counts the paint events a widget receives while it lives.
class PaintCount : public QObject
{
public:
    explicit PaintCount(QWidget *widget)
    {
        if (widget)
            widget->installEventFilter(this);
    }
    int paints() const { return m_paints; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_paints;
        return false;
    }

private:
    int m_paints = 0;
};

} // namespace

void settle(QWidget *shown)
{
    const PaintCount painted(shown);
    QApplication::sendPostedEvents();
    QApplication::processEvents();
    if (shown && painted.paints() == 0)
        shown->repaint();
}

} // namespace probe
