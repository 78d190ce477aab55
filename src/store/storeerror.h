#pragma once

#include <QString>

#include <exception>

// The one error type of the data layer. It carries a message meant for the
// user, in Chinese, that says what failed and on which file.
class StoreError : public std::exception
{
public:
    explicit StoreError(QString message)
        : m_message(std::move(message))
        , m_utf8(m_message.toUtf8())
    {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
