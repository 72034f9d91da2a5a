#include "platform/widgets/DbGrid.h"

#include "platform/widgets/Colors.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QValidator>

namespace {

// Refuses typing beyond the column's size. Unlike a maximum length it never cuts the stored
// value the cell editor starts with.
class LengthValidator : public QValidator {
public:
    LengthValidator(int size, QObject* parent) : QValidator(parent), m_size(size) {}
    State validate(QString& input, int&) const override {
        return input.size() <= m_size ? Acceptable : Invalid;
    }

private:
    int m_size;
};

class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(DbGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!m_grid->onDrawColumnCell)
            return;
        DbGridCell cell;
        cell.painter = painter;
        cell.rect = option.rect;
        cell.row = index.row();
        cell.column = index.column();
        cell.field = m_grid->columns().value(index.column());
        cell.selected = option.state & QStyle::State_Selected;
        cell.grid = m_grid;
        cell.option = option;
        initStyleOption(&cell.option, index);
        const QPalette::ColorGroup group =
            (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
        cell.brush = cell.selected ? option.palette.brush(group, QPalette::Highlight)
                                   : option.palette.brush(group, QPalette::Base);
        painter->save();
        m_grid->onDrawColumnCell(cell);
        painter->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            const Dataset* ds = m_grid->dataset();
            const FieldDef* d =
                ds ? ds->fieldDef(m_grid->columns().value(index.column())) : nullptr;
            if (d && d->size > 0)
                e->setValidator(new LengthValidator(d->size, e));
        }
        return w;
    }

private:
    DbGrid* m_grid;
};

} // namespace

void DbGridCell::fill() const {
    painter->fillRect(rect, brush);
}

void DbGridCell::drawText() const {
    const QModelIndex index = grid->datasetModel()->index(row, column);
    const QString text = index.data().toString();
    // Amounts keep their right alignment when the row is painted again.
    const QVariant align = index.data(Qt::TextAlignmentRole);
    const Qt::Alignment alignment =
        align.isValid() ? Qt::Alignment(align.toInt()) : Qt::AlignLeft | Qt::AlignVCenter;
    const QPalette::ColorGroup group =
        (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    const QRect r = rect.adjusted(3, 0, -3, 0);
    painter->drawText(r, alignment, option.fontMetrics.elidedText(text, Qt::ElideRight, r.width()));
}

void DbGridCell::drawFocus() const {
    if (!(option.state & QStyle::State_HasFocus))
        return;
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.rect = rect.adjusted(1, 1, -1, -1);
    focus.backgroundColor = brush.color();
    grid->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, grid);
}

QVariant DbGridCell::value() const {
    const Dataset* ds = grid->dataset();
    return ds ? ds->valueAt(row, field) : QVariant();
}

DbGrid::DbGrid(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A read-only list passes Tab on to the next control; an editable one moves between cells.
    setTabKeyNavigation(false);
    setAlternatingRowColors(false);
    setItemDelegate(new CellDelegate(this));
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (m_popupMenu)
            m_popupMenu->popup(viewport()->mapToGlobal(at));
    });
    setWordWrap(false);
    setBackgroundColor(palette().color(QPalette::Button));
}

void DbGrid::setBackgroundColor(const QColor& c) {
    QPalette p = palette();
    p.setColor(QPalette::Base, c);
    setPalette(p);
}

QColor DbGrid::backgroundColor() const {
    return palette().color(QPalette::Base);
}

Dataset* DbGrid::dataset() const {
    return m_source ? m_source->dataSet() : nullptr;
}

void DbGrid::setDataSource(DataSource* source) {
    if (Dataset* old = dataset())
        disconnect(old, nullptr, this, nullptr);
    m_source = source;
    Dataset* ds = dataset();
    DatasetModel* old = m_model;
    m_model = ds ? new DatasetModel(ds, this) : nullptr;
    if (m_model) {
        m_model->setColumns(m_columns);
        m_model->setEditable(m_editable);
        // While rows come and go the view moves its current index by itself; that is not the
        // operator choosing a row. Connected before setModel, so that it runs before the
        // selection model reacts.
        auto hold = [this] { m_syncing = true; };
        auto release = [this] { m_syncing = false; };
        connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this, hold);
        connect(m_model, &QAbstractItemModel::rowsRemoved, this, release);
        connect(m_model, &QAbstractItemModel::rowsAboutToBeInserted, this, hold);
        connect(m_model, &QAbstractItemModel::rowsInserted, this, release);
        connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, hold);
        connect(m_model, &QAbstractItemModel::modelReset, this, release);
    }
    setModel(m_model);
    delete old;
    if (!ds)
        return;
    // Rows read again are other rows: their marks go (before the grid shows them).
    connect(ds, &Dataset::rowsReset, this, [this] {
        const bool had = !m_marked.isEmpty();
        m_marked.clear();
        m_anchor = -1;
        if (had)
            emit rowSelectionChanged();
    });
    // Queued behind the model's own handling of the same signals.
    connect(ds, &Dataset::currentRowChanged, this, &DbGrid::syncToDataset);
    connect(ds, &Dataset::rowsReset, this, &DbGrid::syncToDataset);
    connect(ds, &Dataset::rowRemoved, this, &DbGrid::syncToDataset);
    connect(ds, &Dataset::rowInserted, this, &DbGrid::syncToDataset);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DbGrid::onCurrentChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DbGrid::fitColumns);
    syncToDataset();
    fitColumns();
}

void DbGrid::setColumns(const QStringList& fields) {
    m_columns.clear();
    for (const QString& f : fields)
        m_columns << f.toLower();
    if (m_model)
        m_model->setColumns(m_columns);
}

QStringList DbGrid::columns() const {
    return m_columns;
}

void DbGrid::setColumnWidths(const QList<int>& widths) {
    m_minWidths = widths;
    fitColumns();
}

void DbGrid::fitColumns() {
    if (!model())
        return;
    for (int i = 0; i < model()->columnCount(); ++i) {
        const int least = m_minWidths.value(i, 0);
        // Cut member, name or code columns are unreadable: wide enough for the title and for
        // the longest text among the rows read.
        const QString title = model()->headerData(i, Qt::Horizontal).toString();
        const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
        const int want =
            qMax(horizontalHeader()->fontMetrics().horizontalAdvance(title) + 4 * margin,
                 sizeHintForColumn(i));
        if (least == 0 && want == 0)
            continue;
        setColumnWidth(i, qMax(least, want));
    }
}

// The rows area holds whole rows only: what is left below the last whole row stays blank
// instead of showing half a row the operator cannot read.
void DbGrid::updateGeometries() {
    if (m_fittingRows)
        return;
    m_fittingRows = true;
    QTableView::updateGeometries(); // sets the margins for the headers, the bottom one to zero
    const int rowHeight = verticalHeader()->defaultSectionSize();
    const int rest = rowHeight > 0 ? viewport()->height() % rowHeight : 0;
    if (rest > 0) {
        const QMargins m = viewportMargins();
        setViewportMargins(m.left(), m.top(), m.right(), rest);
    }
    alignLastRow();
    m_fittingRows = false;
}

void DbGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    alignLastRow();
}

// Scrolled to its end, a long list shows its last row at the bottom of the rows area. The
// table places it by the height the rows area had before its blank strip was taken off.
void DbGrid::alignLastRow() {
    const QScrollBar* bar = verticalScrollBar();
    if (bar->maximum() == 0 || bar->value() != bar->maximum())
        return;
    QHeaderView* rows = verticalHeader();
    const int offset = rows->length() - viewport()->height();
    if (rows->offset() != offset) {
        rows->setOffset(offset);
        viewport()->update();
    }
}

void DbGrid::setPopupMenu(QMenu* menu) {
    m_popupMenu = menu;
    setContextMenuPolicy(menu ? Qt::CustomContextMenu : Qt::NoContextMenu);
}

QMenu* DbGrid::popupMenu() const {
    return m_popupMenu;
}

void DbGrid::setEditable(bool editable) {
    m_editable = editable;
    setTabKeyNavigation(editable);
    if (m_model)
        m_model->setEditable(editable);
    setEditTriggers(editable
                        ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                        : QAbstractItemView::NoEditTriggers);
}

void DbGrid::syncToDataset() {
    Dataset* ds = dataset();
    if (!ds || !m_model || m_syncing)
        return;
    m_syncing = true;
    const int row = ds->currentRow();
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clear();
    } else {
        const int col = qMax(0, currentIndex().column());
        const QModelIndex idx = m_model->index(row, qMin(col, qMax(0, m_model->columnCount() - 1)));
        selectionModel()->setCurrentIndex(idx, m_multiSelect ? QItemSelectionModel::NoUpdate
                                                             : QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
        scrollTo(idx);
    }
    if (m_multiSelect)
        showSelection();
    m_syncing = false;
    viewport()->update();
}

void DbGrid::onCurrentChanged(const QModelIndex& current, const QModelIndex&) {
    Dataset* ds = dataset();
    if (m_syncing || !ds || !ds->isOpen() || !current.isValid())
        return;
    if (current.row() == ds->currentRow())
        return;
    if (canLeaveRow && !canLeaveRow()) {
        syncToDataset();
        return;
    }
    try {
        ds->moveTo(current.row());
    } catch (...) {
        // The move was refused (a post that failed): the grid goes back to the dataset's row.
        syncToDataset();
        throw;
    }
    syncToDataset();
}

void DbGrid::keyPressEvent(QKeyEvent* event) {
    Dataset* ds = dataset();
    if (m_multiSelect && ds && ds->isOpen() && !m_editable) {
        const int before = ds->currentRow();
        const bool ctrl = event->modifiers() & Qt::ControlModifier;
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        if (event->matches(QKeySequence::SelectAll)) {
            selectAllRows();
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Space && before >= 0) {
            setRowSelected(before, ctrl ? !isRowSelected(before) : true);
            m_anchor = before;
            event->accept();
            return;
        }
        QTableView::keyPressEvent(event);
        const int after = ds->currentRow();
        if (after == before || after < 0)
            return;
        if (shift) {
            markRange(m_anchor >= 0 ? m_anchor : before, after, ctrl);
        } else if (!ctrl) {
            m_marked = {ds->bookmarkAt(after).id};
            m_anchor = after;
            selectionEdited();
        }
        return;
    }
    if (m_editable && ds && ds->isOpen() && state() != QAbstractItemView::EditingState) {
        if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
            ds->insert();
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier &&
            (ds->isEmpty() || ds->currentRow() == ds->recordCount() - 1)) {
            // Moving down from the last row appends a blank one; a blank row just appended
            // stays as it is.
            if (!(ds->state() == Dataset::State::Insert && !ds->modified()))
                ds->append();
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void DbGrid::mousePressEvent(QMouseEvent* event) {
    const int row = indexAt(event->position().toPoint()).row();
    QTableView::mousePressEvent(event); // makes the clicked row current
    Dataset* ds = dataset();
    if (!m_multiSelect || !ds || row < 0 || event->button() != Qt::LeftButton)
        return;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if ((event->modifiers() & Qt::ShiftModifier) && m_anchor >= 0) {
        markRange(m_anchor, row, ctrl);
        return;
    }
    if (ctrl) {
        setRowSelected(row, !isRowSelected(row));
    } else {
        m_marked = {ds->bookmarkAt(row).id};
        selectionEdited();
    }
    m_anchor = row;
}

void DbGrid::setMultiSelect(bool on) {
    if (on == m_multiSelect)
        return;
    m_multiSelect = on;
    m_marked.clear();
    m_anchor = -1;
    syncToDataset();
    emit rowSelectionChanged();
}

void DbGrid::selectAllRows() {
    Dataset* ds = dataset();
    if (!m_multiSelect || !ds)
        return;
    for (int r = 0; r < ds->recordCount(); ++r)
        m_marked.insert(ds->bookmarkAt(r).id);
    selectionEdited();
}

void DbGrid::clearRowSelection() {
    m_marked.clear();
    m_anchor = -1;
    selectionEdited();
}

void DbGrid::setRowSelected(int row, bool selected) {
    Dataset* ds = dataset();
    const Bookmark b = ds ? ds->bookmarkAt(row) : Bookmark{};
    if (!m_multiSelect || !b.isValid())
        return;
    if (selected)
        m_marked.insert(b.id);
    else
        m_marked.remove(b.id);
    selectionEdited();
}

bool DbGrid::isRowSelected(int row) const {
    const Dataset* ds = dataset();
    return ds && !m_marked.isEmpty() && m_marked.contains(ds->bookmarkAt(row).id);
}

QList<Bookmark> DbGrid::selectedRows() const {
    QList<Bookmark> out;
    for (int r : selectedRowNumbers())
        out << dataset()->bookmarkAt(r);
    return out;
}

QList<int> DbGrid::selectedRowNumbers() const {
    QList<int> out;
    const Dataset* ds = dataset();
    if (!ds || m_marked.isEmpty())
        return out;
    for (int r = 0; r < ds->recordCount(); ++r)
        if (m_marked.contains(ds->bookmarkAt(r).id))
            out << r;
    return out;
}

void DbGrid::markRange(int from, int to, bool keepOthers) {
    Dataset* ds = dataset();
    if (!keepOthers)
        m_marked.clear();
    for (int r = qMin(from, to); r <= qMax(from, to); ++r)
        m_marked.insert(ds->bookmarkAt(r).id);
    m_anchor = from;
    selectionEdited();
}

void DbGrid::selectionEdited() {
    showSelection();
    emit rowSelectionChanged();
}

// The view's selection shows the current row and the marked ones, so that the painting of
// the selected state (and its hook) covers both.
void DbGrid::showSelection() {
    Dataset* ds = dataset();
    if (!m_model || !ds || m_model->columnCount() == 0)
        return;
    const int current = ds->currentRow();
    const int last = m_model->columnCount() - 1;
    QItemSelection shown;
    const int n = qMin(ds->recordCount(), m_model->rowCount());
    if (m_marked.isEmpty()) {
        // Only the current row, however long the list.
        if (current >= 0 && current < n)
            shown.select(m_model->index(current, 0), m_model->index(current, last));
    } else {
        int start = -1;
        for (int r = 0; r <= n; ++r) {
            const bool on = r < n && (r == current || isRowSelected(r));
            if (on && start < 0)
                start = r;
            if (!on && start >= 0) {
                shown.select(m_model->index(start, 0), m_model->index(r - 1, last));
                start = -1;
            }
        }
    }
    const bool was = m_syncing;
    m_syncing = true;
    selectionModel()->select(shown, QItemSelectionModel::ClearAndSelect);
    m_syncing = was;
    viewport()->update();
}

void DbGrid::paintCurrentRow(DbGridCell& cell) {
    if (cell.selected)
        cell.brush = Colors::currentRow();
    cell.fill();
    cell.drawText();
    cell.drawFocus();
}
