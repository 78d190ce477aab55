// The book windows: entering, changing and viewing a book, through the real
// dialogs and the main window's commands.
#include "books/bookform.h"
#include "books/form_addbook.h"
#include "books/form_bookbase.h"
#include "books/form_modbook.h"
#include "components/booklistmodel.h"
#include "components/booklistview.h"
#include "components/datepicker.h"
#include "components/messages.h"
#include "components/style.h"
#include "components/summaryedit.h"
#include "main/form_main.h"
#include "store/bookrow.h"
#include "store/datetext.h"
#include "support/guitest.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocumentFragment>

#include <QtTest>

class BooksTest : public fixture::GuiTest
{
    Q_OBJECT

private:
    QString file() const { return folder->dataFile(); }
    QString stored(const QString &column, const QString &where = QStringLiteral("1"))
    {
        return fixture::value(file(), QStringLiteral("select %1 from book where %2").arg(column, where));
    }
    static QLineEdit *edit(QWidget *d, const char *name) { return fixture::child<QLineEdit>(d, name); }
    static QComboBox *combo(QWidget *d, const char *name) { return fixture::child<QComboBox>(d, name); }
    static QRadioButton *radio(QWidget *d, const char *name) { return fixture::child<QRadioButton>(d, name); }
    static DatePicker *date(QWidget *d, const char *name) { return fixture::child<DatePicker>(d, name); }
    static void click(QWidget *d, const char *name)
    {
        QTest::mouseClick(fixture::child<QPushButton>(d, name), Qt::LeftButton);
    }
    static void type(QWidget *d, const char *name, const QString &text)
    {
        QWidget *w = d->findChild<QWidget *>(QString::fromLatin1(name));
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->insert(text);
        else if (auto *c = qobject_cast<QComboBox *>(w))
            c->lineEdit()->insert(text);
        else
            qFatal("cannot type into %s", name);
    }
    // The checked button of a radio group (prefix1 to prefixN); "" when none is.
    static QString checkedIn(QWidget *d, const char *prefix, int buttons)
    {
        QStringList checked;
        for (int i = 1; i <= buttons; ++i) {
            const QByteArray name = QByteArray(prefix) + QByteArray::number(i);
            if (radio(d, name.constData())->isChecked())
                checked << QString::fromLatin1(name);
        }
        return checked.join(QLatin1Char(' '));
    }
    static BookListModel *list() { return form_main->listview_main->model(); }
    static int rows() { return list()->rowCount(); }

    // Opens a dialog through a main window command and runs the steps in it.
    static void withDialog(const char *command, const std::function<void(QDialog *)> &steps)
    {
        fixture::runDialog(form_main->action(command), steps);
    }

    // Puts the focus on a control, presses Tab (Shift+Tab when back) steps
    // times, and names the control holding the focus after each press.
    static QStringList tabFrom(QWidget *start, int steps, bool back = false)
    {
        start->setFocus(Qt::OtherFocusReason);
        QStringList names;
        for (int i = 0; i < steps && QApplication::focusWidget(); ++i) {
            if (back)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            names << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
        }
        return names;
    }

private Q_SLOTS:
    void entryOpensResetEveryTime()
    {
        seed(QStringLiteral("insert into author (author_name) values ('鲁迅'), ('老舍');"
                            "insert into category (cate_name) values ('小说');"
                            "insert into reader (reader_name) values ('小李')"));
        start();
        // A half-filled entry, cancelled.
        withDialog("meaddbook", [](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("添加新书籍资料"));
            QCOMPARE(d->size(), QSize(621, 443));
            QVERIFY(!fixture::child<QPushButton>(d, "button_add")->isEnabled());
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(edit(d, "book_name")));
            for (const char *name : {"book_pubd", "book_buyd", "book_loand"})
                QCOMPARE(date(d, name)->text(), QStringLiteral("（无日期）"));
            type(d, "book_name", QStringLiteral("半截"));
            QVERIFY(fixture::child<QPushButton>(d, "button_add")->isEnabled());
            edit(d, "book_name")->clear();
            QVERIFY(!fixture::child<QPushButton>(d, "button_add")->isEnabled());
            type(d, "book_name", QStringLiteral("半截"));
            type(d, "book_language", QStringLiteral("中文"));
            radio(d, "book_rating3")->click();
            radio(d, "book_loan2")->click();
            QVERIFY(combo(d, "book_reader")->isEnabled());
            radio(d, "book_readed2")->click();
            date(d, "book_buyd")->setDate(QDate(2010, 5, 6));
            fixture::child<QPlainTextEdit>(d, "book_note")->setPlainText(QStringLiteral("简介"));
            click(d, "button_close");
        });
        QCOMPARE(rows(), 0);
        withDialog("meaddbook", [](QDialog *d) {
            for (const char *name : {"book_name", "book_isbn", "book_pages", "book_buya", "book_value"})
                QVERIFY2(edit(d, name)->text().isEmpty(), name);
            for (const char *name :
                 {"book_cate", "book_language", "book_author", "book_author2", "book_pub", "book_reader"})
                QVERIFY2(combo(d, name)->currentText().isEmpty(), name);
            QVERIFY(fixture::child<QPlainTextEdit>(d, "book_note")->toPlainText().isEmpty());
            QVERIFY(radio(d, "book_rating1")->isChecked() && radio(d, "book_loan1")->isChecked() &&
                    radio(d, "book_readed1")->isChecked());
            QVERIFY(!combo(d, "book_reader")->isEnabled() && !date(d, "book_loand")->isEnabled());
            QVERIFY(!fixture::child<QPushButton>(d, "button_add")->isEnabled());
            QCOMPARE(date(d, "book_buyd")->date(), QDate(2010, 5, 6)); // the pickers keep their day
            // The pick lists come from the store, in its order; the language list is fixed.
            QCOMPARE(combo(d, "book_author")->count(), 2);
            QCOMPARE(combo(d, "book_author2")->itemText(1), QStringLiteral("老舍"));
            QCOMPARE(combo(d, "book_cate")->itemText(0), QStringLiteral("小说"));
            QCOMPARE(combo(d, "book_reader")->itemText(0), QStringLiteral("小李"));
            QCOMPARE(combo(d, "book_language")->count(), 9);
            QCOMPARE(combo(d, "book_language")->itemText(8), QStringLiteral("其它"));
            // The group holding the focus is filled sky blue, the others not.
            const auto filling = [&](const char *group) {
                auto *box = fixture::child<QGroupBox>(d, group);
                return box->grab().toImage().pixelColor(3, box->height() - 3);
            };
            QCOMPARE(filling("groupbox_base"), style::kHighlightColour);
            QVERIFY(filling("groupbox_note") != style::kHighlightColour);
        });
    }

    void tabLeavesTheSummary_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("before"); // before the summary (an own copy: no counterpart)
        QTest::newRow("entry") << QByteArray("meaddbook") << "book_value";
        QTest::newRow("modification") << QByteArray("meeditbook") << "book_readed1";
    }
    void tabLeavesTheSummary()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, before);
        seed(
            QStringLiteral("insert into book (book_name, book_rating, book_loan, book_readed) values ('书', 1, 1, 1)"));
        start();
        form_main->listview_main->selectRow(0);
        withDialog(command.constData(), [&](QDialog *d) {
            edit(d, "book_name")->setText(QStringLiteral("书"));
            auto *note = fixture::child<QPlainTextEdit>(d, "book_note");
            note->setPlainText(QStringLiteral("简介"));
            // On to the buttons and back, typing nothing into the summary.
            QCOMPARE(tabFrom(note, 2), (QStringList{"button_add", "button_close"}));
            QCOMPARE(tabFrom(fixture::child<QPushButton>(d, "button_close"), 2, true),
                     (QStringList{"button_add", "book_note"}));
            QCOMPARE(tabFrom(note, 1, true), QStringList{before});
            QCOMPARE(note->toPlainText(), QStringLiteral("简介"));
        });
    }

    void radioGroupsAreOneTabStopEach_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("clicks"); // radio buttons the user clicks
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("order"); // where Tab takes the focus from there
        const QByteArray entry("meaddbook"), modification("meeditbook");
        // The entry dialog: liking, loan and read after the buttons.
        QTest::newRow("entry, as opened") << entry << ""
                                          << "button_close"
                                          << "book_rating1 book_loan1 book_readed1 book_name";
        QTest::newRow("entry, own copy") << entry << "book_loan1"
                                         << "button_close"
                                         << "book_rating1 book_loan1 book_readed1 book_name";
        QTest::newRow("entry, borrowed") << entry << "book_loan2"
                                         << "button_close"
                                         << "book_rating1 book_loan2 book_readed1 book_name";
        QTest::newRow("entry, lent out") << entry << "book_loan3"
                                         << "button_close"
                                         << "book_rating1 book_loan3 book_readed1 book_name";
        QTest::newRow("entry, liked less, lent out, not read") << entry << "book_rating4 book_loan3 book_readed2"
                                                               << "button_close"
                                                               << "book_rating4 book_loan3 book_readed2 book_name";
        QTest::newRow("entry, borrowed, then own copy again")
            << entry << "book_rating5 book_loan2 book_loan1 book_readed2"
            << "button_close"
            << "book_rating5 book_loan1 book_readed2 book_name";
        // The modification dialog, on a book stored as liked "还可以", lent out and
        // not read: top to bottom, the counterpart when on (the row stops there:
        // in the date picker after it Tab walks the date's fields).
        QTest::newRow("modification, as loaded") << modification << ""
                                                 << "book_value"
                                                 << "book_rating3 book_loan3 book_reader";
        QTest::newRow("modification, own copy") << modification << "book_loan1"
                                                << "book_value"
                                                << "book_rating3 book_loan1 book_readed2 book_note";
    }
    void radioGroupsAreOneTabStopEach()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, clicks);
        QFETCH(QString, from);
        QFETCH(QString, order);
        seed(QStringLiteral("insert into book (book_name, book_rating, book_loan, book_readed, book_reader)"
                            " values ('书', 3, 3, 2, '小王')"));
        start();
        form_main->listview_main->selectRow(0);
        withDialog(command.constData(), [&](QDialog *d) {
            // Clicked with the mouse, as a user does: a click also moves the focus.
            for (const QString &name : clicks.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                QTest::mouseClick(radio(d, qPrintable(name)), Qt::LeftButton);
            const QStringList forward = order.split(QLatin1Char(' '));
            QWidget *start = d->findChild<QWidget *>(from);
            QCOMPARE(tabFrom(start, int(forward.size())), forward);
            // And Shift+Tab goes the same way back.
            QStringList back = forward.mid(0, forward.size() - 1);
            std::reverse(back.begin(), back.end());
            back << from;
            QCOMPARE(tabFrom(d->findChild<QWidget *>(forward.last()), int(back.size()), true), back);
        });
    }

    void authorAddedInTheListIsOfferedInBothBoxes()
    {
        start();
        fixture::runDialog(form_main->action("meauthor"), [](QDialog *d) {
            fixture::type(fixture::child<QLineEdit>(d, "edit"), QStringLiteral("张爱玲"));
            click(d, "button1");
        });
        withDialog("meaddbook", [](QDialog *d) {
            QCOMPARE(combo(d, "book_author")->findText(QStringLiteral("张爱玲")), 0);
            QCOMPARE(combo(d, "book_author2")->findText(QStringLiteral("张爱玲")), 0);
        });
    }

    void savingAppendsTheBookAndItsRow_data()
    {
        QTest::addColumn<QString>("loanButton");
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("pages");
        QTest::addColumn<QString>("storedReader");
        QTest::addColumn<QString>("storedLoanDate");
        QTest::addColumn<QString>("storedPages");
        QTest::addColumn<QString>("rowTail"); // columns 12 to 15
        QTest::newRow("own copy") << "book_loan1"
                                  << "小李"
                                  << " 320 "
                                  << "<null>"
                                  << "<null>"
                                  << "320"
                                  << "很不错|自己拥有|未读|";
        QTest::newRow("borrowed, empty counterpart") << "book_loan2"
                                                     << ""
                                                     << ""
                                                     << ""
                                                     << "today"
                                                     << "<null>"
                                                     << "很不错|借入|未读|";
        QTest::newRow("lent out") << "book_loan3"
                                  << "小李"
                                  << "7"
                                  << "小李"
                                  << "today"
                                  << "7"
                                  << "很不错|已借出|未读|小李";
    }
    void savingAppendsTheBookAndItsRow()
    {
        QFETCH(QString, loanButton);
        QFETCH(QString, reader);
        QFETCH(QString, pages);
        QFETCH(QString, storedReader);
        QFETCH(QString, storedLoanDate);
        QFETCH(QString, storedPages);
        QFETCH(QString, rowTail);
        start();
        withDialog("meaddbook", [&](QDialog *d) {
            type(d, "book_name", QStringLiteral("边城"));
            type(d, "book_cate", QStringLiteral("新类"));     // typed, not in any list
            type(d, "book_author", QStringLiteral("沈从文")); // likewise
            type(d, "book_pub", QStringLiteral("新出版社"));
            type(d, "book_pages", pages);
            type(d, "book_value", QStringLiteral("18.5"));
            date(d, "book_pubd")->setDate(QDate(1934, 1, 1));
            radio(d, "book_rating2")->click();
            radio(d, qPrintable(loanButton))->click();
            type(d, "book_reader", reader);
            radio(d, "book_readed2")->click();
            fixture::child<QPlainTextEdit>(d, "book_note")->setPlainText(QStringLiteral("第一行\n第二行"));
            click(d, "button_add");
            QVERIFY(!d->isVisible());
        });
        QVERIFY(msg::takeShown().isEmpty());
        const QString id = stored(QStringLiteral("book_id"));
        QCOMPARE(stored(QStringLiteral("book_name")), QStringLiteral("边城"));
        QCOMPARE(stored(QStringLiteral("book_reader")), storedReader);
        // A loan chosen with no loan date is dated today.
        if (storedLoanDate == QLatin1String("today"))
            storedLoanDate = datetext::toIso(QDate::currentDate());
        QCOMPARE(stored(QStringLiteral("book_loand")), storedLoanDate);
        QCOMPARE(stored(QStringLiteral("book_buyd")), QStringLiteral("<null>"));
        QCOMPARE(stored(QStringLiteral("book_pages")), storedPages);
        QCOMPARE(stored(QStringLiteral("book_pubd")), QStringLiteral("1934-01-01"));
        QCOMPARE(stored(QStringLiteral("book_note")), QStringLiteral("第一行\r\n第二行"));
        QCOMPARE(stored(QStringLiteral("book_rating || book_readed")), QStringLiteral("22"));
        // Typed names add no rows to the pick lists.
        for (const char *table : {"category", "author", "pub", "reader"})
            QCOMPARE(fixture::value(file(), QStringLiteral("select count(*) from ") + QLatin1String(table)),
                     QStringLiteral("0"));

        QCOMPARE(rows(), 1);
        const QStringList row = list()->rowTexts(0);
        // The row shows the book as stored: the pages as the number kept.
        const QString rowPages = storedPages == QLatin1String("<null>") ? QString() : storedPages;
        QCOMPARE(row.mid(0, 12),
                 (QStringList{"边城", "新类", "沈从文", "", "", "", "新出版社", "1934/1/1", rowPages, "", "", "18.5"}));
        QCOMPARE(row.mid(12, 4).join(QLatin1Char('|')), rowTail);
        QCOMPARE(row.value(16), id);
    }

    // One date picker of the entry dialog over a run of books: left alone it
    // stores no date (a loan chosen with no loan date is dated today), a day
    // set stays for the next book, and a cleared picker stores none again.
    void entryDatesAreOnlyTheUsers_data()
    {
        QTest::addColumn<QByteArray>("picker");
        QTest::addColumn<QString>("clearBy");
        QTest::newRow("publication, Delete key") << QByteArray("book_pubd") << "key";
        QTest::newRow("purchase, context menu") << QByteArray("book_buyd") << "menu";
        QTest::newRow("loan, Delete key") << QByteArray("book_loand") << "key";
        QTest::newRow("loan, context menu") << QByteArray("book_loand") << "menu";
    }
    void entryDatesAreOnlyTheUsers()
    {
        QFETCH(QByteArray, picker);
        QFETCH(QString, clearBy);
        const bool loanDate = picker == "book_loand";
        const QString column = QString::fromLatin1(picker);
        const QDate day(2024, 3, 15);
        const auto clear = [&](DatePicker *p) {
            p->setFocus();
            if (clearBy == QLatin1String("key")) {
                QTest::keyClick(p, Qt::Key_Delete);
                return;
            }
            QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), p->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(p, &menuEvent);
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            auto *action = menu->findChild<QAction *>(QStringLiteral("action_cleardate"));
            QVERIFY(action && action->isEnabled());
            QCOMPARE(action->text(), QStringLiteral("清除日期"));
            action->trigger();
            menu->close();
        };
        struct Book
        {
            const char *title;
            QDate shown; // on opening
            std::function<void(DatePicker *)> steps;
            QDate stored;
        };
        const QDate untouched = loanDate ? QDate::currentDate() : QDate();
        const Book books[] = {
            {"不动", QDate(), [](DatePicker *) {}, untouched},
            {"定日", untouched, [&](DatePicker *p) { p->setDate(day); }, day},
            {"沿用", day, [](DatePicker *) {}, day},
            {"清除", day, clear, QDate()},
            {"又空", QDate(), [](DatePicker *) {}, untouched},
        };
        start();
        for (const Book &book : books) {
            withDialog("meaddbook", [&](QDialog *d) {
                DatePicker *p = date(d, picker.constData());
                QCOMPARE(p->day(), book.shown);
                type(d, "book_name", QString::fromUtf8(book.title));
                if (loanDate)
                    radio(d, "book_loan3")->click();
                book.steps(p);
                QCOMPARE(p->day(), book.stored);
                if (!book.stored.isValid())
                    QCOMPARE(p->text(), QStringLiteral("（无日期）"));
                click(d, "button_add");
                QVERIFY(!d->isVisible());
            });
            const QString where = QStringLiteral("book_name = '%1'").arg(QString::fromUtf8(book.title));
            QCOMPARE(stored(column, where),
                     book.stored.isValid() ? datetext::toIso(book.stored) : QStringLiteral("<null>"));
            // The other pickers were never set: they store no date.
            for (const QString &other : {QStringLiteral("book_pubd"), QStringLiteral("book_buyd")})
                if (other != column)
                    QCOMPARE(stored(other, where), QStringLiteral("<null>"));
        }
    }

    void isbnBoxTidiesWhatWasTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("tidied");
        QTest::addColumn<QString>("hint");
        QTest::newRow("full-width digits") << "０３０６４０６１５２"
                                           << "0306406152"
                                           << "有效的ISBN-10";
        QTest::newRow("full-width X, hyphens kept") << "０-８０４４-２９５７-Ｘ"
                                                    << "0-8044-2957-X"
                                                    << "有效的ISBN-10";
        QTest::newRow("prefix and its blank") << "ISBN 978-0-306-40615-7"
                                              << "978-0-306-40615-7"
                                              << "有效的ISBN-13";
        QTest::newRow("lower case, full-width colon and blanks, blanks inside kept")
            << "isbn：　９７８ ０ ３０６ ４０６１５ ７"
            << "978 0 306 40615 7"
            << "有效的ISBN-13";
        QTest::newRow("colon, no blank, wrong check digit") << "ISBN:0-306-40615-3"
                                                            << "0-306-40615-3"
                                                            << "校验位不对，应为2";
        QTest::newRow("full-width prefix, 979") << "ＩＳＢＮ ９７９１０９０６３６０７１"
                                                << "9791090636071"
                                                << "有效的ISBN-13（979开头，无ISBN-10）";
        QTest::newRow("nothing to tidy") << "7-5327-3"
                                         << "7-5327-3"
                                         << "ISBN应为10位或13位数字";
    }
    void isbnBoxTidiesWhatWasTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, tidied);
        QFETCH(QString, hint);
        start();
        withDialog("meaddbook", [&](QDialog *d) {
            type(d, "book_name", QStringLiteral("书"));
            QLineEdit *box = edit(d, "book_isbn");
            box->setFocus();
            // As an input method hands over what was typed.
            QInputMethodEvent typing;
            typing.setCommitString(typed);
            QApplication::sendEvent(box, &typing);
            QCOMPARE(box->text(), typed);
            edit(d, "book_pages")->setFocus();
            QCOMPARE(box->text(), tidied);
            auto *label = fixture::child<QLabel>(d, "label_isbnhint");
            QVERIFY(label->isVisible());
            QVERIFY2(label->text().contains(hint.toHtmlEscaped()), qPrintable(label->text()));
            // The hint stands whole in the band under the box, clear of the
            // row below: no letter is cut at its foot or its end.
            const QRect band = label->mask().boundingRect();
            const QFontMetrics metrics(label->font());
            // (The full-width comma and brackets may lose their lowest row.)
            const QString letters =
                QTextDocumentFragment::fromHtml(label->text()).toPlainText().remove(QRegularExpression(u"[，（）]"_qs));
            const QRect ink =
                metrics.tightBoundingRect(letters).translated(label->contentsRect().left(), metrics.ascent());
            QVERIFY2(band.contains(QRect(band.left(), ink.top(), 1, ink.height())), qPrintable(letters));
            QVERIFY(label->fontInfo().pixelSize() >= 10);
            QVERIFY(label->width() >= label->sizeHint().width());
            const QRect shown = band.translated(label->pos());
            QVERIFY(shown.top() > box->geometry().bottom());
            for (const char *below : {"book_pages", "label_book_pages", "book_pubd"})
                QVERIFY2(!shown.intersects(fixture::child<QWidget>(d, below)->geometry()), below);
            click(d, "button_add");
        });
        QCOMPARE(stored(QStringLiteral("book_isbn")), tidied);
    }

    void addingChangingAndDeletingTouchOneRowEach()
    {
        seed(QStringLiteral("insert into book (book_id, book_name) values (1, '甲'), (2, '乙')"));
        start();
        BookListModel *model = list();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        const auto counts = [&] {
            return QList<qsizetype>{inserted.count(), changed.count(), removed.count(), reset.count()};
        };

        withDialog("meaddbook", [](QDialog *d) {
            type(d, "book_name", QStringLiteral("丙"));
            click(d, "button_add");
        });
        QCOMPARE(counts(), (QList<qsizetype>{1, 0, 0, 0}));
        QCOMPARE(list()->cell(2, bookrow::Title), QStringLiteral("丙"));

        form_main->listview_main->selectRow(0);
        withDialog("meeditbook", [](QDialog *d) {
            edit(d, "book_name")->setText(QStringLiteral("甲二"));
            click(d, "button_add");
        });
        QCOMPARE(counts(), (QList<qsizetype>{1, 1, 0, 0}));
        QCOMPARE(list()->cell(0, bookrow::Title), QStringLiteral("甲二"));

        // Saved with nothing changed: nothing written, the row left alone.
        withDialog("meeditbook", [](QDialog *d) { click(d, "button_add"); });
        QCOMPARE(counts(), (QList<qsizetype>{1, 1, 0, 0}));

        form_main->listview_main->selectRow(1);
        msg::setNextAnswer(true);
        trigger("medelbook");
        QCOMPARE(counts(), (QList<qsizetype>{1, 1, 1, 0}));
        QCOMPARE(query(QStringLiteral("select book_name from book order by book_id")), (QStringList{"甲二", "丙"}));
        QCOMPARE(list()->rowCount(), 2);
        (void)msg::takeShown();
    }

    void aBookStoredAlreadyIsAskedAbout_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("isbn");
        QTest::addColumn<bool>("asked");
        QTest::newRow("the same title, case and blanks aside") << "dune "
                                                               << "" << true;
        QTest::newRow("the ISBN-10 of its ISBN-13") << "别的书"
                                                    << "0-441-17271-7" << true;
        QTest::newRow("another book") << "Dune Messiah"
                                      << "" << false;
    }
    void aBookStoredAlreadyIsAskedAbout()
    {
        QFETCH(QString, title);
        QFETCH(QString, isbn);
        QFETCH(bool, asked);
        seed(QStringLiteral("insert into book (book_id, book_name, book_isbn) values (7, 'Dune', '9780441172719')"));
        start();
        msg::setNextAnswer(false);
        withDialog("meaddbook", [&](QDialog *d) {
            type(d, "book_name", title);
            type(d, "book_isbn", isbn);
            click(d, "button_add");
            // "否" keeps the dialog as typed.
            QCOMPARE(d->isVisible(), asked);
        });
        const QList<msg::Shown> shown = msg::takeShown();
        if (asked) {
            QCOMPARE(shown.size(), 1);
            QVERIFY2(shown.first().text.contains(QStringLiteral("《Dune》，ISBN：9780441172719，编号：7")),
                     qPrintable(shown.first().text));
            QCOMPARE(query(QStringLiteral("select count(*) from book")), QStringList{"1"});
        } else {
            QVERIFY(shown.isEmpty());
            QCOMPARE(query(QStringLiteral("select count(*) from book")), QStringList{"2"});
        }
    }

    void newRowLocatesItsBookAtOnce()
    {
        start();
        withDialog("meaddbook", [](QDialog *d) {
            type(d, "book_name", QStringLiteral("围城"));
            click(d, "button_add");
        });
        form_main->listview_main->selectRow(0);
        // Details, then change, then delete: all find the book by the new row.
        fixture::onNextModal([](QDialog *d) {
            QCOMPARE(d, static_cast<QDialog *>(form_bookbase));
            QCOMPARE(edit(d, "book_name")->text(), QStringLiteral("围城"));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(fixture::child<QPushButton>(d, "button_add")));
            click(d, "button_add");
        });
        form_main->showBookDetails();
        withDialog("meeditbook", [](QDialog *d) {
            QCOMPARE(edit(d, "book_name")->text(), QStringLiteral("围城"));
            edit(d, "book_name")->setText(QStringLiteral("围城（新版）"));
            click(d, "button_add");
        });
        QCOMPARE(stored(QStringLiteral("book_name")), QStringLiteral("围城（新版）"));
        QCOMPARE(list()->cell(0, 0), QStringLiteral("围城（新版）"));
        msg::setNextAnswer(true);
        trigger("medelbook");
        QCOMPARE(fixture::value(file(), QStringLiteral("select count(*) from book")), QStringLiteral("0"));
    }

    void pagesMustBeAWholeNumber_data()
    {
        QTest::addColumn<QString>("pages");
        QTest::newRow("letters") << "12a";
        QTest::newRow("fraction") << "3.5";
    }
    void pagesMustBeAWholeNumber()
    {
        QFETCH(QString, pages);
        start();
        withDialog("meaddbook", [&](QDialog *d) {
            type(d, "book_name", QStringLiteral("书"));
            type(d, "book_pages", pages);
            click(d, "button_add");
            QVERIFY(d->isVisible());
            QCOMPARE(edit(d, "book_name")->text(), QStringLiteral("书"));
            QCOMPARE(edit(d, "book_pages")->text(), pages);
        });
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.contains(QStringLiteral("页数")) && shown[0].text.contains(pages));
        QCOMPARE(fixture::value(file(), QStringLiteral("select count(*) from book")), QStringLiteral("0"));
        QCOMPARE(rows(), 0);
    }

    void modificationLoadsAndRewrites()
    {
        seed(QStringLiteral(
            "insert into book (book_name, book_cate, book_pubd, book_buyd, book_pages, book_rating, book_loan,"
            " book_readed, book_reader, book_loand, book_note) values"
            " ('借出的书', '小说', '2001-02-03', NULL, NULL, 4, 3, 2, '老张', '2020-05-06', '甲\r\n乙')"));
        start();
        form_main->listview_main->selectRow(0);
        QCOMPARE(list()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 220, 192));
        withDialog("meeditbook", [](QDialog *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("修改书籍资料"));
            QCOMPARE(d->size(), QSize(605, 443));
            QCOMPARE(fixture::child<QGroupBox>(d, "groupbox_note")->geometry(), QRect(250, 216, 345, 169));
            QCOMPARE(combo(d, "book_reader")->currentText(), QStringLiteral("老张"));
            QCOMPARE(date(d, "book_loand")->date(), QDate(2020, 5, 6));
            QCOMPARE(date(d, "book_pubd")->date(), QDate(2001, 2, 3));
            QVERIFY(!date(d, "book_buyd")->hasDate()); // no stored date: none shown, no error
            QVERIFY(radio(d, "book_rating4")->isChecked() && radio(d, "book_loan3")->isChecked() &&
                    radio(d, "book_readed2")->isChecked());
            QVERIFY(combo(d, "book_reader")->isEnabled());
            QCOMPARE(fixture::child<QPlainTextEdit>(d, "book_note")->toPlainText(), QStringLiteral("甲\n乙"));
            radio(d, "book_loan1")->click();
            QVERIFY(!combo(d, "book_reader")->isEnabled());
            click(d, "button_add");
        });
        QVERIFY(msg::takeShown().isEmpty());
        // Back to own copy: the old counterpart and date stay stored.
        QCOMPARE(stored(QStringLiteral("book_loan")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("book_reader")), QStringLiteral("老张"));
        QCOMPARE(stored(QStringLiteral("book_loand")), QStringLiteral("2020-05-06"));
        QCOMPARE(stored(QStringLiteral("book_buyd")), QStringLiteral("<null>"));
        QCOMPARE(stored(QStringLiteral("book_note")), QStringLiteral("甲\r\n乙"));
        QCOMPARE(list()->rowTexts(0).mid(12), (QStringList{"不太好", "自己拥有", "未读", "", "1"}));
        QVERIFY(!list()->index(0, 0).data(Qt::BackgroundRole).isValid());
    }

    void cancelledModificationChangesNothing()
    {
        seed(QStringLiteral(
            "insert into book (book_name, book_rating, book_loan, book_readed) values ('原名', 1, 1, 1)"));
        start();
        form_main->listview_main->selectRow(0);
        const QStringList before = list()->rowTexts(0);
        withDialog("meeditbook", [](QDialog *d) {
            edit(d, "book_name")->setText(QStringLiteral("改了"));
            click(d, "button_close");
        });
        QCOMPARE(stored(QStringLiteral("book_name")), QStringLiteral("原名"));
        QCOMPARE(list()->rowTexts(0), before);
        withDialog("meeditbook", [](QDialog *d) { QCOMPARE(edit(d, "book_name")->text(), QStringLiteral("原名")); });
    }

    void codeOutOfRangeChecksNoChoice()
    {
        seed(QStringLiteral("insert into book (book_name, book_rating, book_loan, book_readed) values"
                            " ('甲', 3, 1, 2), ('乙', 9, 1, 2)"));
        start();
        form_main->listview_main->selectRow(0);
        withDialog("meeditbook", [](QDialog *d) { QVERIFY(radio(d, "book_rating3")->isChecked()); });
        form_main->listview_main->selectRow(1);
        withDialog("meeditbook", [](QDialog *d) {
            // 9 checks nothing: the choice of the book shown before does not stay.
            QCOMPARE(checkedIn(d, "book_rating", 5), QString());
            QVERIFY(radio(d, "book_loan1")->isChecked() && radio(d, "book_readed2")->isChecked());
        });
    }

    // A book whose code is no known code (none, out of range, a text), as
    // another program may leave it: its row, its details, a change of
    // another field, a choice picked, and deleting it.
    void bookWithAnUnknownCode_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value"); // as SQL
        QTest::addColumn<QString>("exact"); // its type and value, as SQLite quotes it
        QTest::addColumn<QString>("shown"); // its cell in the list
        for (const char *column : {"book_rating", "book_loan", "book_readed"}) {
            const QString c = QString::fromLatin1(column);
            QTest::addRow("%s NULL", column) << c << "NULL"
                                             << "null:NULL"
                                             << "";
            QTest::addRow("%s 0", column) << c << "0"
                                          << "integer:0"
                                          << "0";
            QTest::addRow("%s 7", column) << c << "7"
                                          << "integer:7"
                                          << "7";
            QTest::addRow("%s text", column) << c << "'abc'"
                                             << "text:'abc'"
                                             << "abc";
        }
    }
    void bookWithAnUnknownCode()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(QString, exact);
        QFETCH(QString, shown);
        const auto storedExactly = [this](const QString &c) {
            return stored(QStringLiteral("typeof(%1) || ':' || quote(%1)").arg(c), QStringLiteral("book_id=2"));
        };
        seed(QStringLiteral("insert into book (book_id, book_name, book_rating, book_loan, book_readed) values"
                            " (1, '别的书', 1, 1, 1);"
                            "insert into book (book_id, book_name, book_pages, book_rating, book_loan, book_readed,"
                            " book_reader, book_loand) values (2, '边城', 100, 2, 3, 2, '老王', '2020-05-06');"
                            "update book set %1 = %2 where book_id = 2")
                 .arg(column, value));
        // The book's codes, each in its group: the button checked, or none.
        const struct
        {
            const char *column;
            int buttons;
            QString checked;
            QString cell;
            const char *pick;
            QString pickedCode;
            QString picked;
        } groups[] = {
            {"book_rating", 5, QStringLiteral("book_rating2"), QStringLiteral("很不错"), "book_rating4",
             QStringLiteral("integer:4"), QStringLiteral("不太好")},
            {"book_loan", 3, QStringLiteral("book_loan3"), QStringLiteral("已借出"), "book_loan2",
             QStringLiteral("integer:2"), QStringLiteral("借入")},
            {"book_readed", 2, QStringLiteral("book_readed2"), QStringLiteral("未读"), "book_readed1",
             QStringLiteral("integer:1"), QStringLiteral("已读")},
        };
        QStringList tail;
        for (const auto &g : groups)
            tail << (column == QLatin1String(g.column) ? shown : g.cell);
        tail << QStringLiteral("老王") << QStringLiteral("2");
        const bool loanKnown = column != QLatin1String("book_loan");
        const auto checkGroups = [&](QDialog *d) {
            for (const auto &g : groups)
                QCOMPARE(checkedIn(d, g.column, g.buttons), column == QLatin1String(g.column) ? QString() : g.checked);
            // The counterpart of a lent book, or of one whose loan code is
            // unknown, is shown as stored.
            QVERIFY(combo(d, "book_reader")->isEnabled() && date(d, "book_loand")->isEnabled());
            QCOMPARE(combo(d, "book_reader")->currentText(), QStringLiteral("老王"));
            QCOMPARE(date(d, "book_loand")->date(), QDate(2020, 5, 6));
        };
        start();
        QCOMPARE(rows(), 2);
        QCOMPARE(list()->rowTexts(1).size(), 17);
        QCOMPARE(list()->rowTexts(1).mid(12), tail);
        QCOMPARE(list()->index(1, 0).data(Qt::BackgroundRole).isValid(), loanKnown);

        // The details, after those of a book with every first choice.
        form_main->listview_main->selectRow(0);
        fixture::onNextModal([](QDialog *d) { click(d, "button_add"); });
        form_main->showBookDetails();
        form_main->listview_main->selectRow(1);
        bool opened = false;
        fixture::onNextModal([&](QDialog *d) {
            opened = true;
            QCOMPARE(edit(d, "book_name")->text(), QStringLiteral("边城"));
            checkGroups(d);
            click(d, "button_add");
        });
        form_main->showBookDetails();
        QVERIFY(opened);

        // Another field changed: the unknown code stays exactly as stored.
        withDialog("meeditbook", [&](QDialog *d) {
            checkGroups(d);
            edit(d, "book_pages")->setText(QStringLiteral("300"));
            click(d, "button_add");
            QVERIFY(!d->isVisible());
        });
        for (const msg::Shown &m : msg::takeShown())
            QFAIL(qPrintable(m.text));
        QCOMPARE(storedExactly(column), exact);
        for (const auto &g : groups)
            if (column != QLatin1String(g.column))
                QCOMPARE(storedExactly(QString::fromLatin1(g.column)), QStringLiteral("integer:") + g.checked.right(1));
        QCOMPARE(stored(QStringLiteral("book_pages"), QStringLiteral("book_id=2")), QStringLiteral("300"));
        QCOMPARE(stored(QStringLiteral("book_reader || book_loand"), QStringLiteral("book_id=2")),
                 QStringLiteral("老王2020-05-06"));
        QCOMPARE(list()->rowTexts(1).mid(12), tail);
        QCOMPARE(list()->cell(1, bookrow::Pages), QStringLiteral("300"));

        // A choice picked is stored as its code.
        const auto &group = *std::find_if(std::begin(groups), std::end(groups),
                                          [&](const auto &g) { return column == QLatin1String(g.column); });
        withDialog("meeditbook", [&](QDialog *d) {
            QTest::mouseClick(radio(d, group.pick), Qt::LeftButton);
            click(d, "button_add");
            QVERIFY(!d->isVisible());
        });
        QCOMPARE(storedExactly(column), group.pickedCode);
        QCOMPARE(stored(QStringLiteral("book_reader || book_loand"), QStringLiteral("book_id=2")),
                 QStringLiteral("老王2020-05-06"));
        tail[int(&group - groups)] = group.picked;
        QCOMPARE(list()->rowTexts(1).mid(12), tail);
        QVERIFY(list()->index(1, 0).data(Qt::BackgroundRole).isValid());

        // Deleting such a book (the code back as it was, another program's
        // doing) removes it and its row.
        seed(QStringLiteral("update book set %1 = %2 where book_id = 2").arg(column, value));
        form_main->bookStored(QStringLiteral("2"));
        QCOMPARE(list()->cell(1, bookrow::Rating + int(&group - groups)), shown);
        form_main->listview_main->selectRow(1);
        msg::setNextAnswer(true);
        trigger("medelbook");
        QCOMPARE(msg::takeShown().size(), 1); // the question only
        QCOMPARE(fixture::column(file(), QStringLiteral("select book_name from book")), QStringList{"别的书"});
        QCOMPARE(rows(), 1);
        QCOMPARE(list()->cell(0, 0), QStringLiteral("别的书"));
    }

    // Tab enters a group with no choice checked at its first button.
    void groupWithNoChoiceIsATabStop_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("back");
        QTest::addColumn<QString>("order");
        QTest::newRow("rating") << "book_rating"
                                << "book_value" << false << "book_rating1 book_loan3";
        QTest::newRow("loan") << "book_loan"
                              << "book_value" << false << "book_rating2 book_loan1 book_reader";
        QTest::newRow("read") << "book_readed"
                              << "book_note" << true << "book_readed1";
    }
    void groupWithNoChoiceIsATabStop()
    {
        QFETCH(QString, column);
        QFETCH(QString, from);
        QFETCH(bool, back);
        QFETCH(QString, order);
        seed(QStringLiteral("insert into book (book_name, book_rating, book_loan, book_readed, book_reader)"
                            " values ('书', 2, 3, 2, '老王'); update book set %1 = NULL")
                 .arg(column));
        start();
        form_main->listview_main->selectRow(0);
        withDialog("meeditbook", [&](QDialog *d) {
            const QStringList expected = order.split(QLatin1Char(' '));
            QCOMPARE(tabFrom(d->findChild<QWidget *>(from), int(expected.size()), back), expected);
        });
    }

    void bookGoneFromTheFileIsNotRecreated()
    {
        seed(
            QStringLiteral("insert into book (book_name, book_rating, book_loan, book_readed) values ('甲', 1, 1, 1)"));
        start();
        form_main->listview_main->selectRow(0);
        withDialog("meeditbook", [&](QDialog *d) {
            seed(QStringLiteral("delete from book"));
            click(d, "button_add");
        });
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(int(shown[0].kind), int(msg::Kind::Plain));
        QVERIFY2(shown[0].text.contains(QStringLiteral("这本书已不在数据文件中")), qPrintable(shown[0].text));
        QCOMPARE(fixture::value(file(), QStringLiteral("select count(*) from book")), QStringLiteral("0"));
    }

    void detailsShowEverythingAndWriteNothing()
    {
        const QString summary = QStringLiteral("很长的简介。").repeated(80);
        seed(QStringLiteral("insert into book (book_name, book_rating, book_loan, book_readed, book_reader,"
                            " book_loand, book_note) values ('自己的', 2, 1, 1, '隐藏的人', '2019-01-01', NULL),"
                            " ('借来的', 5, 2, 2, '小王', '2021-03-04', '%1')")
                 .arg(summary));
        start();
        form_main->listview_main->selectRow(0);
        fixture::onNextModal([](QDialog *d) {
            QVERIFY(combo(d, "book_reader")->currentText().isEmpty());
            QVERIFY(!combo(d, "book_reader")->isEnabled() && !date(d, "book_loand")->isEnabled());
            edit(d, "book_name")->setText(QStringLiteral("乱改"));
            radio(d, "book_loan3")->click();
            click(d, "button_add");
        });
        form_main->showBookDetails();
        form_main->listview_main->selectRow(1);
        fixture::onNextModal([&](QDialog *d) {
            QCOMPARE(combo(d, "book_reader")->currentText(), QStringLiteral("小王"));
            QVERIFY(combo(d, "book_reader")->isEnabled() && date(d, "book_loand")->isEnabled());
            QCOMPARE(date(d, "book_loand")->date(), QDate(2021, 3, 4));
            QCOMPARE(fixture::child<QPlainTextEdit>(d, "book_note")->toPlainText(), summary);
            QVERIFY(radio(d, "book_rating5")->isChecked() && radio(d, "book_loan2")->isChecked());
            click(d, "button_add");
        });
        form_main->showBookDetails();
        QCOMPARE(fixture::column(file(), QStringLiteral("select book_name || book_loan from book order by book_id")),
                 (QStringList{"自己的1", "借来的2"}));
        QCOMPARE(list()->cell(0, 0), QStringLiteral("自己的"));
        QVERIFY(msg::takeShown().isEmpty());
    }

    void modificationMeetsAChangeByAnotherProgram_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("sameField");
        QTest::newRow("answered no") << false << false;
        QTest::newRow("answered yes: both changes stay") << true << false;
        QTest::newRow("answered yes, same field: the user's text") << true << true;
    }
    void modificationMeetsAChangeByAnotherProgram()
    {
        QFETCH(bool, yes);
        QFETCH(bool, sameField);
        seed(QStringLiteral("insert into book (book_name, book_pages, book_rating, book_loan, book_readed)"
                            " values ('原名', 100, 1, 1, 1)"));
        start();
        form_main->listview_main->selectRow(0);
        const QStringList rowBefore = list()->rowTexts(0);
        auto other = fixture::OtherProgram::withSql(file());
        withDialog("meeditbook", [&](QDialog *d) {
            // Another program saves a change while the dialog is open.
            QCOMPARE(other->run(QStringLiteral("UPDATE book SET book_name='别处改的', book_loan=3,"
                                               " book_reader='老王'")),
                     QStringLiteral("ok"));
            if (sameField)
                edit(d, "book_name")->setText(QStringLiteral("我改的"));
            else
                edit(d, "book_pages")->setText(QStringLiteral(" 320 "));
            msg::setNextAnswer(yes);
            click(d, "button_add");
            QCOMPARE(d->isVisible(), !yes);
        });
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].kind == msg::Kind::Question, qPrintable(shown[0].text));
        // It says what the other program changed.
        for (const char *change :
             {"书名：“原名” → “别处改的”", "借入借出：“自己拥有” → “已借出”", "关系人：（空） → “老王”"})
            QVERIFY2(shown[0].text.contains(QString::fromUtf8(change)), qPrintable(shown[0].text));
        QVERIFY2(!shown[0].text.contains(QStringLiteral("页数")), qPrintable(shown[0].text));

        const QString name = stored(QStringLiteral("book_name"));
        if (!yes) {
            QCOMPARE(name, QStringLiteral("别处改的"));
            QCOMPARE(stored(QStringLiteral("book_pages")), QStringLiteral("100"));
            QCOMPARE(list()->rowTexts(0), rowBefore);
            return;
        }
        // Only what the user changed is written; the row shows the book as
        // stored, the other program's change included.
        QCOMPARE(name, sameField ? QStringLiteral("我改的") : QStringLiteral("别处改的"));
        QCOMPARE(stored(QStringLiteral("book_pages")), sameField ? QStringLiteral("100") : QStringLiteral("320"));
        QCOMPARE(stored(QStringLiteral("book_loan || book_reader")), QStringLiteral("3老王"));
        const QStringList row = list()->rowTexts(0);
        QCOMPARE(row[0], name);
        QCOMPARE(row[8], sameField ? QStringLiteral("100") : QStringLiteral("320"));
        QCOMPARE(row.mid(13, 3), (QStringList{"已借出", "已读", "老王"}));
        QVERIFY(other->finish());
    }

    void untouchedFieldsKeepWhatIsStored()
    {
        // Values another program wrote that the dialog cannot show as they
        // are: dates it cannot read, a summary with bare line ends.
        seed(
            QStringLiteral("insert into book (book_name, book_isbn, book_pubd, book_buyd, book_rating, book_loan,"
                           " book_readed, book_note) values ('旧名', 'ISBN ０３０６４０６１５２', '2003-13-45', '某天',"
                           " 2, 1, 2, '甲' || char(10) || '乙')"));
        start();
        form_main->listview_main->selectRow(0);
        withDialog("meeditbook", [](QDialog *d) {
            // Passing through the ISBN box tidies nothing that was not typed.
            edit(d, "book_isbn")->setFocus();
            edit(d, "book_name")->setFocus();
            edit(d, "book_name")->setText(QStringLiteral("新名"));
            click(d, "button_add");
            QVERIFY(!d->isVisible());
        });
        for (const msg::Shown &m : msg::takeShown())
            QFAIL(qPrintable(m.text));
        QCOMPARE(stored(QStringLiteral("book_name")), QStringLiteral("新名"));
        QCOMPARE(stored(QStringLiteral("book_isbn")), QStringLiteral("ISBN ０３０６４０６１５２"));
        QCOMPARE(stored(QStringLiteral("book_pubd")), QStringLiteral("2003-13-45"));
        QCOMPARE(stored(QStringLiteral("book_buyd")), QStringLiteral("某天"));
        QCOMPARE(stored(QStringLiteral("book_rating || book_loan || book_readed")), QStringLiteral("212"));
        QCOMPARE(stored(QStringLiteral("hex(book_note)")), QStringLiteral("E794B20AE4B999"));
        QCOMPARE(list()->cell(0, 0), QStringLiteral("新名"));
    }

    void theDuplicateQuestionIsChineseAndDefaultsToNo()
    {
        // The real box, not a scripted answer: Enter takes its default.
        seed(QStringLiteral("insert into book (book_name, book_author) values ('边城', '沈从文')"));
        start();
        withDialog("meaddbook", [](QDialog *d) {
            type(d, "book_name", QStringLiteral("边城"));
            type(d, "book_author", QStringLiteral("沈从文"));
            msg::setScripted(false);
            QString asked;
            fixture::onNextModal([&](QDialog *box) {
                const auto closed = qScopeGuard([box] { box->reject(); });
                auto *question = qobject_cast<QMessageBox *>(box);
                QVERIFY(question);
                asked = question->windowTitle() + QLatin1Char('|') + question->text();
                QStringList buttons;
                for (QAbstractButton *b : question->buttons())
                    buttons << b->text();
                buttons.sort();
                QCOMPARE(buttons, (QStringList{"否(&N)", "是(&Y)"}));
                QCOMPARE(question->defaultButton()->text(), QStringLiteral("否(&N)"));
                QTest::keyClick(question, Qt::Key_Return);
            });
            click(d, "button_add");
            msg::setScripted(true);
            QVERIFY2(asked.startsWith(QStringLiteral("提示|数据文件中已经有这本书")), qPrintable(asked));
            QVERIFY(d->isVisible());
        });
        QCOMPARE(fixture::value(dataFile(), QStringLiteral("select count(*) from book")), QStringLiteral("1"));
    }

    void aHugeOneLineSummaryIsShownInPiecesAndKeptExactly()
    {
        // 300,000 characters with nowhere to wrap, a no-break space, then a
        // second line: the windows hold it in short paragraphs (a long one
        // takes seconds to lay out) and give every character back.
        seed(QStringLiteral("insert into book (book_name, book_note) values ('长简介',"
                            " '甲' || char(160) || replace(hex(zeroblob(150000)), '0', 'x') || char(13, 10) || '乙')"));
        const QString storedNote = stored(QStringLiteral("book_note"));
        QCOMPARE(storedNote.size(), 300005);
        const auto heldInPieces = [](QDialog *d) {
            auto *note = fixture::child<SummaryEdit>(d, "book_note");
            QCOMPARE(note->text().size(), 300004);
            for (QTextBlock b = note->document()->firstBlock(); b.isValid(); b = b.next())
                QVERIFY(b.length() <= 4001);
        };
        start();
        form_main->listview_main->selectRow(0);
        fixture::onNextModal([&](QDialog *d) {
            heldInPieces(d);
            click(d, "button_add");
        });
        form_main->showBookDetails();
        withDialog("meeditbook", [&](QDialog *d) {
            heldInPieces(d);
            auto *note = fixture::child<SummaryEdit>(d, "book_note");
            note->moveCursor(QTextCursor::End);
            note->insertPlainText(QStringLiteral("丙"));
            click(d, "button_add");
            QVERIFY(!d->isVisible());
        });
        for (const msg::Shown &m : msg::takeShown())
            QFAIL(qPrintable(m.text));
        QVERIFY(stored(QStringLiteral("book_note")) == storedNote + QStringLiteral("丙"));
    }

    void detailsOfABookDeletedElsewhere()
    {
        seed(QStringLiteral("insert into book (book_name, book_rating, book_loan, book_readed, book_reader, book_loand)"
                            " values ('看过的', 1, 3, 1, '小王', '2021-03-04'), ('被删的', 1, 1, 1, NULL, NULL)"));
        start();
        form_main->listview_main->selectRow(0);
        fixture::onNextModal([](QDialog *d) { click(d, "button_add"); });
        form_main->showBookDetails();
        seed(QStringLiteral("delete from book where book_name='被删的'"));
        form_main->listview_main->selectRow(1);
        form_main->showBookDetails();
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.contains(QStringLiteral("已不在数据文件中")), qPrintable(shown[0].text));
        QTRY_VERIFY(!form_bookbase->isVisible());
        // Nothing of the book shown before stays in the window.
        QVERIFY(edit(form_bookbase, "book_name")->text().isEmpty());
        QVERIFY(combo(form_bookbase, "book_reader")->currentText().isEmpty());
        QVERIFY(!date(form_bookbase, "book_loand")->hasDate());
    }

    void longTextsAreRefusedNotCut()
    {
        const QString longTitle = QStringLiteral("长").repeated(40000);
        seed(QStringLiteral("insert into book (book_name, book_rating, book_loan, book_readed) values ('%1', 1, 1, 1)")
                 .arg(longTitle));
        start();
        form_main->listview_main->selectRow(0);
        withDialog("meeditbook", [&](QDialog *d) {
            // Shown whole, and kept when it is not what the user changed.
            QCOMPARE(edit(d, "book_name")->text(), longTitle);
            edit(d, "book_isbn")->setText(QStringLiteral("7-5327-3316-9"));
            click(d, "button_add");
            QVERIFY(!d->isVisible());
        });
        QCOMPARE(stored(QStringLiteral("length(book_name) || '|' || book_isbn")),
                 QStringLiteral("40000|7-5327-3316-9"));
        withDialog("meaddbook", [&](QDialog *d) {
            type(d, "book_name", QStringLiteral("新书"));
            type(d, "book_pub", QStringLiteral("社").repeated(33000));
            click(d, "button_add");
            QVERIFY(d->isVisible());
            QCOMPARE(combo(d, "book_pub")->currentText().size(), 33000);
        });
        const QList<msg::Shown> shown = msg::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.contains(QStringLiteral("“出版社”太长")) &&
                     shown[0].text.contains(QStringLiteral("33,000")),
                 qPrintable(shown[0].text));
        QCOMPARE(fixture::value(file(), QStringLiteral("select count(*) from book")), QStringLiteral("1"));
    }

    void formDestroyedWithTheFocusInside()
    {
        // A book form deleted while one of its controls has the focus: the
        // focus leaves that control as it goes, and the group highlight must
        // no longer look at the form, whose lists are already gone (under
        // the address sanitizer this read freed memory).
        start();
        for (FormDialog *dialog : {static_cast<FormDialog *>(form_addbook), static_cast<FormDialog *>(form_modbook)}) {
            dialog->show();
            QApplication::setActiveWindow(dialog);
            edit(dialog, "book_isbn")->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(edit(dialog, "book_isbn")));
            delete dialog->findChild<BookForm *>();
            QVERIFY(!QApplication::focusWidget() || !dialog->isAncestorOf(QApplication::focusWidget()));
            dialog->hide();
        }
    }
};

QTEST_MAIN(BooksTest)
#include "tst_books.moc"
