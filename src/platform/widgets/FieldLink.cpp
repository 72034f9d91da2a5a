#include "platform/widgets/FieldLink.h"

FieldLink::FieldLink(QObject* owner, std::function<void()> refresh)
    : QObject(owner), m_refresh(std::move(refresh)) {}

void FieldLink::setDataSource(DataSource* source, const QString& field) {
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_field = field.toLower();
    if (source) {
        connect(source, &DataSource::dataChange, this, &FieldLink::onDataChange);
        connect(source, &DataSource::stateChange, this, &FieldLink::refreshNow);
    }
    refreshNow();
}

Dataset* FieldLink::dataset() const {
    return m_source ? m_source->dataSet() : nullptr;
}

const FieldDef* FieldLink::fieldDef() const {
    Dataset* ds = dataset();
    return ds ? ds->fieldDef(m_field) : nullptr;
}

bool FieldLink::canRead() const {
    Dataset* ds = dataset();
    return ds && ds->isOpen() && ds->hasField(m_field);
}

QVariant FieldLink::value() const {
    if (!canRead() || dataset()->isEmpty())
        return {};
    return dataset()->value(m_field);
}

QString FieldLink::displayText() const {
    if (!canRead() || dataset()->isEmpty())
        return {};
    return dataset()->displayText(m_field);
}

void FieldLink::startEdit() {
    Dataset* ds = dataset();
    if (!ds || ds->isEditing())
        return;
    const bool was = m_writing;
    m_writing = true;
    try {
        ds->edit();
    } catch (...) {
        m_writing = was;
        throw;
    }
    m_writing = was;
}

void FieldLink::write(const QVariant& value) {
    Dataset* ds = dataset();
    if (!ds)
        return;
    const bool was = m_writing;
    m_writing = true;
    try {
        if (!ds->isEditing())
            ds->edit();
        ds->setValue(m_field, value);
    } catch (...) {
        m_writing = was;
        throw;
    }
    m_writing = was;
}

void FieldLink::onDataChange(const QString& field) {
    if (field.isEmpty() || field.compare(m_field, Qt::CaseInsensitive) == 0)
        refreshNow();
}

void FieldLink::refreshNow() {
    if (!m_writing && m_refresh)
        m_refresh();
}
