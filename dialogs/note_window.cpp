#include "note_window.h"

#include "desktop.h"
#include "dialog_controls.h"
#include "gadgets.h"
#include "help_window.h"
#include "note_settings.h"
#include "text_file.h"
#include "voice_names.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace nimbel {

namespace {

using namespace note_window;

template <std::size_t N>
std::vector<std::string> itemsOf(const std::array<std::string_view, N>& items)
{
    return {items.begin(), items.end()};
}

std::vector<std::string> voiceItems()
{
    std::vector<std::string> items = itemsOf(voiceNames);
    items.front() = "Default";
    return items;
}

// The controls in the order of the keyboard's tab order.
void createControls(Desktop& desktop, std::string_view input)
{
    Gadgets gadgets(desktop);
    DialogControls c(desktop);
    const int w = kNoteWindow;
    gadgets.addLabel(w, kVoiceLabel, {10, 40, 40, 20}, "Voice", false, false);
    c.addDropDownList(w, kVoiceList, {60, 40, 210, 20}, voiceItems(), "Voice to use (none to use current settings)");
    gadgets.addLabel(w, kVolumeLabel, {10, 10, 40, 20}, "Volume", false, false);
    c.addNumberField(w, kVolumeField, {60, 10, 30, 20}, -1, 9, -1, "Volume of note (-1 to use current settings)");
    gadgets.addLabel(w, kOctaveLabel, {100, 10, 40, 20}, "Octave", false, false);
    c.addNumberField(w, kOctaveField, {150, 10, 30, 20}, -1, 9, -1, "Octave range of note (-1 to use current)");
    gadgets.addLabel(w, kFullTextLabel, {10, 130, 40, 20}, "Full Text", false, false);
    c.addTextField(w, kFullTextField, {60, 130, 210, 20}, input,
                   "Full text of note, you may also add multiple notes at one time");
    gadgets.addLabel(w, kDurationLabel, {10, 70, 50, 20}, "Duration", false, false);
    gadgets.addLabel(w, kNoteLabel, {190, 10, 30, 20}, "Note", false, false);
    c.addDropDownList(w, kNoteList, {220, 10, 50, 20}, itemsOf(kNoteItems), "Note to use (ABCDEFG or REST)");
    c.addPushButton(w, kOkButton, {280, 10, 40, 30}, "OK", "Accept Changes or insert note", true);
    c.addPushButton(w, kCancelButton, {280, 50, 40, 30}, "Cancel", "Cancel Changes");
    c.addPushButton(w, kAddButton, {280, 130, 40, 30}, "Add", "Add Note settings to Full Text");
    gadgets.addLabel(w, kExtraFlagLabel, {10, 100, 50, 20}, "Extra Flag", false, false);
    c.addDropDownList(w, kFlagList, {60, 100, 210, 20}, itemsOf(kFlagItems), "Extra Flags to customize your note");
    c.addPushButton(w, kHelpButton, {280, 90, 40, 30}, "Help", "Help on Note Creation");
    c.addDropDownList(w, kDurationList, {60, 70, 210, 20}, itemsOf(kDurationItems), "");
}

NoteSettings chosenSettings(Desktop& desktop)
{
    const DialogControls c(desktop);
    const int w = kNoteWindow;
    return {c.selectedItem(w, kNoteList),     c.number(w, kOctaveField),    c.number(w, kVolumeField),
            c.selectedItem(w, kDurationList), c.selectedItem(w, kFlagList), c.selectedItem(w, kVoiceList)};
}

// Offers only the durations that can be written after the chosen note; a
// chosen duration that cannot goes back to "Default".
void offerDurationsFor(Desktop& desktop)
{
    DialogControls c(desktop);
    const int note = c.selectedItem(kNoteWindow, kNoteList);
    for (int duration = 1; duration < static_cast<int>(kDurationItems.size()); ++duration) {
        const bool fits = durationFitsNote(note, duration);
        c.setItemEnabled(kNoteWindow, kDurationList, duration, fits, durationRefusal(note, duration));
        if (!fits && c.selectedItem(kNoteWindow, kDurationList) == duration)
            c.selectItem(kNoteWindow, kDurationList, 0);
    }
}

// What the dialog returns once an event ends it; nothing while it stays open.
std::optional<std::string> handle(Desktop& desktop, const Event& event, std::string_view input)
{
    if (handleHelpWindowEvent(desktop, event)) return std::nullopt;
    if (event.kind == EventKind::closeRequest && event.window == kNoteWindow) return std::string(input);
    if (event.kind == EventKind::key && event.window == kNoteWindow && event.key == Key::f1) {
        showHelpTopic(desktop, HelpTopic::noteWindow);
        return std::nullopt;
    }
    if (event.kind == EventKind::gadget && event.window == kNoteWindow && event.id == kNoteList) {
        offerDurationsFor(desktop);
        return std::nullopt;
    }
    if (event.kind == EventKind::gadget && event.window == kNoteWindow && event.action == GadgetAction::leftClick) {
        const std::string fullText = Gadgets(desktop).gadgetText(kNoteWindow, kFullTextField);
        switch (event.id) {
        case kOkButton: {
            std::string typed = fullText;
            toUpperAscii(typed);
            return typed.empty() ? noteSettingsText(chosenSettings(desktop)) : typed;
        }
        case kCancelButton: return std::string(input);
        case kAddButton:
            Gadgets(desktop).setGadgetText(kNoteWindow, kFullTextField,
                                           fullText + noteSettingsText(chosenSettings(desktop)));
            break;
        case kHelpButton: showHelpTopic(desktop, HelpTopic::noteWindow); break;
        default: break;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string showNoteWindow(Desktop& desktop, int ownerWindow, std::string_view input)
{
    desktop.openWindow(kNoteWindow, {"Select Note", {327, 166}, WindowFrame::titleOnly, std::nullopt, {}, false, true});
    createControls(desktop, input);
    offerDurationsFor(desktop);
    // Typing replaces the cell's text at once; Return is OK, Escape Cancel.
    desktop.activateWindow(kNoteWindow);
    Gadgets(desktop).focusGadget(kNoteWindow, kFullTextField);
    desktop.setWindowEnabled(ownerWindow, false);
    desktop.setKeepOnTop(kNoteWindow, true);

    std::optional<std::string> result;
    while (!result) result = handle(desktop, desktop.waitEvent(), input);

    desktop.setWindowEnabled(ownerWindow, true);
    desktop.setKeepOnTop(kNoteWindow, false);
    desktop.closeWindow(kNoteWindow);
    desktop.activateWindow(ownerWindow);
    return *result;
}

}  // namespace nimbel
