#include "platform/widgets/DbComboBox.h"

DbComboBox::DbComboBox(QWidget* parent)
    : QComboBox(parent), m_link(new FieldLink(this, [this] { refresh(); })) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, &DbComboBox::onActivated);
}

void DbComboBox::setEntries(const QList<Entry>& entries) {
    m_entries = entries;
    const QSignalBlocker block(this);
    clear();
    for (const Entry& e : entries)
        addItem(e.first);
    refresh();
}

void DbComboBox::setDataSource(DataSource* source, const QString& field) {
    m_link->setDataSource(source, field);
}

int DbComboBox::indexOfValue(const QVariant& v) const {
    if (!v.isValid() || v.isNull())
        return -1;
    const QString t = v.toString();
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries.at(i).second.toString() == t)
            return i;
    return -1;
}

void DbComboBox::refresh() {
    const QSignalBlocker block(this);
    setCurrentIndex(indexOfValue(m_link->value()));
}

void DbComboBox::onActivated(int index) {
    if (!m_link->canRead() || index < 0 || index >= m_entries.size()) {
        refresh();
        return;
    }
    try {
        m_link->write(m_entries.at(index).second);
    } catch (...) {
        refresh();
        throw;
    }
    emit changed();
}
