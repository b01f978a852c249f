#include "real_program.h"

#include "toolbar_images.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include <sys/stat.h>

namespace nimbel::testing_support {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
const fs::path kBuiltProgram = fs::path(NIMBEL_BINARY_DIR) / "bin" / "nimbel-midi";

// Where `icon` is drawn on the screen, pixel for pixel (its opaque pixels).
std::optional<ScreenPoint> findIcon(const std::string& rgb, const IconPixels& icon)
{
    if (rgb.size() < static_cast<size_t>(kScreenWidth * kScreenHeight * 3)) return std::nullopt;
    const auto matchesAt = [&](int left, int top) {
        for (int y = 0; y < icon.height; ++y) {
            for (int x = 0; x < icon.width; ++x) {
                const std::uint32_t p = icon.argb[static_cast<size_t>(y * icon.width + x)];
                const size_t at = (static_cast<size_t>(top + y) * kScreenWidth + static_cast<size_t>(left + x)) * 3;
                const auto channel = [&](int i) { return static_cast<unsigned char>(rgb[at + i]); };
                if ((p >> 24) == 0xFF &&
                    (channel(0) != ((p >> 16) & 0xFF) || channel(1) != ((p >> 8) & 0xFF) || channel(2) != (p & 0xFF)))
                    return false;
            }
        }
        return true;
    };
    for (int top = 0; top + icon.height <= kScreenHeight; ++top)
        for (int left = 0; left + icon.width <= kScreenWidth; ++left)
            if (matchesAt(left, top)) return ScreenPoint{left + icon.width / 2, top + icon.height / 2};
    return std::nullopt;
}

fs::path runtimeFolder(const ScratchFolder& folder)
{
    fs::create_directories(folder.path / "runtime");
    ::chmod((folder.path / "runtime").c_str(), 0700);
    return folder.path / "runtime";
}

// The session's own runtime and data folders: the recovery files of its
// programs stay in it.
EnvironmentChanges sessionEnvironment(const std::string& display, const ScratchFolder& folder)
{
    // The X keyboard library reads its names with strndup from buffers
    // without a terminating zero, which is valid but trips that check.
    const char* sanitizer = std::getenv("ASAN_OPTIONS");
    return {{"ASAN_OPTIONS", std::string(sanitizer ? sanitizer : "") + ":strict_string_checks=0"},
            {"DISPLAY", display},
            {"XDG_RUNTIME_DIR", runtimeFolder(folder).string()},
            {"XDG_DATA_HOME", folder.file("data")},
            {"QT_QPA_PLATFORM", std::nullopt},
            {"WAYLAND_DISPLAY", std::nullopt}};
}

}  // namespace

std::string missingEndToEndTool()
{
    for (const char* tool : {"Xvfb", "xdotool", "import", "pulseaudio", "pactl", "parec"})
        if (!onPath(tool)) return tool;
    return {};
}

RealProgramSession::RealProgramSession()
    : folder_("nimbel-e2e"),
      display_(kScreenWidth, kScreenHeight),
      environment_(sessionEnvironment(display_.name(), folder_)),
      sound_(environment_)
{}

fs::path RealProgramSession::shots()
{
    const fs::path folder = fs::path(NIMBEL_BINARY_DIR) / "e2e";
    fs::create_directories(folder);
    return folder;
}

RealProgramSession::Running RealProgramSession::start(const std::string& name,
                                                      const std::vector<std::string>& arguments)
{
    Running running;
    running.folder = folder_.path / name;
    fs::create_directories(running.folder);
    const fs::path program = running.folder / "nimbel-midi";
    fs::copy_file(kBuiltProgram, program, fs::copy_options::overwrite_existing);
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    // Started elsewhere, so that its files are found beside it, not in the working folder.
    fs::create_directories(folder_.path / "elsewhere");
    // The windows of the copies that run now: the X server gives the ids of
    // windows of copies that have ended to new ones.
    const auto mainWindows = [this] {
        return lines(runCommand({"xdotool", "search", "--name", "^Nimbel MIDI - "}, environment_).out);
    };
    const std::vector<std::string> before = mainWindows();
    const std::set<std::string> earlier(before.begin(), before.end());
    running.process = std::make_unique<ChildProcess>(
        argv, ChildProcess::Options{sound_.environment(), (folder_.path / "elsewhere").string(),
                                    (running.folder / "nimbel-midi.log").string(), "", -1});
    for (int attempt = 0; attempt < 300 && running.window.empty(); ++attempt) {
        for (const std::string& id : mainWindows())
            if (!earlier.contains(id)) running.window = id;
        if (running.window.empty()) std::this_thread::sleep_for(100ms);
    }
    // Another copy's window may lie at the same place: once this one is shown,
    // give it time to be drawn over it before looking for its Play button.
    std::this_thread::sleep_for(500ms);
    const IconPixels play = decodeIconFile(toolbarIconFile(kPlayImage));
    for (int attempt = 0; attempt < 50 && !running.window.empty(); ++attempt) {
        std::this_thread::sleep_for(100ms);  // the first paint may still be on its way
        if (const auto found = findIcon(screenshot(environment_, shots() / (name + "-start.png")), play)) {
            running.play = *found;
            break;
        }
    }
    // Read once the window is drawn: a window found by its title may not yet stand where it will be shown.
    if (!running.window.empty()) running.geometry = windowGeometry(environment_, running.window);
    return running;
}

ScreenPoint RealProgramSession::cellCentre(const Running& program, int row, int noteColumn)
{
    // The grid lies below the toolbar: its 22 pixel header starts 24 pixels
    // below the centre of the toolbar's images, and its rows are 14 pixels
    // high; the four summary columns take 300 pixels, note columns 50.
    return {program.geometry.x + 300 + 50 * (noteColumn - 1) + 25, program.play.y + 24 + 22 + 14 * row + 7};
}

void RealProgramSession::moveTo(Running& program, int x, int y)
{
    runCommand({"xdotool", "windowmove", "--sync", program.window, std::to_string(x), std::to_string(y)}, environment_);
    program.play.x += x - program.geometry.x;
    program.play.y += y - program.geometry.y;
    program.geometry = windowGeometry(environment_, program.window);
}

void RealProgramSession::chooseMenuItem(const Running& program, int titleOffset, int item)
{
    const WindowGeometry main = windowGeometry(environment_, program.window);
    click(environment_, main.x + titleOffset, main.y + 9);
    std::this_thread::sleep_for(400ms);
    pressKey(environment_, "Down", item);
    pressKey(environment_, "Return");
    std::this_thread::sleep_for(300ms);
}

}  // namespace nimbel::testing_support
