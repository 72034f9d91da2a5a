#pragma once

#include "platform/data/Connection.h"
#include "platform/data/Dialect.h"

#include <QByteArray>
#include <QHash>
#include <chrono>

struct sqlite3;
struct sqlite3_stmt;
class QCollator;

// A SQLite database reached straight through SQLite's C API. Values come back as INTEGER
// qlonglong, REAL double, TEXT QString, BLOB QByteArray, NULL null.
namespace SqliteDirect {

// The collation of names, registered on every connection our code opens: letters first, as a
// Brazilian reads them (case and accents ignored), then accents, then case, by the same ICU
// rules for Portuguese (Brazil) that PostgreSQL's collation of that name uses, so that both
// engines give one order; text that still ties compares byte by byte. An index of a name column
// is built with it, so a tool that opens the file without registering it (the sqlite3 shell)
// reads the tables but cannot write those columns.
// Registers it on a handle opened elsewhere (benchmarks, tools); the collator must outlive it.
void addNameCollation(sqlite3* db, QCollator* collator);

// Writes a consistent copy of the database at `source` to `destination` with SQLite's online
// backup, while other connections go on reading and writing it. The copy is made beside the
// destination and put in place only when whole; an existing destination is never overwritten.
// Raises DbError.
void backup(const QString& source, const QString& destination, int busyTimeoutMs);

class Session : public EngineSession {
public:
    // Opens an existing file for reading and writing, or creates it when `create`; checks that
    // it is a database that can be written to and turns write-ahead logging and foreign keys on.
    Session(const QString& path, bool create, int busyTimeoutMs);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    ResultSet run(const QString& sql, const QList<DbBinding>& bindings, bool wantRows,
                  int* affected) override;
    void setBusyTimeout(int ms) override { m_busyTimeoutMs = ms; }
    bool transactionFailed() const override;
    bool lost() const override;

private:
    static int busyWait(void* self, int count);
    [[noreturn]] void fail(const QString& subject = {}) const;
    void clearCache();

    sqlite3* m_db = nullptr;
    std::unique_ptr<QCollator> m_collator;
    // Prepared statements kept by their text, so that the statements a screen runs again and
    // again (the cheques of a lot, its totals) are compiled once.
    QHash<QByteArray, sqlite3_stmt*> m_cache;
    int m_busyTimeoutMs;
    std::chrono::steady_clock::time_point m_waitStart;
};

} // namespace SqliteDirect
