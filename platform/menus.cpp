// Menu bars with check marks, and the flat toolbar with stock and own images.
#include "menus.h"

#include "desktop_impl.h"
#include "qt_text.h"

#include <QApplication>
#include <QImage>
#include <QKeySequence>
#include <QLayout>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace nimbel {

namespace {

QIcon stockIcon(StockImage image)
{
    struct Stock {
        const char* themeName;
        QStyle::StandardPixmap fallback;
    };
    static constexpr Stock kStock[] = {
        {"document-new", QStyle::SP_FileIcon},
        {"document-open", QStyle::SP_DialogOpenButton},
        {"document-save", QStyle::SP_DialogSaveButton},
        {"edit-cut", QStyle::SP_TrashIcon},
        {"edit-copy", QStyle::SP_FileLinkIcon},
        {"edit-paste", QStyle::SP_FileDialogDetailedView},
        {"edit-undo", QStyle::SP_ArrowBack},
        {"edit-redo", QStyle::SP_ArrowForward},
        {"help-contents", QStyle::SP_DialogHelpButton},
    };
    const Stock& stock = kStock[static_cast<int>(image)];
    const QIcon themed = QIcon::fromTheme(QString::fromLatin1(stock.themeName));
    return themed.isNull() ? QApplication::style()->standardIcon(stock.fallback) : themed;
}

}  // namespace

void Desktop::Impl::buildMenuBar(int window, const std::vector<Menu>& menus)
{
    WindowRecord* r = record(window);
    if (!r || menus.empty()) return;
    QMenuBar* bar = r->window->menuBar();
    for (const Menu& menu : menus) {
        QMenu* shown = bar->addMenu(uiText(menu.title));
        for (const MenuEntry& item : menu.items) {
            if (item.isBar()) {
                shown->addSeparator();
                continue;
            }
            // Text after a tab shows in the menu's key column.
            QAction* action =
                shown->addAction(uiText(item.keyHint.empty() ? item.text : item.text + "\t" + item.keyHint));
            action->setData(item.command);
            QList<QKeySequence> sequences;
            for (const std::string& key : item.shortcuts) sequences << QKeySequence(uiText(key));
            action->setShortcuts(sequences);
            const int command = item.command;
            QObject::connect(action, &QAction::triggered, action, [this, window, command, action] {
                // Choosing an item never changes its check mark; only the program does.
                if (WindowRecord* owner = record(window)) action->setChecked(owner->checks[command]);
                queue.push(menuEvent(window, command));
            });
            r->menuActions[command] = action;
        }
    }
}

void Menus::attachMenuBar(int window, const std::vector<Menu>& menus)
{
    WindowRecord* r = desktop_.impl_->record(window);
    if (!r) return;
    const QSize size = r->window->size();
    desktop_.impl_->buildMenuBar(window, menus);
    // A widget added to a window already shown stays hidden until shown itself.
    r->window->menuBar()->show();
    r->window->resize(size);
    r->window->layout()->activate();
}

void Menus::setMenuChecked(int window, int command, bool checked)
{
    WindowRecord* r = desktop_.impl_->record(window);
    if (!r) return;
    const auto found = r->menuActions.find(command);
    if (found == r->menuActions.end()) return;
    r->checks[command] = checked;
    found->second->setCheckable(true);
    found->second->setChecked(checked);
}

void Menus::loadImage(int image, int width, int height, std::span<const std::uint32_t> argb)
{
    if (width <= 0 || height <= 0 || argb.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return;
    const QImage pixels(reinterpret_cast<const uchar*>(argb.data()), width, height, width * 4, QImage::Format_ARGB32);
    desktop_.impl_->images[image] = QIcon(QPixmap::fromImage(pixels.copy()));
}

void Menus::addToolBar(int window, const std::vector<ToolButton>& buttons)
{
    Desktop::Impl& impl = *desktop_.impl_;
    WindowRecord* r = impl.record(window);
    if (!r) return;
    InnerArea* inner = r->window->inner();
    delete inner->toolBar();
    auto* bar = new QToolBar(inner);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const ToolButton& button : buttons) {
        if (button.isBar()) {
            bar->addSeparator();
            continue;
        }
        QIcon icon;
        if (const auto* stock = std::get_if<StockImage>(&button.image)) {
            icon = stockIcon(*stock);
        } else {
            icon = impl.images[std::get<OwnImage>(button.image).id];
        }
        QAction* action = bar->addAction(icon, QString());
        action->setToolTip(uiText(button.tooltip));
        action->setData(button.command);
        const int command = button.command;
        QObject::connect(action, &QAction::triggered, action,
                         [&queue = impl.queue, window, command] { queue.push(menuEvent(window, command)); });
    }
    inner->setToolBar(bar);
    bar->show();
}

int Menus::toolBarHeight(int window) const
{
    const WindowRecord* r = desktop_.impl_->record(window);
    if (!r || !r->window->inner()->toolBar()) return 0;
    return r->window->inner()->toolBar()->height();
}

}  // namespace nimbel
