// At start-up: the unsaved changes that copies of the program kept in
// recovery files before they ended without saving (killed, crashed, a
// logout) are offered back, one question titled "Nimbel MIDI Recovery" for
// each, newest first. Yes restores that song as the unsaved changes of its
// project, and the rest stay for the next start; No moves the file to the
// discarded ones. Files that cannot be read have been set aside; one message
// says which and where they are now.
#pragma once

namespace nimbel {

class RecoveryStore;
struct FileSession;

// True when a song was restored: it replaced the song in the main window,
// marked changed, and its recovery file became this copy's own.
bool offerRecoveredSongs(FileSession& session, const RecoveryStore& store);

}  // namespace nimbel
