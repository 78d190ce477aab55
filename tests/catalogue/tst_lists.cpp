#include "registry.h"

#include "catalogue/catalogue.h"
#include "store/usererror.h"
#include "support/fixture.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// A column of every row as stored, zeros and all: a zero character as <0>,
// no value as <null>.
QStringList stored(const QString &file, const QString &column, const QString &table)
{
    QStringList texts;
    const QString sql = QStringLiteral("select case when %1 is null then 'null' else 'x' || hex(%1) end from %2"
                                       " order by rowid")
                            .arg(column, table);
    for (const QString &hex : fixture::column(file, sql))
        texts << (hex == QLatin1String("null") ? QStringLiteral("<null>")
                                               : QString::fromUtf8(QByteArray::fromHex(hex.mid(1).toLatin1()))
                                                     .replace(QChar(0), QStringLiteral("<0>")));
    return texts;
}

// The text a test row writes with <0> for a zero character.
QString withZeros(const QString &text)
{
    return QString(text).replace(QStringLiteral("<0>"), QString(QChar(0)));
}

// The message of the error the work raises; "" when it raises none.
template <class Work> QString errorOf(Work &&work)
{
    try {
        work();
    } catch (const UserError &e) {
        return e.message();
    }
    return QString();
}

// Categories 小说, O'Reilly, 小说 (a second row), a zero inside a name, a
// category of no value, and the empty name; books filed under names that
// differ from them only in case, blanks or what follows a zero.
const QString kCategories = QStringLiteral(
    "insert into category (cate_name) values ('小说'), ('O''Reilly'), ('小说'), ('小说'||char(0)||'续'), (NULL),"
    " ('');"
    "insert into book (book_name, book_cate) values ('a', '小说'), ('b', '小说 '), ('c', ' 小说'),"
    " ('d', 'o''reilly'), ('e', 'O''Reilly'), ('f', '小说'||char(0)||'续'), ('g', NULL), ('h', '');");

} // namespace

// The categories, the three name lists and the start-up password, each
// operation on small catalogues, as another program would find the file.
class ListsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addCategory_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "游记";
        QTest::newRow("quotes") << "It's \"new\"";
        QTest::newRow("zero inside") << "上<0>下";
        QTest::newRow("empty") << "";
        QTest::newRow("stored already") << "小说";
    }
    void addCategory()
    {
        QFETCH(QString, name);
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(), kCategories);
        const QStringList before = stored(folder.dataFile(), QStringLiteral("cate_name"), QStringLiteral("category"));
        Catalogue catalogue(folder.dataFile());
        QSignalSpy changed(&catalogue, &Catalogue::categoriesChanged);
        catalogue.addCategory(withZeros(name));
        QCOMPARE(changed.size(), 1);
        // One row more, at the end, as given; nothing checked against the others.
        QCOMPARE(stored(folder.dataFile(), QStringLiteral("cate_name"), QStringLiteral("category")),
                 before + QStringList{name});
        QCOMPARE(catalogue.categoryNames().last(), withZeros(name));
    }

    void renameCategory_data()
    {
        QTest::addColumn<QString>("oldName");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<QStringList>("books");

        // Seeded (kCategories): categories 小说, O'Reilly, 小说, 小说<0>续,
        // <null>, ""; books a..h filed under 小说, "小说 ", " 小说", o'reilly,
        // O'Reilly, 小说<0>续, <null>, "".
        QTest::newRow("first of two, exactly its books")
            << "小说"
            << "文学" << QStringList{"文学", "O'Reilly", "小说", "小说<0>续", "<null>", ""}
            << QStringList{"文学", "小说 ", " 小说", "o'reilly", "O'Reilly", "小说<0>续", "<null>", ""};
        QTest::newRow("quotes, case counts")
            << "O'Reilly"
            << "It's" << QStringList{"小说", "It's", "小说", "小说<0>续", "<null>", ""}
            << QStringList{"小说", "小说 ", " 小说", "o'reilly", "It's", "小说<0>续", "<null>", ""};
        QTest::newRow("zero inside: the whole name")
            << "小说<0>续"
            << "续篇" << QStringList{"小说", "O'Reilly", "小说", "续篇", "<null>", ""}
            << QStringList{"小说", "小说 ", " 小说", "o'reilly", "O'Reilly", "续篇", "<null>", ""};
        QTest::newRow("onto another name")
            << "O'Reilly"
            << "小说" << QStringList{"小说", "小说", "小说", "小说<0>续", "<null>", ""}
            << QStringList{"小说", "小说 ", " 小说", "o'reilly", "小说", "小说<0>续", "<null>", ""};
        // The empty name is the empty row's, never the one of no value, and
        // moves only the books of the empty name.
        QTest::newRow("empty name") << ""
                                    << "未分类"
                                    << QStringList{"小说", "O'Reilly", "小说", "小说<0>续", "<null>", "未分类"}
                                    << QStringList{"小说",     "小说 ",     " 小说",  "o'reilly",
                                                   "O'Reilly", "小说<0>续", "<null>", "未分类"};
        // No category of the name (typed by hand): the new name is added and
        // the books of the old one still move.
        QTest::newRow("no such category")
            << "小说 "
            << "散文" << QStringList{"小说", "O'Reilly", "小说", "小说<0>续", "<null>", "", "散文"}
            << QStringList{"小说", "散文", " 小说", "o'reilly", "O'Reilly", "小说<0>续", "<null>", ""};
    }
    void renameCategory()
    {
        QFETCH(QString, oldName);
        QFETCH(QString, newName);
        QFETCH(QStringList, categories);
        QFETCH(QStringList, books);
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(), kCategories);
        Catalogue catalogue(folder.dataFile());
        QSignalSpy changed(&catalogue, &Catalogue::categoriesChanged);
        catalogue.renameCategory(withZeros(oldName), withZeros(newName));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(stored(folder.dataFile(), QStringLiteral("cate_name"), QStringLiteral("category")), categories);
        QCOMPARE(stored(folder.dataFile(), QStringLiteral("book_cate"), QStringLiteral("book")), books);
    }

    void renameAfterAnotherProgramRemovedTheCategory()
    {
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(),
                      QStringLiteral("insert into category (cate_name) values ('小说'), ('诗歌');"
                                     "insert into book (book_name, book_cate) values ('a', '诗歌')"));
        Catalogue catalogue(folder.dataFile());
        QCOMPARE(catalogue.categoryNames(), (QStringList{"小说", "诗歌"})); // the file is open
        fixture::exec(folder.dataFile(), QStringLiteral("delete from category where cate_name = '诗歌'"));

        QSignalSpy changed(&catalogue, &Catalogue::categoriesChanged);
        catalogue.renameCategory(QStringLiteral("诗歌"), QStringLiteral("诗集"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(catalogue.categoryNames(), (QStringList{"小说", "诗集"}));
        QCOMPARE(fixture::column(folder.dataFile(), QStringLiteral("select book_cate from book")),
                 QStringList{QStringLiteral("诗集")});
    }

    void renameIsWholeOrNothing()
    {
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(),
                      QStringLiteral("insert into category (cate_name) values ('小说');"
                                     "insert into book (book_name, book_cate) values ('a', '小说'), ('b', '小说');"
                                     // The second book's move fails, after the row and the first book.
                                     "create trigger full_disk before update of book_cate on book"
                                     " when (select count(*) from book where book_cate = '文学') >= 1"
                                     " begin select raise(abort, '磁盘已满'); end;"));
        Catalogue catalogue(folder.dataFile());
        QSignalSpy changed(&catalogue, &Catalogue::categoriesChanged);
        const QString error =
            errorOf([&] { catalogue.renameCategory(QStringLiteral("小说"), QStringLiteral("文学")); });
        QVERIFY2(error.contains(QStringLiteral("磁盘已满")), qPrintable(error));
        QCOMPARE(changed.size(), 0);
        QCOMPARE(catalogue.categoryNames(), QStringList{QStringLiteral("小说")});
        QCOMPARE(fixture::column(folder.dataFile(), QStringLiteral("select book_cate from book")),
                 (QStringList{"小说", "小说"}));

        // Nothing is left held: the same rename succeeds once the cause is gone.
        fixture::exec(folder.dataFile(), QStringLiteral("drop trigger full_disk"));
        catalogue.renameCategory(QStringLiteral("小说"), QStringLiteral("文学"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(fixture::column(folder.dataFile(), QStringLiteral("select book_cate from book")),
                 (QStringList{"文学", "文学"}));
    }

    void removeCategory_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        QTest::addColumn<QStringList>("categories");

        // Seeded: kCategories, then 空的 and "小说 " with no book of their own
        // (a book of "小说 " is there: see below).
        const QStringList all{"小说", "O'Reilly", "小说", "小说<0>续", "<null>", "", "空的", "小说 "};
        QTest::newRow("holds a book") << "小说" << false << all;
        QTest::newRow("zero inside holds a book") << "小说<0>续" << false << all;
        QTest::newRow("empty name holds a book") << "" << false << all;
        QTest::newRow("no book") << "空的" << true
                                 << QStringList{"小说", "O'Reilly", "小说", "小说<0>续", "<null>", "", "小说 "};
        // A book of "小说 " holds it; books of o'reilly do not hold O'Reilly's
        // twin in another case.
        QTest::newRow("trailing blank holds its book") << "小说 " << false << all;
        QTest::newRow("no such category") << "无此类" << true << all;
    }
    void removeCategory()
    {
        QFETCH(QString, name);
        QFETCH(bool, removed);
        QFETCH(QStringList, categories);
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(),
                      kCategories + QStringLiteral("insert into category (cate_name) values ('空的'), ('小说 ');"));
        Catalogue catalogue(folder.dataFile());
        QSignalSpy changed(&catalogue, &Catalogue::categoriesChanged);
        QCOMPARE(catalogue.removeCategory(withZeros(name)), removed);
        QCOMPARE(changed.size(), removed ? 1 : 0);
        QCOMPARE(stored(folder.dataFile(), QStringLiteral("cate_name"), QStringLiteral("category")), categories);
        QCOMPARE(fixture::value(folder.dataFile(), QStringLiteral("select count(*) from book")), QStringLiteral("8"));
    }

    void caseAndBlanksDoNotHoldACategory()
    {
        // Only books of " 小说", "小说 " and o'reilly: none is filed under
        // 小说 or O'Reilly.
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(), kCategories + QStringLiteral("delete from book where book_cate in"
                                                                      " ('小说', 'O''Reilly');"));
        Catalogue catalogue(folder.dataFile());
        QVERIFY(catalogue.removeCategory(QStringLiteral("小说")));
        QVERIFY(catalogue.removeCategory(QStringLiteral("O'Reilly")));
        QCOMPARE(stored(folder.dataFile(), QStringLiteral("cate_name"), QStringLiteral("category")),
                 (QStringList{"小说", "小说<0>续", "<null>", ""}));
    }

    void removesTheFirstOfEqualNames()
    {
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(), QStringLiteral("insert into category (cate_name) values ('空的'), ('诗歌'),"
                                                        " ('空的')"));
        Catalogue catalogue(folder.dataFile());
        QVERIFY(catalogue.removeCategory(QStringLiteral("空的")));
        QCOMPARE(fixture::column(folder.dataFile(), QStringLiteral("select cate_id || cate_name from category")),
                 (QStringList{"2诗歌", "3空的"}));
    }

    void nameLists_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<QString>("table");
        QTest::newRow("authors") << int(Catalogue::NameList::Authors) << "author";
        QTest::newRow("publishers") << int(Catalogue::NameList::Publishers) << "pub";
        QTest::newRow("readers") << int(Catalogue::NameList::Readers) << "reader";
    }
    void nameLists()
    {
        QFETCH(int, list);
        QFETCH(QString, table);
        const auto names = Catalogue::NameList(list);
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(),
                      QStringLiteral("insert into %1 (%1_id, %1_name) values (9, '乙'), (10, 'O''Brien'), (2, NULL),"
                                     " (4, 'a'||char(0)||'b');"
                                     "insert into book (book_name, book_author, book_pub, book_reader)"
                                     " values ('边城', '乙', '乙', '乙')")
                          .arg(table));
        Catalogue catalogue(folder.dataFile());
        const auto entries = [&] {
            QStringList texts;
            for (const Catalogue::NameEntry &entry : catalogue.nameEntries(names))
                texts << QString::number(entry.number) + u':' +
                             QString(entry.name).replace(QChar(0), QStringLiteral("<0>"));
            return texts;
        };
        // In the store's order, a name of no value as "", zeros kept.
        QCOMPARE(entries(), (QStringList{"2:", "4:a<0>b", "9:乙", "10:O'Brien"}));
        QCOMPARE(catalogue.names(names), (QStringList{"", withZeros("a<0>b"), "乙", "O'Brien"}));

        // Added as given, with the store's next number; equal names are two rows.
        QCOMPARE(catalogue.addName(names, QStringLiteral("It's")), 11);
        QCOMPARE(catalogue.addName(names, QStringLiteral("乙")), 12);
        QCOMPARE(catalogue.addName(names, withZeros(QStringLiteral("<0>"))), 13);
        QCOMPARE(catalogue.addName(names, QString()), 14);

        // Removed by number: exactly that row; a number no row has changes
        // nothing; numbers are not given again.
        catalogue.removeName(names, 9);
        catalogue.removeName(names, 14);
        catalogue.removeName(names, 99);
        QCOMPARE(entries(), (QStringList{"2:", "4:a<0>b", "10:O'Brien", "11:It's", "12:乙", "13:<0>"}));
        QCOMPARE(catalogue.addName(names, QStringLiteral("末")), 15);
        QCOMPARE(stored(folder.dataFile(), table + QStringLiteral("_name"), table),
                 (QStringList{"<null>", "a<0>b", "O'Brien", "It's", "乙", "<0>", "末"}));
        // The books keep the names they store.
        QCOMPARE(fixture::column(folder.dataFile(),
                                 QStringLiteral("select book_author || book_pub || book_reader from book")),
                 QStringList{QStringLiteral("乙乙乙")});
    }

    void passwordMatches_data()
    {
        QTest::addColumn<QString>("stored"); // SQL
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");
        QTest::newRow("none, nothing typed") << "''"
                                             << "" << true;
        QTest::newRow("none, something typed") << "''"
                                               << "x" << false;
        QTest::newRow("no value, nothing typed") << "NULL"
                                                 << "" << true;
        QTest::newRow("no value, blank typed") << "NULL"
                                               << " " << false;
        QTest::newRow("right") << "'Abc 1'"
                               << "Abc 1" << true;
        QTest::newRow("letter case") << "'Abc 1'"
                                     << "abc 1" << false;
        QTest::newRow("trailing blank") << "'Abc 1'"
                                        << "Abc 1 " << false;
        QTest::newRow("missing blank") << "'Abc 1'"
                                       << "Abc1" << false;
        QTest::newRow("nothing typed") << "'Abc 1'"
                                       << "" << false;
        QTest::newRow("chinese") << "'密码'"
                                 << "密码" << true;
        QTest::newRow("quote") << "'it''s'"
                               << "it's" << true;
        QTest::newRow("zero inside") << "'a'||char(0)||'b'"
                                     << "a<0>b" << true;
        QTest::newRow("text before a zero") << "'a'||char(0)||'b'"
                                            << "a" << false;
    }
    void passwordMatches()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, matches);
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(), QStringLiteral("update reg set reg_passwd = %1").arg(stored));
        Catalogue catalogue(folder.dataFile());
        QCOMPARE(catalogue.passwordMatches(withZeros(typed)), matches);
        QCOMPARE(catalogue.hasPassword(), !catalogue.passwordMatches(QString()));
    }

    void noPasswordRowIsAnError()
    {
        // The reg table holds one row; without it nothing is let in unasked.
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(), QStringLiteral("delete from reg"));
        Catalogue catalogue(folder.dataFile());
        QVERIFY(!errorOf([&] { catalogue.passwordMatches(QString()); }).isEmpty());
        QVERIFY(
            !errorOf([&] { catalogue.changePassword(QString(), QStringLiteral("a"), QStringLiteral("a")); }).isEmpty());
        QCOMPARE(fixture::value(folder.dataFile(), QStringLiteral("select count(*) from reg")), QStringLiteral("0"));
    }

    void changePassword_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("repeated");
        QTest::addColumn<int>("outcome");
        using C = Catalogue::PasswordChange;
        const QString emoji = QString::fromUcs4(U"\U0001F600"); // four bytes in GB18030

        QTest::newRow("set") << ""
                             << ""
                             << "abc"
                             << "abc" << int(C::Changed);
        QTest::newRow("changed") << "abc"
                                 << "abc"
                                 << "密码"
                                 << "密码" << int(C::Changed);
        QTest::newRow("removed") << "abc"
                                 << "abc"
                                 << ""
                                 << "" << int(C::Changed);
        QTest::newRow("ten letters") << ""
                                     << ""
                                     << "abcdefghij"
                                     << "abcdefghij" << int(C::Changed);
        QTest::newRow("eleven letters") << ""
                                        << ""
                                        << "abcdefghijk"
                                        << "abcdefghijk" << int(C::TooLong);
        QTest::newRow("five chinese") << ""
                                      << ""
                                      << "一二三四五"
                                      << "一二三四五" << int(C::Changed);
        QTest::newRow("six chinese") << ""
                                     << ""
                                     << "一二三四五六"
                                     << "一二三四五六" << int(C::TooLong);
        QTest::newRow("four-byte characters, ten bytes")
            << ""
            << "" << emoji + emoji + "ab" << emoji + emoji + "ab" << int(C::Changed);
        QTest::newRow("four-byte characters, eleven bytes")
            << ""
            << "" << emoji + emoji + "abc" << emoji + emoji + "abc" << int(C::TooLong);
        QTest::newRow("only the repetition too long") << ""
                                                      << ""
                                                      << "abc"
                                                      << "abcdefghijk" << int(C::TooLong);
        QTest::newRow("too long before a wrong old one") << "abc"
                                                         << "x"
                                                         << "abcdefghijk"
                                                         << "" << int(C::TooLong);
        QTest::newRow("wrong old") << "abc"
                                   << "ABC"
                                   << "new"
                                   << "new" << int(C::WrongOldPassword);
        QTest::newRow("old with a trailing blank") << "abc"
                                                   << "abc "
                                                   << "new"
                                                   << "new" << int(C::WrongOldPassword);
        QTest::newRow("old before repetition") << "abc"
                                               << "x"
                                               << "new"
                                               << "other" << int(C::WrongOldPassword);
        QTest::newRow("not repeated") << "abc"
                                      << "abc"
                                      << "new"
                                      << "New" << int(C::NotRepeated);
        QTest::newRow("repetition with a blank") << ""
                                                 << ""
                                                 << "new"
                                                 << "new " << int(C::NotRepeated);
    }
    void changePassword()
    {
        QFETCH(QString, stored);
        QFETCH(QString, old);
        QFETCH(QString, password);
        QFETCH(QString, repeated);
        QFETCH(int, outcome);
        fixture::ProgramFolder folder;
        fixture::exec(folder.dataFile(), QStringLiteral("update reg set reg_passwd = '%1'").arg(stored));
        Catalogue catalogue(folder.dataFile());
        QCOMPARE(int(catalogue.changePassword(old, password, repeated)), outcome);
        const bool changed = Catalogue::PasswordChange(outcome) == Catalogue::PasswordChange::Changed;
        QCOMPARE(fixture::value(folder.dataFile(), QStringLiteral("select reg_passwd from reg")),
                 changed ? password : stored);
        QCOMPARE(catalogue.passwordMatches(password), changed || password == stored);
    }
};

QM_CATALOGUE_TEST(ListsTest)

#include "tst_lists.moc"
