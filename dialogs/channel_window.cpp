#include "channel_window.h"

#include "channel_roll.h"
#include "channel_write_back.h"
#include "desktop.h"
#include "dialog_controls.h"
#include "gadget_position_display.h"
#include "gadgets.h"
#include "grid_mapping.h"
#include "help_window.h"
#include "list_grid_actions.h"
#include "note_preview.h"
#include "sequencer.h"

#include <array>
#include <optional>
#include <string>
#include <utility>

namespace nimbel {

namespace {

using namespace channel_window;

constexpr Size kInitialInner{549, 289};

// Where each gadget goes in an inner area of the given size: the grid fills
// all but a strip at the bottom and a column of buttons at the right.
std::array<std::pair<int, Rect>, 9> gadgetPlaces(Size inner)
{
    const int w = inner.width;
    const int h = inner.height;
    return {{
        {kChannelGrid, {0, 0, w - 69, h - 49}},
        {kCounter, {10, h - 34, 30, 20}},
        {kStopButton, {50, h - 39, 30, 30}},
        {kPauseButton, {80, h - 39, 30, 30}},
        {kPlayButton, {110, h - 39, 30, 30}},
        {kTrackBar, {150, h - 39, w - 219, 30}},
        {kOkButton, {w - 59, 10, 50, 30}},
        {kCancelButton, {w - 59, 50, 50, 30}},
        {kHelpButton, {w - 59, 90, 50, 30}},
    }};
}

void layOut(Desktop& desktop)
{
    for (const auto& [id, where] : gadgetPlaces(desktop.innerSize(kChannelWindow)))
        Gadgets(desktop).setGadgetRect(kChannelWindow, id, where);
}

void createGadgets(const ChannelWindowContext& context, ChannelRoll& roll)
{
    Desktop& desktop = context.desktop;
    Gadgets gadgets(desktop);
    DialogControls controls(desktop);
    const int w = kChannelWindow;
    const auto places = gadgetPlaces(kInitialInner);
    const auto at = [&places](int id) {
        for (const auto& [placed, where] : places)
            if (placed == id) return where;
        return Rect{};
    };
    gadgets.addListGrid(w, kChannelGrid, at(kChannelGrid), roll.grid(), "Click to place notes");
    gadgets.addLabel(w, kCounter, at(kCounter), "1", true, true);
    gadgets.setGadgetTooltip(w, kCounter, "Current note");
    controls.addImageButton(w, kStopButton, at(kStopButton), context.stopImage, "Stop music");
    controls.addImageButton(w, kPauseButton, at(kPauseButton), context.pauseImage, "Pause Music");
    controls.addImageButton(w, kPlayButton, at(kPlayButton), context.playImage, "Play music for this channel");
    gadgets.addTrackBar(w, kTrackBar, at(kTrackBar), 1, 10, "Music progress", false);
    controls.addPushButton(w, kOkButton, at(kOkButton), "OK", "Save changes to this channel", true);
    controls.addPushButton(w, kCancelButton, at(kCancelButton), "Cancel", "Cancel changes and exit");
    controls.addPushButton(w, kHelpButton, at(kHelpButton), "Help", "Help on placing notes");
}

// The window while it is open: its roll, its track bar and counter.
class ChannelWindow {
public:
    ChannelWindow(const ChannelWindowContext& context, int channel) : context_(context), roll_(context.song, channel) {}

    void run()
    {
        Desktop& desktop = context_.desktop;
        desktop.openWindow(kChannelWindow, {"Channel Display " + std::to_string(roll_.channel()),
                                            kInitialInner,
                                            WindowFrame::resizable,
                                            Point{540, 108},
                                            {},
                                            true});
        createGadgets(context_, roll_);
        display_.setMaximum(roll_.lastColumn());
        display_.setPosition(1);
        Gadgets(desktop).focusGadget(kChannelWindow, kChannelGrid);
        desktop.setWindowVisible(context_.ownerWindow, false);

        while (handle(desktop.pollEvent())) {}

        desktop.closeWindow(kChannelWindow);
        desktop.setWindowVisible(context_.ownerWindow, true);
        desktop.activateWindow(context_.ownerWindow);
        Gadgets(desktop).focusGadget(context_.ownerWindow, context_.ownerGrid);
    }

private:
    // False once the window is to close.
    bool handle(const Event& event)
    {
        Desktop& desktop = context_.desktop;
        if (event.kind == EventKind::none) step();
        if (handleHelpWindowEvent(desktop, event) || event.window != kChannelWindow) return true;
        switch (event.kind) {
        case EventKind::closeRequest: return false;
        case EventKind::activated: Gadgets(desktop).focusGadget(kChannelWindow, kChannelGrid); break;
        case EventKind::resize: layOut(desktop); break;
        case EventKind::gadget: return handleGadget(event);
        case EventKind::key: handleKey(event.key); break;
        case EventKind::none:
        case EventKind::menu: break;
        }
        return true;
    }

    bool handleGadget(const Event& event)
    {
        Sequencer& sequencer = context_.sequencer;
        const bool click = event.action == GadgetAction::leftClick;
        switch (event.id) {
        case kChannelGrid:
            if (click || event.action == GadgetAction::rightClick) clickGrid(click);
            break;
        case kTrackBar: showPosition(); break;
        case kStopButton: sequencer.channelStop(display_); break;
        case kPauseButton: sequencer.channelPause(); break;
        case kPlayButton: play(); break;
        case kOkButton:
            // Without a click nothing changed: the cells keep the texts the user wrote.
            if (roll_.edited()) writeChannelBack(context_.song, context_.project, roll_.channel());
            return false;
        case kCancelButton: return false;
        case kHelpButton: showHelpTopic(context_.desktop, HelpTopic::channelWindow); break;
        default: break;
        }
        return true;
    }

    void play()
    {
        if (context_.preview) context_.preview->stop();
        context_.sequencer.channelPlay(display_);
    }

    // Space plays the channel, or pauses it; F1 shows this window's help.
    void handleKey(Key key)
    {
        Sequencer& sequencer = context_.sequencer;
        if (key == Key::space) sequencer.isPlaying() ? sequencer.channelPause() : play();
        if (key == Key::f1) showHelpTopic(context_.desktop, HelpTopic::channelWindow);
    }

    // Clicks on the header, the "Scale" column, right of the last column or
    // below the last row do nothing.
    void clickGrid(bool place)
    {
        Desktop& desktop = context_.desktop;
        const std::optional<GridCell> cell =
            cellAt(desktop, kChannelWindow, kChannelGrid, desktop.mousePosition(kChannelWindow));
        if (!cell || cell->column == kScaleColumn) return;
        display_.setPosition(cell->column);
        showPosition();
        if (place) roll_.place(cell->row, cell->column);
        else roll_.change(cell->row, cell->column);
        hear(cell->column);
    }

    void step()
    {
        Sequencer& sequencer = context_.sequencer;
        NotePreview* preview = context_.preview;
        if (preview) preview->step();
        sequencer.playbackStep(display_, preview ? preview->nextDueTime() : std::nullopt);
        const int heard = sequencer.heardColumn();
        ListGridActions(context_.desktop).setGridPlayhead(kChannelWindow, kChannelGrid, heard == 0 ? -1 : heard);
    }

    // A note placed or changed sounds as it will play.
    void hear(int column)
    {
        if (!context_.preview || context_.sequencer.isPlaying()) return;
        context_.preview->play(notesPlayedAt(context_.song.noteList, column), context_.song.tempo);
    }

    void showPosition() { display_.setCounterText(std::to_string(display_.position())); }

    const ChannelWindowContext& context_;
    ChannelRoll roll_;
    GadgetPositionDisplay display_{context_.desktop, kChannelWindow, kTrackBar, kCounter};
};

}  // namespace

void openChannelWindow(const ChannelWindowContext& context, int channel)
{
    context.sequencer.endSoundingNotes();
    ChannelWindow(context, channel).run();
}

}  // namespace nimbel
