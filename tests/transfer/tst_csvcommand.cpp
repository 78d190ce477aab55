// The command-line commands, called as the program's entry calls them: the
// summary line, the exit status, the password asked on a real terminal (a
// pseudo-terminal), a catalogue held by a running Quillmere, a bad file.
#include "tst_transfer.h"

#include "catalogue/catalogue.h"
#include "catalogue/csvcommand.h"
#include "catalogue/schema.h"
#include "support/filehelpers.h"
#include "support/fixture.h"

#include <QDir>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

// What a command writes to one of its outputs, caught in a file.
class Caught
{
public:
    Caught()
        : m_file(std::tmpfile())
    {}
    ~Caught() { std::fclose(m_file); }
    Caught(const Caught &) = delete;
    Caught &operator=(const Caught &) = delete;

    std::FILE *file() const { return m_file; }
    QString text() const
    {
        std::fflush(m_file);
        std::rewind(m_file);
        QByteArray bytes;
        char block[4096];
        for (size_t n; (n = std::fread(block, 1, sizeof block, m_file)) > 0;)
            bytes.append(block, qsizetype(n));
        return QString::fromLocal8Bit(bytes);
    }

private:
    std::FILE *m_file;
};

// A pseudo-terminal: the command reads the password from its terminal end,
// the test types at the other.
class Pty
{
public:
    Pty()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        m_terminal = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY);
    }
    ~Pty()
    {
        if (m_terminal >= 0)
            ::close(m_terminal);
        if (m_master >= 0)
            ::close(m_master);
    }
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool isOpen() const { return m_terminal >= 0; }
    int terminal() const { return m_terminal; }
    void type(const QByteArray &keys) const
    {
        QCOMPARE(::write(m_master, keys.constData(), size_t(keys.size())), keys.size());
    }
    bool echoes() const
    {
        termios t{};
        ::tcgetattr(m_terminal, &t);
        return t.c_lflag & ECHO;
    }
    // What the terminal showed, without waiting.
    QByteArray shown() const
    {
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        QByteArray out;
        char block[256];
        for (ssize_t n; (n = ::read(m_master, block, sizeof block)) > 0;)
            out.append(block, n);
        return out;
    }

private:
    int m_master = -1;
    int m_terminal = -1;
};

// An input that is no terminal.
class NoTerminal
{
public:
    NoTerminal()
        : m_fd(::open("/dev/null", O_RDONLY))
    {}
    ~NoTerminal() { ::close(m_fd); }
    int fd() const { return m_fd; }

private:
    int m_fd;
};

const QString kThreeBooks = QStringLiteral(
    "insert into book (book_name, book_author, book_isbn, book_loan) values ('红楼梦', '曹雪芹', '9787020002207', 1);"
    "insert into book (book_name, book_author, book_loan) values ('西游记', '吴承恩', 3);"
    "insert into book (book_name, book_note) values ('三国演义', '第一回' || char(13, 10) || '宴桃园豪杰三结义');");

QString named(const QString &path)
{
    const QFileInfo info(path);
    return QStringLiteral("“%1”（文件夹：%2）").arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath()));
}

} // namespace

void TransferTest::commandLineExportAndImport()
{
    seed(kThreeBooks);
    const QString csv = folder->path() + QStringLiteral("books.csv");
    NoTerminal input;
    {
        Catalogue catalogue(dataFile());
        Caught out, err;
        QCOMPARE(csvcommand::exportBooks(catalogue, csv, {input.fd(), out.file(), err.file()}), 0);
        QCOMPARE(out.text(), QStringLiteral("已导出 3 本书到文件%1。\n").arg(named(csv)));
        QCOMPARE(err.text(), QString());
        QVERIFY(filehelpers::bytes(csv).startsWith("\xEF\xBB\xBF编号,书名,"));
    }

    // Into another catalogue that has one of the books already.
    const QString other = folder->path() + QStringLiteral("other.qmd");
    schema::create(other);
    fixture::exec(other, QStringLiteral("insert into book (book_name, book_isbn) values ('石头记', '7-02-000220-7')"));
    Catalogue otherCatalogue(other);
    Caught out, err;
    QCOMPARE(csvcommand::importBooks(otherCatalogue, csv, {}, {input.fd(), out.file(), err.file()}), 0);
    QCOMPARE(out.text(),
             QStringLiteral("books.csv：已导入 2 本书（其中 0 本有资料无法识别、已留空）；"
                            "没有导入 1 行（与已有书籍重复 1 行，无法读取 0 行，空行 0 行）。没有导入的列：编号。\n"));
    QCOMPARE(err.text(), QStringLiteral("第2行没有导入：与已有的书籍重复（编号1，ISBN相同）\n"));
    QCOMPARE(fixture::column(other, QStringLiteral("select book_name || '|' || quote(book_loan) || '|' || "
                                                   "quote(book_note) from book order by book_id")),
             (QStringList{"石头记|NULL|NULL", "西游记|3|NULL", "三国演义|NULL|'第一回\r\n宴桃园豪杰三结义'"}));
    QCOMPARE(fixture::column(other, QStringLiteral("select author_name from author order by 1")),
             (QStringList{"吴承恩"}));
}

void TransferTest::commandLineRefusesWithoutTheRightPassword_data()
{
    QTest::addColumn<bool>("import");
    QTest::addColumn<bool>("terminal");
    QTest::newRow("export, a wrong password") << false << true;
    QTest::newRow("export, no terminal") << false << false;
    QTest::newRow("import, a wrong password") << true << true;
    QTest::newRow("import, no terminal") << true << false;
}

void TransferTest::commandLineRefusesWithoutTheRightPassword()
{
    QFETCH(bool, import);
    QFETCH(bool, terminal);
    seed(kThreeBooks + QStringLiteral("update reg set reg_passwd = 'Secret 1';"));
    const QString csv =
        import ? writeFile(QStringLiteral("in.csv"), "Title\r\nDune\r\n") : folder->path() + QStringLiteral("out.csv");
    const QStringList filesBefore = filehelpers::filesIn(folder->path());
    Pty pty;
    NoTerminal none;
    if (terminal) {
        if (!pty.isOpen())
            QSKIP("no pseudo-terminal here");
        pty.type("secret 1\n"); // letter case counts
    }
    Caught out, err;
    const csvcommand::Terminal where{terminal ? pty.terminal() : none.fd(), out.file(), err.file()};
    Catalogue catalogue(dataFile());
    const int status =
        import ? csvcommand::importBooks(catalogue, csv, {}, where) : csvcommand::exportBooks(catalogue, csv, where);
    QCOMPARE(status, 1);
    QCOMPARE(out.text(), QString());
    const QString told = err.text();
    const QString why = terminal ? QStringLiteral("密码输入有误，没有%1。")
                                 : QStringLiteral("设有数据库密码，只能在终端中输入密码后%1。");
    QVERIFY2(told.contains(why.arg(import ? QStringLiteral("导入") : QStringLiteral("导出"))), qPrintable(told));
    QCOMPARE(told.contains(QStringLiteral("请输入数据库密码：")), terminal);
    QCOMPARE(bookCount(), 3);
    QCOMPARE(filehelpers::filesIn(folder->path()), filesBefore);
    if (terminal)
        QVERIFY(pty.echoes());
}

void TransferTest::commandLinePasswordIsReadWithoutEcho()
{
    seed(kThreeBooks + QStringLiteral("update reg set reg_passwd = '密码 ok';"));
    Pty pty;
    if (!pty.isOpen())
        QSKIP("no pseudo-terminal here");
    QVERIFY(pty.echoes());
    const QString csv = folder->path() + QStringLiteral("books.csv");
    Caught out, err;
    int status = -1;
    Catalogue catalogue(dataFile());
    std::thread command([&] {
        status = csvcommand::exportBooks(catalogue, csv, {pty.terminal(), out.file(), err.file()});
    });
    // The password is typed once the terminal has stopped echoing.
    QTRY_VERIFY_WITH_TIMEOUT(!pty.echoes(), 10000);
    pty.type(QStringLiteral("密码 ok\n").toUtf8());
    command.join();
    QCOMPARE(status, 0);
    QVERIFY(!pty.shown().contains("ok"));
    QVERIFY(pty.echoes());
    QCOMPARE(err.text(), QStringLiteral("请输入数据库密码：\n"));
    QVERIFY(out.text().startsWith(QStringLiteral("已导出 3 本书")));
}

void TransferTest::commandLineImportWaitsForTheOpenWindow()
{
    const QString csv = writeFile(QStringLiteral("in.csv"), "Title,Author\r\nDune,Frank Herbert\r\n");
    NoTerminal input;
    {
        const auto running = fixture::OtherProgram::holdingLock(dataFile());
        Catalogue catalogue(dataFile());
        Caught out, err;
        QCOMPARE(csvcommand::importBooks(catalogue, csv, {}, {input.fd(), out.file(), err.file()}), 1);
        QVERIFY2(err.text().contains(QStringLiteral("已在一个Quillmere窗口中打开，没有导入")), qPrintable(err.text()));
        QCOMPARE(out.text(), QString());
        QCOMPARE(bookCount(), 0);
    }
    Catalogue catalogue(dataFile());
    Caught out, err;
    QCOMPARE(csvcommand::importBooks(catalogue, csv, {}, {input.fd(), out.file(), err.file()}), 0);
    QCOMPARE(bookCount(), 1);
}

void TransferTest::commandLineRefusesABadFile()
{
    seed(kThreeBooks);
    const QStringList before = storedBooks();
    NoTerminal input;
    const QString bad = writeFile(QStringLiteral("bad.csv"), "Title,Author\r\n\"Dune,Frank Herbert\r\n");
    Catalogue catalogue(dataFile());
    Caught out, err;
    QCOMPARE(csvcommand::importBooks(catalogue, bad, {}, {input.fd(), out.file(), err.file()}), 1);
    QCOMPARE(err.text(),
             QStringLiteral("quillmere: 无法导入文件%1：第2行开始的引号直到文件末尾也没有结束。\n").arg(named(bad)));
    QCOMPARE(out.text(), QString());
    QCOMPARE(storedBooks(), before);

    const QString below = dataFile() + QStringLiteral("/books.csv");
    Caught out2, err2;
    QCOMPARE(csvcommand::exportBooks(catalogue, below, {input.fd(), out2.file(), err2.file()}), 1);
    QVERIFY2(err2.text().contains(QStringLiteral("“books.csv”")) &&
                 err2.text().contains(QStringLiteral("路径中有一段不是文件夹")),
             qPrintable(err2.text()));
    QCOMPARE(out2.text(), QString());
}
