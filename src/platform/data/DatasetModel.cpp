#include "platform/data/DatasetModel.h"

DatasetModel::DatasetModel(Dataset* ds, QObject* parent)
    : QAbstractTableModel(parent), m_ds(ds), m_rows(ds->recordCount()) {
    // New rows are told as rows removed and inserted, not as a reset: a reset makes the views
    // measure their column titles again, which is most of the cost of showing another lot.
    connect(ds, &Dataset::rowsReset, this, [this] {
        if (m_rows > 0) {
            beginRemoveRows({}, 0, m_rows - 1);
            m_rows = 0;
            endRemoveRows();
        }
        if (m_ds->recordCount() > 0) {
            beginInsertRows({}, 0, m_ds->recordCount() - 1);
            m_rows = m_ds->recordCount();
            endInsertRows();
        }
    });
    connect(ds, &Dataset::rowInserted, this, [this](int row) {
        beginInsertRows({}, row, row);
        ++m_rows;
        endInsertRows();
    });
    connect(ds, &Dataset::rowRemoved, this, [this](int row) {
        beginRemoveRows({}, row, row);
        --m_rows;
        endRemoveRows();
    });
    connect(ds, &Dataset::rowChanged, this, [this](int row) {
        if (row >= 0 && !m_fields.isEmpty())
            emit dataChanged(index(row, 0), index(row, int(m_fields.size()) - 1));
    });
}

void DatasetModel::setColumns(const QStringList& fields) {
    beginResetModel();
    m_fields.clear();
    for (const QString& f : fields)
        m_fields << f.toLower();
    endResetModel();
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows || index.row() >= m_ds->recordCount())
        return {};
    const QString& f = m_fields.at(index.column());
    if (f == m_checkBox) {
        if (role == Qt::CheckStateRole)
            return m_ds->valueAt(index.row(), f).toBool() ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_ds->displayTextAt(index.row(), f);
    if (role == Qt::TextAlignmentRole) {
        // Amounts line up on their decimal comma.
        const FieldDef* d = m_ds->fieldDef(f);
        if (d && d->kind == FieldKind::Money)
            return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant DatasetModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section >= m_fields.size())
        return QAbstractTableModel::headerData(section, o, role);
    const FieldDef* d = m_ds->fieldDef(m_fields.at(section));
    return d && !d->label.isEmpty() ? d->label : m_fields.at(section);
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid()) {
        const FieldDef* d = m_ds->fieldDef(m_fields.at(index.column()));
        if (!d || !d->readOnly)
            f |= Qt::ItemIsEditable;
    }
    return f;
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!m_editable || role != Qt::EditRole || !index.isValid())
        return false;
    if (index.row() != m_ds->currentRow())
        m_ds->moveTo(index.row());
    m_ds->edit();
    m_ds->setValue(m_fields.at(index.column()), value);
    return true;
}
