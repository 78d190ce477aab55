// The helpers the transfer's tests share.
#include "tst_transfer.h"

#include "catalogue/bookcolumns.h"
#include "catalogue/catalogue.h"
#include "catalogue/csvcommand.h"
#include "components/filedialog.h"
#include "components/messages.h"
#include "support/filehelpers.h"
#include "support/fixture.h"

#include <QAbstractButton>
#include <QDialog>
#include <QtTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString readBack(std::FILE *file)
{
    std::fflush(file);
    std::rewind(file);
    QByteArray bytes;
    char block[4096];
    for (size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;)
        bytes.append(block, qsizetype(n));
    return QString::fromLocal8Bit(bytes);
}

} // namespace

QString TransferTest::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString path = folder->path() + name;
    filehelpers::writeFile(path, bytes);
    return path;
}

QStringList TransferTest::storedBooks() const
{
    QStringList fields;
    for (int c = 1; c < bookcolumns::kColumnCount; ++c)
        fields << QStringLiteral("quote(%1)").arg(bookcolumns::columnName(c));
    return query(QStringLiteral("select %1 from book order by book_id").arg(fields.join(QStringLiteral("||'|'||"))));
}

int TransferTest::bookCount() const
{
    return query(QStringLiteral("select count(*) from book")).value(0).toInt();
}

void TransferTest::inImportWindow(const QString &path, const std::function<void(QDialog *)> &steps)
{
    bool opened = false;
    fixture::onNextModal([&](QDialog *dialog) {
        opened = true;
        QCOMPARE(dialog->objectName(), QStringLiteral("form_csvimport"));
        steps(dialog);
        if (dialog->isVisible())
            click(dialog, "button_cancel");
    });
    filedialog::setNextFileName(path);
    trigger("mfimportcsv");
    QVERIFY2(opened, "the import window did not open");
}

void TransferTest::importThroughWindow(const QString &path)
{
    inImportWindow(path, [](QDialog *dialog) { click(dialog, "button_import"); });
}

int TransferTest::importByCommand(const QString &path, const ImportOptions &options, QString *out, QString *err)
{
    std::FILE *outFile = std::tmpfile();
    std::FILE *errFile = std::tmpfile();
    const int input = ::open("/dev/null", O_RDONLY);
    Catalogue catalogue(dataFile());
    const int status = csvcommand::importBooks(catalogue, path, options, {input, outFile, errFile});
    ::close(input);
    if (out)
        *out = readBack(outFile);
    if (err)
        *err = readBack(errFile);
    std::fclose(outFile);
    std::fclose(errFile);
    return status;
}

void TransferTest::exportThroughWindow(const QString &path)
{
    filedialog::setNextFileName(path);
    trigger("mfsavecsv");
}

QString TransferTest::onlyMessage()
{
    const QList<msg::Shown> shown = msg::takeShown();
    if (shown.size() != 1) {
        QStringList texts;
        for (const msg::Shown &s : shown)
            texts << s.text;
        qWarning("%d messages: %s", int(shown.size()), qPrintable(texts.join(QStringLiteral(" / "))));
        return QString();
    }
    return shown.first().text;
}

void TransferTest::click(QDialog *dialog, const char *button)
{
    auto *b = fixture::child<QAbstractButton>(dialog, button);
    QVERIFY2(b->isEnabled(), button);
    QTest::mouseClick(b, Qt::LeftButton);
}

QTEST_MAIN(TransferTest)
