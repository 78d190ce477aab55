#include "desktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QQueue>
#include <QUrl>

#include <utility>

namespace desktop {
namespace {

bool g_scripted = false;
QQueue<bool> g_results;
QList<Request> g_requests;

bool scriptedResult(Request request)
{
    g_requests.append(std::move(request));
    return g_results.isEmpty() || g_results.dequeue();
}

} // namespace

bool open(const QUrl &url)
{
    if (g_scripted)
        return scriptedResult({Request::Kind::Open, url.toString(), QString(), {}});
    return QDesktopServices::openUrl(url);
}

bool start(const QString &program, const QString &workingFolder, const QStringList &arguments)
{
    if (g_scripted)
        return scriptedResult({Request::Kind::Start, program, workingFolder, arguments});
    return QProcess::startDetached(program, arguments, workingFolder);
}

void setScripted(bool scripted)
{
    g_scripted = scripted;
    g_results.clear();
    g_requests.clear();
}

void setNextResult(bool ok)
{
    g_results.enqueue(ok);
}

QList<Request> takeRequests()
{
    return std::exchange(g_requests, {});
}

} // namespace desktop
