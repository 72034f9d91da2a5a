#pragma once

#include "platform/widgets/FieldLink.h"

#include <QComboBox>
#include <QHash>
#include <QPointer>

// A lookup drop-down: its entries are the rows of a second dataset (the list); it shows the
// list's result field of the row whose key field equals the bound field, and picking a row
// writes that row's key. Whenever the box comes to show a row, the list dataset is moved to
// it. The list follows its dataset: re-opening it (with other parameters, say) rebuilds the
// entries.
class DbLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DbLookupComboBox(QWidget* parent = nullptr);

    void setDataSource(DataSource* source, const QString& field);
    DataSource* dataSource() const { return m_link->dataSource(); }
    QString dataField() const { return m_link->field(); }

    void setListSource(DataSource* list, const QString& keyField, const QString& resultField);
    DataSource* listSource() const { return m_list; }
    // Rows the drop-down shows at once.
    void setDropDownRows(int rows) { setMaxVisibleItems(rows); }

    // The key of the row shown; null when none.
    QVariant shownKey() const;
    // A box without a data source keeps the chosen key itself (a choice that lives only on the
    // screen); re-opening the list shows the same key again. Null clears the choice.
    QVariant keyValue() const;
    void setKeyValue(const QVariant& key);

    void showPopup() override;
    void hidePopup() override;

signals:
    // Before the list drops down (a handler may re-open the list dataset), and after it
    // closes.
    void dropDown();
    void closeUp();
    // The operator picked a row (after it was written).
    void changed();

private:
    Dataset* listDataset() const;
    void rebuild();
    void refresh();
    void onActivated(int index);
    void followList(int index);

    FieldLink* m_link;
    QPointer<DataSource> m_list;
    QString m_keyField;
    QString m_resultField;
    QList<QVariant> m_keys;
    QHash<QString, int> m_indexOfKey; // first row of each key
    QVariant m_key;                   // the choice of a box without a data source
};
