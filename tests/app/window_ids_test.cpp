// Every window's control ids live apart: all the window headers compile
// together in one file, and each window's ids keep their own values.
#include "channel_window.h"
#include "help_ids.h"
#include "note_window.h"
#include "program_ids.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

TEST(WindowIds, TheHeadersOfEveryWindowCompileTogether)
{
    EXPECT_EQ(channel_window::kOkButton, note_window::kOkButton);  // one id, two windows
    EXPECT_NE(kChannelWindow, kNoteWindow);
    EXPECT_NE(kHelpWindow, kMainWindow);
}

}  // namespace
}  // namespace nimbel
