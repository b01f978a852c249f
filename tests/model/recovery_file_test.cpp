// The recovery file's text, read back: the facts of whole files, and
// nothing from damaged ones. Whatever is read is written back the same; the
// recovery-file fuzz target's seeds hold the texts of facts written in any
// other way, which that rule refuses.
#include "recovery_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace nimbel {
namespace {

constexpr const char* kSong = ";Nimbel MIDI Format\r\n;Created 2024/05/06\r\nSTART\r\nT120\r\nN1X1C\r\nEND\r\n";

std::string recoveryFile(const std::string& project, const std::string& newProject = "0",
                         const std::string& time = "1715000000", const std::string& song = kSong)
{
    return ";Nimbel MIDI Recovery\r\n;Project " + project + "\r\n;New project " + newProject + "\r\n;Time " + time +
           "\r\n" + song;
}

struct ReadCase {
    std::string text;
    std::optional<RecoveryFacts> facts;  // nullopt: not a recovery file
};

std::chrono::sys_seconds at(std::int64_t seconds) { return std::chrono::sys_seconds(std::chrono::seconds(seconds)); }

TEST(RecoveryFile, WholeFilesGiveTheirFactsAndDamagedOnesNothing)
{
    const std::vector<ReadCase> cases{
        {recoveryFile("/songs/tune.nmd"), RecoveryFacts{"/songs/tune.nmd", false, at(1715000000)}},
        {recoveryFile("", "1", "0"), RecoveryFacts{"", true, at(0)}},
        {recoveryFile(" a%25b%0D%0A%09%7F.nmd "), RecoveryFacts{" a%b\r\n\t\x7F.nmd ", false, at(1715000000)}},
        // The song must be a whole project file.
        {recoveryFile("", "0", "1", ";Nimbel MIDI Format\r\n;Created 2024/05/06\r\nSTART\r\nT120\r\nN1X1C\r\n"),
         std::nullopt},
        {recoveryFile("", "0", "1", ";Nimbel MIDI Format\r\nEND\r\n"), std::nullopt},
        {recoveryFile("", "0", "1", "START\r\nT120\r\nEND\r\n"), std::nullopt},
        {recoveryFile("", "0", "1", ""), std::nullopt},
        // Other files.
        {kSong, std::nullopt},
        {"", std::nullopt},
        {";Nimbel MIDI Recovery\r\n", std::nullopt},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.text);
        const auto read = parseRecoveryFileText(c.text);
        ASSERT_EQ(read.has_value(), c.facts.has_value());
        if (!read) continue;
        EXPECT_EQ(read->facts, *c.facts);
        EXPECT_EQ(read->songText, kSong);
        EXPECT_EQ(recoveryFileText(read->facts, read->songText), c.text);
    }
}

}  // namespace
}  // namespace nimbel
