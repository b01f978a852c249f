// One toolkit application for a whole test program, drawing offscreen so no
// test opens a window on the developer's screen, with a private runtime
// folder. Any number of a test program's files may include it: the
// environment is registered once.
#pragma once

#include "gui_application.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <sys/stat.h>

namespace nimbel::testing_support {

class OffscreenApplication final : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::string runtime = (std::filesystem::temp_directory_path() / "nimbel-xdg-XXXXXX").string();
        if (mkdtemp(runtime.data())) {
            chmod(runtime.c_str(), 0700);
            setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            runtime_ = runtime;
        }
        application_ = std::make_unique<GuiApplication>(argc_, argv_);
    }

    void TearDown() override
    {
        application_.reset();
        if (!runtime_.empty()) std::filesystem::remove_all(runtime_);
    }

    static GuiApplication& application() { return *instance_->application_; }

    static OffscreenApplication* instance_;

private:
    int argc_ = 1;
    char name_[16] = "nimbel-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<GuiApplication> application_;
    std::string runtime_;
};

inline OffscreenApplication* OffscreenApplication::instance_ =
    static_cast<OffscreenApplication*>(::testing::AddGlobalTestEnvironment(new OffscreenApplication));

}  // namespace nimbel::testing_support
