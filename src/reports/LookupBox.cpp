#include "reports/LookupBox.h"

#include "platform/data/Dataset.h"

LookupBox::LookupBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMaxVisibleItems(8);
    connect(this, &QComboBox::activated, this, &LookupBox::follow);
}

void LookupBox::setList(Dataset* list, const QString& keyField, const QString& resultField) {
    if (m_list)
        disconnect(m_list, nullptr, this, nullptr);
    m_list = list;
    m_keyField = keyField;
    m_resultField = resultField;
    connect(list, &Dataset::rowsReset, this, &LookupBox::rebuild);
    rebuild();
}

QVariant LookupBox::key() const {
    return currentIndex() >= 0 ? currentData() : QVariant();
}

void LookupBox::showPopup() {
    emit dropDown();
    QComboBox::showPopup();
}

void LookupBox::rebuild() {
    const QVariant chosen = key();
    const QSignalBlocker block(this);
    clear();
    // Called from the dataset's rowsReset, which an opening sends before its state is browse.
    if (m_list)
        for (int row = 0; row < m_list->recordCount(); ++row)
            addItem(m_list->displayTextAt(row, m_resultField), m_list->valueAt(row, m_keyField));
    setCurrentIndex(chosen.isNull() ? -1 : findData(chosen));
}

void LookupBox::follow(int index) {
    if (m_list && m_list->isOpen() && index >= 0 && index < m_list->recordCount())
        m_list->moveTo(index);
}
