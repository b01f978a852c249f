#include "main_loop.h"

#include "desktop.h"
#include "program.h"
#include "program_ids.h"

#include <string>

namespace nimbel {

namespace {

void handleGadget(Program& program, const Event& event)
{
    if (event.window != kMainWindow) return;
    const CommandHandlers& handlers = program.handlers;
    if (event.id == kSongGrid) {
        if (event.action == GadgetAction::doubleClick && handlers.songGridDoubleClick) handlers.songGridDoubleClick();
        if (event.action == GadgetAction::leftClick && handlers.songGridClick) handlers.songGridClick();
    } else if (event.id == kPositionTrackBar) {
        program.position.setCounterText(std::to_string(program.position.position()));
    }
}

}  // namespace

Pass dispatchCommand(Program& program, int command)
{
    CommandHandlers& handlers = program.handlers;
    switch (command) {
    case kFileNew: fileNew(program.files); return Pass::goOn;
    case kFileOpen: fileOpen(program.files); return Pass::goOn;
    case kFileSave: fileSave(program.files); return Pass::goOn;
    case kFileSaveAs: fileSaveAs(program.files); return Pass::goOn;
    case kFileExit: return saveChangesPrompt(program.files) == PromptResult::proceed ? Pass::leave : Pass::goOn;
    case kMusicPlay: program.sequencer.mainPlay(program.position, program.musicChecks); return Pass::goOn;
    case kMusicPause: program.sequencer.mainPause(program.musicChecks); return Pass::goOn;
    case kMusicStop: program.sequencer.mainStop(program.position, program.musicChecks); return Pass::goOn;
    default: break;
    }
    if (command >= kEditUndo && command <= kSelectColor) {
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
    if (event.kind == EventKind::gadget) handleGadget(program, event);
    if (event.kind == EventKind::none) program.sequencer.playbackStep(program.position);
    return event.kind == EventKind::closeRequest ? Pass::leave : Pass::goOn;
}

void mainEventLoop(Program& program)
{
    while (runPass(program) == Pass::goOn) {}
}

}  // namespace nimbel
