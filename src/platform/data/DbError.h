#pragma once

#include <QString>
#include <stdexcept>

// An error raised by the data layer; its text is the engine's message or our own, in Portuguese.
// A refusal by the database also carries its kind, whatever the language of the message.
class DbError : public std::runtime_error {
public:
    enum class Kind { Other, ForeignKey, Unique };

    explicit DbError(const QString& message, Kind kind = Kind::Other)
        : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind) {}
    QString message() const { return m_message; }
    Kind kind() const { return m_kind; }

private:
    QString m_message;
    Kind m_kind;
};
