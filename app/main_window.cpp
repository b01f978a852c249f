#include "main_window.h"

#include "desktop.h"
#include "gadgets.h"
#include "grid_display.h"
#include "menus.h"
#include "program_ids.h"
#include "song.h"
#include "toolbar_images.h"

#include <string>

namespace nimbel {

namespace {

std::vector<Menu> mainMenus()
{
    Menu view{"View", {}};
    for (int channel = 1; channel <= 15; ++channel) {
        view.items.push_back({"Channel " + std::to_string(channel), kViewChannelBase + channel});
    }
    view.items.push_back(MenuEntry::bar());
    view.items.push_back({"Follow Playback", kViewFollowPlayback});
    view.items.push_back({"Hear Notes While Editing", kViewHearNotes});
    return {
        {"File",
         {{"New", kFileNew, {"Ctrl+N"}},
          {"Open", kFileOpen, {"Ctrl+O"}},
          {"Save", kFileSave, {"Ctrl+S"}},
          {"Save As", kFileSaveAs, {"Ctrl+Shift+S"}},
          MenuEntry::bar(),
          {"Exit", kFileExit, {"Ctrl+Q"}}}},
        {"Edit",
         {{"Undo", kEditUndo, {"Ctrl+Z"}},
          {"Redo", kEditRedo, {"Ctrl+Shift+Z", "Ctrl+Y"}},
          MenuEntry::bar(),
          {"Cut", kEditCut, {"Ctrl+X"}},
          {"Copy", kEditCopy, {"Ctrl+C"}},
          {"Paste", kEditPaste, {"Ctrl+V"}},
          MenuEntry::bar(),
          {"Copy To", kEditCopyTo},
          {"Paste From", kEditPasteFrom},
          MenuEntry::bar(),
          {"Delete Column", kEditDeleteColumn},
          {"Insert Column", kEditInsertColumn},
          {"Delete Before", kEditDeleteBefore},
          {"Delete After", kEditDeleteAfter},
          {"Clear Channel", kEditClearChannel}}},
        {"Select",
         {{"All", kSelectAll, {"Ctrl+A"}},
          {"None", kSelectNone},
          {"Column", kSelectColumn},
          {"Channel", kSelectChannel},
          MenuEntry::bar(),
          {"Color", kSelectColor}}},
        // Space plays, or pauses what plays: the song grid takes it, so it is only shown here.
        {"Music",
         {{"Play", kMusicPlay, {}, "Space"},
          {"Pause", kMusicPause, {}, "Space"},
          {"Stop", kMusicStop},
          MenuEntry::bar(),
          {"Tempo\u2026", kMusicTempo}}},
        view,
        {"Help",
         {{"Contents", kHelpContents},
          {"Quick Start", kHelpQuickStart},
          {"File Format", kHelpFileFormat},
          {"Credits", kHelpCredits},
          {"About", kHelpAbout}}},
    };
}

std::vector<ToolButton> mainToolButtons()
{
    return {
        {kFileNew, StockImage::newFile, "New Project"},
        {kFileOpen, StockImage::openFile, "Open Project"},
        {kFileSave, StockImage::save, "Save Project"},
        ToolButton::bar(),
        {kEditCut, StockImage::cut, "Remove Selection"},
        {kEditCopy, StockImage::copy, "Copy Selection"},
        {kEditPaste, StockImage::paste, "Paste Selection"},
        {kEditUndo, StockImage::undo, "Undo Last Action"},
        {kEditRedo, StockImage::redo, "Redo Last Action"},
        ToolButton::bar(),
        {kMusicStop, OwnImage{kStopImageId}, "Stop music and go to start"},
        {kMusicPause, OwnImage{kPauseImageId}, "Pause music at location"},
        {kMusicPlay, OwnImage{kPlayImageId}, "Play music from current location"},
        ToolButton::bar(),
        {kHelpMainWindow, StockImage::help, "Help Main Window"},
    };
}

}  // namespace

void loadToolbarImages(Desktop& desktop)
{
    Menus menus(desktop);
    for (const int image : {kStopImageId, kPauseImageId, kPlayImageId}) {
        const IconPixels pixels = decodeIconFile(toolbarIconFile(image));
        menus.loadImage(image, pixels.width, pixels.height, pixels.argb);
    }
}

void createMainWindow(Desktop& desktop, Song& song, PositionDisplay& position)
{
    desktop.openWindow(kMainWindow,
                       {"Nimbel MIDI - Untitled", {604, 298}, WindowFrame::resizable, std::nullopt, mainMenus()});
    Menus(desktop).addToolBar(kMainWindow, mainToolButtons());
    Gadgets gadgets(desktop);
    gadgets.addListGrid(kMainWindow, kSongGrid, {0, 0, 600, 230}, song.grid, "Click To Place Notes");
    gadgets.addLabel(kMainWindow, kNoteCounter, {10, 240, 50, 20}, "1", true, true);
    gadgets.addTrackBar(kMainWindow, kPositionTrackBar, {70, 240, 600, 30}, 1, 10, "Slide to shift notes to view");
    showNoteList(song, position);
}

void layoutMainWindow(Desktop& desktop)
{
    Gadgets gadgets(desktop);
    const Size inner = desktop.innerSize(kMainWindow);
    const int toolBar = Menus(desktop).toolBarHeight(kMainWindow);
    const int trackBar = gadgets.gadgetRect(kMainWindow, kPositionTrackBar).height;
    const int strip = inner.height - (trackBar + 15);
    gadgets.setGadgetRect(kMainWindow, kPositionTrackBar, {70, strip, inner.width - 75, trackBar});
    gadgets.setGadgetRect(kMainWindow, kNoteCounter, {10, strip, 50, 20});
    gadgets.setGadgetRect(kMainWindow, kSongGrid, {0, toolBar, inner.width, inner.height - (toolBar + trackBar + 15)});
}

void MainWindowMusicChecks::setMusicChecks(bool play, bool pause, bool stop)
{
    Menus menus(desktop_);
    menus.setMenuChecked(kMainWindow, kMusicPlay, play);
    menus.setMenuChecked(kMainWindow, kMusicPause, pause);
    menus.setMenuChecked(kMainWindow, kMusicStop, stop);
}

}  // namespace nimbel
