#pragma once

#include "platform/widgets/FieldLink.h"

#include <QComboBox>
#include <QList>
#include <QPair>

// A fixed drop-down list bound to a field: each entry has a caption and the value it stores.
// It shows the caption of the stored value (nothing when no entry holds it); picking an entry
// puts the dataset into edit and writes the entry's value.
class DbComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DbComboBox(QWidget* parent = nullptr);

    using Entry = QPair<QString, QVariant>; // caption, stored value
    void setEntries(const QList<Entry>& entries);
    QList<Entry> entries() const { return m_entries; }

    void setDataSource(DataSource* source, const QString& field);
    DataSource* dataSource() const { return m_link->dataSource(); }
    QString dataField() const { return m_link->field(); }

    // The entry whose value equals `v` (compared as text); -1 when none.
    int indexOfValue(const QVariant& v) const;

signals:
    // The operator picked an entry (after it was written).
    void changed();

private:
    void refresh();
    void onActivated(int index);

    FieldLink* m_link;
    QList<Entry> m_entries;
};
