#include "gui_application.h"

#include <QApplication>
#include <QIcon>

#include <xcb/xcb.h>

#include <cstdlib>

namespace nimbel {

namespace {

QtMessageHandler toolkitHandler = nullptr;

// The offscreen platform (tests, benchmarks) warns about every fixed-size
// dialog it cannot give size hints to; nothing is wrong then.
void dropSizeHintWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    if (toolkitHandler) toolkitHandler(type, context, message);
}

}  // namespace

struct GuiApplication::Impl {
    Impl(int& argc, char** argv) : application(argc, argv) {}
    QApplication application;
};

GuiApplication::GuiApplication(int& argc, char** argv)
{
    // Stock toolbar images come from the icon theme; desktops without one
    // configured fall back to the theme installed with the program's packages.
    QIcon::setThemeSearchPaths(QIcon::themeSearchPaths() << QStringLiteral("/usr/share/icons"));
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    impl_ = std::make_unique<Impl>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nimbel MIDI"));
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        toolkitHandler = qInstallMessageHandler(dropSizeHintWarnings);
    }
}

GuiApplication::~GuiApplication() = default;

std::string displayProblem()
{
    // A platform chosen on purpose (offscreen, wayland, …) is left to the toolkit.
    if (std::getenv("QT_QPA_PLATFORM") || std::getenv("WAYLAND_DISPLAY")) return {};
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        return "Nimbel MIDI needs a graphical desktop, but no display was found (DISPLAY is not set).";
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    if (failed) {
        return std::string("Nimbel MIDI needs a graphical desktop, but the display \"") + display +
               "\" could not be reached.";
    }
    return {};
}

}  // namespace nimbel
