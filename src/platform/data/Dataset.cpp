#include "platform/data/Dataset.h"

#include "platform/data/DateCodec.h"
#include "platform/data/Dialect.h"

#include <QPointer>

#include <algorithm>

namespace {
// Whether the statement holds ":name" as a whole parameter name.
bool namesParam(const QString& sql, const QString& name) {
    const QString mark = QLatin1Char(':') + name;
    for (qsizetype at = sql.indexOf(mark); at >= 0; at = sql.indexOf(mark, at + 1)) {
        const qsizetype after = at + mark.size();
        if (after >= sql.size() ||
            !(sql.at(after).isLetterOrNumber() || sql.at(after) == QLatin1Char('_')))
            return true;
    }
    return false;
}

const QString EmptyError =
    QStringLiteral("Não é possível realizar esta operação em um arquivo vazio");
const QString ClosedError =
    QStringLiteral("Operação não permitida em um conjunto de dados fechado.");
const QString GoneError = QStringLiteral(
    "O registro não existe mais na base de dados. Ele foi excluído por outro usuário.");
} // namespace

Dataset::Dataset(Connection* connection, QObject* parent) : QObject(parent), m_conn(connection) {}

void Dataset::setUpdateTable(const QString& table, const QString& key) {
    m_table = table;
    m_key = key.toLower();
    m_tableColumns.clear();
}

void Dataset::setDeferred(const QString& keyField, const QString& sql) {
    m_deferredKey = keyField.toLower();
    m_deferredSql = sql;
}

ResultSet Dataset::selectDeferred(int from, int to) const {
    const int k = int(m_columns.indexOf(m_deferredKey));
    if (k < 0 || k >= m_firstDeferred)
        throw DbError(QStringLiteral("Campo '%1' não encontrado.").arg(m_deferredKey));
    QVariantList keys;
    for (int i = from; i < to; ++i)
        keys << m_rows.at(i).values.at(k);
    if (keys.isEmpty()) // no rows: still names the columns
        keys << QVariant();
    return m_conn->select(m_deferredSql.arg(Dialect::placeholders(int(keys.size()))), keys);
}

void Dataset::fillDeferred(int from, int to, const ResultSet& rs) const {
    const int k = int(m_columns.indexOf(m_deferredKey));
    const int width = int(m_columns.size()) - m_firstDeferred;
    QStringList names;
    for (const QString& c : rs.columns)
        names << c.toLower();
    QList<int> at; // for each deferred column, its place in the result
    for (int c = m_firstDeferred; c < m_columns.size(); ++c)
        at << int(names.indexOf(m_columns.at(c)));
    const int key = int(names.indexOf(m_deferredKey));
    QHash<QString, QVariantList> byKey;
    for (const QVariantList& r : rs.rows) {
        QVariantList v;
        for (int i : at)
            v << (i >= 0 ? r.at(i) : QVariant());
        byKey.insert(r.value(key).toString(), v);
    }
    for (int i = from; i < to; ++i) {
        // A row deleted since the list was read has nothing to show.
        const QVariantList v = byKey.value(m_rows.at(i).values.at(k).toString());
        m_deferred[i] = v.isEmpty() ? QVariantList(width) : v;
    }
}

QVariant Dataset::rawAt(int row, int column) const {
    if (m_firstDeferred < 0 || column < m_firstDeferred)
        return m_rows.at(row).values.at(column);
    if (m_deferred.at(row).isEmpty()) {
        const int from = row - row % DeferredBlock;
        const int to = qMin(int(m_rows.size()), from + DeferredBlock);
        ResultSet rs;
        if (!m_deferredFailed) {
            try {
                rs = selectDeferred(from, to);
            } catch (const DbError&) {
                // Read while a grid paints: shown blank, and so are the blocks after it until
                // the list is opened again (a server out of reach would hold every paint for
                // its timeout). The operator's next action meets the failure and reports it.
                m_deferredFailed = true;
            }
        }
        fillDeferred(from, to, rs);
    }
    return m_deferred.at(row).at(column - m_firstDeferred);
}

void Dataset::requireWritable() const {
    if (m_firstDeferred >= 0)
        throw DbError(QStringLiteral("Operação não permitida em uma relação somente de leitura."));
}

FieldDef& Dataset::defineField(const QString& name, FieldKind kind, const QString& label) {
    FieldDef& d = m_defs[name.toLower()];
    d.name = name.toLower();
    d.kind = kind;
    d.label = label;
    return d;
}

void Dataset::addLookupField(const QString& name, const QString& keyField, Dataset* lookup,
                             const QString& lookupKey, const QString& lookupResult,
                             const QString& label) {
    FieldDef& d = defineField(name, FieldKind::Auto, label);
    d.isLookup = true;
    d.readOnly = true;
    d.keyField = keyField.toLower();
    d.lookupDataset = lookup;
    d.lookupKey = lookupKey.toLower();
    d.lookupResult = lookupResult.toLower();
    if (!m_lookups.contains(d.name))
        m_lookups << d.name;
    // The looked-up text follows the lookup query: refresh the grid when it reopens.
    connect(lookup, &Dataset::rowsReset, this, [this] {
        if (!m_rows.isEmpty())
            emit rowsReset();
    });
}

const FieldDef* Dataset::fieldDef(const QString& name) const {
    auto it = m_defs.constFind(name.toLower());
    return it == m_defs.constEnd() ? nullptr : &it.value();
}

QStringList Dataset::fieldNames() const {
    return m_columns + m_lookups;
}

bool Dataset::hasField(const QString& name) const {
    const QString n = name.toLower();
    return m_columns.contains(n) || m_lookups.contains(n);
}

int Dataset::columnIndex(const QString& field) const {
    const int i = int(m_columns.indexOf(field.toLower()));
    if (i < 0 && !m_lookups.contains(field.toLower()))
        throw DbError(QStringLiteral("Campo '%1' não encontrado.").arg(field));
    return i;
}

QVariant Dataset::normalize(int column, const QVariant& v) const {
    return normalize(fieldDef(m_columns.at(column)), v);
}

QVariant Dataset::normalize(const FieldDef* d, const QVariant& v) {
    if (!d || v.isNull() || !v.isValid()) {
        if (d && d->kind != FieldKind::Auto)
            return QVariant();
        return v;
    }
    switch (d->kind) {
    case FieldKind::String:
        return v.toString();
    case FieldKind::Integer:
        return v.toInt();
    case FieldKind::Money:
        return Money::fromVariant(v).toVariant();
    case FieldKind::Date:
    case FieldKind::DateTime: {
        const QDateTime dt = DateCodec::fromDb(v);
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    case FieldKind::Boolean:
        if (v.metaType().id() == QMetaType::QString)
            return v.toString() == QLatin1String("1") || v.toString().toLower() == "true";
        return v.toBool();
    case FieldKind::Auto:
        break;
    }
    return v;
}

void Dataset::setState(State s) {
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged();
}

void Dataset::clearFlags() {
    m_bof = m_rows.isEmpty();
    m_eof = m_rows.isEmpty();
}

void Dataset::open() {
    if (isOpen())
        close();
    if (beforeOpen)
        beforeOpen();
    // Bind only the parameters the statement names.
    QVariantMap bound;
    for (auto it = m_params.constBegin(); it != m_params.constEnd(); ++it)
        if (namesParam(m_sql, it.key()))
            bound.insert(it.key(), it.value());
    ResultSet rs = m_conn->select(m_sql, bound);
    m_columns.clear();
    for (const QString& c : rs.columns)
        m_columns << c.toLower();
    m_rows.clear();
    m_rows.reserve(rs.rows.size());
    for (QVariantList& raw : rs.rows) {
        Row r;
        r.id = m_nextId++;
        // Values are held as the engine gave them and converted when read: a large result
        // opens fast and only the rows shown are ever converted.
        r.values = std::move(raw);
        m_rows.append(std::move(r));
    }
    m_firstDeferred = -1;
    m_deferred.clear();
    m_deferredFailed = false;
    if (!m_deferredSql.isEmpty()) {
        // The first block is read now: its result names the deferred columns.
        m_firstDeferred = int(m_columns.size());
        const int to = qMin(int(m_rows.size()), DeferredBlock);
        ResultSet first;
        try {
            first = selectDeferred(0, to);
        } catch (const DbError&) {
            m_rows.clear(); // closed, as when the main select fails
            m_firstDeferred = -1;
            throw;
        }
        for (const QString& c : first.columns)
            if (c.toLower() != m_deferredKey)
                m_columns << c.toLower();
        m_deferred.resize(m_rows.size());
        fillDeferred(0, to, first);
    }
    m_cur = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    m_modified = false;
    m_changed.clear();
    emit rowsReset();
    setState(State::Browse);
    emit dataChanged(QString());
    emit currentRowChanged(m_cur);
    if (afterOpen)
        afterOpen();
    if (afterScroll)
        afterScroll();
}

void Dataset::close() {
    if (!isOpen())
        return;
    m_rows.clear();
    m_deferred.clear();
    m_cur = -1;
    m_bof = m_eof = true;
    m_modified = false;
    m_changed.clear();
    emit rowsReset();
    setState(State::Inactive);
    emit dataChanged(QString());
    if (afterClose)
        afterClose();
}

void Dataset::checkBrowseMode() {
    if (!isEditing())
        return;
    if (m_modified)
        post();
    else
        cancel();
}

void Dataset::afterMove(quint64 previousId) {
    const quint64 now = m_cur >= 0 ? m_rows.at(m_cur).id : 0;
    if (now == previousId)
        return;
    emit currentRowChanged(m_cur);
    emit dataChanged(QString());
    if (afterScroll)
        afterScroll();
}

void Dataset::requireOpen() const {
    if (!isOpen())
        throw DbError(ClosedError);
}

quint64 Dataset::currentId() const {
    return m_cur >= 0 && m_cur < m_rows.size() ? m_rows.at(m_cur).id : 0;
}

int Dataset::indexOfId(quint64 id) const {
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).id == id)
            return i;
    return -1;
}

int Dataset::indexOfKey(const QVariant& key) const {
    const int k = int(m_columns.indexOf(m_key));
    if (k < 0 || key.isNull())
        return -1;
    for (int i = 0; i < m_rows.size(); ++i) {
        const QVariant v = rawAt(i, k);
        if (!v.isNull() && v.toString() == key.toString())
            return i;
    }
    return -1;
}

// Moves to `target`, counted in the rows as they are once the editing has ended (see the
// callers: each ends it first, then works out where to go).
void Dataset::moveCursor(int target, bool forward) {
    const quint64 before = currentId();
    const int n = int(m_rows.size());
    if (n == 0) {
        m_bof = m_eof = true;
        return;
    }
    if (target < 0 || target >= n) {
        // No row beyond: the flag of that end is set, the other cleared.
        m_bof = !forward;
        m_eof = forward;
        return;
    }
    const bool moved = target != m_cur;
    m_cur = target;
    if (moved) {
        m_bof = false;
        m_eof = false;
    }
    afterMove(before);
}

void Dataset::first() {
    requireOpen();
    checkBrowseMode();
    moveCursor(0, false);
    m_bof = true;
    m_eof = m_rows.isEmpty();
}

void Dataset::last() {
    requireOpen();
    // The last row of those that remain once a blank new row is dropped.
    checkBrowseMode();
    moveCursor(int(m_rows.size()) - 1, true);
    m_eof = true;
    m_bof = m_rows.isEmpty();
}

void Dataset::next() {
    requireOpen();
    checkBrowseMode();
    moveCursor(m_cur + 1, true);
}

void Dataset::prior() {
    requireOpen();
    checkBrowseMode();
    moveCursor(m_cur - 1, false);
}

void Dataset::moveTo(int row) {
    if (row == m_cur)
        return;
    requireOpen();
    // The row the operator pointed at is found again after the editing ends: dropping a blank
    // new row above it shifts it up by one.
    const quint64 target = bookmarkAt(row).id;
    const bool forward = row > m_cur;
    checkBrowseMode();
    const int at = target ? indexOfId(target) : row;
    if (target && at < 0)
        return;
    moveCursor(at, forward);
}

bool Dataset::locate(const QString& field, const QVariant& value, int options) {
    checkBrowseMode();
    const bool partial = options & PartialKey;
    const Qt::CaseSensitivity cs =
        (options & CaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const QString wanted = value.toString();
    const FieldDef* d = fieldDef(field);
    const bool whole = value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong;
    int found = -1;
    if (!partial && whole && d && d->kind == FieldKind::Integer) {
        found = rowOf(field, value); // a code among many thousands of rows
    } else {
        for (int i = 0; i < m_rows.size() && found < 0; ++i) {
            const QVariant v = valueAt(i, field);
            bool match;
            if (value.isNull() || (partial && wanted.isEmpty()))
                match = v.isNull() || v.toString().isEmpty();
            else if (partial)
                match = !v.isNull() && v.toString().startsWith(wanted, cs);
            else if (v.metaType().id() == QMetaType::QString ||
                     value.metaType().id() == QMetaType::QString)
                match = !v.isNull() && v.toString().compare(wanted, cs) == 0;
            else
                match = v == value;
            if (match)
                found = i;
        }
    }
    if (found < 0)
        return false;
    jumpTo(found);
    return true;
}

int Dataset::rowOf(const QString& field, const QVariant& value) const {
    if (!isOpen() || value.isNull())
        return -1;
    const int c = columnIndex(field);
    if (c < 0) // a lookup field
        return -1;
    // Whole numbers, as keys are, compared as numbers straight away: QVariant's general
    // comparison would take most of the time on a long list.
    const bool whole = value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong;
    const qlonglong n = value.toLongLong();
    for (int i = 0; i < m_rows.size(); ++i) {
        const QVariant v = rawAt(i, c);
        const int t = v.typeId();
        if (whole && (t == QMetaType::LongLong || t == QMetaType::Int) ? v.toLongLong() == n
                                                                       : v == value)
            return i;
    }
    return -1;
}

Bookmark Dataset::bookmark() const {
    return m_cur >= 0 ? Bookmark{m_rows.at(m_cur).id} : Bookmark{};
}

Bookmark Dataset::bookmarkAt(int row) const {
    return row >= 0 && row < m_rows.size() ? Bookmark{m_rows.at(row).id} : Bookmark{};
}

bool Dataset::gotoBookmark(const Bookmark& b) {
    checkBrowseMode();
    const int at = b.isValid() ? indexOfId(b.id) : -1;
    if (at < 0)
        return false;
    jumpTo(at);
    return true;
}

void Dataset::jumpTo(int row) {
    const quint64 before = currentId();
    m_cur = row;
    clearFlags();
    afterMove(before);
}

QVariant Dataset::valueAt(int row, const QString& field) const {
    const QString f = field.toLower();
    const FieldDef* d = fieldDef(f);
    if (d && d->isLookup) {
        const QVariant key = valueAt(row, d->keyField);
        if (key.isNull() || !d->lookupDataset)
            return {};
        return d->lookupDataset->lookup(d->lookupKey, key, d->lookupResult);
    }
    const int c = columnIndex(f);
    if (row < 0 || row >= m_rows.size())
        return {};
    return normalize(d, rawAt(row, c));
}

QVariant Dataset::value(const QString& field) const {
    return valueAt(m_cur, field);
}

QString Dataset::asString(const QString& field) const {
    const QVariant v = value(field);
    return v.isNull() ? QString() : v.toString();
}

int Dataset::asInteger(const QString& field) const {
    return value(field).toInt();
}

bool Dataset::asBoolean(const QString& field) const {
    return value(field).toBool();
}

Money Dataset::asMoney(const QString& field) const {
    return Money::fromVariant(value(field));
}

QDateTime Dataset::asDateTime(const QString& field) const {
    return DateCodec::fromDb(value(field));
}

bool Dataset::isNull(const QString& field) const {
    const QVariant v = value(field);
    return !v.isValid() || v.isNull();
}

QString Dataset::displayTextAt(int row, const QString& field) const {
    const QVariant v = valueAt(row, field);
    if (!v.isValid() || v.isNull())
        return {};
    const FieldDef* d = fieldDef(field);
    const FieldKind kind = d ? d->kind : FieldKind::Auto;
    switch (kind) {
    case FieldKind::Money:
        return Money::fromVariant(v).format(d->decimals);
    case FieldKind::Date:
        return DateCodec::toText(DateCodec::fromDb(v).date());
    case FieldKind::DateTime: {
        const QDateTime dt = DateCodec::fromDb(v);
        return dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    case FieldKind::Boolean:
        return v.toBool() ? QStringLiteral("Sim") : QStringLiteral("Não");
    default:
        return v.toString();
    }
}

QString Dataset::displayText(const QString& field) const {
    return displayTextAt(m_cur, field);
}

QVariant Dataset::lookup(const QString& keyField, const QVariant& key,
                         const QString& resultField) const {
    if (!isOpen())
        return {};
    const int k = columnIndex(keyField);
    const int r = columnIndex(resultField);
    for (int i = 0; i < m_rows.size(); ++i) {
        const QVariant v = rawAt(i, k);
        if (!v.isNull() && v.toString() == key.toString())
            return normalize(r, rawAt(i, r));
    }
    return {};
}

void Dataset::setValue(const QString& field, const QVariant& value) {
    if (!isEditing())
        throw DbError(QStringLiteral("O conjunto de dados não está em edição ou inclusão."));
    const int c = columnIndex(field);
    if (c < 0)
        throw DbError(QStringLiteral("O campo '%1' não pode ser alterado.").arg(field));
    keepForRollback();
    QVariant v = value;
    const FieldDef* d = fieldDef(m_columns.at(c));
    if (d && d->kind == FieldKind::Date && v.metaType().id() == QMetaType::QDate)
        v = QDateTime(v.toDate(), QTime(0, 0));
    if (v.metaType().id() == QMetaType::QString && v.toString().isEmpty() && d &&
        d->kind != FieldKind::String && d->kind != FieldKind::Auto)
        v = QVariant();
    m_rows[m_cur].values[c] = v;
    m_changed.insert(c);
    m_modified = true;
    emit rowChanged(m_cur);
    emit dataChanged(m_columns.at(c));
}

void Dataset::edit() {
    requireOpen();
    requireWritable();
    if (isEditing())
        return;
    if (m_rows.isEmpty()) {
        insert();
        return;
    }
    keepForRollback();
    m_backup = m_rows.at(m_cur);
    m_changed.clear();
    m_modified = false;
    setState(State::Edit);
}

void Dataset::insertAt(int index) {
    requireOpen();
    requireWritable();
    checkBrowseMode();
    keepForRollback();
    Row r;
    r.id = m_nextId++;
    for (int i = 0; i < m_columns.size(); ++i)
        r.values << QVariant();
    const quint64 before = currentId();
    if (index < 0 || index > m_rows.size())
        index = int(m_rows.size());
    m_rows.insert(index, r);
    emit rowInserted(index);
    m_cur = index;
    m_bof = m_eof = false;
    m_changed.clear();
    m_modified = false;
    setState(State::Insert);
    if (afterInsert)
        afterInsert();
    // The defaults of a new row are no change of the operator's: a blank new row left by a
    // move is dropped, not stored.
    m_modified = false;
    afterMove(before);
}

void Dataset::insert() {
    insertAt(m_cur < 0 ? 0 : m_cur);
}

void Dataset::append() {
    insertAt(int(m_rows.size()));
}

void Dataset::requireUpdateTable() const {
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("Conjunto de dados somente para leitura."));
}

QStringList Dataset::tableColumns() {
    if (m_tableColumns.isEmpty()) {
        m_tableColumns = m_conn->tableColumns(m_table);
        if (m_tableColumns.isEmpty())
            throw DbError(
                QStringLiteral("Tabela %1 não encontrada no banco de dados.").arg(m_table));
    }
    return m_tableColumns;
}

void Dataset::reloadRow(Row& row, const QVariant& key) {
    // Read back what the table holds, so that defaults and conversions show as stored.
    const QStringList tcols = tableColumns();
    QStringList cols;
    for (const QString& c : m_columns)
        if (tcols.contains(c))
            cols << c;
    if (cols.isEmpty())
        return;
    const ResultSet rs = m_conn->select(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                            .arg(cols.join(QStringLiteral(", ")), m_table, m_key),
                                        QVariantList{key});
    if (rs.rows.isEmpty())
        return;
    for (int i = 0; i < cols.size(); ++i) {
        const int c = int(m_columns.indexOf(cols.at(i)));
        row.values[c] = rs.rows.first().at(i);
    }
}

void Dataset::postInsert() {
    const QStringList tcols = tableColumns();
    Row& row = m_rows[m_cur];
    QStringList names;
    QVariantList params;
    for (int i = 0; i < m_columns.size(); ++i) {
        const QString& c = m_columns.at(i);
        if (c == m_key || !tcols.contains(c) || row.values.at(i).isNull())
            continue;
        names << c;
        params << row.values.at(i);
    }
    const QString sql =
        names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING %2").arg(m_table, m_key)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING %4")
                  .arg(m_table, names.join(QStringLiteral(", ")),
                       Dialect::placeholders(int(names.size())), m_key);
    const QVariant key = m_conn->insertReturning(sql, params);
    const int k = int(m_columns.indexOf(m_key));
    if (k >= 0)
        row.values[k] = key;
    reloadRow(row, key);
}

void Dataset::postEdit() {
    const QStringList tcols = tableColumns();
    const int k = int(m_columns.indexOf(m_key));
    if (k < 0)
        throw DbError(QStringLiteral("Chave %1 ausente da consulta.").arg(m_key));
    Row& row = m_rows[m_cur];
    QList<int> changed = m_changed.values();
    std::sort(changed.begin(), changed.end());
    QStringList sets;
    QVariantList params;
    for (int i : std::as_const(changed)) {
        const QString& c = m_columns.at(i);
        if (c == m_key || !tcols.contains(c))
            continue;
        sets << c + QStringLiteral(" = ?");
        params << row.values.at(i);
    }
    if (sets.isEmpty())
        return;
    params << m_backup.values.at(k);
    const int touched = m_conn->execute(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                            .arg(m_table, sets.join(QStringLiteral(", ")), m_key),
                                        params);
    if (touched == 0)
        recordGone();
    reloadRow(row, m_backup.values.at(k));
}

void Dataset::post() {
    if (!isEditing())
        return;
    requireUpdateTable();
    keepForRollback();
    if (m_state == State::Insert)
        postInsert();
    else
        postEdit();
    m_modified = false;
    m_changed.clear();
    clearFlags();
    emit rowChanged(m_cur);
    setState(State::Browse);
    emit dataChanged(QString());
    if (afterPost)
        afterPost();
}

void Dataset::cancel() {
    if (!isEditing())
        return;
    keepForRollback();
    const quint64 before = currentId();
    const bool inserting = m_state == State::Insert;
    // Back in browse before grids hear of the row, so that none of them posts it.
    m_state = State::Browse;
    m_modified = false;
    m_changed.clear();
    if (inserting) {
        const int at = m_cur;
        m_rows.removeAt(at);
        m_cur = m_rows.isEmpty() ? -1 : qMin(at, int(m_rows.size()) - 1);
        emit rowRemoved(at);
    } else {
        m_rows[m_cur] = m_backup;
        emit rowChanged(m_cur);
    }
    clearFlags();
    emit stateChanged();
    emit dataChanged(QString());
    if (afterCancel)
        afterCancel();
    afterMove(before);
}

void Dataset::remove() {
    requireOpen();
    requireWritable();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_rows.isEmpty())
        throw DbError(EmptyError);
    requireUpdateTable();
    if (m_state == State::Edit)
        cancel();
    const int k = int(m_columns.indexOf(m_key));
    if (k < 0)
        throw DbError(QStringLiteral("Chave %1 ausente da consulta.").arg(m_key));
    keepForRollback();
    const quint64 before = currentId();
    const int touched =
        m_conn->execute(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(m_table, m_key),
                        QVariantList{m_rows.at(m_cur).values.at(k)});
    if (touched == 0)
        recordGone();
    const int at = m_cur;
    m_rows.removeAt(at);
    m_cur = m_rows.isEmpty() ? -1 : qMin(at, int(m_rows.size()) - 1);
    emit rowRemoved(at);
    clearFlags();
    afterMove(before);
}

void Dataset::recordGone() {
    // Keys of the rows beside it, the one after first, as a delete would leave the cursor.
    const int k = int(m_columns.indexOf(m_key));
    QVariantList near;
    for (int i : {m_cur + 1, m_cur - 1})
        if (k >= 0 && i >= 0 && i < m_rows.size())
            near << m_rows.at(i).values.at(k);
    try {
        open();
        for (const QVariant& key : std::as_const(near)) {
            const int at = indexOfKey(key);
            if (at >= 0) {
                moveCursor(at, true);
                break;
            }
        }
    } catch (const DbError&) {
        // The rows could not be read again; what the operator must hear is why the save failed.
    }
    throw DbError(GoneError);
}

void Dataset::keepForRollback() {
    if (!m_conn->inTransaction() || m_keptForTransaction == m_conn->transactionSerial())
        return;
    m_keptForTransaction = m_conn->transactionSerial();
    const Snapshot s{m_columns, m_rows, m_backup,   m_changed, m_cur,
                     m_bof,     m_eof,  m_modified, m_state};
    QPointer<Dataset> self(this);
    m_conn->onRollback([self, s] {
        if (self)
            self->restore(s);
    });
}

void Dataset::restore(const Snapshot& s) {
    m_keptForTransaction = 0;
    m_columns = s.columns;
    m_rows = s.rows;
    m_backup = s.backup;
    m_changed = s.changed;
    m_cur = s.cur;
    m_bof = s.bof;
    m_eof = s.eof;
    m_modified = s.modified;
    m_state = s.state;
    // Everything may differ: the screens repaint the rows, the toolbar and the bound boxes.
    emit rowsReset();
    emit stateChanged();
    emit dataChanged(QString());
    emit currentRowChanged(m_cur);
}

void DataSource::setDataSet(Dataset* ds) {
    if (m_ds)
        disconnect(m_ds, nullptr, this, nullptr);
    m_ds = ds;
    if (ds) {
        connect(ds, &Dataset::stateChanged, this, &DataSource::stateChange);
        connect(ds, &Dataset::dataChanged, this, &DataSource::dataChange);
    }
}
