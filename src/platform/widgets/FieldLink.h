#pragma once

#include "platform/data/Dataset.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

// The tie between a bound control and one field of a data source's current record: it calls
// the control's refresh when the record moves, the field changes or the dataset changes
// state, except while the control itself is writing the field.
class FieldLink : public QObject {
    Q_OBJECT
public:
    FieldLink(QObject* owner, std::function<void()> refresh);

    void setDataSource(DataSource* source, const QString& field);
    DataSource* dataSource() const { return m_source; }
    Dataset* dataset() const;
    QString field() const { return m_field; }
    const FieldDef* fieldDef() const;

    // The field can be read: the dataset is open and has the field.
    bool canRead() const;
    // The current record's value and text; null / empty when there is none.
    QVariant value() const;
    QString displayText() const;
    // Puts the dataset into edit (insert on an empty result) and writes the field, without
    // refreshing the control that writes. Raises what the dataset raises.
    void write(const QVariant& value);
    // Puts the dataset into edit without writing (a control that takes a keystroke it cannot
    // store yet).
    void startEdit();
    bool writing() const { return m_writing; }

    void refreshNow();

private:
    void onDataChange(const QString& field);

    std::function<void()> m_refresh;
    QPointer<DataSource> m_source;
    QString m_field;
    bool m_writing = false;
};
