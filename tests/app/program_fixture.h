// The whole program as a test fixture, drawn offscreen (see support/test_program.h).
#pragma once

#include "support/offscreen_application.h"
#include "support/test_program.h"

#include "menus.h"
#include "requesters.h"

#include "program_ids.h"

#include <gtest/gtest.h>

namespace nimbel::testing_support {

// What a message box showed, as one value to compare: its title, text, icon and buttons.
inline auto shownBox(const ShownMessage& m) { return std::tuple(m.title, m.text, m.icon, m.buttons); }

class ProgramTest : public ::testing::Test, public TestProgram {
protected:
    ProgramTest() : TestProgram(OffscreenApplication::application()) {}
};

}  // namespace nimbel::testing_support
