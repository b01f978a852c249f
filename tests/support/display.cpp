#include "display.h"

#include "files.h"

#include <cstdlib>
#include <map>
#include <sstream>
#include <thread>

#include <poll.h>
#include <unistd.h>

namespace nimbel::testing_support {

XvfbDisplay::XvfbDisplay(int width, int height)
{
    // Xvfb writes the number of the display it found free into the pipe. By
    // default an X server resets whenever its last client leaves, and drops
    // a client that connects meanwhile: with xdotool coming and going, a
    // program starting at that moment would find no display.
    int fds[2];
    if (::pipe(fds) != 0) return;
    ChildProcess::Options options;
    options.inheritedFd = fds[1];
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp",
                                 "-noreset"},
        options);
    ::close(fds[1]);
    pollfd ready{fds[0], POLLIN, 0};
    std::string number;
    while (::poll(&ready, 1, 10000) > 0) {
        char c;
        if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    ::close(fds[0]);
    if (!number.empty()) name_ = ":" + number;
}

std::string waitForWindow(const EnvironmentChanges& environment, const std::string& title,
                          std::chrono::milliseconds timeout)
{
    // A search that fails at once (the display busy accepting other
    // clients) is tried again until the deadline.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (auto left = timeout; left > std::chrono::milliseconds(0);) {
        const CommandResult found = runCommand({"xdotool", "search", "--sync", "--name", title}, environment, left);
        if (found.exitCode == 0) return found.out.substr(0, found.out.find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    }
    return {};
}

WindowGeometry windowGeometry(const EnvironmentChanges& environment, const std::string& window)
{
    WindowGeometry g;
    const std::map<std::string, int*> fields{{"X", &g.x}, {"Y", &g.y}, {"WIDTH", &g.width}, {"HEIGHT", &g.height}};
    for (const std::string& line :
         lines(runCommand({"xdotool", "getwindowgeometry", "--shell", window}, environment).out)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        if (auto field = fields.find(line.substr(0, equals)); field != fields.end())
            *field->second = std::atoi(line.c_str() + equals + 1);
    }
    return g;
}

void click(const EnvironmentChanges& environment, int x, int y, int times)
{
    // Clicks 80 ms apart make one double-click for the toolkit.
    runCommand({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "--repeat",
                std::to_string(times), "--delay", "80", "1"},
               environment);
}

void typeText(const EnvironmentChanges& environment, const std::string& text)
{
    runCommand({"xdotool", "type", "--delay", "30", text}, environment);
}

void pressKey(const EnvironmentChanges& environment, const std::string& key, int times)
{
    runCommand({"xdotool", "key", "--repeat", std::to_string(times), "--delay", "60", key}, environment);
}

std::string screenshot(const EnvironmentChanges& environment, const std::filesystem::path& png)
{
    runCommand({"import", "-window", "root", png.string()}, environment);
    const ScratchFolder scratch("nimbel-screen");
    runCommand({"import", "-window", "root", "-depth", "8", "rgb:" + scratch.file("screen.rgb")}, environment);
    return fileText(scratch.file("screen.rgb"));
}

}  // namespace nimbel::testing_support
