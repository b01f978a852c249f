// How a file requester reads its default path: which folder it opens in and
// which file name it proposes. What a requester shows is checked with the
// desktop's dialogs.
#include "requester_conventions.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

TEST(RequesterStart, AFilePathProposesItsNameAndTheProgramDefaultsAnEmptyNameBox)
{
    const std::vector<std::pair<std::string, RequesterStart>> cases = {
        {"/opt/nimbel//newfile.nmd", {"/opt/nimbel", ""}},  // the program folder's defaults
        {"/opt/nimbel//*.nmd", {"/opt/nimbel", ""}},
        {"/home/user/song.nmd", {"/home/user", "song.nmd"}},
        {"/opt/nimbel/MIDI.txt", {"/opt/nimbel", "MIDI.txt"}},
        {"/song.nmd", {"/", "song.nmd"}},
        {"song.nmd", {"", "song.nmd"}},
        {"/home/user/", {"/home/user", ""}},
        {"", {"", ""}},
    };
    for (const auto& [path, start] : cases) EXPECT_EQ(requesterStart(path), start) << path;
}

}  // namespace
}  // namespace nimbel
