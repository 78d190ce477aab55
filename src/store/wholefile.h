#pragma once

#include <QString>

class QFile;

// Writing a file whole or not at all. The bytes go to a new temporary file
// beside the target, are forced to the disk, and take the target's name in
// one step only when complete: a failure at any point leaves whatever file
// had that name before, and no partial file. Errors raise UserError naming
// the file, with the system's reason in words ("磁盘已满", ...).
//
// Only a regular file is ever replaced. A target that is a stream (a pipe,
// the terminal, /dev/null) is written straight, as the bytes come, where
// the caller allows it (Streams::Written); otherwise it is refused, as a
// folder, a disk or a socket always is.
//
// The temporary files are named "<target>.<eight hex digits>.tmp" and held
// (flock) by their writer while it lives. Making a new one first removes
// those of the same target that no writer holds any more: what an export
// killed half-way left behind.
class WholeFile
{
public:
    enum class Streams { Refused, Written };

    // Makes the temporary file (or opens the stream); throws when the
    // target's folder takes none, or when the target is no regular file and
    // may not be written.
    explicit WholeFile(const QString &target, Streams streams = Streams::Refused);
    // Removes the temporary file unless it was committed.
    ~WholeFile();

    WholeFile(const WholeFile &) = delete;
    WholeFile &operator=(const WholeFile &) = delete;

    void write(const char *data, qint64 size);
    // Appends the rest of an open file, from its current position.
    void copyFrom(QFile &source);
    // Forces the bytes to the disk and closes the temporary file; it can then
    // be read at temporaryPath() before it is committed.
    void close();
    // Closes if need be, then gives the file the target's name.
    void commit();

    const QString &target() const { return m_target; }
    // The temporary file; the target itself when it is a stream.
    const QString &temporaryPath() const { return m_temporary; }
    // Whether the target is a stream written straight.
    bool isStream() const { return m_stream; }

private:
    [[noreturn]] void fail(const QString &what, int error) const;
    void makeTemporary();

    QString m_target;
    QString m_temporary;
    int m_fd = -1;
    int m_hold = -1; // the temporary file's flock, held until it is renamed or removed
    bool m_stream = false;
    bool m_committed = false;
};

namespace fileerror {

// The system's reason for an error number, in words for the user.
QString reason(int error);

} // namespace fileerror
