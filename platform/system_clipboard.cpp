#include "system_clipboard.h"

#include "qt_text.h"

#include <QClipboard>
#include <QGuiApplication>

namespace nimbel {

std::string clipboardText() { return bytesOf(QGuiApplication::clipboard()->text()); }

void setClipboardText(std::string_view text) { QGuiApplication::clipboard()->setText(qtText(text)); }

}  // namespace nimbel
