// The program's built-in help: eight topics of plain text, each beginning
// with its title line. Lines end with CR LF and sub-items are indented with
// tabs; the Help Window shows one topic at a time.
#pragma once

#include <string_view>

namespace nimbel {

enum class HelpTopic { contents, mainWindow, quickStart, fileFormat, credits, about, noteWindow, channelWindow };

// The whole text of one topic, its title line first.
std::string_view helpTopicText(HelpTopic topic);

// The title line of a topic text: everything before its first line break.
std::string_view helpTitle(std::string_view topicText);

}  // namespace nimbel
