#include "note_settings.h"

namespace nimbel {

namespace {

// The character an item writes: its first one.
char itemCode(std::string_view item) { return item.front(); }

bool isNoteLetter(int noteItem) { return noteItem >= 1 && noteItem <= 7; }

}  // namespace

std::string noteSettingsText(const NoteSettings& settings)
{
    const char flag = settings.flag > 0 && settings.flag < static_cast<int>(kFlagItems.size())
                          ? itemCode(kFlagItems[static_cast<std::size_t>(settings.flag)])
                          : '\0';
    std::string text;
    if (settings.volume >= 0) text += "V" + std::to_string(settings.volume);
    if (settings.octave >= 0) text += std::to_string(settings.octave);
    if (flag == '+' || flag == '-' || flag == '>' || flag == '<') text += flag;
    if (settings.note > 0 && settings.note < static_cast<int>(kNoteItems.size())) {
        text += itemCode(kNoteItems[static_cast<std::size_t>(settings.note)]);
        if ((flag == '#' || flag == 'B') && isNoteLetter(settings.note)) text += flag;
    }
    if (settings.duration > 0 && settings.duration < static_cast<int>(kDurationItems.size())) {
        text += itemCode(kDurationItems[static_cast<std::size_t>(settings.duration)]);
    }
    if (flag == '.' || flag == 'D') text += '.';
    if (flag == '|') text += '|';
    if (settings.voice > 0) text += "," + std::to_string(settings.voice);
    return text;
}

}  // namespace nimbel
