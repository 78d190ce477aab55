#pragma once

#include <QString>

#include <exception>

// The program's one error type for what the user is told: a failure of the
// data file, of another file (a backup, an export, the help document) or of
// starting another program. It carries a message meant for the user, in
// Chinese, that says what failed and on which file; the guard around every
// handler shows it in the error box.
class UserError : public std::exception
{
public:
    explicit UserError(QString message)
        : m_message(std::move(message))
        , m_utf8(m_message.toUtf8())
    {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
