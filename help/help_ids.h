// The ids of the Help Window and of the commands that show help topics:
// 189 … 194 from the main window's toolbar and Help menu, 194 … 205 from the
// Help Window's own menu.
#pragma once

namespace nimbel {

inline constexpr int kHelpWindow = 4;
inline constexpr int kHelpTextView = 30;

inline constexpr int kHelpMainWindow = 189;  // the main window toolbar's help button
inline constexpr int kHelpQuickStart = 190;
inline constexpr int kHelpFileFormat = 191;
inline constexpr int kHelpCredits = 192;
inline constexpr int kHelpAbout = 193;
inline constexpr int kHelpContents = 194;
inline constexpr int kHelpWindowMainWindow = 195;
inline constexpr int kHelpWindowQuickStart = 196;
inline constexpr int kHelpWindowFileFormat = 197;
inline constexpr int kHelpWindowCredits = 198;
inline constexpr int kHelpWindowAbout = 199;
inline constexpr int kHelpWindowNoteSettings = 201;
inline constexpr int kHelpWindowChannelView = 202;
inline constexpr int kHelpWindowExit = 205;

}  // namespace nimbel
