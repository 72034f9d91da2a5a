#include "platform/data/SqliteDirect.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QTemporaryFile>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <unistd.h>

namespace SqliteDirect {

namespace {

// On every way out a kept statement is reset for its next use, any other finalized.
struct Statement {
    sqlite3_stmt* st = nullptr;
    bool kept = false;
    ~Statement() {
        if (kept) {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
        } else {
            sqlite3_finalize(st);
        }
    }
};

constexpr int CacheLimit = 64;

bool onlyBlanks(const char* p, const char* end) {
    for (; p < end; ++p)
        if (!isspace(static_cast<unsigned char>(*p)) && *p != ';')
            return false;
    return true;
}

DbError::Kind kindOf(int code, const QString& message) {
    using K = DbError::Kind;
    switch (code) {
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        return K::ForeignKey;
    case SQLITE_CONSTRAINT_TRIGGER:
        // ON DELETE RESTRICT reports itself as a trigger; SQLite's messages are not translated.
        return message.startsWith(QLatin1String("FOREIGN KEY")) ? K::ForeignKey : K::Constraint;
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return K::Unique;
    default:
        break;
    }
    switch (code & 0xff) {
    case SQLITE_CONSTRAINT:
        return K::Constraint;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return K::Busy;
    case SQLITE_READONLY:
        return K::ReadOnly;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return K::NotADatabase;
    case SQLITE_CANTOPEN:
        return K::CannotOpen;
    case SQLITE_FULL:
        return K::DiskFull;
    case SQLITE_IOERR:
        return K::IoError;
    default:
        return K::Other;
    }
}

void bindOne(sqlite3_stmt* st, int index, const QVariant& v, int* rc) {
    if (!v.isValid() || v.isNull()) {
        *rc = sqlite3_bind_null(st, index);
        return;
    }
    switch (v.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        *rc = sqlite3_bind_int64(st, index, v.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        *rc = sqlite3_bind_double(st, index, v.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        *rc = sqlite3_bind_blob64(st, index, b.constData(), sqlite3_uint64(b.size()),
                                  SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QByteArray t = v.toString().toUtf8();
        *rc = sqlite3_bind_text64(st, index, t.constData(), sqlite3_uint64(t.size()),
                                  SQLITE_TRANSIENT, SQLITE_UTF8);
        return;
    }
    }
}

QVariant column(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, i));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                          sqlite3_column_bytes(st, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)),
                                   sqlite3_column_bytes(st, i)));
    default:
        return QVariant();
    }
}

int compareNames(void* collator, int n1, const void* a, int n2, const void* b) {
    const auto* ca = static_cast<const char*>(a);
    const auto* cb = static_cast<const char*>(b);
    const int r = static_cast<QCollator*>(collator)->compare(QString::fromUtf8(ca, n1),
                                                             QString::fromUtf8(cb, n2));
    if (r != 0)
        return r;
    const int m = std::memcmp(ca, cb, size_t(std::min(n1, n2)));
    return m != 0 ? m : n1 - n2;
}

std::unique_ptr<QCollator> newCollator() {
    auto c = std::make_unique<QCollator>(QLocale(QLocale::Portuguese, QLocale::Brazil));
    c->setCaseSensitivity(Qt::CaseSensitive);
    c->setNumericMode(false);
    c->setIgnorePunctuation(false);
    c->compare(QStringLiteral("a"), QStringLiteral("b")); // set up now, not inside SQLite
    return c;
}

} // namespace

void addNameCollation(sqlite3* db, QCollator* collator) {
    sqlite3_create_collation(db, Dialect::NameCollation, SQLITE_UTF8, collator, compareNames);
}

void backup(const QString& source, const QString& destination, int busyTimeoutMs) {
    const QString from = QFileInfo(source).absoluteFilePath();
    const QString to = QFileInfo(destination).absoluteFilePath();
    if (!QFileInfo::exists(from))
        throw DbError(QStringLiteral("O arquivo %1 não existe.").arg(from));
    if (QFileInfo::exists(to))
        throw DbError(
            QStringLiteral("%1 já existe; a cópia nunca sobrescreve um arquivo.").arg(to));
    QTemporaryFile part(to + QStringLiteral(".parcial-XXXXXX"));
    if (!part.open())
        throw DbError(QStringLiteral("Não foi possível criar a cópia em %1: %2")
                          .arg(QFileInfo(to).absolutePath(), part.errorString()));
    part.close();

    sqlite3* src = nullptr;
    sqlite3* dst = nullptr;
    auto engineError = [](sqlite3* db, const QString& subject) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        return DbError::fromEngine(kindOf(sqlite3_extended_errcode(db), message), message, subject);
    };
    auto closeBoth = [&] {
        sqlite3_close_v2(src);
        sqlite3_close_v2(dst);
        for (const char* side : {"-journal", "-wal", "-shm"})
            QFile::remove(part.fileName() + QLatin1String(side));
    };
    try {
        if (sqlite3_open_v2(from.toUtf8().constData(), &src, SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK)
            throw engineError(src, QStringLiteral("Arquivo: %1").arg(from));
        sqlite3_busy_timeout(src, busyTimeoutMs);
        if (sqlite3_open_v2(part.fileName().toUtf8().constData(), &dst, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK)
            throw engineError(dst, QStringLiteral("Arquivo: %1").arg(part.fileName()));
        sqlite3_busy_timeout(dst, busyTimeoutMs);
        // All pages in one step: the copy is read in one read transaction, so it is one
        // moment of the database whatever the other connections commit meanwhile.
        sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main");
        if (!b)
            throw engineError(dst, QStringLiteral("Arquivo: %1").arg(part.fileName()));
        const auto start = std::chrono::steady_clock::now();
        int rc;
        while ((rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            if (std::chrono::steady_clock::now() - start >=
                std::chrono::milliseconds(busyTimeoutMs))
                break;
            sqlite3_sleep(10);
        }
        sqlite3_backup_finish(b);
        if (rc != SQLITE_DONE)
            throw engineError(dst, QStringLiteral("Arquivo: %1").arg(from));
        // The copy is one file, with no write-ahead log beside it.
        if (sqlite3_exec(dst, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            throw engineError(dst, QStringLiteral("Arquivo: %1").arg(part.fileName()));
    } catch (...) {
        closeBoth();
        throw;
    }
    closeBoth();
    // link() refuses an existing name, so a destination created meanwhile is not overwritten.
    if (::link(QFile::encodeName(part.fileName()).constData(), QFile::encodeName(to).constData()) !=
        0)
        throw DbError(QStringLiteral("Não foi possível gravar a cópia em %1: %2")
                          .arg(to, QString::fromLocal8Bit(std::strerror(errno))));
}

Session::Session(const QString& path, bool create, int busyTimeoutMs)
    : m_busyTimeoutMs(busyTimeoutMs) {
    const QString file = QFileInfo(path).absoluteFilePath();
    const QString subject = QStringLiteral("Arquivo: %1").arg(file);
    // Without SQLITE_OPEN_CREATE a wrong path is an error, never a new empty database. A
    // session belongs to the thread of its connection, so the library's own locking of every
    // call is left out.
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    try {
        if (sqlite3_open_v2(file.toUtf8().constData(), &m_db, flags, nullptr) != SQLITE_OK)
            fail(subject);
        sqlite3_extended_result_codes(m_db, 1);
        // SQLite falls back to reading only when the file cannot be written: refused here, at
        // login, rather than at the first save.
        if (sqlite3_db_readonly(m_db, "main") == 1)
            throw DbError::fromEngine(DbError::Kind::ReadOnly, QString(), subject);
        sqlite3_busy_handler(m_db, busyWait, this);
        m_collator = newCollator();
        addNameCollation(m_db, m_collator.get());
        try {
            // A file that is not a database fails here, not at the first screen.
            run(QStringLiteral("select count(*) from sqlite_master"), {}, true, nullptr);
            // Readers then never block the writer nor the writer the readers; the mode stays
            // in the file.
            const ResultSet mode =
                run(QStringLiteral("PRAGMA journal_mode = WAL"), {}, true, nullptr);
            if (mode.rows.isEmpty() || mode.rows.first().value(0).toString().compare(
                                           QLatin1String("wal"), Qt::CaseInsensitive) != 0)
                throw DbError(QStringLiteral("O arquivo do banco de dados não aceita gravação "
                                             "compartilhada (WAL). %1")
                                  .arg(subject));
            run(QStringLiteral("PRAGMA foreign_keys = ON"), {}, false, nullptr);
            if (run(QStringLiteral("PRAGMA foreign_keys"), {}, true, nullptr)
                    .rows.value(0)
                    .value(0)
                    .toInt() != 1)
                throw DbError(QStringLiteral("Chaves estrangeiras não suportadas pelo SQLite."));
        } catch (const DbError& e) {
            if (e.engineText().isEmpty() || e.kind() == DbError::Kind::Other ||
                e.kind() == DbError::Kind::Busy)
                throw;
            throw DbError::fromEngine(e.kind(), e.engineText(), subject);
        }
    } catch (...) {
        clearCache();
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw;
    }
}

Session::~Session() {
    clearCache();
    sqlite3_close_v2(m_db);
}

void Session::clearCache() {
    for (sqlite3_stmt* st : std::as_const(m_cache))
        sqlite3_finalize(st);
    m_cache.clear();
}

int Session::busyWait(void* self, int count) {
    // Every waiting writer tries again every 2 ms however long it has waited, rather than
    // backing off as SQLite's own handler does, so that the one who came first is not the one
    // who waits longest.
    auto* s = static_cast<Session*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (count == 0)
        s->m_waitStart = now;
    if (now - s->m_waitStart >= std::chrono::milliseconds(s->m_busyTimeoutMs))
        return 0;
    sqlite3_sleep(2);
    return 1;
}

bool Session::lost() const {
    // The file this handle has open is no longer the one at its path (removed, moved or
    // replaced): what is written would go where no other copy looks.
    int moved = 0;
    return sqlite3_file_control(m_db, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK &&
           moved != 0;
}

bool Session::transactionFailed() const {
    // SQLite rolls a whole transaction back by itself on a full disk or an I/O error.
    return sqlite3_get_autocommit(m_db) != 0;
}

void Session::fail(const QString& subject) const {
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    throw DbError::fromEngine(kindOf(sqlite3_extended_errcode(m_db), message), message, subject);
}

ResultSet Session::run(const QString& sql, const QList<DbBinding>& bindings, bool wantRows,
                       int* affected) {
    const QByteArray text = sql.toUtf8();
    const char* tail = text.constData();
    const char* end = text.constData() + text.size();
    qsizetype positionalGiven = 0;
    for (const DbBinding& b : bindings)
        if (b.first.isEmpty())
            ++positionalGiven;
    qsizetype positional = 0; // the next "?" takes the next value without a name
    QSet<QString> namesUsed;
    ResultSet rs;
    int changes = 0;
    // Several statements separated by ";" run one after the other.
    while (tail < end) {
        Statement s;
        const bool whole = tail == text.constData();
        if (whole && (s.st = m_cache.value(text))) {
            s.kept = true;
            tail = end;
        } else {
            if (sqlite3_prepare_v2(m_db, tail, int(end - tail), &s.st, &tail) != SQLITE_OK)
                fail();
            if (!s.st)
                break; // only blanks or a comment left
            // A text of one statement is kept for the next time.
            if (whole && onlyBlanks(tail, end)) {
                if (m_cache.size() >= CacheLimit)
                    clearCache();
                m_cache.insert(text, s.st);
                s.kept = true;
            }
        }
        const int count = sqlite3_bind_parameter_count(s.st);
        for (int i = 1; i <= count; ++i) {
            const char* name = sqlite3_bind_parameter_name(s.st, i);
            const QVariant* value = nullptr;
            if (!name || name[0] == '?') {
                while (positional < bindings.size() && !bindings.at(positional).first.isEmpty())
                    ++positional;
                if (positional < bindings.size())
                    value = &bindings.at(positional++).second;
                if (!value)
                    throw DbError(QStringLiteral("A instrução tem mais parâmetros \"?\" do que "
                                                 "os %1 valores informados.")
                                      .arg(positionalGiven));
            } else {
                const QString wanted = QString::fromUtf8(name);
                for (const DbBinding& b : bindings)
                    if (b.first == wanted)
                        value = &b.second;
                if (!value)
                    throw DbError(QStringLiteral("Parâmetro %1 sem valor.").arg(wanted));
                namesUsed.insert(wanted);
            }
            int rc = SQLITE_OK;
            bindOne(s.st, i, *value, &rc);
            if (rc != SQLITE_OK)
                fail();
        }
        // Before the last statement runs, every value given must have found its place.
        if (tail >= end || onlyBlanks(tail, end)) {
            for (const DbBinding& b : bindings)
                if (!b.first.isEmpty() && !namesUsed.contains(b.first))
                    throw DbError(
                        QStringLiteral("Parâmetro %1 não existe na instrução.").arg(b.first));
            qsizetype used = 0;
            for (qsizetype i = 0; i < positional; ++i)
                if (bindings.at(i).first.isEmpty())
                    ++used;
            if (used != positionalGiven)
                throw DbError(QStringLiteral("A instrução tem %1 parâmetros \"?\" e recebeu %2 "
                                             "valores.")
                                  .arg(used)
                                  .arg(positionalGiven));
        }
        const int n = sqlite3_column_count(s.st);
        const bool rows = wantRows && n > 0;
        if (rows && rs.columns.isEmpty())
            for (int i = 0; i < n; ++i)
                rs.columns << QString::fromUtf8(sqlite3_column_name(s.st, i));
        int rc;
        while ((rc = sqlite3_step(s.st)) == SQLITE_ROW) {
            if (!rows)
                continue;
            QVariantList row;
            row.reserve(n);
            for (int i = 0; i < n; ++i)
                row << column(s.st, i);
            rs.rows.append(std::move(row));
        }
        if (rc != SQLITE_DONE)
            fail();
        changes = sqlite3_changes(m_db);
    }
    if (affected)
        *affected = changes;
    return rs;
}

} // namespace SqliteDirect
