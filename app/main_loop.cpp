#include "main_loop.h"

#include "cell_commands.h"
#include "desktop.h"
#include "edit_handlers.h"
#include "program.h"
#include "program_ids.h"
#include "tempo_window.h"

#include <string>

namespace nimbel {

namespace {

// Gadget events and keys of the main window. Keys come from the song grid,
// or from the window itself (F1, whatever has the keyboard).
void handleInput(Program& program, const Event& event)
{
    if (event.window != kMainWindow) return;
    if (event.id == kSongGrid && event.action == GadgetAction::scrolled) {
        holdPlayheadFollowing(program);
    } else if (event.id == kSongGrid || event.kind == EventKind::key) {
        if (program.handlers.songGrid) program.handlers.songGrid(event);
    } else if (event.id == kPositionTrackBar) {
        program.position.setCounterText(std::to_string(program.position.position()));
    }
}

}  // namespace

Pass dispatchCommand(Program& program, int command)
{
    CommandHandlers& handlers = program.handlers;
    switch (command) {
    case kFileNew:
        program.preview.stop();
        if (fileNew(program.files)) resetSongCursor(program);
        return Pass::goOn;
    case kFileOpen:
        program.preview.stop();
        if (fileOpen(program.files)) resetSongCursor(program);
        return Pass::goOn;
    case kFileSave: fileSave(program.files); return Pass::goOn;
    case kFileSaveAs: fileSaveAs(program.files); return Pass::goOn;
    case kFileExit: return saveChangesPrompt(program.files) == PromptResult::proceed ? Pass::leave : Pass::goOn;
    case kMusicPlay:
        program.preview.stop();
        program.sequencer.mainPlay(program.position, program.musicChecks);
        playheadPlayed(program);
        return Pass::goOn;
    case kMusicPause: program.sequencer.mainPause(program.musicChecks); return Pass::goOn;
    case kMusicStop:
        program.sequencer.mainStop(program.position, program.musicChecks);
        playheadStopped(program);
        return Pass::goOn;
    case kMusicTempo:
        if (const std::optional<int> tempo = showTempoWindow(program.desktop, kMainWindow, program.song.tempo))
            withEditSession(program, [&](EditSession& s) { setTempo(s, *tempo); });
        return Pass::goOn;
    case kViewFollowPlayback:
    case kViewHearNotes: toggleViewOption(program, command); return Pass::goOn;
    default: break;
    }
    if ((command >= kEditUndo && command <= kSelectColor) || command == kEditRedo) {
        if (handlers.editCommand) handlers.editCommand(command);
    } else if (command >= kHelpMainWindow) {
        if (handlers.helpTopic) handlers.helpTopic(command);
    } else if (command >= kViewChannelBase && command <= kViewLastChannel) {
        if (handlers.channelWindow) handlers.channelWindow(command - kViewChannelBase);
    }
    return Pass::goOn;
}

Pass runPass(Program& program)
{
    Event event = program.desktop.pollEvent();
    if (event.kind == EventKind::resize) {
        if (event.window == kMainWindow) layoutMainWindow(program.desktop);
        if (event.window == kHelpWindow && program.handlers.helpWindowLayout) program.handlers.helpWindowLayout();
    }
    if (event.kind == EventKind::closeRequest && event.window != kMainWindow) {
        program.desktop.closeWindow(event.window);
        event.kind = EventKind::none;
    }
    if (event.kind == EventKind::closeRequest && saveChangesPrompt(program.files) == PromptResult::cancel) {
        event.kind = EventKind::none;
    }
    // File > Exit leaves at once, without a playback step.
    if (event.kind == EventKind::menu && dispatchCommand(program, event.id) == Pass::leave) return Pass::leave;
    if (event.kind == EventKind::gadget || event.kind == EventKind::key) handleInput(program, event);
    if (event.kind == EventKind::none) {
        program.preview.step();
        program.sequencer.playbackStep(program.position, program.preview.nextDueTime());
        showPlayhead(program);
    }
    return event.kind == EventKind::closeRequest ? Pass::leave : Pass::goOn;
}

void mainEventLoop(Program& program)
{
    while (runPass(program) == Pass::goOn) {}
}

}  // namespace nimbel
