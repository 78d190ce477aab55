#include "childrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace childrun {
namespace {

QString readAndRemove(const QString &path)
{
    QFile file(path);
    const QString text = file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    file.close();
    QFile::remove(path);
    return text;
}

// The file actions of the launcher: input from /dev/null, output and error
// output into the two files; the program it starts has the same.
class Actions
{
public:
    Actions(const QByteArray &out, const QByteArray &err)
        : m_out(out)
        , m_err(err)
    {
        posix_spawn_file_actions_init(&m_actions);
        posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&m_actions, STDOUT_FILENO, m_out.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&m_actions, STDERR_FILENO, m_err.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    }
    ~Actions() { posix_spawn_file_actions_destroy(&m_actions); }
    Actions(const Actions &) = delete;
    Actions &operator=(const Actions &) = delete;
    const posix_spawn_file_actions_t *get() const { return &m_actions; }

private:
    QByteArray m_out, m_err; // alive as long as the actions name them
    posix_spawn_file_actions_t m_actions;
};

int waitFor(pid_t pid, rusage *usage)
{
    int status = 0;
    pid_t ended = 0;
    do
        ended = ::wait4(pid, &status, 0, usage);
    while (ended < 0 && errno == EINTR);
    if (ended != pid)
        return -2;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double nowMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

} // namespace

Outcome run(const QString &program, const QStringList &arguments, const QString &folder)
{
    const QString outPath = QDir(folder).filePath(QStringLiteral("child.out"));
    const QString errPath = QDir(folder).filePath(QStringLiteral("child.err"));
    const QString resultPath = QDir(folder).filePath(QStringLiteral("child.peak"));
    QFile::remove(resultPath);
    const Actions actions(QFile::encodeName(outPath), QFile::encodeName(errPath));

    std::vector<QByteArray> texts{QFile::encodeName(QCoreApplication::applicationFilePath()), kLaunchOption,
                                  QFile::encodeName(resultPath), QFile::encodeName(program)};
    for (const QString &a : arguments)
        texts.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &t : texts)
        argv.push_back(t.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv[0], actions.get(), nullptr, argv.data(), environ);
    if (failed != 0)
        throw std::runtime_error("cannot start the launcher: " + std::string(std::strerror(failed)));
    const int launcherExit = waitFor(pid, nullptr);

    Outcome outcome;
    outcome.out = readAndRemove(outPath);
    outcome.err = readAndRemove(errPath);
    const QList<QByteArray> figures = [&] {
        QFile results(resultPath);
        const QByteArray text = results.open(QIODevice::ReadOnly) ? results.readAll().trimmed() : QByteArray();
        results.close();
        QFile::remove(resultPath);
        return text.split(' ');
    }();
    if (figures.size() != 3)
        throw std::runtime_error("the launcher of " + program.toStdString() + " failed (" +
                                 std::to_string(launcherExit) + "): " + outcome.err.trimmed().toStdString());
    outcome.ms = figures[0].toDouble();
    outcome.peakMb = figures[1].toDouble() / 1024.0; // kB on Linux
    outcome.exitCode = figures[2].toInt();
    return outcome;
}

int launch(int argc, char *argv[])
{
    if (argc < 4)
        return 2;
    const double start = nowMs();
    const pid_t pid = ::fork();
    if (pid < 0)
        return 127;
    if (pid == 0) {
        ::execv(argv[3], argv + 3);
        ::_exit(127);
    }
    rusage usage{};
    const int exitCode = waitFor(pid, &usage);
    const double ms = nowMs() - start;
    std::FILE *results = std::fopen(argv[2], "w");
    if (!results)
        return 127;
    std::fprintf(results, "%.3f %ld %d\n", ms, usage.ru_maxrss, exitCode);
    return std::fclose(results) == 0 ? (exitCode < 0 ? 1 : exitCode) : 127;
}

} // namespace childrun
