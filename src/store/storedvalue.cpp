#include "storedvalue.h"

#include "datetext.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

QString FieldValue::text() const
{
    switch (type) {
    case Null:
        return QString();
    case Integer:
        return QString::number(integer);
    case Real:
        return QString::number(real, 'g', 15);
    case Text:
        break;
    }
    if (date)
        return datetext::fromIso(std::string_view(bytes, size_t(length)));
    return QString::fromUtf8(bytes, length);
}

void FieldValue::appendText(QByteArray &out, QStringEncoder &encoder) const
{
    switch (type) {
    case Null:
        return;
    case Integer:
        out.append(QByteArray::number(integer));
        return;
    case Real:
        out.append(QByteArray::number(real, 'g', 15));
        return;
    case Text:
        break;
    }
    if (!date && isAscii(textBytes())) {
        out.append(textBytes());
        return;
    }
    // Through one UTF-16 buffer kept for the thread, straight into out.
    thread_local QString shown;
    if (date) {
        shown = datetext::fromIso(std::string_view(bytes, size_t(length)));
    } else {
        shown.resize(length);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QChar *end = utf8.appendToBuffer(shown.data(), textBytes());
        shown.truncate(end - shown.constData());
    }
    const qsizetype start = out.size();
    out.resize(start + encoder.requiredSpace(shown.size()));
    const char *end = encoder.appendToBuffer(out.data() + start, shown);
    out.truncate(end - out.constData());
}

bool FieldValue::sameAs(const FieldValue &other) const
{
    if (type != other.type)
        return false;
    switch (type) {
    case Null:
        return true;
    case Integer:
        return integer == other.integer;
    case Real:
        return real == other.real;
    case Text:
        return textBytes() == other.textBytes();
    }
    return false;
}

StoredValue StoredValue::of(const FieldValue &value)
{
    StoredValue stored;
    stored.type = value.type;
    stored.date = value.date;
    stored.integer = value.integer;
    stored.real = value.real;
    if (value.type == FieldValue::Text)
        stored.text = QByteArray(value.bytes, value.length);
    return stored;
}

FieldValue StoredValue::view() const
{
    FieldValue value;
    value.type = type;
    value.date = date;
    value.integer = integer;
    value.real = real;
    value.bytes = text.constData();
    value.length = text.size();
    return value;
}
