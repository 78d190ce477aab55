#include "fixture.h"

#include "app/windows.h"
#include "catalogue/catalogue.h"
#include "catalogue/schema.h"
#include "components/application.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "main/form_main.h"
#include "store/programfolder.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QInputMethodEvent>
#include <QProcess>
#include <QScopeGuard>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <sqlite3.h>
#include <sys/mount.h>

#include <memory>

namespace fixture {

ProgramFolder::ProgramFolder()
    : m_previous(QDir::currentPath())
{
    schema::create(dataFile());
    programfolder::setOverride(m_dir.path());
    QDir::setCurrent(m_dir.path());
}

ProgramFolder::~ProgramFolder()
{
    programfolder::setOverride(QString());
    QDir::setCurrent(m_previous);
}

QString ProgramFolder::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString ProgramFolder::dataFile() const
{
    return path() + QStringLiteral("data.qmd");
}

namespace {

struct Db
{
    sqlite3 *db = nullptr;
    explicit Db(const QString &file)
    {
        if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            qFatal("cannot open %s", qPrintable(file));
    }
    ~Db() { sqlite3_close(db); }
};

} // namespace

void exec(const QString &file, const QString &sql)
{
    Db d(file);
    char *error = nullptr;
    if (sqlite3_exec(d.db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QByteArray text = error ? QByteArray(error) : QByteArray("?");
        sqlite3_free(error);
        qFatal("SQL failed: %s: %s", text.constData(), qPrintable(sql));
    }
}

QStringList column(const QString &file, const QString &sql)
{
    Db d(file);
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(d.db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
        qFatal("SQL failed: %s: %s", sqlite3_errmsg(d.db), qPrintable(sql));
    QStringList out;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        if (sqlite3_column_type(stmt, 0) == SQLITE_NULL)
            out << QStringLiteral("<null>");
        else
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    return out;
}

QString value(const QString &file, const QString &sql)
{
    const QStringList values = column(file, sql);
    return values.isEmpty() ? QString() : values.first();
}

Tmpfs::Tmpfs(qint64 bytes)
{
    const QByteArray where = QFile::encodeName(m_dir.path());
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0777";
    m_mounted = m_dir.isValid() && ::mount("tmpfs", where.constData(), "tmpfs", 0, options.constData()) == 0;
}

Tmpfs::~Tmpfs()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

QString Tmpfs::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

void Tmpfs::fill()
{
    QFile filler(path() + QStringLiteral("filler.bin"));
    if (!filler.open(QIODevice::Append))
        return;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    // Whatever the last block left over, down to the last byte.
    while (filler.write("f", 1) == 1 && filler.flush()) {
    }
}

bool Tmpfs::makeReadOnly()
{
    return m_mounted &&
           ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

OtherProgram::OtherProgram(const QStringList &arguments, const char *waitFor)
    : m_process(std::make_unique<QProcess>())
{
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(QStringLiteral(QM_OTHER_PROGRAM), arguments);
    if (!m_process->waitForStarted(10000))
        qFatal("cannot start %s", QM_OTHER_PROGRAM);
    if (waitFor) {
        const QString answer = readLine();
        if (answer != QLatin1String(waitFor))
            qFatal("the other program said \"%s\"", qPrintable(answer));
    }
}

OtherProgram::~OtherProgram()
{
    if (isRunning()) {
        m_process->kill();
        m_process->waitForFinished(10000);
    }
}

std::unique_ptr<OtherProgram> OtherProgram::holdingLock(const QString &dataFile)
{
    return std::unique_ptr<OtherProgram>(new OtherProgram({QStringLiteral("lock"), dataFile}, "ready"));
}

std::unique_ptr<OtherProgram> OtherProgram::withSql(const QString &dataFile)
{
    return std::unique_ptr<OtherProgram>(new OtherProgram({QStringLiteral("sql"), dataFile}, "ready"));
}

std::unique_ptr<OtherProgram> OtherProgram::repeating(const QString &dataFile, int rounds, int pauseMs,
                                                      const QString &sql)
{
    return std::unique_ptr<OtherProgram>(new OtherProgram(
        {QStringLiteral("repeat"), dataFile, QString::number(rounds), QString::number(pauseMs), sql}, nullptr));
}

QString OtherProgram::readLine()
{
    while (!m_process->canReadLine()) {
        if (!m_process->waitForReadyRead(30000))
            return QStringLiteral("<no answer>");
    }
    return QString::fromUtf8(m_process->readLine()).trimmed();
}

QString OtherProgram::run(const QString &sql)
{
    m_process->write(sql.toUtf8() + '\n');
    return readLine();
}

void OtherProgram::kill()
{
    ::kill(pid_t(m_process->processId()), SIGKILL);
    m_process->waitForFinished(10000);
}

bool OtherProgram::finish()
{
    m_process->closeWriteChannel();
    if (isRunning() && !m_process->waitForFinished(60000))
        return false;
    return m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0;
}

bool OtherProgram::isRunning() const
{
    return m_process->state() != QProcess::NotRunning;
}

qint64 OtherProgram::processId() const
{
    return m_process->processId();
}

QString programFile()
{
    return QStringLiteral(QM_PROGRAM);
}

namespace {

// Waits for the next modal dialog to be shown and to take the keyboard focus,
// as a user would see it, by the dialog's own events; then runs the step in
// the dialog's event loop, once.
class ModalWatcher : public QObject
{
public:
    explicit ModalWatcher(std::function<void(QDialog *)> step)
        : QObject(qApp)
        , m_step(std::move(step))
    {
        qApp->installEventFilter(this);
        // A dialog that is already up and active is taken as it is.
        QTimer::singleShot(0, this, [this] { take(qobject_cast<QDialog *>(QApplication::activeModalWidget())); });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
            take(qobject_cast<QDialog *>(watched));
        return false;
    }

private:
    void take(QDialog *dialog)
    {
        if (m_taken || !dialog || dialog != QApplication::activeModalWidget() || !dialog->isVisible() ||
            !dialog->isActiveWindow())
            return;
        m_taken = true;
        qApp->removeEventFilter(this);
        QTimer::singleShot(0, dialog, [step = m_step, dialog] { step(dialog); });
        deleteLater();
    }

    std::function<void(QDialog *)> m_step;
    bool m_taken = false;
};

} // namespace

void onNextModal(std::function<void(QDialog *)> step)
{
    new ModalWatcher(std::move(step));
}

void runDialog(QAction *command, const std::function<void(QDialog *)> &steps)
{
    bool opened = false;
    onNextModal([&](QDialog *dialog) {
        opened = true;
        const auto closing = qScopeGuard([dialog] {
            if (dialog->isVisible())
                dialog->reject();
        });
        steps(dialog);
    });
    command->trigger();
    QVERIFY(opened);
}

void type(QWidget *control, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClicks(control, QString(c));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(control, &commit);
        }
    }
}

void showMainWindow()
{
    form_main->resize(900, 600);
    form_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_main));
}

Windows::Windows()
{
    static const bool setUp = [] {
        app::setup(*qApp);
        return true;
    }();
    Q_UNUSED(setUp);
    msg::setScripted(true);
    filedialog::setScripted(true);
    m_catalogue = std::make_unique<Catalogue>(programfolder::dataFile());
    windows::createAll(*m_catalogue);
}

Windows::~Windows()
{
    windows::destroyAll();
    m_catalogue.reset();
    msg::setScripted(false);
    filedialog::setScripted(false);
}

} // namespace fixture
