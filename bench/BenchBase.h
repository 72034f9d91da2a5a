#pragma once

// What the benchmarks on the large database share: the database of 200,000 lots and 2,000,000
// cheques of 2,000 members (built once and reused), the timing and memory figures, and the
// floor: the same statements sent straight through the engine's C API (SQLite's, or libpq).
#include "platform/dialogs/Dialogs.h"

#include <QString>
#include <functional>
#include <sqlite3.h>
#include <vector>

class Connection;
struct pg_conn;

namespace Bench {

constexpr int Associados = 2000;
constexpr int Lotes = 200000;
constexpr int ChequesPorLote = 10;

// A CMC-7 line with right check digits, different for each serial.
QString linhaValida(qint64 serial);

void check(int rc, sqlite3* db, int expected = SQLITE_OK);

// Builds the SQLite database at `path` (replacing any file there).
void build(const QString& path);
// Fills an empty PostgreSQL database on the server itself.
void buildPg(Connection& c);
// The database of the command line (--db FILE or --pg URI), built or filled when missing;
// returns the connection string. `runs` is set from --runs when given.
QString prepara(int argc, char** argv, int& runs, bool& postgres);

double median(std::vector<double> v);
double timeMs(const std::function<void()>& f);
long peakMb();

// The floor. Statements are written with "?" for the one whole-number parameter.
struct Floor {
    virtual ~Floor() = default;
    virtual int rows(const char* sql, int bind = -1) = 0;
};

struct SqliteFloor : Floor {
    sqlite3* db = nullptr;
    explicit SqliteFloor(const QString& path);
    ~SqliteFloor() override;
    int rows(const char* sql, int bind) override;
};

struct PgFloor : Floor {
    pg_conn* pg = nullptr;
    explicit PgFloor(const QString& uri);
    ~PgFloor() override;
    int rows(const char* sql, int bind) override;
};

// Answers every confirmation with "Sim"; any other dialog is a failure of the run.
struct ConfirmaTudo : Dialogs::Handler {
    Dialogs::Answer handle(const Dialogs::Request& r) override;
    void beep() override {}
};

} // namespace Bench
