#include "view_options.h"

#include "menus.h"
#include "program.h"
#include "program_ids.h"
#include "settings_file.h"

#include <string_view>

namespace nimbel {

namespace {

constexpr std::string_view kFollowPlaybackKey = "FollowPlayback";
constexpr std::string_view kHearNotesKey = "HearNotes";

struct Option {
    int command;
    std::string_view key;
    bool ViewOptions::*flag;
};
constexpr Option kOptions[] = {
    {kViewFollowPlayback, kFollowPlaybackKey, &ViewOptions::followPlayback},
    {kViewHearNotes, kHearNotesKey, &ViewOptions::hearNotes},
};

std::string settingsPath(const Program& program) { return program.folders.settingsFolder + kSettingsFileName; }

}  // namespace

void loadViewOptions(Program& program)
{
    for (const Option& option : kOptions) {
        bool& flag = program.options.*option.flag;
        flag = loadSetting(settingsPath(program), option.key).value_or(1) != 0;
        Menus(program.desktop).setMenuChecked(kMainWindow, option.command, flag);
    }
}

void toggleViewOption(Program& program, int command)
{
    for (const Option& option : kOptions) {
        if (option.command != command) continue;
        bool& flag = program.options.*option.flag;
        flag = !flag;
        Menus(program.desktop).setMenuChecked(kMainWindow, command, flag);
        saveSetting(settingsPath(program), option.key, flag ? 1 : 0);
    }
}

}  // namespace nimbel
