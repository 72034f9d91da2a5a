#pragma once

#include <QComboBox>
#include <QPointer>
#include <QVariant>

class Dataset;

// A drop-down of the rows of a dataset that is bound to no record: it shows the result field
// of each row and remembers the key of the row picked. Picking a row makes it the dataset's
// current row. Re-opening the dataset rebuilds the entries and keeps the choice when its key
// is still there.
class LookupBox : public QComboBox {
    Q_OBJECT
public:
    explicit LookupBox(QWidget* parent = nullptr);

    void setList(Dataset* list, const QString& keyField, const QString& resultField);
    // The key of the row chosen; null when none.
    QVariant key() const;
    void clearChoice() { setCurrentIndex(-1); }

    void showPopup() override;

signals:
    // Before the list drops down: a handler may re-open the dataset.
    void dropDown();

private:
    void rebuild();
    void follow(int index);

    QPointer<Dataset> m_list;
    QString m_keyField;
    QString m_resultField;
};
