#pragma once

#include <QString>
#include <QStringList>

// A program started as a child process and waited for, with what the
// system counted for it alone: its wall time and its peak resident memory
// (wait4's ru_maxrss). Its output and error output are kept as text.
//
// A process forked from a large one starts with that one's resident pages
// counted in its peak, and keeps them in ru_maxrss across exec. So the
// program is started by a launcher: this benchmark started afresh with
// --launch (see launch()), which is small when it forks, waits for the
// program and writes down its time and peak.
namespace childrun {

struct Outcome
{
    int exitCode = -1; // -1 when it did not end normally (a signal)
    double ms = 0;     // from the fork to its end, waited for
    double peakMb = 0; // its peak resident memory, MB (2^20 bytes)
    QString out, err;
};

// Starts program with arguments through the launcher, its input /dev/null,
// its output and error output written to files in folder (read back, then
// removed), and waits for it. Throws std::runtime_error when it cannot be
// started or the launcher failed. Needs the application object.
Outcome run(const QString &program, const QStringList &arguments, const QString &folder);

// The launcher: argv is "PROGRAM --launch RESULTS CHILD [ARGUMENTS...]".
// Forks, runs CHILD, waits for it and writes "ms peak-kB exit-code" to the
// file RESULTS. Returns the child's exit code (127 when it could not be
// started). To be called first thing in main, before any application
// object: the smaller this process, the less its child inherits.
int launch(int argc, char *argv[]);

inline constexpr const char *kLaunchOption = "--launch";

} // namespace childrun
