#pragma once

#include "platform/data/DatasetModel.h"

#include <QBrush>
#include <QPointer>
#include <QSet>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <functional>

class DbGrid;
class QMenu;

// One data cell as the grid hands it to its painting hook, after the grid drew it its own way.
struct DbGridCell {
    QPainter* painter = nullptr;
    QRect rect;
    int row = -1;
    int column = -1;
    QString field;
    bool selected = false; // the cell is in the current row
    QBrush brush;          // the grid's brush for the cell; a hook may change it
    const DbGrid* grid = nullptr;
    QStyleOptionViewItem option;

    // Fills the cell rectangle with `brush`.
    void fill() const;
    // The grid's own drawing of the field's text over the cell.
    void drawText() const;
    // The focus frame of the current cell while the grid has the focus, which a fill paints over.
    void drawFocus() const;
    // The cell's field value of its row.
    QVariant value() const;
};

// A grid over a data source's dataset: one row per record, whole-row selection, column titles
// from the fields' labels, read-only unless made editable. Clicking a row (or moving with the
// keys) makes that record current, and the grid follows the dataset's current row. Its
// background is the button-face colour and rows are not striped.
class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }
    Dataset* dataset() const;
    DatasetModel* datasetModel() const { return m_model; }

    void setColumns(const QStringList& fields);
    QStringList columns() const;
    // The least widths of the columns; each column widens to show its title and the rows read
    // (fitColumns), and the last one takes the room left.
    void setColumnWidths(const QList<int>& widths);
    void fitColumns();

    // Editing in place: typing edits the cell, Insert inserts a row, Down on the last row
    // appends one.
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }

    // Asked before a click or a key moves the dataset to another row; false keeps the row.
    std::function<bool()> canLeaveRow;

    // The painting hook, called for each data cell after the grid's own drawing.
    std::function<void(DbGridCell& cell)> onDrawColumnCell;

    // The background of cells outside the current row.
    void setBackgroundColor(const QColor& c);
    QColor backgroundColor() const;

    // The usual painting of a list: the current row's cells on the grey of Colors::currentRow.
    static void paintCurrentRow(DbGridCell& cell);

    // Multiple selection: rows marked besides the current one, painted as the current row is
    // (their cells are drawn in the selected state). Click marks one row, Ctrl+click toggles
    // one, Shift+click marks a range; Space marks the current row, Ctrl+Space toggles it,
    // Shift with the arrow keys marks a range and Ctrl with them moves without marking;
    // Ctrl+A marks all. Moving the current row from the program keeps the marks; reading the
    // rows again (or turning the mode off) clears them.
    void setMultiSelect(bool on);
    bool multiSelect() const { return m_multiSelect; }

    // The menu a right click on the rows opens; none (nullptr) opens nothing.
    void setPopupMenu(QMenu* menu);
    QMenu* popupMenu() const;
    void selectAllRows();
    void clearRowSelection();
    void setRowSelected(int row, bool selected);
    bool isRowSelected(int row) const;
    // The marked rows, in the grid's row order.
    QList<Bookmark> selectedRows() const;
    // The same as row numbers, for reading the rows in place.
    QList<int> selectedRowNumbers() const;
    int selectedCount() const { return int(selectedRowNumbers().size()); }

signals:
    void rowSelectionChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void syncToDataset();
    void showSelection();
    void alignLastRow();
    void markRange(int from, int to, bool keepOthers);
    void selectionEdited();
    void onCurrentChanged(const QModelIndex& current, const QModelIndex& previous);

    QPointer<DataSource> m_source;
    DatasetModel* m_model = nullptr;
    QStringList m_columns;
    QList<int> m_minWidths;
    bool m_editable = false;
    bool m_syncing = false;
    bool m_multiSelect = false;
    QSet<quint64> m_marked; // bookmark ids of the marked rows
    int m_anchor = -1;      // where a Shift range starts
    bool m_fittingRows = false;
    QPointer<QMenu> m_popupMenu;
};
