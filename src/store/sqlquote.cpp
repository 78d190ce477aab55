#include "sqlquote.h"

#include "storeerror.h"

namespace sqlquote {

QString quoteName(const QString &name)
{
    // A zero cannot stand in the command text: SQLite reads the text only up
    // to its first zero byte. It is closed out of the quotes and joined to
    // the pieces around it as char(0).
    QString quoted;
    quoted.reserve(name.size() + 2);
    for (const QChar c : name) {
        if (c == QLatin1Char('\''))
            quoted += QLatin1String("''");
        else if (c.unicode() == 0)
            quoted += QLatin1String("'||char(0)||'");
        else
            quoted += c;
    }
    return quoted;
}

QString checkedId(const QString &text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    trimmed.toLongLong(&ok);
    if (!ok || trimmed.contains(QLatin1Char('+')))
        throw StoreError(QStringLiteral("“%1”不是有效的编号。").arg(text));
    return trimmed;
}

} // namespace sqlquote
