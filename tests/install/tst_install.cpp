// The installed program: what `cmake --install` puts where, the desktop
// menu entry and the metainfo as their validators see them, the installed
// program started as the menu starts it (on the user's own catalogue, made
// on the first start; a catalogue beside the program still wins), its
// command line, and the Debian package built from the same install rules.
#include "support/filehelpers.h"
#include "support/fixture.h"

#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace filehelpers;

namespace {

const QString kAppId = QStringLiteral("org.example.quillmere");
const QList<int> kIconSizes{16, 24, 32, 48, 64, 128, 256};

// The files (not folders) below a folder, relative to it, sorted.
QStringList filesBelow(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

struct Outcome
{
    bool started = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a program to its end.
Outcome runToEnd(const QString &program, const QStringList &arguments,
                 const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                 const QString &workingFolder = QString())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    Outcome outcome;
    outcome.started = process.waitForStarted(30000);
    if (outcome.started && process.waitForFinished(180000) && process.exitStatus() == QProcess::NormalExit)
        outcome.exitCode = process.exitCode();
    outcome.out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

// One start of the installed program that keeps running (at its login or
// at a message box): what it says on the terminal is gathered, and it is
// killed when the object goes.
class Running
{
public:
    Running(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment,
            const QString &workingFolder)
    {
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(workingFolder);
        m_process.start(program, arguments);
    }
    ~Running()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    qint64 processId() const { return m_process.processId(); }
    // What it said on its error channel so far.
    QString said()
    {
        m_said += m_process.readAllStandardError();
        return QString::fromUtf8(m_said);
    }

private:
    QProcess m_process;
    QByteArray m_said;
};

// The process that holds a catalogue's lock, from the lock file; 0 when
// there is none.
qint64 lockHolder(const QString &dataFile)
{
    QFile lock(dataFile + QStringLiteral(".lock"));
    if (!lock.open(QIODevice::ReadOnly))
        return 0;
    return lock.readLine().trimmed().toLongLong();
}

// The value of a key in a desktop entry file's main group.
QString desktopValue(const QString &file, const QString &key)
{
    const QStringList lines = QString::fromUtf8(bytes(file)).split(QLatin1Char('\n'));
    for (const QString &line : lines)
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    return QString();
}

} // namespace

class InstallTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_prefix;

    QString prefix() const { return m_prefix.path() + QLatin1Char('/'); }
    QString desktopFile() const { return prefix() + QStringLiteral("share/applications/") + kAppId + ".desktop"; }
    QString metainfoFile() const { return prefix() + QStringLiteral("share/metainfo/") + kAppId + ".metainfo.xml"; }
    QString catalogueTemplate() const { return prefix() + QStringLiteral("share/quillmere/data.qmd"); }

    // The environment of a user who starts the program from the menu, with
    // a home of their own and no display but the offscreen one.
    QProcessEnvironment userEnvironment(const QString &home, const QString &dataHome = QString()) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home);
        environment.remove(QStringLiteral("XDG_DATA_HOME"));
        if (!dataHome.isEmpty())
            environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("PATH"),
                           prefix() + QStringLiteral("bin:") + environment.value(QStringLiteral("PATH")));
        return environment;
    }

    // The menu entry's command: the program its Exec line names, found as
    // the desktop finds it (on the PATH, here the prefix's bin first), and
    // its arguments without the field codes.
    QStringList menuCommand() const
    {
        QStringList words = desktopValue(desktopFile(), QStringLiteral("Exec")).split(QLatin1Char(' '));
        words.removeIf([](const QString &w) { return w.isEmpty() || w.startsWith(QLatin1Char('%')); });
        if (words.isEmpty())
            return {};
        words[0] = QStandardPaths::findExecutable(words[0], {prefix() + QStringLiteral("bin")});
        return words;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        const Outcome installed =
            runToEnd(QStringLiteral(QM_CMAKE), {QStringLiteral("--install"), QStringLiteral(QM_BUILD_DIR),
                                                QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY2(installed.exitCode == 0, qPrintable(installed.out + installed.err));
    }

    void everythingIsInstalledInItsPlace()
    {
        const QStringList files = filesBelow(prefix());
        QStringList expected{
            QStringLiteral("bin/qmnewdata"),
            QStringLiteral("bin/qmrestore"),
            QStringLiteral("bin/quillmere"),
            QStringLiteral("share/applications/") + kAppId + ".desktop",
            QStringLiteral("share/doc/quillmere/README.md"),
            QStringLiteral("share/doc/quillmere/copyright"),
            QStringLiteral("share/metainfo/") + kAppId + ".metainfo.xml",
            QStringLiteral("share/quillmere/data.qmd"),
            QStringLiteral("share/quillmere/qmp.html"),
        };
        for (int size : kIconSizes)
            expected << QStringLiteral("share/icons/hicolor/%1x%1/apps/quillmere.png").arg(size);
        expected.sort();
        // Nothing else: no data file beside the program, no test programs.
        QCOMPARE(files, expected);

        for (const QString &program : {QStringLiteral("quillmere"), QStringLiteral("qmrestore")})
            QVERIFY(QFileInfo(prefix() + QStringLiteral("bin/") + program).isExecutable());
        QCOMPARE(bytes(prefix() + QStringLiteral("share/quillmere/qmp.html")),
                 bytes(QFINDTESTDATA("../../resources/qmp.html")));
        // The template is a new, empty catalogue: no books, one reg row
        // without a password.
        QCOMPARE(fixture::value(catalogueTemplate(), QStringLiteral("select count(*) from book")), QStringLiteral("0"));
        QCOMPARE(fixture::column(catalogueTemplate(), QStringLiteral("select coalesce(reg_passwd, '') from reg")),
                 QStringList{QString()});
        for (int size : kIconSizes) {
            const QImage icon(prefix() + QStringLiteral("share/icons/hicolor/%1x%1/apps/quillmere.png").arg(size));
            QCOMPARE(icon.size(), QSize(size, size));
            QVERIFY(icon.hasAlphaChannel());
        }
    }

    void menuEntryAndMetainfoAreValid()
    {
        const QString desktopValidate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        const QString appstreamcli = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        if (desktopValidate.isEmpty() || appstreamcli.isEmpty())
            QFAIL("desktop-file-validate or appstreamcli is missing: bash scripts/deps.sh installs them");
        const Outcome desktop = runToEnd(desktopValidate, {desktopFile()});
        QVERIFY2(desktop.exitCode == 0 && desktop.out.isEmpty(), qPrintable(desktop.out + desktop.err));
        // No network: the screenshot's address is not fetched.
        const Outcome metainfo = runToEnd(appstreamcli, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                                         QStringLiteral("--pedantic"), metainfoFile()});
        QVERIFY2(metainfo.exitCode == 0, qPrintable(metainfo.out + metainfo.err));

        // They name each other, the installed icon and the installed program.
        QCOMPARE(desktopValue(desktopFile(), QStringLiteral("Name[zh_CN]")), QStringLiteral("Quillmere个人版"));
        QCOMPARE(desktopValue(desktopFile(), QStringLiteral("Icon")), QStringLiteral("quillmere"));
        QCOMPARE(menuCommand().value(0), prefix() + QStringLiteral("bin/quillmere"));
        const QString xml = QString::fromUtf8(bytes(metainfoFile()));
        QVERIFY(xml.contains(QStringLiteral("<id>%1</id>").arg(kAppId)));
        QVERIFY(xml.contains(QStringLiteral("<launchable type=\"desktop-id\">%1.desktop</launchable>").arg(kAppId)));
        static const QRegularExpression summaries(QStringLiteral("<summary( xml:lang=\"zh-CN\")?>"));
        QCOMPARE(xml.count(summaries), 2);
        QVERIFY(xml.contains(QStringLiteral("<screenshot type=\"default\">")));
    }

    void menuEntryStartsOnTheUsersCatalogue_data()
    {
        QTest::addColumn<bool>("dataHome"); // XDG_DATA_HOME set, or HOME alone
        QTest::newRow("HOME alone: ~/.local/share/Quillmere") << false;
        QTest::newRow("XDG_DATA_HOME/Quillmere") << true;
    }
    void menuEntryStartsOnTheUsersCatalogue()
    {
        QFETCH(bool, dataHome);
        QTemporaryDir user;
        const QString home = user.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home));
        const QString dataFolder =
            dataHome ? user.filePath(QStringLiteral("data")) : home + QStringLiteral("/.local/share");
        const QString catalogue = dataFolder + QStringLiteral("/Quillmere/data.qmd");
        const QProcessEnvironment environment =
            userEnvironment(home, dataHome ? user.filePath(QStringLiteral("data")) : QString());
        const QStringList command = menuCommand();
        QVERIFY(!command.isEmpty() && !command[0].isEmpty());

        // The first start makes the catalogue from the installed empty one
        // and says where it is (the box waits for the user then).
        {
            Running first(command[0], command.mid(1), environment, home);
            QTRY_VERIFY_WITH_TIMEOUT(first.said().contains(QStringLiteral("已为您新建了一个空的数据文件")), 30000);
            QVERIFY2(first.said().contains(QStringLiteral("“data.qmd”（文件夹：%1/Quillmere）").arg(dataFolder)),
                     qPrintable(first.said()));
            QCOMPARE(bytes(catalogue), bytes(catalogueTemplate()));
            QCOMPARE(lockHolder(catalogue), first.processId());
            QVERIFY(first.isRunning());
        }
        QCOMPARE(filesBelow(prefix() + QStringLiteral("bin")),
                 (QStringList{QStringLiteral("qmnewdata"), QStringLiteral("qmrestore"), QStringLiteral("quillmere")}));

        // The next start comes up on it (the one killed above left its lock,
        // which is taken over) and says nothing about it.
        fixture::exec(catalogue, QStringLiteral("insert into book (book_name, book_loan) values ('围城', 1)"));
        const QByteArray withBook = bytes(catalogue);
        {
            Running second(command[0], command.mid(1), environment, home);
            QTRY_VERIFY_WITH_TIMEOUT(lockHolder(catalogue) == second.processId(), 30000);
            QTest::qWait(1000);
            QVERIFY(second.isRunning());
            QVERIFY2(!second.said().contains(QStringLiteral("新建")), qPrintable(second.said()));
        }
        QCOMPARE(bytes(catalogue), withBook);

        // A catalogue beside the program wins, as in a portable copy.
        const QString beside = prefix() + QStringLiteral("bin/data.qmd");
        const auto removeBeside = qScopeGuard([&] {
            QFile::remove(beside);
            QFile::remove(beside + QStringLiteral(".lock"));
        });
        makeCatalogue(beside, 2);
        {
            Running third(command[0], command.mid(1), environment, home);
            QTRY_VERIFY_WITH_TIMEOUT(lockHolder(beside) == third.processId(), 30000);
            QVERIFY(lockHolder(catalogue) != third.processId());
        }
        QCOMPARE(bytes(catalogue), withBook);
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("display"); // offscreen, or no display at all
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        // The help and the version need no display.
        QTest::newRow("--version") << "quillmere" << QStringList{QStringLiteral("--version")} << false << 0
                                   << "quillmere " QM_VERSION << "";
        QTest::newRow("--help") << "quillmere" << QStringList{QStringLiteral("--help")} << false << 0 << "--data <文件>"
                                << "";
        QTest::newRow("restore program --version")
            << "qmrestore" << QStringList{QStringLiteral("-v")} << false << 0 << "qmrestore " QM_VERSION << "";
        QTest::newRow("unknown option") << "quillmere" << QStringList{QStringLiteral("--bogus")} << true << 2 << ""
                                        << "未知的选项“--bogus”";
        QTest::newRow("--data without a file")
            << "quillmere" << QStringList{QStringLiteral("--data")} << true << 2 << ""
            << "缺少数据文件的名称";
    }
    void commandLine()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, display);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir home;
        QProcessEnvironment environment = userEnvironment(home.path());
        if (!display) {
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            environment.remove(QStringLiteral("DISPLAY"));
            environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        }
        const Outcome outcome = runToEnd(prefix() + QStringLiteral("bin/") + program, arguments, environment);
        QVERIFY(outcome.started);
        QCOMPARE(outcome.exitCode, exitCode);
        QVERIFY2(outcome.out.contains(out), qPrintable(outcome.out));
        QVERIFY2(outcome.err.contains(err), qPrintable(outcome.err));
        // Nothing was made for the user.
        QCOMPARE(filesBelow(home.path()), QStringList());
    }

    void namedCatalogueThatIsMissingIsReportedAndNotMade()
    {
        QTemporaryDir user;
        const QString missing = user.filePath(QStringLiteral("书/旧藏书.qmd"));
        QVERIFY(QDir().mkpath(user.filePath(QStringLiteral("书"))));
        const QString home = user.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home));
        {
            Running run(prefix() + QStringLiteral("bin/quillmere"), {QStringLiteral("--data"), missing},
                        userEnvironment(home), home);
            // Said, then shown in the error box, which waits.
            QTRY_VERIFY_WITH_TIMEOUT(run.said().contains(QStringLiteral("找不到数据文件“旧藏书.qmd”")), 30000);
            QVERIFY2(run.said().contains(user.filePath(QStringLiteral("书"))), qPrintable(run.said()));
        }
        // No catalogue, no lock, and no user's catalogue either.
        QCOMPARE(filesBelow(user.path()), QStringList());
    }

    // The CSV commands of the installed program, where there is no display:
    // out of one catalogue and into another named with --data; with no
    // catalogue of the user's yet, refused without making one.
    void csvCommandsWithoutDisplay()
    {
        QTemporaryDir user;
        const QString home = user.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home));
        QProcessEnvironment environment = userEnvironment(home);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        const QString program = prefix() + QStringLiteral("bin/quillmere");
        const QString from = makeCatalogue(user.filePath(QStringLiteral("藏书.qmd")), 3);
        const QString into = user.filePath(QStringLiteral("新藏书.qmd"));
        QVERIFY(QFile::copy(catalogueTemplate(), into));
        QVERIFY(QFile::setPermissions(into, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const QString csv = user.filePath(QStringLiteral("书单.csv"));

        const Outcome exported =
            runToEnd(program, {QStringLiteral("--data"), from, QStringLiteral("--export-csv"), csv}, environment);
        QCOMPARE(exported.exitCode, 0);
        QVERIFY2(exported.out.contains(QStringLiteral("3")), qPrintable(exported.out + exported.err));
        QVERIFY(bytes(csv).startsWith("\xEF\xBB\xBF"));

        const Outcome imported =
            runToEnd(program, {QStringLiteral("--import-csv"), csv, QStringLiteral("--data"), into}, environment);
        QVERIFY2(imported.exitCode == 0, qPrintable(imported.out + imported.err));
        QVERIFY2(imported.out.contains(QStringLiteral("3")), qPrintable(imported.out));

        const Outcome refused = runToEnd(program, {QStringLiteral("--export-csv"), csv}, environment);
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("找不到数据文件“data.qmd”")), qPrintable(refused.err));
        QCOMPARE(filesBelow(home), QStringList());
    }

    // Without --data, the installed program's CSV commands work on the
    // user's own catalogue, never beside the program; an export onto that
    // catalogue, its journal or the installed restore program is refused and
    // leaves every file as it was.
    void csvCommandsOnTheUsersCatalogue_data()
    {
        QTest::addColumn<bool>("dataHome"); // XDG_DATA_HOME set, or HOME alone
        QTest::newRow("HOME alone: ~/.local/share/Quillmere") << false;
        QTest::newRow("XDG_DATA_HOME/Quillmere") << true;
    }
    void csvCommandsOnTheUsersCatalogue()
    {
        QFETCH(bool, dataHome);
        QTemporaryDir user;
        const QString home = user.filePath(QStringLiteral("home"));
        const QString dataFolder =
            dataHome ? user.filePath(QStringLiteral("data")) : home + QStringLiteral("/.local/share");
        const QString folder = dataFolder + QStringLiteral("/Quillmere");
        const QString catalogue = folder + QStringLiteral("/data.qmd");
        QVERIFY(QDir().mkpath(home) && QDir().mkpath(folder));
        makeCatalogue(catalogue, 2);
        QProcessEnvironment environment =
            userEnvironment(home, dataHome ? user.filePath(QStringLiteral("data")) : QString());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        const QString program = prefix() + QStringLiteral("bin/quillmere");
        const QString restore = prefix() + QStringLiteral("bin/qmrestore");
        const QStringList installed = filesBelow(prefix());
        const QByteArray restoreBytes = bytes(restore);

        const QString csv = user.filePath(QStringLiteral("书单.csv"));
        const Outcome exported = runToEnd(program, {QStringLiteral("--export-csv"), csv}, environment, home);
        QVERIFY2(exported.exitCode == 0, qPrintable(exported.out + exported.err));
        const QString written = QString::fromUtf8(bytes(csv));
        QVERIFY2(written.contains(QStringLiteral("\r\n1,书0,")) && written.contains(QStringLiteral("\r\n2,书1,")),
                 qPrintable(written));

        const QString more = user.filePath(QStringLiteral("新书.csv"));
        writeFile(more, QStringLiteral("书名,分类\r\n围城,小说\r\n").toUtf8());
        const Outcome imported = runToEnd(program, {QStringLiteral("--import-csv"), more}, environment, home);
        QVERIFY2(imported.exitCode == 0, qPrintable(imported.out + imported.err));
        QCOMPARE(fixture::column(catalogue, QStringLiteral("select book_name from book order by book_id")),
                 (QStringList{QStringLiteral("书0"), QStringLiteral("书1"), QStringLiteral("围城")}));

        const QByteArray before = bytes(catalogue);
        const struct
        {
            QString target, workingFolder, told;
        } refusals[] = {
            {catalogue, home, QStringLiteral("不能把CSV文件保存为正在使用的数据文件“data.qmd”（文件夹：%1）本身")},
            {QStringLiteral("data.qmd-journal"), folder,
             QStringLiteral("“data.qmd-journal”（文件夹：%1）：它是正在使用的数据文件的日志文件")},
            {restore, home, QStringLiteral("“qmrestore”（文件夹：%1bin）：它是本程序的文件")},
        };
        for (const auto &r : refusals) {
            const Outcome refused =
                runToEnd(program, {QStringLiteral("--export-csv"), r.target}, environment, r.workingFolder);
            QCOMPARE(refused.exitCode, 1);
            const QString told = r.told.arg(r.target == restore ? prefix() : folder);
            QVERIFY2(refused.err.contains(told), qPrintable(refused.err));
        }
        QCOMPARE(bytes(catalogue), before);
        QCOMPARE(filesBelow(folder), QStringList{QStringLiteral("data.qmd")});
        QCOMPARE(bytes(restore), restoreBytes);
        QCOMPARE(filesBelow(prefix()), installed);
    }

    void packageHoldsWhatIsInstalled()
    {
        QTemporaryDir out;
        const Outcome built = runToEnd(QStringLiteral(QM_CPACK),
                                       {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out.path(),
                                        QStringLiteral("--config"), QStringLiteral(QM_BUILD_DIR "/CPackConfig.cmake")});
        QVERIFY2(built.exitCode == 0, qPrintable(built.out + built.err));
        const QStringList packages = QDir(out.path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
        QCOMPARE(packages.size(), 1);
        const QString package = out.filePath(packages[0]);
        QVERIFY2(packages[0].startsWith(QStringLiteral("quillmere_" QM_VERSION "-1_")), qPrintable(packages[0]));

        // The same files as the install rules put under a prefix, under /usr.
        const Outcome listed = runToEnd(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), package});
        QCOMPARE(listed.exitCode, 0);
        QStringList inPackage;
        for (const QString &line : listed.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (!line.startsWith(QLatin1Char('d')))
                inPackage << line.section(QLatin1Char(' '), -1);
        inPackage.sort();
        QStringList installed;
        for (const QString &file : filesBelow(prefix()))
            installed << QStringLiteral("./usr/") + file;
        QCOMPARE(inPackage, installed);

        const Outcome control =
            runToEnd(QStringLiteral("dpkg-deb"),
                     {QStringLiteral("-f"), package, QStringLiteral("Package"), QStringLiteral("Depends")});
        QCOMPARE(control.exitCode, 0);
        QVERIFY2(control.out.startsWith(QStringLiteral("Package: quillmere\n")), qPrintable(control.out));
        const QString depends = control.out.section(QStringLiteral("Depends: "), 1).trimmed();
        QSet<QString> names;
        for (const QString &alternatives : depends.split(QLatin1Char(',')))
            names << alternatives.trimmed().section(QLatin1Char(' '), 0, 0);
        for (const char *needed : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6charts6", "libsqlite3-0", "libuchardet0",
                                   "qt6-qpa-plugins", "fonts-noto-cjk", "libc6", "libstdc++6"})
            QVERIFY2(names.contains(QString::fromLatin1(needed)),
                     qPrintable(needed + QStringLiteral(" in ") + depends));

        // Its programs run as they are packed (stripped).
        QTemporaryDir unpacked;
        QCOMPARE(runToEnd(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), package, unpacked.path()}).exitCode, 0);
        const Outcome version =
            runToEnd(unpacked.filePath(QStringLiteral("usr/bin/quillmere")), {QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(version.out.contains(QStringLiteral("quillmere " QM_VERSION)), qPrintable(version.out));
    }
};

QTEST_MAIN(InstallTest)
#include "tst_install.moc"
