#pragma once

#include "platform/data/Connection.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A fresh database with the whole schema, on SQLite (a file in a temporary folder) or on the
// PostgreSQL server named by CAP_TEST_PG (a new database, dropped at the end).
class TestDb {
public:
    explicit TestDb(Engine engine, bool withSchema = true);
    ~TestDb();
    TestDb(const TestDb&) = delete;
    TestDb& operator=(const TestDb&) = delete;

    // The CAMINHO value that opens this database.
    QString target() const { return m_target; }
    Engine engine() const { return m_engine; }
    // A connection of its own, already open.
    Connection& conn() { return *m_conn; }

    // Creates the tables as the first version of the program made them (before the schema
    // recorded its version), on a database made without the schema.
    void createSchemaVersion1();

    // The engines to run data tests on: SQLite always, PostgreSQL when CAP_TEST_PG is set.
    static QList<Engine> engines();
    static QString engineName(Engine e);
    // Add one row per engine to a QtTest _data() table with an "engine" column.
    static void addEngineRows();
    // The server URI with another database name.
    static QString pgUri(const QString& database);

private:
    Engine m_engine;
    QString m_target;
    QString m_pgName;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Connection> m_conn;
};

Q_DECLARE_METATYPE(Engine)
