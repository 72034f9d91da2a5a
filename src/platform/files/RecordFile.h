#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <stdexcept>

class Connection;

// A file that could not be written, read or put in place; the text is for the operator.
class FileError : public std::runtime_error {
public:
    explicit FileError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The files the bank receives: records of plain bytes, each followed by CR LF.
namespace RecordFile {

// The bytes of a file holding `records` in their order.
QByteArray bytesOf(const QList<QByteArray>& records);

// Runs `databaseWork` in one transaction of `conn` and writes the records it returns to
// `target`, so that either the file is in place and the transaction committed, or the target
// path holds what it held before (nothing, if it did not exist) and the transaction is rolled
// back. The records are returned by the database work so that they can be read in the same
// transaction that marks them: the file holds exactly what the database records as sent.
// `checkContent`, when given, sees the whole content before anything is written and raises
// (FileError) to refuse it. Raises FileError for a file that cannot be written, and whatever
// the database work, the check or the commit raises, after undoing both.
void writeInTransaction(Connection& conn, const QString& target,
                        const std::function<QList<QByteArray>()>& databaseWork,
                        const std::function<void(const QByteArray&)>& checkContent = {});

// A new version of a file, written beside its target and put in place in steps that can be
// undone until keep(). Used by writeInTransaction; on its own for files without database work.
class StagedFile {
public:
    explicit StagedFile(const QString& target);
    // Removes the temporary file, and puts the previous file back if keep() was not reached.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Writes the whole content to a temporary file in the target's folder, checking every
    // write, the flush to the disk and the close.
    void write(const QByteArray& content);
    // Puts the written file at the target path; a previous file there is kept aside.
    void install();
    // Undoes install(): the previous file back in place, or the new one removed.
    void restore() noexcept;
    // Makes the installed file final and drops the previous one.
    void keep() noexcept;

private:
    QByteArray m_target; // paths in the file system's encoding
    QByteArray m_temp;
    QByteArray m_previous;
    bool m_installed = false;
    bool m_hadPrevious = false;
};

// Writes `content` to the open descriptor `fd` and flushes it to the disk; `path` names the
// file in the error. Exposed for tests with devices that refuse writes.
void writeAndSync(int fd, const QByteArray& content, const QString& path);

} // namespace RecordFile
