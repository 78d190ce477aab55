#include "bookimport.h"

#include "formats/formulaguard.h"
#include "store/bookfields.h"
#include "store/connection.h"
#include "store/usererror.h"

#include <algorithm>
#include <climits>

using bookcolumns::Kind;
using bookcolumns::Target;
using bookvalues::DateOrder;

namespace {

constexpr int field(Target target)
{
    return int(target) - 1;
}

QString textOf(const BookImport::Value &value)
{
    switch (value.kind) {
    case BookImport::Value::Text:
        return value.text().toString();
    case BookImport::Value::Whole:
        return QString::number(value.whole);
    default:
        return QString();
    }
}

// Whether the target is a field that holds dates. (A day read needs no
// order: it makes the book read in either.)
bool readsDates(Target target)
{
    const int column = bookcolumns::columnOf(target);
    return column > 0 && bookcolumns::kind(column) == Kind::Date;
}

// A header as the user is shown it: invisible characters named.
QString shownHeader(QStringView header, int column)
{
    QString out;
    for (const QChar c : header) {
        const char16_t u = c.unicode();
        if (u == 0xFEFF || u == 0xFFFE || (u >= 0x200B && u <= 0x200F) || u == 0x2060 || u < 0x20)
            out +=
                QStringLiteral("<U+%1>").arg(QString::number(int(u), 16).toUpper().rightJustified(4, QLatin1Char('0')));
        else
            out += c;
    }
    if (out.trimmed().isEmpty())
        return QStringLiteral("（第%1列，没有标题）").arg(column + 1);
    return out;
}

// A date as the program stores it (2024-05-01), or a year alone, which a
// date column keeps as a number.
bool isStoredDate(QStringView text)
{
    auto digitsAt = [&](qsizetype from, qsizetype count) {
        for (qsizetype i = from; i < from + count; ++i)
            if (i >= text.size() || text[i].unicode() < u'0' || text[i].unicode() > u'9')
                return false;
        return true;
    };
    if (text.size() == 10)
        return digitsAt(0, 4) && text[4] == QLatin1Char('-') && digitsAt(5, 2) && text[7] == QLatin1Char('-') &&
               digitsAt(8, 2);
    return !text.isEmpty() && text.size() <= 4 && digitsAt(0, text.size());
}

// The reason of a date left empty because its day and month could swap.
constexpr const char16_t *kOpenOrder = u"日和月的先后";

BookImport::Value whole(qint64 number)
{
    BookImport::Value v;
    v.kind = BookImport::Value::Whole;
    v.whole = number;
    return v;
}

} // namespace

BookImport::CatalogueKeys BookImport::CatalogueKeys::read(Connection &connection, bool makeIndexes)
{
    CatalogueKeys keys;
    // A file that lacks the indexes (one no Quillmere window has opened
    // since) gets them first: without them every record would read every
    // book.
    if (makeIndexes)
        storedalready::prepareIndexes(connection);
    keys.m_finder = std::make_shared<storedalready::Finder>(connection);
    return keys;
}

std::optional<storedalready::Match> BookImport::CatalogueKeys::find(QStringView title, QStringView author,
                                                                    QStringView isbn) const
{
    return m_finder->find(title, author, isbn);
}

BookImport::BookImport(CsvTable table, const QString &path)
    : m_table(std::move(table))
    , m_path(path)
{
    std::vector<QStringView> headers;
    for (int c = 0; c < m_table.columnCount(); ++c)
        headers.push_back(m_table.header(c));
    m_ownExport = int(headers.size()) >= bookcolumns::kColumnCount;
    for (int c = 0; m_ownExport && c < bookcolumns::kColumnCount; ++c)
        m_ownExport = headers[size_t(c)].trimmed() == bookfields::caption(bookcolumns::columnName(c));
    const bool points = bookcolumns::isPointsCatalogue(headers);
    for (const QStringView header : headers)
        m_targets.push_back(bookcolumns::ratingTarget(header, points));
    findDirectFields();
    if (!importsAnything())
        throw UserError(QStringLiteral("无法导入文件%1：它的第一行不是可以识别的标题行。\n"
                                       "第一行应当是各列的名称，例如“书名”“作者”或者“Title”“Author”。")
                            .arg(describeFile(path)));
    if (m_table.recordCount() == 0)
        throw UserError(QStringLiteral("无法导入文件%1：文件中只有标题行，没有书籍。").arg(describeFile(path)));
    m_judgements.resize(size_t(m_table.recordCount()));
    findDateOrders();
}

void BookImport::setTarget(int column, bookcolumns::Target target)
{
    m_targets.at(size_t(column)) = target;
    findDirectFields();
    findDateOrders();
}

void BookImport::findDirectFields()
{
    m_direct.fill(false);
    for (const Target t : m_targets)
        if (bookcolumns::columnOf(t) > 0)
            m_direct[size_t(field(t))] = true;
}

void BookImport::findDateOrders()
{
    const int columns = m_table.columnCount();
    m_columnOrders.assign(size_t(columns), DateOrder::Unknown);
    m_unsettled.assign(size_t(columns), -1);
    for (int c = 0; c < columns; ++c) {
        if (!readsDates(m_targets[size_t(c)]))
            continue;
        bool dayFirst = false, monthFirst = false;
        int either = -1;
        for (int r = 0; r < m_table.recordCount(); ++r) {
            bookvalues::DateHint hint = bookvalues::DateHint::None;
            bookvalues::readDate(formulaguard::unguarded(m_table.field(r, c)), DateOrder::Unknown, &hint);
            dayFirst |= hint == bookvalues::DateHint::DayFirst;
            monthFirst |= hint == bookvalues::DateHint::MonthFirst;
            if (hint == bookvalues::DateHint::Either && either < 0)
                either = r;
        }
        if (dayFirst != monthFirst)
            m_columnOrders[size_t(c)] = dayFirst ? DateOrder::Dmy : DateOrder::Mdy;
        else
            m_unsettled[size_t(c)] = either;
    }
}

DateOrder BookImport::orderOf(int column) const
{
    const DateOrder settled = m_columnOrders[size_t(column)];
    return settled != DateOrder::Unknown ? settled : m_dateOrder;
}

bool BookImport::dateOrderUnsettled() const
{
    return std::any_of(m_unsettled.begin(), m_unsettled.end(), [](int r) { return r >= 0; });
}

QString BookImport::unsettledDateExample() const
{
    for (int c = 0; c < int(m_unsettled.size()); ++c)
        if (m_unsettled[size_t(c)] >= 0)
            return m_table.field(m_unsettled[size_t(c)], c).trimmed().toString();
    return QString();
}

bool BookImport::importsAnything() const
{
    return std::any_of(m_targets.begin(), m_targets.end(), [](Target t) { return t != Target::None; });
}

std::vector<int> BookImport::ignoredColumns() const
{
    std::vector<int> out;
    for (int c = 0; c < int(m_targets.size()); ++c)
        if (m_targets[size_t(c)] == Target::None)
            out.push_back(c);
    return out;
}

QString BookImport::ignoredColumnsText(int most) const
{
    QStringList names;
    const std::vector<int> ignored = ignoredColumns();
    for (const int c : ignored) {
        if (most >= 0 && names.size() == most) {
            names.last() += QStringLiteral("……等 %1 列").arg(ignored.size());
            break;
        }
        QString name = shownHeader(m_table.header(c), c);
        if (!bookcolumns::isKnownHeader(m_table.header(c)))
            name += QStringLiteral("（无法识别）");
        names << name;
    }
    return names.join(QStringLiteral("、"));
}

QString BookImport::fileProblem(int record) const
{
    return m_table.problem(record);
}

bool BookImport::book(int record, Book &out, std::vector<Warning> *warnings) const
{
    out = Book{};
    if (warnings)
        warnings->clear();
    if (!fileProblem(record).isEmpty())
        return false;
    // The first column that gives a field a value that is not empty wins;
    // an empty text only fills a field that has no value yet.
    auto put = [&](Target target, const Value &value) {
        Value &slot = out[size_t(field(target))];
        if (slot.kind == Value::None || (slot.isEmpty() && !value.isEmpty()))
            slot = value;
    };
    // The first value of a field that could not be read, by column; told
    // only when no column gives the field a value.
    std::array<int, kFieldCount> unread;
    unread.fill(-1);
    std::array<const char16_t *, kFieldCount> unreadKind{};
    auto bad = [&](Target target, int column, const char16_t *what) {
        const size_t f = size_t(field(target));
        if (unread[f] < 0) {
            unread[f] = column;
            unreadKind[f] = what;
        }
    };

    for (int c = 0; c < int(m_targets.size()); ++c) {
        const Target target = m_targets[size_t(c)];
        if (target == Target::None)
            continue;
        const QStringView raw = formulaguard::unguarded(m_table.field(record, c));
        const QStringView plain = raw.trimmed();
        const int column = bookcolumns::columnOf(target);
        if (column >= 0) {
            const Kind kind = bookcolumns::kind(column);
            if (kind == Kind::Text) {
                Value v;
                if (!raw.isEmpty() || m_table.isQuoted(record, c))
                    v.setText(target == Target::Isbn ? bookvalues::unwrapFormula(raw) : raw);
                put(target, v);
                continue;
            }
            // The program's own export: what no reading understands, or a
            // date as the program stores it, comes back as it was written.
            Value verbatim;
            if (m_ownExport)
                verbatim.setText(raw);
            if (plain.isEmpty()) {
                if (m_ownExport && m_table.isQuoted(record, c))
                    put(target, verbatim); // an empty text, not a null
                continue;
            }
            if (kind == Kind::Date) {
                Value v;
                v.kind = Value::Date;
                bookvalues::DateHint hint = bookvalues::DateHint::None;
                v.date = bookvalues::readDate(plain, orderOf(c), &hint);
                if (m_ownExport && (!v.date.isValid() || isStoredDate(raw)))
                    put(target, verbatim);
                else if (v.date.isValid())
                    put(target, v);
                else
                    bad(target, c, hint == bookvalues::DateHint::Either ? kOpenOrder : u"日期");
                continue;
            }
            const std::optional<qint64> number = kind == Kind::Whole    ? bookvalues::readWhole(plain)
                                                 : kind == Kind::Rating ? bookvalues::readRating(plain)
                                                 : kind == Kind::Loan   ? bookvalues::readLoan(plain)
                                                                        : bookvalues::readRead(plain);
            if (number)
                put(target, whole(*number));
            else if (m_ownExport)
                put(target, verbatim);
            else
                bad(target, c, kind == Kind::Whole ? u"整数" : nullptr);
            continue;
        }
        if (plain.isEmpty())
            continue;
        switch (target) {
        case Target::Stars:
        case Target::Stars10:
            if (const auto code = bookvalues::readStars(plain, target == Target::Stars10 ? 10 : 5)) {
                if (*code != 0)
                    put(Target::Rating, whole(*code));
            } else {
                bad(Target::Rating, c, target == Target::Stars10 ? u"0到10的评分" : u"0到5星的评分");
            }
            break;
        case Target::Shelves:
            put(Target::Read, whole(bookvalues::readShelf(plain)));
            break;
        case Target::ReadDate: {
            // A day read, in whichever order its day and month stand.
            bookvalues::DateHint hint = bookvalues::DateHint::None;
            if (bookvalues::readDate(plain, orderOf(c), &hint).isValid() || hint == bookvalues::DateHint::Either)
                put(Target::Read, whole(1));
            else
                bad(Target::Read, c, u"日期");
            break;
        }
        case Target::ReadFlag:
            if (const auto code = bookvalues::readFlag(plain))
                put(Target::Read, whole(*code));
            else
                bad(Target::Read, c, u"是或否");
            break;
        case Target::Authors: {
            const std::vector<QStringView> names = bookvalues::splitNames(raw);
            if (names.empty())
                break;
            Value first;
            first.setText(names[0]);
            put(Target::Author, first);
            if (names.size() > 1) {
                Value rest;
                if (names.size() == 2) {
                    rest.setText(names[1]);
                } else {
                    QStringList others;
                    for (size_t i = 1; i < names.size(); ++i)
                        others << names[i].toString();
                    rest.setOwnText(others.join(QStringLiteral("、")));
                }
                put(Target::Author2, rest);
            }
            break;
        }
        case Target::LoanedTo: {
            Value friendName;
            friendName.setText(plain);
            put(Target::Reader, friendName);
            put(Target::Loan, whole(3));
            break;
        }
        case Target::PubInfo: {
            Value publisher;
            publisher.setText(bookvalues::publisherOf(raw));
            put(Target::Pub, publisher);
            break;
        }
        default:
            break;
        }
    }
    // A loan that no column gives, where no column of the file is that
    // field itself, is an own copy: the book is in the owner's catalogue.
    Value &loan = out[size_t(field(Target::Loan))];
    if (loan.kind == Value::None && !m_direct[size_t(field(Target::Loan))])
        loan = whole(1);
    if (warnings) {
        for (int f = 0; f < kFieldCount; ++f) {
            const int c = unread[size_t(f)];
            if (c < 0 || !out[size_t(f)].isEmpty())
                continue;
            const QString name = shownHeader(m_table.header(c), c).trimmed();
            const QString value = m_table.field(record, c).toString();
            if (unreadKind[size_t(f)] == kOpenOrder) {
                warnings->push_back({QStringLiteral("%1：日和月无法确定先后").arg(name),
                                     QStringLiteral("%1：“%2”的日和月无法确定先后，已留空").arg(name, value)});
                continue;
            }
            const QString what =
                unreadKind[size_t(f)] ? QStringLiteral("为") + QString::fromUtf16(unreadKind[size_t(f)]) : QString();
            warnings->push_back({QStringLiteral("%1：无法识别%2").arg(name, what),
                                 QStringLiteral("%1：“%2”无法识别%3，已留空").arg(name, value, what)});
        }
    }
    return true;
}

void BookImport::judge(const CatalogueKeys &catalogue)
{
    m_counts = {};
    m_warned = 0;
    Book b;
    std::vector<Warning> warnings;
    const storedalready::Finder::Reading reading = catalogue.reading();
    for (int r = 0; r < m_table.recordCount(); ++r) {
        Judgement &j = m_judgements[size_t(r)];
        j = Judgement{};
        if (m_table.isBlank(r)) {
            j.status = Status::Blank;
        } else if (!book(r, b, &warnings)) {
            j.status = Status::Problem;
        } else {
            j.warned = !warnings.empty();
            const std::optional<storedalready::Match> same =
                catalogue.find(textOf(b[size_t(field(Target::Name))]), textOf(b[size_t(field(Target::Author))]),
                               textOf(b[size_t(field(Target::Isbn))]));
            if (same) {
                j.status = Status::Duplicate;
                j.sameIsbn = same->sameIsbn;
                j.other = same->id;
            }
            if (j.status == Status::Good && j.warned)
                ++m_warned;
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

std::vector<int> BookImport::notableRecords() const
{
    std::vector<int> out;
    for (int r = 0; r < int(m_judgements.size()); ++r) {
        const Judgement &j = m_judgements[size_t(r)];
        if (j.status == Status::Problem || j.status == Status::Duplicate || j.warned)
            out.push_back(r);
    }
    return out;
}

QString BookImport::reason(int record) const
{
    const Judgement &j = judgement(record);
    switch (j.status) {
    case Status::Good: {
        if (!j.warned)
            return QString();
        Book b;
        std::vector<Warning> warnings;
        book(record, b, &warnings);
        QStringList details;
        for (const Warning &w : warnings)
            details << w.detail;
        return details.join(QStringLiteral("；"));
    }
    case Status::Blank:
        return QStringLiteral("空行");
    case Status::Problem:
        return fileProblem(record);
    case Status::Duplicate:
        return QStringLiteral("与已有的书籍重复（编号%1，%2）")
            .arg(j.other)
            .arg(j.sameIsbn ? QStringLiteral("ISBN相同") : QStringLiteral("书名和作者相同"));
    }
    return QString();
}

QString BookImport::heading(int record) const
{
    switch (judgement(record).status) {
    case Status::Problem:
        return QStringLiteral("文件中无法读取的行");
    case Status::Duplicate:
        return QStringLiteral("重复的书籍");
    case Status::Blank:
        return QStringLiteral("空行");
    case Status::Good:
        break;
    }
    return QString();
}
