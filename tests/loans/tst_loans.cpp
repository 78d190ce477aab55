// The loan overview, the ISBN rule and the hint under the book windows' ISBN
// box, and the question before a book the catalogue already holds is added.
#include "components/messages.h"
#include "main/form_main.h"
#include "store/isbn.h"
#include "support/guitest.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class LoansTest : public fixture::GuiTest
{
    Q_OBJECT

private Q_SLOTS:
    void numbersAreJudgedAndConverted_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("as13"); // "" when it has none
        QTest::addColumn<QString>("as10"); // "" when it has none
        QTest::newRow("ISBN-10") << "7-02-002387-8" << true << "9787020023875"
                                 << "";
        QTest::newRow("ISBN-10 ending in X") << "080442957X" << true << "9780804429573"
                                             << "";
        QTest::newRow("ISBN-10, small x and blanks") << "0 8044 2957x" << true << "9780804429573"
                                                     << "";
        QTest::newRow("ISBN-10, wrong check digit") << "7020023874" << false << ""
                                                    << "";
        QTest::newRow("ISBN-13 of 978") << "978-7-02-002387-5" << true << ""
                                        << "7020023878";
        QTest::newRow("ISBN-13 of 978, X as its ISBN-10's check") << "9780804429573" << true << ""
                                                                  << "080442957X";
        QTest::newRow("ISBN-13 of 979: no ISBN-10") << "979-10-90636-07-1" << true << ""
                                                    << "";
        QTest::newRow("ISBN-13, wrong check digit") << "9787020023876" << false << ""
                                                    << "";
        QTest::newRow("too short") << "702002387" << false << ""
                                   << "";
        QTest::newRow("letters") << "ISBN7020023878" << false << ""
                                 << "";
        QTest::newRow("X inside") << "70200X3878" << false << ""
                                  << "";
    }
    void numbersAreJudgedAndConverted()
    {
        QFETCH(QString, typed);
        QFETCH(bool, valid);
        QFETCH(QString, as13);
        QFETCH(QString, as10);
        QCOMPARE(isbn::isValid(typed), valid);
        QCOMPARE(isbn::toIsbn13(typed), as13);
        QCOMPARE(isbn::toIsbn10(typed), as10);
        // Both ways back: the ISBN-10 of the ISBN-13 is the number typed.
        if (!as13.isEmpty())
            QCOMPARE(isbn::toIsbn10(as13), isbn::compact(typed));
        if (!as10.isEmpty())
            QCOMPARE(isbn::toIsbn13(as10), isbn::compact(typed));
        // One key for both forms of a book.
        if (!as13.isEmpty())
            QCOMPARE(isbn::key(typed), as13);
    }

    // Leaving the box shows the hint; the box keeps what was typed until the
    // conversion is chosen; typing hides the hint.
    void hintUnderTheIsbnBox()
    {
        start();
        fixture::runDialog(form_main->action("meaddbook"), [](QDialog *d) {
            auto *box = fixture::child<QLineEdit>(d, "book_isbn");
            auto *hint = fixture::child<QLabel>(d, "label_isbnhint");
            QVERIFY(!hint->isVisible());
            box->setFocus();
            box->setText(QStringLiteral("7-02-002387-8"));
            fixture::child<QLineEdit>(d, "book_name")->setFocus(); // the box is left
            QTRY_VERIFY(hint->isVisible());
            QVERIFY2(hint->text().contains(QStringLiteral("有效的ISBN-10")), qPrintable(hint->text()));
            QCOMPARE(box->text(), QStringLiteral("7-02-002387-8"));
            Q_EMIT hint->linkActivated(QStringLiteral("13"));
            QCOMPARE(box->text(), QStringLiteral("9787020023875"));
            QVERIFY(hint->text().contains(QStringLiteral("转换为ISBN-10")));

            box->setFocus();
            box->setText(QStringLiteral("9791090636071"));
            QVERIFY(!hint->isVisible()); // typing hides it
            Q_EMIT box->editingFinished();
            QVERIFY(hint->text().contains(QStringLiteral("979")));
            QVERIFY(!hint->text().contains(QStringLiteral("<a")));

            box->setText(QStringLiteral("9787020023876"));
            Q_EMIT box->editingFinished();
            QVERIFY2(hint->text().contains(QStringLiteral("校验位不对，应为5")), qPrintable(hint->text()));
            QTest::mouseClick(fixture::child<QPushButton>(d, "button_close"), Qt::LeftButton);
        });
    }

    // Before 添加 writes, a stored book with the same ISBN (in either form)
    // or the same title and first author is named in a question; "否" writes
    // nothing and keeps the dialog as typed, "是" adds the book.
    void addingAStoredBookIsAsked_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("isbnTyped");
        QTest::addColumn<bool>("asked");
        QTest::newRow("ISBN-10 typed, ISBN-13 stored") << "另一个书名"
                                                       << ""
                                                       << "7-02-002387-8" << true;
        QTest::newRow("ISBN-13 typed, ISBN-10 stored") << "别的书"
                                                       << "谁"
                                                       << "978-0-8044-2957-3" << true;
        QTest::newRow("same title and author") << "围城"
                                               << "钱锺书"
                                               << "" << true;
        QTest::newRow("same title, other author") << "围城"
                                                  << "别人"
                                                  << "" << false;
        QTest::newRow("no such book") << "新书"
                                      << "新作者"
                                      << "9791090636071" << false;
    }
    void addingAStoredBookIsAsked()
    {
        QFETCH(QString, title);
        QFETCH(QString, author);
        QFETCH(QString, isbnTyped);
        QFETCH(bool, asked);
        seed(QStringLiteral(
            "insert into book (book_name, book_author, book_isbn, book_rating, book_loan, book_readed) values "
            "('围城', '钱锺书', '978-7-02-002387-5', 1, 1, 1), ('旧书', NULL, '080442957x', 1, 1, 1)"));
        start();
        const auto books = [&] { return query(QStringLiteral("select count(*) from book")).value(0); };
        for (const bool yes : {false, true}) {
            if (!asked && !yes)
                continue;
            msg::setNextAnswer(yes);
            fixture::runDialog(form_main->action("meaddbook"), [&](QDialog *d) {
                fixture::child<QLineEdit>(d, "book_name")->setText(title);
                fixture::child<QComboBox>(d, "book_author")->setEditText(author);
                fixture::child<QLineEdit>(d, "book_isbn")->setText(isbnTyped);
                QTest::mouseClick(fixture::child<QPushButton>(d, "button_add"), Qt::LeftButton);
                const QList<msg::Shown> shown = msg::takeShown();
                QCOMPARE(shown.size(), asked ? 1 : 0);
                if (asked) {
                    QCOMPARE(shown[0].kind, msg::Kind::Question);
                    QVERIFY2(shown[0].text.contains(QStringLiteral("编号：")), qPrintable(shown[0].text));
                }
                QCOMPARE(d->isVisible(), asked && !yes);
                if (d->isVisible()) {
                    // Kept as typed, and nothing written.
                    QCOMPARE(fixture::child<QLineEdit>(d, "book_name")->text(), title);
                    QCOMPARE(books(), QStringLiteral("2"));
                    QTest::mouseClick(fixture::child<QPushButton>(d, "button_close"), Qt::LeftButton);
                }
            });
        }
        QCOMPARE(books(), QStringLiteral("3"));
    }
};

QTEST_MAIN(LoansTest)
#include "tst_loans.moc"
