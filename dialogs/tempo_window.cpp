#include "tempo_window.h"

#include "desktop.h"
#include "dialog_controls.h"
#include "gadgets.h"
#include "help_window.h"

#include <algorithm>

namespace nimbel {

namespace {

using namespace tempo_window;

enum class Outcome { open, chosen, cancelled };

Outcome handle(Desktop& desktop, const Event& event)
{
    if (handleHelpWindowEvent(desktop, event) || event.window != kTempoWindow) return Outcome::open;
    if (event.kind == EventKind::closeRequest) return Outcome::cancelled;
    if (event.kind != EventKind::gadget || event.action != GadgetAction::leftClick) return Outcome::open;
    if (event.id == kCancelButton) return Outcome::cancelled;
    return event.id == kOkButton ? Outcome::chosen : Outcome::open;
}

}  // namespace

std::optional<int> showTempoWindow(Desktop& desktop, int ownerWindow, int tempo)
{
    desktop.openWindow(kTempoWindow, {"Tempo", {230, 80}, WindowFrame::titleOnly, std::nullopt, {}, false, true});
    Gadgets gadgets(desktop);
    DialogControls controls(desktop);
    gadgets.addLabel(kTempoWindow, kLabel, {10, 10, 110, 20}, "Beats a minute", false, false);
    controls.addNumberField(kTempoWindow, kTempoField, {120, 10, 60, 20}, kLowestTempo, kHighestTempo,
                            std::clamp(tempo, kLowestTempo, kHighestTempo), "The song's tempo, 1 to 1000");
    controls.addPushButton(kTempoWindow, kOkButton, {50, 45, 60, 28}, "OK", "Set the tempo", true);
    controls.addPushButton(kTempoWindow, kCancelButton, {120, 45, 60, 28}, "Cancel", "Keep the tempo");
    desktop.setWindowEnabled(ownerWindow, false);
    desktop.activateWindow(kTempoWindow);
    gadgets.focusGadget(kTempoWindow, kTempoField);

    Outcome outcome = Outcome::open;
    while (outcome == Outcome::open) outcome = handle(desktop, desktop.waitEvent());
    const int chosen = controls.number(kTempoWindow, kTempoField);

    desktop.setWindowEnabled(ownerWindow, true);
    desktop.closeWindow(kTempoWindow);
    desktop.activateWindow(ownerWindow);
    return outcome == Outcome::chosen ? std::optional<int>(chosen) : std::nullopt;
}

}  // namespace nimbel
