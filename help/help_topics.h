// The text of each help topic, kept in a few source files so that each
// stays short; help_text.cpp hands them out by topic. Each text begins with
// its title line, ends its lines with CR LF and indents sub-items with tabs.
#pragma once

#include <string_view>

namespace nimbel::help_topics {

std::string_view contents();
std::string_view quickStart();
std::string_view mainWindow();
std::string_view noteWindow();
std::string_view channelWindow();
std::string_view fileFormat();
std::string_view credits();
std::string_view about();

}  // namespace nimbel::help_topics
