#include "gridsource.h"

int GridSource::fieldIndex(QStringView name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void GridSource::appendField(const QString &name, FieldType type)
{
    m_fields.push_back({name, type});
}
