#pragma once

#include "platform/data/Connection.h"
#include "platform/data/Money.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <functional>

class Dataset;

// How a column's values are read, held and shown.
enum class FieldKind { Auto, String, Integer, Money, Date, DateTime, Boolean };

struct FieldDef {
    QString name;
    QString label; // the title lists and grids show
    FieldKind kind = FieldKind::Auto;
    int size = 0;     // text columns: the most characters the column holds
    int decimals = 2; // money: decimals shown
    bool readOnly = false;
    // A lookup field shows `lookupResult` of the row of `lookupDataset` whose `lookupKey`
    // equals this dataset's `keyField`.
    bool isLookup = false;
    QString keyField;
    Dataset* lookupDataset = nullptr;
    QString lookupKey;
    QString lookupResult;
};

// A place in the rows, kept across edits of other rows.
struct Bookmark {
    quint64 id = 0;
    bool isValid() const { return id != 0; }
};

// The record cursor: a select with named parameters opened into an in-memory snapshot of its
// rows, with a current row, the browse/edit/insert states, the modified flag, the begin and end
// flags, locate, bookmarks and lookup fields. Changes are written through to one table by its
// key. Parameters are written ":name" in the SQL and set by name without the colon.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    enum LocateOption { CaseInsensitive = 1, PartialKey = 2 };

    explicit Dataset(Connection* connection, QObject* parent = nullptr);

    Connection* connection() const { return m_conn; }
    void setSql(const QString& sql) { m_sql = sql; }
    void setSql(const QStringList& lines) { m_sql = lines.join(QLatin1Char('\n')); }
    QString sql() const { return m_sql; }
    void setParam(const QString& name, const QVariant& value) { m_params[name] = value; }
    QVariant param(const QString& name) const { return m_params.value(name); }
    // The table that post and delete write to, and its identity key column.
    void setUpdateTable(const QString& table, const QString& key);
    // Columns read only for the rows looked at, a block of rows at a time: `sql` selects
    // `keyField` and those columns for the keys put in place of its "%1" (as in "where
    // cod_lote in (%1)"). The main select then gives the key and what the program searches
    // and decides on, so a list of hundreds of thousands of rows opens at the cost of its
    // keys. The columns are for showing: once a block cannot be read, it and the blocks not
    // yet read show blank until the dataset is opened again. Such a dataset is read-only.
    void setDeferred(const QString& keyField, const QString& sql);

    // Field definitions; columns without one are held as the engine returns them.
    FieldDef& defineField(const QString& name, FieldKind kind, const QString& label = {});
    void addLookupField(const QString& name, const QString& keyField, Dataset* lookup,
                        const QString& lookupKey, const QString& lookupResult,
                        const QString& label = {});
    const FieldDef* fieldDef(const QString& name) const;
    // Result columns, then lookup fields.
    QStringList fieldNames() const;
    bool hasField(const QString& name) const;

    void open();
    void close();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int recordCount() const { return int(m_rows.size()); }
    int recNo() const { return m_cur + 1; } // 1-based; 0 when empty
    int currentRow() const { return m_cur; }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    bool modified() const { return m_modified; }

    void first();
    void prior();
    void next();
    void last();
    // Makes row `row` current (a click in a grid); moves like next/prior do.
    void moveTo(int row);
    bool locate(const QString& field, const QVariant& value, int options = 0);
    // The first row whose `field` holds `value` (numbers compared by value), without moving;
    // -1 when none. Reads the values as held, fast enough for lists of many thousands of rows.
    int rowOf(const QString& field, const QVariant& value) const;
    Bookmark bookmark() const;
    // The bookmark of row `row`; an invalid one outside the rows.
    Bookmark bookmarkAt(int row) const;
    bool gotoBookmark(const Bookmark& b);

    // The current row's values. A lookup field gives the looked-up value.
    QVariant value(const QString& field) const;
    QString asString(const QString& field) const;
    int asInteger(const QString& field) const;
    bool asBoolean(const QString& field) const;
    Money asMoney(const QString& field) const;
    QDateTime asDateTime(const QString& field) const;
    bool isNull(const QString& field) const;
    // The text a list or a bound box shows for the value.
    QString displayText(const QString& field) const;
    // Any row's value and text, for grids.
    QVariant valueAt(int row, const QString& field) const;
    QString displayTextAt(int row, const QString& field) const;
    // The first row whose `keyField` equals `key`, and its `resultField`; null when none.
    QVariant lookup(const QString& keyField, const QVariant& key, const QString& resultField) const;

    // Needs edit or insert; sets the modified flag.
    void setValue(const QString& field, const QVariant& value);
    void clearValue(const QString& field) { setValue(field, QVariant()); }

    void edit();   // on an empty result: insert
    void insert(); // a blank row at the current position
    void append(); // a blank row at the end
    // Writes the row by its key and reads it back; a refusal raises DbError and the row stays
    // as it was. An edit of a row that is no longer in the table raises DbError and reads the
    // rows again, near where the cursor was.
    void post();
    void cancel();
    void remove(); // deletes the current row from the table; a row no longer there as in post()
    // Posts a modified row, cancels an unmodified one; nothing in browse.
    void checkBrowseMode();

    // Hooks, run in the order the states change; an exception in one reaches the caller.
    std::function<void()> beforeOpen, afterOpen, afterClose, afterScroll, afterInsert, afterPost,
        afterCancel;

signals:
    void stateChanged();
    // A field of the current row changed (field empty: the whole row, e.g. after a move).
    void dataChanged(const QString& field);
    // For grids.
    void rowsReset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentRowChanged(int row);

private:
    struct Row {
        quint64 id = 0;
        QVariantList values;
    };
    // Everything a transaction that does not commit must put back.
    struct Snapshot {
        QStringList columns;
        QList<Row> rows;
        Row backup;
        QSet<int> changed;
        int cur = -1;
        bool bof = true;
        bool eof = true;
        bool modified = false;
        State state = State::Inactive;
    };

    int columnIndex(const QString& field) const;
    QVariant normalize(int column, const QVariant& v) const;
    static QVariant normalize(const FieldDef* d, const QVariant& v);
    void setState(State s);
    void requireOpen() const;
    quint64 currentId() const;
    int indexOfId(quint64 id) const;
    int indexOfKey(const QVariant& key) const;
    void keepForRollback();
    void restore(const Snapshot& s);
    [[noreturn]] void recordGone();
    void moveCursor(int target, bool forward);
    void afterMove(quint64 previousId);
    // Makes `row` current after a search: the flags cleared, the hooks told of the move.
    void jumpTo(int row);
    void insertAt(int index);
    void clearFlags();
    void requireUpdateTable() const;
    QStringList tableColumns();
    void postInsert();
    void postEdit();
    void reloadRow(Row& row, const QVariant& key);
    void requireWritable() const;
    // A column's value held for a row, deferred columns read as needed.
    QVariant rawAt(int row, int column) const;
    ResultSet selectDeferred(int from, int to) const;
    void fillDeferred(int from, int to, const ResultSet& rs) const;

    Connection* m_conn;
    QString m_sql;
    QVariantMap m_params;
    QString m_table;
    QString m_key;
    QStringList m_tableColumns; // cached columns of the update table
    QHash<QString, FieldDef> m_defs;
    QStringList m_lookups; // lookup field names, in order of definition
    QStringList m_columns; // result columns, lower case
    QList<Row> m_rows;
    Row m_backup;        // the row as it was before edit
    QSet<int> m_changed; // columns changed since edit/insert
    int m_cur = -1;
    bool m_bof = true;
    bool m_eof = true;
    bool m_modified = false;
    State m_state = State::Inactive;
    quint64 m_nextId = 1;
    quint64 m_keptForTransaction = 0; // the transaction whose rollback puts this cursor back
    static constexpr int DeferredBlock = 100;
    QString m_deferredKey;
    QString m_deferredSql;
    int m_firstDeferred = -1; // in m_columns; -1 when there are none
    // Per row, the deferred columns' values; empty until the row's block is read.
    mutable QList<QVariantList> m_deferred;
    mutable bool m_deferredFailed = false; // a block could not be read since the open
};

// Ties a dataset to the screen: relays its state and data notifications.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr) : QObject(parent) {}
    void setDataSet(Dataset* ds);
    Dataset* dataSet() const { return m_ds; }

signals:
    void stateChange();
    void dataChange(const QString& field);

private:
    Dataset* m_ds = nullptr;
};
