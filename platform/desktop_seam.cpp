#include "desktop_seam.h"

#include "desktop_impl.h"

namespace nimbel {

QMainWindow* DesktopSeam::window(Desktop& desktop, int window)
{
    WindowRecord* r = desktop.impl_->record(window);
    return r ? r->window.get() : nullptr;
}

QWidget* DesktopSeam::gadget(Desktop& desktop, int window, int gadget) { return desktop.impl_->gadget(window, gadget); }

int DesktopSeam::gadgetOf(Desktop& desktop, int window, const QWidget* widget)
{
    if (const WindowRecord* r = desktop.impl_->record(window))
        for (const auto& [id, gadget] : r->gadgets)
            if (gadget == widget) return id;
    return -1;
}

void DesktopSeam::post(Desktop& desktop, const Event& event) { desktop.impl_->queue.push(event); }

void DesktopSeam::press(Desktop& desktop, const QKeyEvent& key) { desktop.impl_->keys.press(key); }

void DesktopSeam::setPollHook(Desktop& desktop, std::function<bool()> hook)
{
    desktop.impl_->pollHook = std::move(hook);
}

void DesktopSeam::setModalHook(Desktop& desktop, std::function<void(QDialog&)> hook)
{
    desktop.impl_->modalHook = std::move(hook);
}

}  // namespace nimbel
