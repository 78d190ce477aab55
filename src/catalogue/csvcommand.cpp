#include "csvcommand.h"

#include "bookimport.h"
#include "catalogue.h"
#include "importwriter.h"
#include "store/cataloguelock.h"
#include "store/connection.h"
#include "store/usererror.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <iterator>
#include <optional>
#include <termios.h>

namespace csvcommand {
namespace {

void say(std::FILE *to, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fputc('\n', to);
    std::fflush(to);
}

void complain(const Terminal &terminal, const QString &text)
{
    say(terminal.err, QStringLiteral("quillmere: ") + text);
}

// The terminal and its settings while its echo is off, for a signal that
// ends the program in the middle of the password.
int g_quietTerminal = -1;
termios g_echoing{};
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};

extern "C" void echoAgainAndEnd(int signal)
{
    if (g_quietTerminal >= 0)
        ::tcsetattr(g_quietTerminal, TCSANOW, &g_echoing);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Turns the terminal's echo off for its lifetime; the echo comes back
// however the reading ends, Ctrl+C included.
class QuietTerminal
{
public:
    explicit QuietTerminal(int fd)
    {
        if (::tcgetattr(fd, &g_echoing) != 0)
            return;
        struct sigaction ending
        {
        };
        ending.sa_handler = echoAgainAndEnd;
        sigemptyset(&ending.sa_mask);
        for (size_t i = 0; i < std::size(kEndingSignals); ++i)
            ::sigaction(kEndingSignals[i], &ending, &m_before[i]);
        g_quietTerminal = fd;
        termios quiet = g_echoing;
        quiet.c_lflag &= tcflag_t(~ECHO);
        quiet.c_lflag |= ICANON;
        ::tcsetattr(fd, TCSANOW, &quiet);
    }
    ~QuietTerminal()
    {
        if (g_quietTerminal < 0)
            return;
        ::tcsetattr(g_quietTerminal, TCSANOW, &g_echoing);
        g_quietTerminal = -1;
        for (size_t i = 0; i < std::size(kEndingSignals); ++i)
            ::sigaction(kEndingSignals[i], &m_before[i], nullptr);
    }
    QuietTerminal(const QuietTerminal &) = delete;
    QuietTerminal &operator=(const QuietTerminal &) = delete;

private:
    struct sigaction m_before[std::size(kEndingSignals)] = {};
};

// One line from the terminal, its echo off.
QByteArray readHidden(int fd)
{
    const QuietTerminal quiet(fd);
    QByteArray line;
    char c = 0;
    while (line.size() < 4096) {
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || c == '\n')
            break;
        line.append(c);
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// Asks for the start-up password when the catalogue has one; true when the
// command may go on.
bool passwordAccepted(const Catalogue &catalogue, const Terminal &terminal, const QString &command)
{
    if (!catalogue.hasPassword())
        return true;
    if (!::isatty(terminal.input)) {
        complain(terminal, QStringLiteral("数据文件%1设有数据库密码，只能在终端中输入密码后%2。")
                               .arg(describeFile(catalogue.path()), command));
        return false;
    }
    std::fputs(QStringLiteral("请输入数据库密码：").toLocal8Bit().constData(), terminal.err);
    std::fflush(terminal.err);
    const QString typed = QString::fromLocal8Bit(readHidden(terminal.input));
    std::fputc('\n', terminal.err);
    // The check the login makes.
    if (catalogue.passwordMatches(typed))
        return true;
    complain(terminal, QStringLiteral("密码输入有误，没有%1。").arg(command));
    return false;
}

template <class Work> int guarded(const Terminal &terminal, Work &&work)
{
    try {
        return work();
    } catch (const UserError &e) {
        complain(terminal, e.message());
    } catch (const std::bad_alloc &) {
        complain(terminal, QStringLiteral("内存不足，操作没有完成。"));
    } catch (const std::exception &e) {
        complain(terminal, QString::fromLocal8Bit(e.what()));
    }
    return 1;
}

} // namespace

int exportBooks(Catalogue &catalogue, const QString &csvFile, const Terminal &terminal)
{
    return guarded(terminal, [&] {
        if (!passwordAccepted(catalogue, terminal, QStringLiteral("导出")))
            return 1;
        const qint64 books = catalogue.exportBooks(csvFile);
        // Written to a stream (the command's own output, a pipe), the
        // summary keeps out of the books: it goes to the error output.
        const QFileInfo written(csvFile);
        say(written.isFile() ? terminal.out : terminal.err,
            QStringLiteral("已导出 %1 本书到文件%2。").arg(books).arg(describeFile(written.absoluteFilePath())));
        return 0;
    });
}

namespace {

QString plainHeader(QStringView header)
{
    return header.trimmed().toString().toCaseFolded();
}

// The target a field's caption or name stands for, as --map names it.
std::optional<bookcolumns::Target> targetNamed(const QString &name)
{
    const QString wanted = name.trimmed();
    for (int t = 0; t < bookcolumns::kTargetCount; ++t)
        if (bookcolumns::caption(bookcolumns::Target(t)).compare(wanted, Qt::CaseInsensitive) == 0)
            return bookcolumns::Target(t);
    if (wanted.compare(u"none", Qt::CaseInsensitive) == 0)
        return bookcolumns::Target::None;
    const bookcolumns::Target t = bookcolumns::targetOf(wanted);
    if (t != bookcolumns::Target::None)
        return t;
    return std::nullopt;
}

QString fieldChoices()
{
    QStringList names;
    for (int t = 0; t < bookcolumns::kTargetCount; ++t)
        names << bookcolumns::caption(bookcolumns::Target(t));
    return names.join(QStringLiteral("、"));
}

} // namespace

void applyMapping(BookImport &books, const ImportOptions &options)
{
    for (const auto &[header, fieldName] : options.mapping) {
        const std::optional<bookcolumns::Target> target = targetNamed(fieldName);
        if (!target)
            throw UserError(
                QStringLiteral("“--map”中的字段“%1”无法识别。可以用的字段：%2。").arg(fieldName, fieldChoices()));
        bool found = false;
        for (int c = 0; c < books.table().columnCount(); ++c) {
            if (plainHeader(books.table().header(c)) == plainHeader(header)) {
                books.setTarget(c, *target);
                found = true;
            }
        }
        if (!found)
            throw UserError(
                QStringLiteral("文件%1中没有名为“%2”的列（“--map”）。").arg(describeFile(books.path()), header));
    }
}

namespace {

// A lock of no Quillmere running on this computer: says what it is and how
// to take it over; true when there is one.
bool refusedForeignLock(const Catalogue &catalogue, const Terminal &terminal)
{
    CatalogueLock probe(catalogue.path());
    if (probe.tryLock() != CatalogueLock::Outcome::Unattributed)
        return false;
    complain(terminal, QStringLiteral("数据文件%1被锁定，没有导入：%2。\n"
                                      "这个锁不属于这台计算机上正在运行的Quillmere。如果确实没有别的计算机"
                                      "（例如通过共享文件夹）在使用这个数据文件，请加上 --force-unlock 再运行一次。")
                           .arg(describeFile(catalogue.path()), probe.describeHolder()));
    return true;
}

} // namespace

int importBooks(Catalogue &catalogue, const QString &csvFile, const ImportOptions &options, const Terminal &terminal)
{
    return guarded(terminal, [&] {
        const QString &dataFile = catalogue.path();
        const QString heldText = QStringLiteral("数据文件%1已在一个Quillmere窗口中打开，没有导入。"
                                                "请在那个窗口中用“从CSV文件导入书籍”导入，或者先关闭它。")
                                     .arg(describeFile(dataFile));
        // Refused at once while a window holds it; not held while the
        // password is asked for and the file is read.
        if (CatalogueLock::isHeldElsewhere(dataFile)) {
            complain(terminal, heldText);
            return 1;
        }
        if (!options.dryRun && !options.forceUnlock && refusedForeignLock(catalogue, terminal))
            return 1;
        if (!passwordAccepted(catalogue, terminal, QStringLiteral("导入")))
            return 1;
        const QString path = QFileInfo(csvFile).absoluteFilePath();
        CsvOptions reading;
        if (!options.encoding.isEmpty()) {
            reading.encoding = csvreader::encodingFromName(QString::fromLatin1(options.encoding));
            if (reading.encoding.isEmpty())
                throw UserError(QStringLiteral("“--encoding %1”无法识别：可以是 utf-8、gb18030、big5、windows-1252、"
                                               "latin1、utf-16le、utf-16be 或 shift_jis。")
                                    .arg(QString::fromLatin1(options.encoding)));
        }
        reading.separator = options.separator;
        BookImport books(csvreader::readFile(path, reading), path);
        applyMapping(books, options);
        books.setDateOrder(options.dateOrder);

        // Taken only to write, and given back when the command ends.
        const bool lockedBefore = catalogue.isLocked();
        const auto giveBack = qScopeGuard([&] {
            if (!lockedBefore)
                catalogue.releaseLock();
        });
        if (!options.dryRun) {
            CatalogueLock::Outcome taken = catalogue.takeLock();
            if (taken == CatalogueLock::Outcome::Unattributed && options.forceUnlock) {
                const QString holder = catalogue.lockHolder();
                taken = catalogue.takeOverLock();
                if (taken == CatalogueLock::Outcome::Locked)
                    say(terminal.err,
                        QStringLiteral("已解除数据文件%1的锁（%2）。").arg(describeFile(dataFile), holder));
            }
            if (taken == CatalogueLock::Outcome::HeldElsewhere) {
                complain(terminal, heldText);
                return 1;
            }
            if (taken == CatalogueLock::Outcome::Unattributed) {
                refusedForeignLock(catalogue, terminal);
                return 1;
            }
        }
        // A dry run writes nothing, not even the indexes: it holds no lock.
        books.judge(catalogue.importKeys(!options.dryRun));
        const importwriter::Summary summary = options.dryRun ? importwriter::plan(books, options.withDuplicates)
                                                             : catalogue.importBooks(books, options.withDuplicates);
        if (books.dateOrderUnsettled() && books.dateOrder() != bookvalues::DateOrder::Dmy &&
            books.dateOrder() != bookvalues::DateOrder::Mdy)
            say(terminal.err, QStringLiteral("文件中的日期（例如“%1”）的日和月无法确定先后，这样的日期已留空；"
                                             "可以用“--date-order dmy”或“--date-order mdy”说明。")
                                  .arg(books.unsettledDateExample()));
        for (const int r : books.notableRecords()) {
            const BookImport::Status status = books.judgement(r).status;
            if (status == BookImport::Status::Duplicate && options.withDuplicates)
                continue;
            const QString what =
                status == BookImport::Status::Good ? QStringLiteral("已导入，但") : QStringLiteral("没有导入：");
            say(terminal.err, QStringLiteral("第%1行%2%3").arg(books.table().line(r)).arg(what, books.reason(r)));
        }
        if (options.dryRun) {
            QStringList mapping;
            for (int c = 0; c < books.table().columnCount(); ++c)
                if (books.target(c) != bookcolumns::Target::None)
                    mapping << QStringLiteral("%1 → %2").arg(books.table().header(c).trimmed().toString(),
                                                             bookcolumns::caption(books.target(c)));
            say(terminal.out, QStringLiteral("试运行，数据文件没有改动。文件的编码：%1，分隔符：%2。各列导入到：%3。")
                                  .arg(books.table().encodingName(), books.table().separatorName(),
                                       mapping.join(QStringLiteral("；"))));
        }
        say(terminal.out, QFileInfo(path).fileName() + QStringLiteral("：") + summary.line());
        return 0;
    });
}

} // namespace csvcommand
