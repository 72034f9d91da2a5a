#pragma once

#include <QString>
#include <stdexcept>

// An error raised by the data layer. Its message is what the operator reads, in Portuguese:
// our own text, or a refusal of the engine told by fromEngine(). A refusal also carries its kind,
// taken from the engine's codes whatever the language of its message.
class DbError : public std::runtime_error {
public:
    enum class Kind {
        Other,
        ForeignKey,   // a reference to a row that is not there, or a delete of a referenced row
        Unique,       // a second row with the same key
        Constraint,   // a value missing or out of what a column admits
        Busy,         // another copy or program holds the database, past the waiting time
        ReadOnly,     // the database cannot be written to
        NotADatabase, // the file is not a database, or is damaged
        CannotOpen,   // the file or its folder cannot be opened
        Unreachable,  // the server cannot be reached or refused the connection
        Lost,         // the connection or the file went away during the session
        DiskFull,
        IoError,
    };

    explicit DbError(const QString& message, Kind kind = Kind::Other)
        : std::runtime_error(message.toStdString()), m_message(message), m_kind(kind) {}

    // The one place where an engine's refusal becomes a text for the operator: a Portuguese
    // sentence for its kind, followed by `subject` (a file, a server) when given. The engine's
    // own text is appended only where no sentence says it all (kinds Other and Constraint).
    static DbError fromEngine(Kind kind, const QString& engineText, const QString& subject = {});

    QString message() const { return m_message; }
    Kind kind() const { return m_kind; }
    // The engine's own text, as it came (empty for our own errors).
    QString engineText() const { return m_engineText; }

private:
    QString m_message;
    Kind m_kind;
    QString m_engineText;
};
