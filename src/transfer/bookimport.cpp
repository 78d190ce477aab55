#include "bookimport.h"

#include "bookvalues.h"
#include "store/connection.h"
#include "store/dataset.h"
#include "store/usererror.h"

#include <algorithm>

using bookcolumns::Kind;
using bookcolumns::Target;

namespace {

constexpr int field(Target target)
{
    return int(target) - 1;
}

QString textOf(const BookImport::Value &value)
{
    switch (value.kind) {
    case BookImport::Value::Text:
        return value.text.toString();
    case BookImport::Value::Whole:
        return QString::number(value.whole);
    default:
        return QString();
    }
}

} // namespace

BookImport::CatalogueKeys BookImport::CatalogueKeys::read(Dataset &books)
{
    CatalogueKeys keys;
    books.setCommandText(QStringLiteral("select book_id, book_name, book_author, book_isbn from book"));
    books.scan([&](const Dataset::Row &row) {
        const qint64 number = row.value(0).integer;
        const QString isbn = bookvalues::isbnKey(row.value(3).text());
        if (!isbn.isEmpty())
            keys.isbns.insert(isbn, number);
        const QString title = bookvalues::titleKey(row.value(1).text(), row.value(2).text());
        if (!title.isEmpty())
            keys.titles.insert(title, number);
    });
    return keys;
}

BookImport::BookImport(CsvTable table, const QString &path)
    : m_table(std::move(table))
    , m_path(path)
{
    for (int c = 0; c < m_table.columnCount(); ++c)
        m_targets.push_back(bookcolumns::targetOf(m_table.header(c)));
    findDirectFields();
    if (!importsAnything())
        throw UserError(QStringLiteral("无法导入文件%1：它的第一行不是可以识别的标题行。\n"
                                       "第一行应当是各列的名称，例如“书名”“作者”或者“Title”“Author”。")
                            .arg(describeFile(path)));
    if (m_table.recordCount() == 0)
        throw UserError(QStringLiteral("无法导入文件%1：文件中只有标题行，没有书籍。").arg(describeFile(path)));
    m_judgements.resize(size_t(m_table.recordCount()));
}

void BookImport::setTarget(int column, bookcolumns::Target target)
{
    m_targets.at(size_t(column)) = target;
    findDirectFields();
}

void BookImport::findDirectFields()
{
    m_direct.fill(false);
    for (const Target t : m_targets)
        if (bookcolumns::columnOf(t) > 0)
            m_direct[size_t(field(t))] = true;
}

bool BookImport::importsAnything() const
{
    return std::any_of(m_targets.begin(), m_targets.end(), [](Target t) { return t != Target::None; });
}

bool BookImport::book(int record, Book &out, Problem *problem) const
{
    out = Book{};
    bool ok = true;
    // The first column that gives a field a value that is not empty wins;
    // an empty text only fills a field that has no value yet.
    auto put = [&](Target target, const Value &value) {
        Value &slot = out[size_t(field(target))];
        if (slot.kind == Value::None || (slot.isEmpty() && !value.isEmpty()))
            slot = value;
    };
    // Told under the file's own name of the column.
    int c = 0;
    auto fail = [&](QStringView raw, const QString &heading, const QString &detail) {
        if (ok && problem) {
            const QString name = m_table.header(c).trimmed().toString();
            problem->heading = name + QStringLiteral("：") + heading;
            problem->detail = QStringLiteral("%1：“%2”%3").arg(name, raw.toString(), detail);
        }
        ok = false;
    };
    const QString notDate = QStringLiteral("日期无法识别");
    const QString notDateDetail = QStringLiteral("无法识别为日期");
    auto whole = [](qint64 number) {
        Value v;
        v.kind = Value::Whole;
        v.whole = number;
        return v;
    };

    for (; c < int(m_targets.size()); ++c) {
        const Target target = m_targets[size_t(c)];
        if (target == Target::None)
            continue;
        const QStringView raw = m_table.field(record, c);
        const QStringView plain = bookvalues::unwrapFormula(raw).trimmed();
        const int column = bookcolumns::columnOf(target);
        if (column >= 0) {
            const Kind kind = bookcolumns::kind(column);
            if (kind == Kind::Text) {
                Value v;
                if (!raw.isEmpty() || m_table.isQuoted(record, c)) {
                    v.kind = Value::Text;
                    v.text = target == Target::Isbn ? bookvalues::unwrapFormula(raw) : raw;
                }
                put(target, v);
                continue;
            }
            if (plain.isEmpty())
                continue;
            if (kind == Kind::Date) {
                Value v;
                v.kind = Value::Date;
                v.date = bookvalues::readDate(plain);
                if (v.date.isValid())
                    put(target, v);
                else
                    fail(raw, notDate, notDateDetail);
                continue;
            }
            const std::optional<qint64> number = kind == Kind::Whole    ? bookvalues::readWhole(plain)
                                                 : kind == Kind::Rating ? bookvalues::readRating(plain)
                                                 : kind == Kind::Loan   ? bookvalues::readLoan(plain)
                                                                        : bookvalues::readRead(plain);
            if (number)
                put(target, whole(*number));
            else if (kind == Kind::Whole)
                fail(raw, QStringLiteral("不是整数"), QStringLiteral("不是整数"));
            else
                fail(raw, QStringLiteral("无法识别"), QStringLiteral("无法识别"));
            continue;
        }
        switch (target) {
        case Target::Stars:
            if (plain.isEmpty())
                break;
            if (const std::optional<qint64> code = bookvalues::readStars(plain)) {
                if (*code != 0)
                    put(Target::Rating, whole(*code));
            } else {
                fail(raw, QStringLiteral("不是0到5的整数"), QStringLiteral("不是0到5的整数"));
            }
            break;
        case Target::Shelves: {
            const bookvalues::Shelves shelves = bookvalues::readShelves(raw);
            if (shelves.read != 0)
                put(Target::Read, whole(shelves.read));
            if (!shelves.category.isEmpty()) {
                Value v;
                v.kind = Value::Text;
                v.text = shelves.category;
                put(Target::Cate, v);
            }
            break;
        }
        case Target::ReadDate:
            if (plain.isEmpty())
                break;
            if (bookvalues::readDate(plain).isValid())
                put(Target::Read, whole(1));
            else
                fail(raw, notDate, notDateDetail);
            break;
        default:
            break;
        }
    }
    // A code that no column gives, where no column of the file is that
    // field itself, is the entry window's choice: every book then has all
    // three, as the book list needs to show its loan and number.
    for (const Target code : {Target::Rating, Target::Loan, Target::Read}) {
        Value &slot = out[size_t(field(code))];
        if (slot.kind == Value::None && !m_direct[size_t(field(code))])
            slot = whole(1);
    }
    return ok;
}

void BookImport::judge(const CatalogueKeys &catalogue)
{
    m_counts = {};
    QHash<QString, int> isbnSeen, titleSeen;
    isbnSeen.reserve(m_table.recordCount());
    titleSeen.reserve(m_table.recordCount());
    Book b;
    for (int r = 0; r < m_table.recordCount(); ++r) {
        Judgement &j = m_judgements[size_t(r)];
        j = Judgement{};
        if (m_table.isBlank(r)) {
            j.status = Status::Blank;
        } else if (!book(r, b)) {
            j.status = Status::Problem;
        } else {
            const QString isbn = bookvalues::isbnKey(textOf(b[size_t(field(Target::Isbn))]));
            const QString title =
                bookvalues::titleKey(textOf(b[size_t(field(Target::Name))]), textOf(b[size_t(field(Target::Author))]));
            auto check = [&](const QString &key, const QHash<QString, qint64> &stored, const QHash<QString, int> &seen,
                             bool byIsbn) {
                if (key.isEmpty() || j.status != Status::Good)
                    return;
                if (const auto at = stored.constFind(key); at != stored.cend()) {
                    j = {Status::DuplicateInCatalogue, byIsbn, at.value()};
                } else if (const auto before = seen.constFind(key); before != seen.cend()) {
                    j = {Status::DuplicateInFile, byIsbn, before.value()};
                }
            };
            check(isbn, catalogue.isbns, isbnSeen, true);
            check(title, catalogue.titles, titleSeen, false);
            if (!isbn.isEmpty())
                isbnSeen.insert(isbn, r); // the first record of a key stays
            if (!title.isEmpty() && !titleSeen.contains(title))
                titleSeen.insert(title, r);
        }
        ++m_counts[size_t(j.status)];
    }
}

std::vector<int> BookImport::records(Status status) const
{
    std::vector<int> out;
    for (int r = 0; r < int(m_judgements.size()); ++r)
        if (m_judgements[size_t(r)].status == status)
            out.push_back(r);
    return out;
}

QString BookImport::reason(int record) const
{
    const Judgement &j = judgement(record);
    const QString by = j.sameIsbn ? QStringLiteral("ISBN相同") : QStringLiteral("书名和作者相同");
    switch (j.status) {
    case Status::Good:
        return QString();
    case Status::Blank:
        return QStringLiteral("空行");
    case Status::Problem: {
        Book b;
        Problem p;
        book(record, b, &p);
        return p.detail;
    }
    case Status::DuplicateInFile:
        return QStringLiteral("与文件第%1行的书重复（%2）").arg(m_table.line(int(j.other))).arg(by);
    case Status::DuplicateInCatalogue:
        return QStringLiteral("与已有的书籍重复（编号%1，%2）").arg(j.other).arg(by);
    }
    return QString();
}

QString BookImport::heading(int record) const
{
    switch (judgement(record).status) {
    case Status::Problem: {
        Book b;
        Problem p;
        book(record, b, &p);
        return p.heading;
    }
    case Status::DuplicateInFile:
    case Status::DuplicateInCatalogue:
        return QStringLiteral("重复的书籍");
    case Status::Blank:
        return QStringLiteral("空行");
    case Status::Good:
        break;
    }
    return QString();
}
