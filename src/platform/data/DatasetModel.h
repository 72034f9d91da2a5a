#pragma once

#include "platform/data/Dataset.h"

#include <QAbstractTableModel>
#include <QStringList>

// A table model over a Dataset's rows, for grids. The columns are the given fields, titled
// by their labels; boolean fields can be shown as check boxes.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(Dataset* ds, QObject* parent = nullptr);

    void setColumns(const QStringList& fields);
    QStringList columns() const { return m_fields; }
    QString fieldAt(int column) const { return m_fields.value(column); }
    void setCheckBoxColumn(const QString& field) { m_checkBox = field.toLower(); }
    // Columns the operator may edit in place (an editable grid).
    void setEditable(bool editable) { m_editable = editable; }
    Dataset* dataset() const { return m_ds; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    Dataset* m_ds;
    QStringList m_fields;
    QString m_checkBox;
    bool m_editable = false;
    int m_rows = 0; // the rows the views know of
};
