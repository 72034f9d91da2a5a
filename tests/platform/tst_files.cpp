// Writing a bank file together with the database work it belongs to: both or neither.
#include "TestDb.h"
#include "platform/files/RecordFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

void makeTables(Connection& c) {
    c.execute("CREATE TABLE p (id INTEGER PRIMARY KEY)");
    // Checked at commit, so a test can have the commit refused.
    c.execute("CREATE TABLE c (p INTEGER REFERENCES p (id) DEFERRABLE INITIALLY DEFERRED)");
    c.execute("INSERT INTO p (id) VALUES (1)");
}

int rows(Connection& c) {
    return c.selectValue("SELECT count(*) FROM c").toInt();
}

const QList<QByteArray> records{QByteArray(100, '1'), QByteArray(100, '2'),
                                QByteArray(98, '3') + "  "};

// Takes away the process's right to write where only its owner may: root's file system
// permissions are those of an ordinary user while it lives.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (::geteuid() == 0)
            ::setfsuid(65534);
    }
    ~AsOrdinaryUser() {
        if (::geteuid() == 0)
            ::setfsuid(0);
    }
};

// Files may grow to `bytes` at the most while it lives; a longer write is cut short.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit l = m_old;
        l.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

} // namespace

class TestFiles : public QObject {
    Q_OBJECT
private slots:
    void success_data();
    void success();
    void failures_data();
    void failures();
    void fullDevice();
};

void TestFiles::success_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("previous");
    for (Engine e : TestDb::engines()) {
        QTest::newRow(qPrintable(TestDb::engineName(e) + ": new file")) << e << false;
        QTest::newRow(qPrintable(TestDb::engineName(e) + ": replacing a file")) << e << true;
    }
}

void TestFiles::success() {
    QFETCH(Engine, engine);
    QFETCH(bool, previous);
    TestDb db(engine, false);
    makeTables(db.conn());
    QTemporaryDir dir;
    const QString target = dir.filePath("lote.txt");
    if (previous)
        writeFile(target, QByteArray(5000, 'x'));

    RecordFile::writeInTransaction(db.conn(), target, [&] {
        db.conn().execute("INSERT INTO c (p) VALUES (1)");
        return records;
    });

    const QByteArray expected = records[0] + "\r\n" + records[1] + "\r\n" + records[2] + "\r\n";
    QCOMPARE(readAll(target).size(), 306);
    QCOMPARE(readAll(target), expected);
    QCOMPARE(entries(dir.path()), QStringList{"lote.txt"}); // nothing left beside it
    QCOMPARE(rows(db.conn()), 1);
    QVERIFY(!db.conn().inTransaction());
}

void TestFiles::failures_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("previous");
    const char* failures[] = {
        "folder not writable",         "parent is a file", "short write",
        "statement refused",           "commit refused",   "target is a folder",
        "content refused by its check"};
    for (Engine e : TestDb::engines())
        for (const char* f : failures)
            for (bool previous : {false, true}) {
                if (previous &&
                    (QByteArray(f) == "parent is a file" || QByteArray(f) == "target is a folder"))
                    continue;
                QTest::newRow(qPrintable(TestDb::engineName(e) + ": " + f +
                                         (previous ? ", over a file" : ", new file")))
                    << e << QString(f) << previous;
            }
}

void TestFiles::failures() {
    // Whatever fails, the target path holds what it held and the database is as it was.
    QFETCH(Engine, engine);
    QFETCH(QString, failure);
    QFETCH(bool, previous);
    TestDb db(engine, false);
    Connection& c = db.conn();
    makeTables(c);
    QTemporaryDir dir;
    const QString folder = dir.filePath("saida");
    QVERIFY(QDir().mkpath(folder));
    QString target = folder + "/lote.txt";
    const QByteArray before = "conteudo anterior\r\n";
    if (previous)
        writeFile(target, before);
    if (failure == "parent is a file") {
        writeFile(folder + "/arquivo", "x");
        target = folder + "/arquivo/lote.txt";
    } else if (failure == "target is a folder") {
        QVERIFY(QDir().mkpath(target));
    } else if (failure == "folder not writable") {
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                  QFileDevice::ReadOther | QFileDevice::ExeOther));
    }
    const QStringList folderBefore = entries(folder);

    std::unique_ptr<AsOrdinaryUser> ordinary;
    std::unique_ptr<FileSizeLimit> limit;
    bool raised = false;
    try {
        RecordFile::writeInTransaction(
            c, target,
            [&] {
                c.execute("INSERT INTO c (p) VALUES (1)");
                if (failure == "statement refused")
                    c.execute("INSERT INTO nowhere (p) VALUES (1)");
                else if (failure == "commit refused")
                    c.execute("INSERT INTO c (p) VALUES (99)"); // no such parent, seen at commit
                else if (failure == "folder not writable")
                    ordinary = std::make_unique<AsOrdinaryUser>();
                else if (failure == "short write")
                    limit = std::make_unique<FileSizeLimit>(250); // two and a half records
                return records;
            },
            [&](const QByteArray& content) {
                QCOMPARE(content.size(), 306);
                if (failure == "content refused by its check")
                    throw FileError(
                        "O arquivo gerado não passou na conferência e não foi gravado.");
            });
    } catch (const FileError& e) {
        raised = true;
        QVERIFY2(e.message().startsWith(failure == "content refused by its check"
                                            ? "O arquivo gerado não passou"
                                            : "Não foi possível "),
                 qPrintable(e.message()));
    } catch (const DbError& e) {
        raised = true;
        QVERIFY(failure == "statement refused" || failure == "commit refused");
    }
    limit.reset();
    ordinary.reset();
    QVERIFY(raised);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    if (failure == "target is a folder")
        QVERIFY(QFileInfo(target).isDir());
    else if (previous)
        QCOMPARE(readAll(target), before);
    else
        QVERIFY(!QFileInfo::exists(target));
    QCOMPARE(entries(folder), folderBefore); // no temporary or kept-aside file left
    QVERIFY(!c.inTransaction());
    QCOMPARE(rows(c), 0);
    // The connection goes on: the next generation succeeds.
    const QString other = dir.filePath("outro.txt");
    RecordFile::writeInTransaction(c, other, [&] {
        c.execute("INSERT INTO c (p) VALUES (1)");
        return records;
    });
    QCOMPARE(readAll(other).size(), 306);
    QCOMPARE(rows(c), 1);
}

void TestFiles::fullDevice() {
    // A device that takes no more bytes: the write or the flush reports it.
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        QSKIP("/dev/full is not available");
    try {
        RecordFile::writeAndSync(fd, RecordFile::bytesOf(records), "/dev/full");
        ::close(fd);
        QFAIL("the write to a full device was reported as done");
    } catch (const FileError& e) {
        ::close(fd);
        QCOMPARE(e.message(), QString("Não foi possível gravar o arquivo \"/dev/full\": não há "
                                      "espaço suficiente no disco."));
    }
}

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
