#include "declaredkind.h"

#include <QByteArray>

DeclaredKind declaredKind(QByteArrayView declared)
{
    const QByteArray type = declared.toByteArray().toUpper();
    if (type.contains("INT"))
        return DeclaredKind::Integer;
    if (type.contains("DATE") || type.contains("TIME"))
        return DeclaredKind::Date;
    if (type.contains("REAL") || type.contains("FLOA") || type.contains("DOUB") || type.contains("CURRENCY") ||
        type.contains("MONEY") || type.contains("NUMERIC") || type.contains("DECIMAL"))
        return DeclaredKind::Float;
    if (type.contains("MEMO") || type.contains("LONGTEXT"))
        return DeclaredKind::Memo;
    return DeclaredKind::Text;
}
