#include "list_grid_actions.h"

#include "desktop_impl.h"
#include "grid_view.h"
#include "qt_text.h"

namespace nimbel {

void ListGridActions::setGridCursor(int window, int gadget, int row, int column)
{
    if (auto* view = desktop_.impl_->gadgetAs<GridView>(window, gadget)) view->setCursorCell(row, column);
}

void ListGridActions::openGridEditor(int window, int gadget, int row, int column, std::string_view text)
{
    if (auto* view = desktop_.impl_->gadgetAs<GridView>(window, gadget)) view->openEditor(row, column, qtText(text));
}

bool ListGridActions::gridEditorOpen(int window, int gadget) const
{
    const auto* view = desktop_.impl_->gadgetAs<GridView>(window, gadget);
    return view && view->editorOpen();
}

std::string ListGridActions::gridEditorText(int window, int gadget) const
{
    const auto* view = desktop_.impl_->gadgetAs<GridView>(window, gadget);
    return view ? bytesOf(view->editorText()) : std::string();
}

void ListGridActions::closeGridEditor(int window, int gadget)
{
    if (auto* view = desktop_.impl_->gadgetAs<GridView>(window, gadget)) view->closeEditor();
}

void ListGridActions::setGridPlayhead(int window, int gadget, int column)
{
    if (auto* view = desktop_.impl_->gadgetAs<GridView>(window, gadget)) view->setPlayhead(column);
}

void ListGridActions::followGridColumn(int window, int gadget, int column)
{
    if (auto* view = desktop_.impl_->gadgetAs<GridView>(window, gadget)) view->follow(column);
}

void ListGridActions::scrollGridToStart(int window, int gadget)
{
    if (auto* view = desktop_.impl_->gadgetAs<GridView>(window, gadget)) view->scrollToStart();
}

}  // namespace nimbel
