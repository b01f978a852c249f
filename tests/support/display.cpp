#include "display.h"

#include <cstdio>
#include <cstdlib>
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
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                 std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp",
                                 "-noreset"},
        ChildProcess::Options{{}, "", "/dev/null", "", fds[1]});
    ::close(fds[1]);
    // The number comes in one write (its line end in another); none when Xvfb ends first.
    pollfd ready{fds[0], POLLIN, 0};
    char number[16] = {};
    if (::poll(&ready, 1, 10000) > 0 && ::read(fds[0], number, sizeof number - 1) > 0)
        name_ = ":" + std::to_string(std::atoi(number));
    ::close(fds[0]);
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
    const std::string shell = runCommand({"xdotool", "getwindowgeometry", "--shell", window}, environment).out;
    std::sscanf(shell.c_str(), "WINDOW=%*s X=%d Y=%d WIDTH=%d HEIGHT=%d", &g.x, &g.y, &g.width, &g.height);
    return g;
}

void click(const EnvironmentChanges& environment, int x, int y)
{
    runCommand({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"}, environment);
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
    return runCommand({"convert", png.string(), "-depth", "8", "rgb:-"}).out;
}

}  // namespace nimbel::testing_support
