#include "sqlquote.h"

#include "usererror.h"

namespace sqlquote {

QString checkedId(const QString &text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    trimmed.toLongLong(&ok);
    if (!ok || trimmed.contains(QLatin1Char('+')))
        throw UserError(QStringLiteral("“%1”不是有效的编号。").arg(text));
    return trimmed;
}

qint64 checkedNumber(const QString &text)
{
    return checkedId(text).toLongLong();
}

} // namespace sqlquote
