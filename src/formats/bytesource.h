#pragma once

#include <QByteArrayView>
#include <QString>

#include <functional>

// The bytes of a file, or of bytes held in memory, read block by block from
// the start as often as a reader needs them (finding the encoding takes one
// pass, decoding another), so that a large file is never held whole.
//
// A file is opened without waiting (a named pipe with no writer does not
// block) and must be a regular file: a folder, a pipe, a device or a socket
// is refused with a message naming the file. Its size is taken once, when it
// is opened, and no pass reads past it, even when the file grows meanwhile.
class ByteSource
{
public:
    // Opens the file. Throws UserError naming the file when it is missing,
    // is no regular file, cannot be read or holds more than largest bytes.
    ByteSource(const QString &path, qint64 largest);
    // Bytes in memory, which must outlive the source.
    ByteSource(QByteArrayView bytes, const QString &path);
    ~ByteSource();
    ByteSource(const ByteSource &) = delete;
    ByteSource &operator=(const ByteSource &) = delete;

    const QString &path() const { return m_path; }
    qint64 size() const { return m_size; }

    // Hands every block in order to f, from the first byte, until f returns
    // false or the bytes end. Throws UserError naming the file when reading
    // fails or the file is shorter than when it was opened.
    void forEachBlock(const std::function<bool(QByteArrayView)> &f) const;

    // The size of the blocks read from a file.
    static constexpr qsizetype kBlockSize = qsizetype(1) << 20;

private:
    QString m_path;
    QByteArrayView m_bytes;
    int m_fd = -1;
    qint64 m_size = 0;
};
