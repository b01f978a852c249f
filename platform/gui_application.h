// The toolkit's application object. Exactly one exists per process, made
// before any Desktop and destroyed after it; main() and test programs own it.
#pragma once

#include <memory>
#include <string>

namespace nimbel {

class GuiApplication {
public:
    // argc and argv must outlive the object.
    GuiApplication(int& argc, char** argv);
    ~GuiApplication();
    GuiApplication(const GuiApplication&) = delete;
    GuiApplication& operator=(const GuiApplication&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// One sentence saying why no window can be shown (no display reachable), or
// "" when the toolkit can start. Call before constructing GuiApplication,
// which would otherwise end the process with a toolkit error.
std::string displayProblem();

}  // namespace nimbel
