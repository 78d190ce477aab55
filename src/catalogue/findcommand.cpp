#include "findcommand.h"

namespace findcommand {

Command build(const QString &word, const Options &options)
{
    // One pattern, bound once and used by every column that is searched.
    QString text = QStringLiteral("select * from book where book_name like ?1");
    if (options.cate)
        text += QStringLiteral(" or book_cate like ?1");
    if (options.author)
        text += QStringLiteral(" or book_author like ?1 or book_author2 like ?1");
    if (options.note)
        text += QStringLiteral(" or book_note like ?1");
    if (options.reader)
        text += QStringLiteral(" or book_reader like ?1");
    return {text, {QStringLiteral("%") + word + QStringLiteral("%")}};
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
