#pragma once

#include <QString>

class QFile;

// Writing a file whole or not at all. The bytes go to a new temporary file
// beside the target, are forced to the disk, and take the target's name in
// one step only when complete: a failure at any point leaves whatever file
// had that name before, and no partial file. Errors raise UserError naming
// the file, with the system's reason in words ("磁盘已满", ...).
class WholeFile
{
public:
    // Makes the temporary file; throws when the target's folder takes none.
    explicit WholeFile(const QString &target);
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
    const QString &temporaryPath() const { return m_temporary; }

private:
    [[noreturn]] void fail(const QString &what, int error) const;

    QString m_target;
    QString m_temporary;
    int m_fd = -1;
    bool m_committed = false;
};

namespace fileerror {

// The system's reason for an error number, in words for the user.
QString reason(int error);

} // namespace fileerror
