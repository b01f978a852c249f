// One toolkit application for a whole test program, drawing offscreen so no
// test opens a window on the developer's screen, with a private runtime
// folder. Any number of a test program's files may include it: the
// environment is registered once.
#pragma once

#include "files.h"
#include "gui_application.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace nimbel::testing_support {

class OffscreenApplication final : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        runtime_ = std::make_unique<ScratchFolder>("nimbel-xdg");  // its owner's alone, as a runtime folder must be
        setenv("XDG_RUNTIME_DIR", runtime_->path.c_str(), 1);
        application_ = std::make_unique<GuiApplication>(argc_, argv_);
    }

    void TearDown() override
    {
        application_.reset();
        runtime_.reset();
    }

    static GuiApplication& application() { return *instance_->application_; }

    static OffscreenApplication* instance_;

private:
    int argc_ = 1;
    char name_[16] = "nimbel-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<GuiApplication> application_;
    std::unique_ptr<ScratchFolder> runtime_;
};

inline OffscreenApplication* OffscreenApplication::instance_ =
    static_cast<OffscreenApplication*>(::testing::AddGlobalTestEnvironment(new OffscreenApplication));

}  // namespace nimbel::testing_support
