#include "findcommand.h"

#include "store/sqlquote.h"

namespace findcommand {

QString build(const QString &word, const Options &options)
{
    const QString w = sqlquote::quoteName(word);
    const QString close = QStringLiteral("%'");
    QString command = QStringLiteral("select * from book where book_name like'%") + w + close;
    if (options.cate)
        command += QStringLiteral("or book_cate like '%") + w + close;
    if (options.author) {
        command += QStringLiteral("or book_author like '%") + w + close;
        command += QStringLiteral("or book_author2 like '%") + w + close;
    }
    if (options.note)
        command += QStringLiteral("or book_note like '%") + w + close;
    if (options.reader)
        command += QStringLiteral("or book_reader like '%") + w + close;
    return command;
}

} // namespace findcommand
