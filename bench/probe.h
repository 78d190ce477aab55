#pragma once

#include <QElapsedTimer>

#include <functional>

class QWidget;

// Timing and memory of the running process.
namespace probe {

// Milliseconds since the timer started.
inline double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Times one call, in milliseconds.
inline double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return elapsedMs(timer);
}

// The process's peak resident memory (VmHWM) and its resident memory now
// (VmRSS), in MB (2^20 bytes).
double peakMb();
double residentMb();

// Sets the peak back to the resident memory now, so that the next reading
// of the peak tells the highest point since (Linux: /proc/self/clear_refs).
// False where the system does not allow it.
bool resetPeak();

// One turn of the event loop, as after a user's click: everything the step
// posted is delivered and the windows repaint what they have to. When
// given, the widget that shows the step's result (the list's rows, a dialog)
// is then repainted at once if the turn left it unpainted, so that its
// painting is always counted, and counted once.
void settle(QWidget *shown = nullptr);

} // namespace probe
