// The real program as a user meets it, for end-to-end tests: a display and a
// sound server of the test's own, copies of the built program in folders of
// their own (it writes beside itself), and what a user does on the screen:
// find the main window and its grid, click cells, choose menu items.
#pragma once

#include "support/display.h"
#include "support/files.h"
#include "support/processes.h"
#include "support/sound_server.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace nimbel::testing_support {

struct ScreenPoint {
    int x = 0, y = 0;
};

// Skips the test unless every tool an end-to-end test uses is installed.
std::string missingEndToEndTool();

class RealProgramSession {
public:
    RealProgramSession();
    bool ready() const { return !display_.name().empty() && sound_.ready(); }
    const EnvironmentChanges& environment() const { return environment_; }
    const ScratchFolder& folder() const { return folder_; }
    // Where screenshots go: the build tree's e2e folder, to look at afterwards.
    static std::filesystem::path shots();

    struct Running {
        std::unique_ptr<ChildProcess> process;
        std::filesystem::path folder;  // the program's own folder
        std::string window;            // its main window, "" when none appeared
        WindowGeometry geometry;       // of the main window, as it opened
        ScreenPoint play;              // the centre of its Play button on the screen
    };
    // Copies the program into a folder of its own named `name` and starts it
    // there, with `arguments`; waits for its main window and its Play button.
    Running start(const std::string& name, const std::vector<std::string>& arguments = {});

    // The centre of the grid cell (row, note column) of a main window whose
    // grid is not scrolled, found from the Play button above it.
    static ScreenPoint cellCentre(const Running& program, int row, int noteColumn);
    // Moves a program's main window so that its top-left corner is at (x, y)
    // on the screen: a copy started later then opens clear of it, and no
    // click meant for one lands on the other while the later one is drawn.
    void moveTo(Running& program, int x, int y);
    // Opens the main window's menu `title` (its x offset in the menu bar) and
    // chooses its `item`-th enabled item.
    void chooseMenuItem(const Running& program, int titleOffset, int item);

private:
    ScratchFolder folder_;
    XvfbDisplay display_;
    EnvironmentChanges environment_;
    NullSinkServer sound_;
};

}  // namespace nimbel::testing_support
