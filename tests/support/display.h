// A display of a test's own: an X server without a screen (Xvfb), and what a
// test does on it as a user would (find a window, read its place, click,
// take a screenshot) through xdotool and ImageMagick.
#pragma once

#include "processes.h"

#include <filesystem>
#include <memory>
#include <string>

namespace nimbel::testing_support {

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};

class XvfbDisplay {
public:
    // Starts Xvfb with one screen of width × height at 24 bits per pixel.
    XvfbDisplay(int width, int height);
    // "" when the server did not start; ":N" otherwise.
    const std::string& name() const { return name_; }

private:
    std::string name_;
    std::unique_ptr<ChildProcess> server_;
};

// All of these run their tool with `environment`, which names the display.
// The id of the first window whose title matches, waiting for it; "" when none appears.
std::string waitForWindow(const EnvironmentChanges& environment, const std::string& title,
                          std::chrono::milliseconds timeout);
WindowGeometry windowGeometry(const EnvironmentChanges& environment, const std::string& window);
// Clicks the left button at a point of the screen.
void click(const EnvironmentChanges& environment, int x, int y);
// Types `text` into whatever has the keyboard focus.
void typeText(const EnvironmentChanges& environment, const std::string& text);
// Presses a key by its X name ("Down", "Return", "ctrl+a") `times` times.
void pressKey(const EnvironmentChanges& environment, const std::string& key, int times = 1);
// Saves a picture of the whole screen to `png` and returns the screen's pixels as RGB bytes.
std::string screenshot(const EnvironmentChanges& environment, const std::filesystem::path& png);

}  // namespace nimbel::testing_support
