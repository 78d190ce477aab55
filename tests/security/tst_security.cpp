// The password dialog: setting, changing and removing the start-up password,
// through the real dialog and then through a real start-up.
#include "components/messages.h"
#include "main/form_main.h"
#include "security/form_passwd.h"
#include "security/form_welcome.h"
#include "support/guitest.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QLineEdit *box(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
}

QPushButton *button(QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QString::fromLatin1(name));
}

// Types text as key presses; a Chinese character comes as a key press that
// carries only its text, as an input method hands it over.
void type(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(widget, char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// What the dialog looked like while a step ran in it.
struct Seen
{
    bool oldShown = false;
    QString focus;
    QStringList texts; // the three boxes, after typing
    bool openAfterOk = false;
};

} // namespace

class SecurityTest : public fixture::GuiTest
{
    Q_OBJECT

private:
    QString stored() const { return fixture::value(folder->dataFile(), QStringLiteral("select reg_passwd from reg")); }
    void store(const QString &password)
    {
        fixture::exec(folder->dataFile(), QStringLiteral("update reg set reg_passwd='%1'").arg(password));
    }

    // Opens the dialog by its command, types into the boxes that are shown and
    // clicks "确定"; a dialog still open after that is left by "取消".
    static Seen changePassword(const QString &old, const QString &password, const QString &repeated)
    {
        Seen seen;
        fixture::onNextModal([&](QDialog *dialog) {
            QLineEdit *oldBox = box(dialog, "edit_old");
            seen.oldShown = oldBox->isVisible();
            seen.focus = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
            if (seen.oldShown)
                type(oldBox, old);
            type(box(dialog, "edit_new"), password);
            type(box(dialog, "edit_new2"), repeated);
            QTest::mouseClick(button(dialog, "button_ok"), Qt::LeftButton);
            seen.openAfterOk = dialog->isVisible();
            seen.texts = {oldBox->text(), box(dialog, "edit_new")->text(), box(dialog, "edit_new2")->text()};
            if (dialog->isVisible())
                QTest::mouseClick(button(dialog, "button_cancel"), Qt::LeftButton);
        });
        trigger("mtpasswd");
        return seen;
    }

    // A new start of the program on the same data file; true when the login
    // with this text lets the user in.
    bool startAndLogIn(const QString &typed, bool *boxShown = nullptr)
    {
        windows.reset();
        windows = std::make_unique<fixture::Windows>();
        auto *edit = form_welcome->findChild<QLineEdit *>(QStringLiteral("edit_passwd"));
        if (boxShown)
            *boxShown = !edit->isHidden();
        fixture::onNextModal([edit, typed](QDialog *dialog) {
            if (!edit->isHidden())
                type(edit, typed);
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("button_ok")), Qt::LeftButton);
        });
        const bool in = form_main->logIn();
        msg::takeShown();
        return in;
    }

private Q_SLOTS:
    void layoutAndShowing()
    {
        windows = std::make_unique<fixture::Windows>();
        QCOMPARE(form_passwd->windowTitle(), QStringLiteral("数据库密码"));
        QCOMPARE(form_passwd->size(), QSize(207, 139));
        QCOMPARE(form_passwd->minimumSize(), form_passwd->maximumSize());
        const struct
        {
            const char *name;
            QRect geometry;
        } edits[] = {{"edit_old", {80, 8, 97, 20}}, {"edit_new", {80, 40, 97, 20}}, {"edit_new2", {80, 72, 97, 20}}};
        for (const auto &e : edits) {
            QCOMPARE(box(form_passwd, e.name)->geometry(), e.geometry);
            QCOMPARE(box(form_passwd, e.name)->echoMode(), QLineEdit::Password);
        }
        QCOMPARE(button(form_passwd, "button_ok")->geometry(), QRect(40, 104, 49, 25));
        QCOMPARE(button(form_passwd, "button_ok")->text(), QStringLiteral("确定"));
        QCOMPARE(button(form_passwd, "button_cancel")->geometry(), QRect(112, 104, 49, 25));
        QCOMPARE(button(form_passwd, "button_cancel")->text(), QStringLiteral("取消"));

        // No password: the old-password line is hidden and the focus is on the
        // new password; the tab order goes on to "取消", then "确定".
        QStringList order;
        bool oldHidden = false;
        QString masked;
        fixture::onNextModal([&](QDialog *dialog) {
            oldHidden = dialog->findChild<QLabel *>(QStringLiteral("label1"))->isHidden() &&
                        box(dialog, "edit_old")->isHidden();
            for (int i = 0; i < 4 && dialog->focusWidget(); ++i) {
                order << dialog->focusWidget()->objectName();
                QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
            }
            type(box(dialog, "edit_new"), QStringLiteral("left over"));
            masked = box(dialog, "edit_new")->displayText();
            dialog->close(); // the title bar's close box
        });
        trigger("mtpasswd");
        QVERIFY(oldHidden);
        QCOMPARE(masked, QStringLiteral("*********"));
        QCOMPARE(order, QStringList({QStringLiteral("edit_new"), QStringLiteral("edit_new2"),
                                     QStringLiteral("button_cancel"), QStringLiteral("button_ok")}));

        // With a password set, the next showing asks for the old one first and
        // starts with every box empty.
        store(QStringLiteral("abc"));
        Seen seen = changePassword(QString(), QString(), QString());
        QVERIFY(seen.oldShown);
        QCOMPARE(seen.focus, QStringLiteral("edit_old"));
        QCOMPARE(seen.texts, QStringList({QString(), QString(), QString()}));
        QVERIFY(form_passwd->findChild<QLabel *>(QStringLiteral("label1"))->isVisibleTo(form_passwd));
    }

    void passwordChecks_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("repeated");
        QTest::addColumn<QString>("message"); // "" when the change is stored
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("after");

        const QString tooLong = QStringLiteral("密码长度最长为10位,请确认...");
        const QString input = QStringLiteral("输入错误");
        const QString wrongOld = QStringLiteral("原密码不对,请确认...");
        const QString oldCaption = QStringLiteral("原密码错误");
        const QString differ = QStringLiteral("两次输入的新密码不一致,请确认...");
        const QString newCaption = QStringLiteral("新密码错误");

        QTest::newRow("none set") << ""
                                  << ""
                                  << "abc"
                                  << "abc"
                                  << ""
                                  << ""
                                  << "abc";
        QTest::newRow("exactly 10 bytes") << ""
                                          << ""
                                          << "abcdefghij"
                                          << "abcdefghij"
                                          << ""
                                          << ""
                                          << "abcdefghij";
        QTest::newRow("11 bytes") << ""
                                  << ""
                                  << "abcdefghijk"
                                  << "abcdefghijk" << tooLong << input << "";
        QTest::newRow("only the repetition 11 bytes") << ""
                                                      << ""
                                                      << "abcdefghij"
                                                      << "abcdefghijk" << tooLong << input << "";
        QTest::newRow("five Chinese characters") << ""
                                                 << ""
                                                 << "春眠不觉晓"
                                                 << "春眠不觉晓"
                                                 << ""
                                                 << ""
                                                 << "春眠不觉晓";
        QTest::newRow("six Chinese characters") << ""
                                                << ""
                                                << "春眠不觉晓处"
                                                << "春眠不觉晓处" << tooLong << input << "";
        QTest::newRow("four Chinese and two letters") << ""
                                                      << ""
                                                      << "春眠不觉ab"
                                                      << "春眠不觉ab"
                                                      << ""
                                                      << ""
                                                      << "春眠不觉ab";
        QTest::newRow("too long before a wrong old password") << "old"
                                                              << "wrong"
                                                              << "abcdefghijk"
                                                              << "abcdefghijk" << tooLong << input << "old";
        QTest::newRow("wrong old password") << "old"
                                            << "wrong"
                                            << "new"
                                            << "new" << wrongOld << oldCaption << "old";
        QTest::newRow("old password in other case") << "Old"
                                                    << "old"
                                                    << "new"
                                                    << "new" << wrongOld << oldCaption << "Old";
        QTest::newRow("old password with a trailing blank") << "old"
                                                            << "old "
                                                            << "new"
                                                            << "new" << wrongOld << oldCaption << "old";
        QTest::newRow("wrong old password before different new ones") << "old"
                                                                      << "wrong"
                                                                      << "new"
                                                                      << "New" << wrongOld << oldCaption << "old";
        QTest::newRow("repetition in other case") << "old"
                                                  << "old"
                                                  << "New"
                                                  << "new" << differ << newCaption << "old";
        QTest::newRow("repetition with a trailing blank") << "old"
                                                          << "old"
                                                          << "new"
                                                          << "new " << differ << newCaption << "old";
        QTest::newRow("changed") << "old"
                                 << "old"
                                 << "New 1"
                                 << "New 1"
                                 << ""
                                 << ""
                                 << "New 1";
        QTest::newRow("trailing blank kept") << ""
                                             << ""
                                             << "ab "
                                             << "ab "
                                             << ""
                                             << ""
                                             << "ab ";
        QTest::newRow("empty new password removes it") << "old"
                                                       << "old"
                                                       << ""
                                                       << ""
                                                       << ""
                                                       << ""
                                                       << "";
    }
    void passwordChecks()
    {
        QFETCH(QString, before);
        QFETCH(QString, old);
        QFETCH(QString, password);
        QFETCH(QString, repeated);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        QFETCH(QString, after);

        store(before);
        QVERIFY(startAndLogIn(before));
        const Seen seen = changePassword(old, password, repeated);
        QCOMPARE(seen.oldShown, !before.isEmpty());

        const QList<msg::Shown> shown = msg::takeShown();
        if (message.isEmpty()) {
            QVERIFY(shown.isEmpty());
            QVERIFY(!seen.openAfterOk);
        } else {
            QCOMPARE(shown.size(), 1);
            QCOMPARE(int(shown[0].kind), int(msg::Kind::Plain));
            QCOMPARE(shown[0].text, message);
            QCOMPARE(shown[0].caption, caption);
            // The dialog stays open with everything the user typed.
            QVERIFY(seen.openAfterOk);
            QCOMPARE(seen.texts, QStringList({before.isEmpty() ? QString() : old, password, repeated}));
        }
        QCOMPARE(stored(), after);

        // The next start asks for exactly what is stored now.
        bool boxShown = false;
        QVERIFY(startAndLogIn(after, &boxShown));
        QCOMPARE(boxShown, !after.isEmpty());
        if (!after.isEmpty() && after != before)
            QVERIFY(!startAndLogIn(before));
        if (!after.isEmpty())
            QVERIFY(!startAndLogIn(after + QLatin1Char(' ')));
    }

    void cancelStoresNothing_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("取消") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("Escape") << 2;
    }
    void cancelStoresNothing()
    {
        QFETCH(int, how);
        store(QStringLiteral("old"));
        windows = std::make_unique<fixture::Windows>();
        fixture::onNextModal([how](QDialog *dialog) {
            type(box(dialog, "edit_old"), QStringLiteral("old"));
            type(box(dialog, "edit_new"), QStringLiteral("new"));
            type(box(dialog, "edit_new2"), QStringLiteral("new"));
            if (how == 0)
                QTest::mouseClick(button(dialog, "button_cancel"), Qt::LeftButton);
            else if (how == 1)
                dialog->close();
            else
                QTest::keyClick(dialog, Qt::Key_Escape);
        });
        trigger("mtpasswd");
        QVERIFY(!form_passwd->isVisible());
        QCOMPARE(stored(), QStringLiteral("old"));
        QVERIFY(msg::takeShown().isEmpty());
    }

    void missingDataFileIsReportedAndNothingWritten()
    {
        windows = std::make_unique<fixture::Windows>();
        QVERIFY(QFile::remove(folder->dataFile()));
        changePassword(QString(), QStringLiteral("abc"), QStringLiteral("abc"));
        const QList<msg::Shown> shown = msg::takeShown();
        QVERIFY(!shown.isEmpty());
        for (const msg::Shown &s : shown) {
            QCOMPARE(int(s.kind), int(msg::Kind::Error));
            QVERIFY2(s.text.contains(QStringLiteral("data.qmd")), qPrintable(s.text));
        }
        QVERIFY(!QFileInfo::exists(folder->dataFile()));
    }
};

QTEST_MAIN(SecurityTest)
#include "tst_security.moc"
