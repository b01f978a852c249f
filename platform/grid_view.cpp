#include "grid_view.h"

#include "grid_table_model.h"
#include "memory_grid.h"
#include "song_columns.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QValidator>

namespace nimbel {

namespace {

// Note texts are read in capitals: what is typed shows so at once.
class CapitalsValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

// The keys the program acts on; Key::none for any other.
Key programKey(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Left: return Key::left;
    case Qt::Key_Right: return Key::right;
    case Qt::Key_Up: return Key::up;
    case Qt::Key_Down: return Key::down;
    case Qt::Key_Home: return Key::home;
    case Qt::Key_End: return Key::end;
    case Qt::Key_PageUp: return Key::pageUp;
    case Qt::Key_PageDown: return Key::pageDown;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::enter;
    case Qt::Key_F1: return Key::f1;
    case Qt::Key_F2: return Key::f2;
    case Qt::Key_Delete: return Key::del;
    case Qt::Key_Backspace: return Key::backspace;
    case Qt::Key_Escape: return Key::escape;
    case Qt::Key_Space: return Key::space;
    default: break;
    }
    const bool plain = (event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier;
    const QString text = event.text();
    if (plain && text.size() == 1 && text[0].unicode() > 32 && text[0].unicode() < 127) return Key::character;
    return Key::none;
}

}  // namespace

GridView::GridView(MemoryGrid& grid, EventQueue& queue, int window, int gadget, QWidget* parent)
    : QTableView(parent), model_(new GridTableModel(grid, this)), queue_(queue), window_(window), gadget_(gadget)
{
    setModel(model_);
    // Without a frame the rows start right below the header, where the row mapping expects them.
    setFrameShape(QFrame::NoFrame);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Clicks give the grid the keyboard, which the program's cursor keys use.
    setFocusPolicy(Qt::StrongFocus);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

    QFont small = font();
    small.setPixelSize(11);
    setFont(small);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(kGridRowHeight);
    rows->setDefaultSectionSize(kGridRowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* columns = horizontalHeader();
    columns->setFixedHeight(kGridHeaderHeight);
    columns->setMinimumSectionSize(1);
    columns->setDefaultSectionSize(kNoteColumnWidth);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    columns->setStretchLastSection(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // Only the user's scrolling is reported: the program keeping a column in view is no event.
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int) { report(gadgetEvent(window_, gadget_, GadgetAction::scrolled)); });
    connect(model_, &QAbstractItemModel::modelReset, this,
            [this] { applyColumnWidths(0, model_->columnCount({}) - 1); });
    connect(model_, &QAbstractItemModel::columnsInserted, this,
            [this](const QModelIndex&, int first, int last) { applyColumnWidths(first, last); });
    applyColumnWidths(0, model_->columnCount({}) - 1);
}

void GridView::bringUpToDate() { model_->finishCollectedChanges(); }

void GridView::applyColumnWidths(int first, int last)
{
    // Most columns have the default width; resizing only the others keeps a
    // reset of tens of thousands of columns cheap.
    QHeaderView* columns = horizontalHeader();
    for (int c = first; c <= last; ++c) {
        const int width = model_->grid().columnWidth(c);
        if (columns->sectionSize(c) != width) columns->resizeSection(c, width);
    }
}

void GridView::setCursorCell(int row, int column)
{
    viewport()->update(visualRect(model_->index(cursor_.y(), cursor_.x())).adjusted(-2, -2, 2, 2));
    cursor_ = {column, row};
    bringUpToDate();
    const QModelIndex cell = model_->index(row, column);
    viewport()->update(visualRect(cell).adjusted(-2, -2, 2, 2));
    // A cell that fits on the first screen shows with the columns left of it.
    const QHeaderView* columns = horizontalHeader();
    if (columns->sectionPosition(column) + columns->sectionSize(column) <= viewport()->width())
        horizontalScrollBar()->setValue(0);
    scrollTo(cell, QAbstractItemView::EnsureVisible);
}

void GridView::openEditor(int row, int column, const QString& text)
{
    closeEditor();
    bringUpToDate();
    const QModelIndex cell = model_->index(row, column);
    scrollTo(cell, QAbstractItemView::EnsureVisible);
    const QRect place = visualRect(cell);
    editor_ = new QLineEdit(viewport());
    editor_->setFrame(false);
    editor_->setValidator(new CapitalsValidator(editor_));
    editor_->setText(text);
    // Several notes are typed at once: the editor is wider than one cell.
    editor_->setGeometry(place.x(), place.y(), std::max(place.width(), 240), place.height());
    editor_->installEventFilter(this);
    editor_->show();
    editor_->setFocus(Qt::OtherFocusReason);
}

QString GridView::editorText() const { return editor_ ? editor_->text() : QString(); }

void GridView::closeEditor()
{
    if (!editor_) return;
    // The editor may have the keyboard even while its window is not the active one.
    const bool hadFocus = window()->focusWidget() == editor_;
    // Events of its own destruction (losing the focus) would reach the filter half destroyed.
    editor_->removeEventFilter(this);
    delete editor_;
    if (hadFocus) setFocus(Qt::OtherFocusReason);
}

void GridView::setPlayhead(int column) { model_->setPlayheadColumn(column); }

void GridView::follow(int column)
{
    bringUpToDate();
    const QHeaderView* columns = horizontalHeader();
    if (column < 0 || column >= columns->count()) return;
    const int left = columns->sectionPosition(column);
    const int shownFrom = horizontalScrollBar()->value();
    if (left < shownFrom || left + columns->sectionSize(column) > shownFrom + viewport()->width())
        horizontalScrollBar()->setValue(left);
}

void GridView::scrollToStart() { horizontalScrollBar()->setValue(0); }

// The editor's Return and Escape end it; they go no further (the grid would
// take a Return for a request to edit its cell).
bool GridView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched == editor_) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            report(gadgetEvent(window_, gadget_,
                               key == Qt::Key_Escape ? GadgetAction::editCancelled : GadgetAction::editAccepted));
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void GridView::mousePressEvent(QMouseEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton) {
        const QModelIndex cell = indexAt(event->position().toPoint());
        dragCell_ = {cell.column(), cell.row()};
        report(gadgetEvent(window_, gadget_, GadgetAction::leftClick, shift));
    }
    if (event->button() == Qt::RightButton) report(gadgetEvent(window_, gadget_, GadgetAction::rightClick, shift));
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) report(gadgetEvent(window_, gadget_, GadgetAction::doubleClick));
}

void GridView::mouseReleaseEvent(QMouseEvent*) { dragCell_ = {-1, -1}; }

// A drag reports each time it reaches another cell; the program selects what it swept.
void GridView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || dragCell_.x() < 0) return;
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (!cell.isValid() || QPoint(cell.column(), cell.row()) == dragCell_) return;
    dragCell_ = {cell.column(), cell.row()};
    report(gadgetEvent(window_, gadget_, GadgetAction::dragged));
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    const Key key = programKey(*event);
    if (key == Key::none) {
        QWidget::keyPressEvent(event);  // to the window: the grid scrolls only as the program says
        return;
    }
    const char text = key == Key::character ? static_cast<char>(event->text()[0].unicode()) : '\0';
    report(keyEvent(window_, gadget_, key, text, event->modifiers() & Qt::ShiftModifier));
}

void GridView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (cursor_.x() < 0) return;
    // Two pixels in the text colour: seen on the default background and on any selection colour.
    const QRect cell = visualRect(model_->index(cursor_.y(), cursor_.x()));
    if (!cell.isValid()) return;
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Text), 2));
    painter.drawRect(cell.adjusted(1, 1, -1, -1));
}

bool GridView::viewportEvent(QEvent* event)
{
    // The tooltip belongs to the whole grid, not to single cells.
    if (event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), toolTip(), viewport());
        return true;
    }
    return QTableView::viewportEvent(event);
}

}  // namespace nimbel
