#include "storedvalue.h"

StoredValue StoredValue::of(const Dataset::Value &value)
{
    StoredValue stored;
    stored.type = value.type;
    stored.date = value.date;
    stored.integer = value.integer;
    stored.real = value.real;
    if (value.type == Dataset::Value::Text)
        stored.text = QByteArray(value.bytes, value.length);
    return stored;
}

QString StoredValue::toText() const
{
    Dataset::Value value;
    value.type = type;
    value.date = date;
    value.integer = integer;
    value.real = real;
    value.bytes = text.constData();
    value.length = text.size();
    return Dataset::valueText(value);
}

bool StoredValue::operator==(const StoredValue &other) const
{
    if (type != other.type)
        return false;
    switch (type) {
    case Dataset::Value::Null:
        return true;
    case Dataset::Value::Integer:
        return integer == other.integer;
    case Dataset::Value::Real:
        return real == other.real;
    case Dataset::Value::Text:
        return text == other.text;
    }
    return false;
}

StoredRecord storedRecord(const Dataset &dataset)
{
    StoredRecord record;
    record.reserve(size_t(dataset.fieldCount()));
    for (int column = 0; column < dataset.fieldCount(); ++column)
        record.push_back(StoredValue::of(dataset.value(column)));
    return record;
}
