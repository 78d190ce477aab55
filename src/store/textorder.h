#pragma once

#include <QByteArray>
#include <QStringView>

// The order of texts in the sortable lists: byte by byte over the texts'
// GB18030 bytes (the same bytes as GBK for every GBK character), with the
// letters a to z taken as A to Z; a text sorts before every longer text that
// begins with it. So "100" sorts before "20" and Chinese titles fall in the
// order of their GB2312 codes.
namespace textorder {

// True when the GB18030 encoder is available; checked once at start.
bool available();

// Appends the sort key of a text (its folded GB18030 bytes) to out.
void appendKey(QStringView text, QByteArray &out);
QByteArray key(QStringView text);

// <0, 0 or >0, as the byte comparison of the two keys decides.
int compareKeys(const char *a, qsizetype lengthA, const char *b, qsizetype lengthB);
inline int compareKeys(const QByteArray &a, const QByteArray &b)
{
    return compareKeys(a.constData(), a.size(), b.constData(), b.size());
}
int compare(QStringView a, QStringView b);

} // namespace textorder
