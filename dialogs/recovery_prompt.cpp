#include "recovery_prompt.h"

#include "file_session.h"
#include "project_state.h"
#include "recovery_store.h"
#include "requesters.h"
#include "sequencer.h"
#include "song_file.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <vector>

namespace nimbel {

namespace {

constexpr const char* kRecoveryTitle = "Nimbel MIDI Recovery";

void reportSetAside(FileSession& session, const std::vector<std::string>& files)
{
    std::string text = files.size() == 1 ? "A recovery file could not be read. It was set aside, not deleted:"
                                         : "Recovery files could not be read. They were set aside, not deleted:";
    for (const std::string& file : files) text += "\n" + file;
    Requesters(session.desktop).messageBox(kRecoveryTitle, text, MessageButtons::ok, MessageIcon::none);
}

// The song becomes the unsaved changes of its project, as if they had
// just been made: its file, its new-project flag, the changed flag.
void restoreSong(FileSession& session, const RecoveredSong& recovered)
{
    startEmptySong(session);
    session.project = {recovered.facts.projectPath, true, recovered.facts.newProject};
    loadSongText(session.song, session.position, recovered.songText);
    showProjectTitle(session, recovered.facts.projectPath.empty() ? std::string(kNewProjectTitle)
                                                                  : projectWindowTitle(recovered.facts.projectPath));
    session.sequencer.resetPlayback();
}

// "7 December 2026 at 17:09" in the local time zone, in English like every
// text of the program.
std::string readableLocalTime(std::chrono::sys_seconds time)
{
    static constexpr std::string_view kMonths[] = {"January",   "February", "March",    "April",
                                                   "May",       "June",     "July",     "August",
                                                   "September", "October",  "November", "December"};
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
    localtime_r(&seconds, &local);
    char clock[8];
    std::snprintf(clock, sizeof clock, "%02d:%02d", local.tm_hour, local.tm_min);
    return std::to_string(local.tm_mday) + " " + std::string(kMonths[local.tm_mon % 12]) + " " +
           std::to_string(local.tm_year + 1900) + " at " + clock;
}

std::string recoveryQuestion(const RecoveredSong& song)
{
    const std::string name =
        song.facts.projectPath.empty() ? std::string("a new song") : std::string(fileNamePart(song.facts.projectPath));
    return "Unsaved changes to " + name + " from " + readableLocalTime(song.facts.time) +
           " were kept when the program last ended. Restore them?";
}

}  // namespace

bool offerRecoveredSongs(FileSession& session, const RecoveryStore& store)
{
    const RecoveryLeftovers leftovers = store.leftovers();
    if (!leftovers.setAside.empty()) reportSetAside(session, leftovers.setAside);
    for (const RecoveredSong& song : leftovers.songs) {
        const MessageAnswer answer =
            Requesters(session.desktop)
                .messageBox(kRecoveryTitle, recoveryQuestion(song), MessageButtons::yesNoDefaultYes, MessageIcon::none);
        if (answer != MessageAnswer::yes) {
            store.discard(song);
        } else if (store.restore(song)) {
            restoreSong(session, song);
            return true;
        }
        // A file another copy took meanwhile is simply not offered any more.
    }
    return false;
}

}  // namespace nimbel
