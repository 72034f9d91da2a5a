#pragma once

#include <QString>
#include <stdexcept>

// An error raised by the data layer; its text is the engine's message or our own, in Portuguese.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};
