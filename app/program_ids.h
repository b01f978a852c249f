// The ids the program's windows, gadgets and commands are addressed by.
// A toolbar button carries the id of the menu command it duplicates.
#pragma once

#include "help_ids.h"

namespace nimbel {

inline constexpr int kMainWindow = 0;

// Gadgets of the main window.
inline constexpr int kSongGrid = 0;
inline constexpr int kPositionTrackBar = 2;
inline constexpr int kNoteCounter = 11;

// Commands.
inline constexpr int kFileNew = 0;
inline constexpr int kFileOpen = 1;
inline constexpr int kFileSave = 2;
inline constexpr int kFileSaveAs = 3;
inline constexpr int kFileExit = 4;
inline constexpr int kEditUndo = 5;
inline constexpr int kEditCut = 6;
inline constexpr int kEditCopy = 7;
inline constexpr int kEditPaste = 8;
inline constexpr int kEditCopyTo = 9;
inline constexpr int kEditPasteFrom = 10;
inline constexpr int kEditDeleteColumn = 11;
inline constexpr int kEditInsertColumn = 12;
inline constexpr int kEditDeleteBefore = 13;
inline constexpr int kEditDeleteAfter = 14;
inline constexpr int kEditClearChannel = 15;
inline constexpr int kSelectAll = 16;
inline constexpr int kSelectNone = 17;
inline constexpr int kSelectColumn = 18;
inline constexpr int kSelectChannel = 19;
inline constexpr int kSelectColor = 20;
inline constexpr int kMusicPlay = 21;
inline constexpr int kMusicPause = 22;
inline constexpr int kMusicStop = 23;
inline constexpr int kViewChannelBase = 24;  // View "Channel n" is kViewChannelBase + n
inline constexpr int kViewLastChannel = 39;
inline constexpr int kEditRedo = 40;
inline constexpr int kMusicTempo = 41;
inline constexpr int kViewFollowPlayback = 42;
inline constexpr int kViewHearNotes = 43;

// Own toolbar images, as loaded at start-up.
inline constexpr int kStopImageId = 0;
inline constexpr int kPauseImageId = 1;
inline constexpr int kPlayImageId = 2;

}  // namespace nimbel
