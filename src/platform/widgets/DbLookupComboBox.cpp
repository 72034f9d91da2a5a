#include "platform/widgets/DbLookupComboBox.h"

DbLookupComboBox::DbLookupComboBox(QWidget* parent)
    : QComboBox(parent), m_link(new FieldLink(this, [this] { refresh(); })) {
    setEditable(false);
    setMaxVisibleItems(8);
    connect(this, &QComboBox::activated, this, &DbLookupComboBox::onActivated);
}

void DbLookupComboBox::setDataSource(DataSource* source, const QString& field) {
    m_link->setDataSource(source, field);
}

void DbLookupComboBox::setListSource(DataSource* list, const QString& keyField,
                                     const QString& resultField) {
    if (Dataset* old = listDataset())
        disconnect(old, nullptr, this, nullptr);
    m_list = list;
    m_keyField = keyField.toLower();
    m_resultField = resultField.toLower();
    if (Dataset* ds = listDataset()) {
        connect(ds, &Dataset::rowsReset, this, &DbLookupComboBox::rebuild);
        connect(ds, &Dataset::rowInserted, this, &DbLookupComboBox::rebuild);
        connect(ds, &Dataset::rowRemoved, this, &DbLookupComboBox::rebuild);
        connect(ds, &Dataset::rowChanged, this, &DbLookupComboBox::rebuild);
    }
    rebuild();
}

Dataset* DbLookupComboBox::listDataset() const {
    return m_list ? m_list->dataSet() : nullptr;
}

void DbLookupComboBox::rebuild() {
    const QSignalBlocker block(this);
    clear();
    m_keys.clear();
    m_indexOfKey.clear();
    Dataset* ds = listDataset();
    // Called from the dataset's rowsReset, which an opening sends before its state is browse.
    if (ds) {
        for (int row = 0; row < ds->recordCount(); ++row) {
            const QVariant key = ds->valueAt(row, m_keyField);
            m_keys << key;
            if (!key.isNull() && !m_indexOfKey.contains(key.toString()))
                m_indexOfKey.insert(key.toString(), row);
            addItem(ds->displayTextAt(row, m_resultField));
        }
    }
    refresh();
}

void DbLookupComboBox::refresh() {
    const QVariant v = m_link->dataSource() ? m_link->value() : m_key;
    // Found by a hash: the list may hold thousands of members.
    const int index = v.isNull() ? -1 : m_indexOfKey.value(v.toString(), -1);
    {
        const QSignalBlocker block(this);
        setCurrentIndex(index);
    }
    followList(index);
}

void DbLookupComboBox::followList(int index) {
    Dataset* ds = listDataset();
    if (index < 0 || !ds || !ds->isOpen() || index >= ds->recordCount())
        return;
    if (ds->currentRow() != index)
        ds->moveTo(index);
}

QVariant DbLookupComboBox::shownKey() const {
    const int i = currentIndex();
    return i >= 0 && i < m_keys.size() ? m_keys.at(i) : QVariant();
}

void DbLookupComboBox::showPopup() {
    emit dropDown();
    QComboBox::showPopup();
}

void DbLookupComboBox::hidePopup() {
    QComboBox::hidePopup();
    emit closeUp();
}

QVariant DbLookupComboBox::keyValue() const {
    return m_link->dataSource() ? m_link->value() : m_key;
}

void DbLookupComboBox::setKeyValue(const QVariant& key) {
    m_key = key;
    refresh();
}

void DbLookupComboBox::onActivated(int index) {
    if (!m_link->dataSource() && index >= 0 && index < m_keys.size()) {
        m_key = m_keys.at(index);
        followList(index);
        emit changed();
        return;
    }
    if (!m_link->canRead() || index < 0 || index >= m_keys.size()) {
        refresh();
        return;
    }
    try {
        m_link->write(m_keys.at(index));
    } catch (...) {
        refresh();
        throw;
    }
    followList(index);
    emit changed();
}
