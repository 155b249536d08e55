#pragma once

#include <QString>
#include <stdexcept>

// The error every routine of the program raises. Guarded handlers catch it at
// their outer edge and show their fixed tag followed by message().
class TarselError : public std::runtime_error
{
public:
    explicit TarselError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The message of any caught exception, for the "tag + message" error boxes.
inline QString errorMessage(const std::exception &e)
{
    if (const auto *t = dynamic_cast<const TarselError *>(&e))
        return t->message();
    return QString::fromLocal8Bit(e.what());
}
