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

QString refusal(const QString &word)
{
    if (word.contains(QChar(0)))
        return QStringLiteral("查找内容中含有空字符（U+0000），无法按它查找。请删去该字符后再查找。");
    // A quote stands doubled in the command but counts once in the pattern.
    const qsizetype bytes = word.toUtf8().size();
    if (bytes > kLongestWord)
        return QStringLiteral("查找内容太长，无法查找：最多 %1 个字节（UTF-8 编码：英文字母和数字每个 1 个字节，"
                              "汉字每个 3 个字节），现在有 %2 个字节。")
            .arg(kLongestWord)
            .arg(bytes);
    return QString();
}

} // namespace findcommand
