#include "help_window.h"

#include "desktop.h"
#include "dialog_controls.h"
#include "gadgets.h"
#include "help_ids.h"
#include "menus.h"

#include <optional>
#include <utility>

namespace nimbel {

namespace {

std::vector<Menu> helpMenu()
{
    return {{"Help",
             {{"Help Contents", kHelpContents},
              {"Main Window", kHelpWindowMainWindow},
              {"Quick Start", kHelpWindowQuickStart},
              {"File Format", kHelpWindowFileFormat},
              {"Credits", kHelpWindowCredits},
              {"About", kHelpWindowAbout},
              {"Note Settings", kHelpWindowNoteSettings},
              {"Channel View", kHelpWindowChannelView},
              MenuEntry::bar(),
              {"Exit", kHelpWindowExit}}}};
}

std::optional<HelpTopic> topicOf(int command)
{
    switch (command) {
    case kHelpContents: return HelpTopic::contents;
    case kHelpMainWindow:
    case kHelpWindowMainWindow: return HelpTopic::mainWindow;
    case kHelpQuickStart:
    case kHelpWindowQuickStart: return HelpTopic::quickStart;
    case kHelpFileFormat:
    case kHelpWindowFileFormat: return HelpTopic::fileFormat;
    case kHelpCredits:
    case kHelpWindowCredits: return HelpTopic::credits;
    case kHelpAbout:
    case kHelpWindowAbout: return HelpTopic::about;
    case kHelpWindowNoteSettings: return HelpTopic::noteWindow;
    case kHelpWindowChannelView: return HelpTopic::channelWindow;
    default: return std::nullopt;
    }
}

}  // namespace

void showHelpText(Desktop& desktop, std::string_view text)
{
    DialogControls controls(desktop);
    if (!desktop.windowExists(kHelpWindow)) {
        desktop.openWindow(kHelpWindow, {"Help Window", {600, 374}, WindowFrame::resizable, std::nullopt, {}});
        // Attached after the window is made, the menu bar takes its height from the 374.
        Menus(desktop).attachMenuBar(kHelpWindow, helpMenu());
        controls.addTextView(kHelpWindow, kHelpTextView, {10, 10, 580, 340}, text);
    } else {
        Gadgets(desktop).setGadgetText(kHelpWindow, kHelpTextView, text);
    }
    desktop.setWindowTitle(kHelpWindow, helpTitle(Gadgets(desktop).gadgetText(kHelpWindow, kHelpTextView)));
}

void showHelpTopic(Desktop& desktop, HelpTopic topic) { showHelpText(desktop, helpTopicText(topic)); }

void helpTopicCommand(Desktop& desktop, int command)
{
    if (command == kHelpWindowExit) {
        desktop.closeWindow(kHelpWindow);
    } else if (const std::optional<HelpTopic> topic = topicOf(command)) {
        showHelpTopic(desktop, *topic);
    }
}

void layoutHelpWindow(Desktop& desktop)
{
    const Size inner = desktop.innerSize(kHelpWindow);
    Gadgets(desktop).setGadgetRect(kHelpWindow, kHelpTextView, {0, 0, inner.width, inner.height});
}

bool handleHelpWindowEvent(Desktop& desktop, const Event& event)
{
    if (event.window != kHelpWindow) return false;
    switch (event.kind) {
    case EventKind::menu: helpTopicCommand(desktop, event.id); return true;
    case EventKind::resize: layoutHelpWindow(desktop); return true;
    case EventKind::closeRequest: desktop.closeWindow(kHelpWindow); return true;
    default: return false;
    }
}

}  // namespace nimbel
