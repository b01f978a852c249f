// Menu bars with check marks, and the flat toolbar with stock and own images.
#include "desktop.h"

#include "desktop_impl.h"
#include "qt_text.h"

#include <QApplication>
#include <QImage>
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
            QAction* action = shown->addAction(uiText(item.text));
            action->setData(item.command);
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

void Desktop::attachMenuBar(int window, const std::vector<Menu>& menus)
{
    WindowRecord* r = impl_->record(window);
    if (!r) return;
    const QSize size = r->window->size();
    impl_->buildMenuBar(window, menus);
    // A widget added to a window already shown stays hidden until shown itself.
    r->window->menuBar()->show();
    r->window->resize(size);
    r->window->layout()->activate();
}

void Desktop::setMenuChecked(int window, int command, bool checked)
{
    WindowRecord* r = impl_->record(window);
    if (!r) return;
    const auto found = r->menuActions.find(command);
    if (found == r->menuActions.end()) return;
    r->checks[command] = checked;
    found->second->setCheckable(true);
    found->second->setChecked(checked);
}

bool Desktop::menuChecked(int window, int command) const
{
    const WindowRecord* r = impl_->record(window);
    if (!r) return false;
    const auto found = r->menuActions.find(command);
    return found != r->menuActions.end() && found->second->isChecked();
}

std::vector<Menu> Desktop::menuBar(int window) const
{
    std::vector<Menu> menus;
    const WindowRecord* r = impl_->record(window);
    if (!r || !r->window->menuWidget()) return menus;
    for (QAction* top : r->window->menuBar()->actions()) {
        Menu menu{utf8Of(top->text()), {}};
        if (QMenu* items = top->menu()) {
            for (QAction* item : items->actions()) {
                menu.items.push_back(item->isSeparator() ? MenuEntry::bar()
                                                         : MenuEntry{utf8Of(item->text()), item->data().toInt()});
            }
        }
        menus.push_back(std::move(menu));
    }
    return menus;
}

void Desktop::chooseMenuItem(int window, int command)
{
    WindowRecord* r = impl_->record(window);
    if (!r) return;
    const auto found = r->menuActions.find(command);
    if (found != r->menuActions.end()) found->second->trigger();
}

void Desktop::loadImage(int image, int width, int height, std::span<const std::uint32_t> argb)
{
    if (width <= 0 || height <= 0 || argb.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return;
    const QImage pixels(reinterpret_cast<const uchar*>(argb.data()), width, height, width * 4, QImage::Format_ARGB32);
    impl_->images[image] = QIcon(QPixmap::fromImage(pixels.copy()));
}

void Desktop::addToolBar(int window, const std::vector<ToolButton>& buttons)
{
    WindowRecord* r = impl_->record(window);
    if (!r) return;
    InnerArea* inner = r->window->inner();
    delete inner->toolBar();
    r->toolActions.clear();
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
            icon = impl_->images[std::get<OwnImage>(button.image).id];
        }
        QAction* action = bar->addAction(icon, QString());
        action->setToolTip(uiText(button.tooltip));
        action->setData(button.command);
        const int command = button.command;
        QObject::connect(action, &QAction::triggered, action,
                         [this, window, command] { impl_->queue.push(menuEvent(window, command)); });
        r->toolActions[command] = action;
    }
    inner->setToolBar(bar);
    bar->show();
}

int Desktop::toolBarHeight(int window) const
{
    const WindowRecord* r = impl_->record(window);
    if (!r || !r->window->inner()->toolBar()) return 0;
    return r->window->inner()->toolBar()->height();
}

std::vector<ShownToolButton> Desktop::toolBar(int window) const
{
    std::vector<ShownToolButton> shown;
    const WindowRecord* r = impl_->record(window);
    if (!r || !r->window->inner()->toolBar()) return shown;
    for (QAction* action : r->window->inner()->toolBar()->actions()) {
        if (action->isSeparator()) {
            shown.push_back({});
            continue;
        }
        shown.push_back(
            {action->data().toInt(), utf8Of(action->toolTip()), !action->icon().isNull(), action->isCheckable()});
    }
    return shown;
}

void Desktop::pressToolButton(int window, int command)
{
    WindowRecord* r = impl_->record(window);
    if (!r || !r->window->inner()->toolBar()) return;
    const auto found = r->toolActions.find(command);
    if (found == r->toolActions.end()) return;
    if (auto* button = qobject_cast<QToolButton*>(r->window->inner()->toolBar()->widgetForAction(found->second))) {
        button->click();
    }
}

}  // namespace nimbel
