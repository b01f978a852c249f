#include "note_settings.h"

namespace nimbel {

namespace {

// The character an item writes: its first one.
char itemCode(std::string_view item) { return item.front(); }

bool isNoteLetter(int noteItem) { return noteItem >= 1 && noteItem <= 7; }

constexpr int kRestItem = 8;

template <std::size_t N>
bool isItem(const std::array<std::string_view, N>& /*items*/, int item)
{
    return item > 0 && item < static_cast<int>(N);
}

}  // namespace

bool durationFitsNote(int noteItem, int durationItem)
{
    if (!isItem(kDurationItems, durationItem) || noteItem == kRestItem) return true;
    constexpr std::string_view kLetterOrder = "ACDEFG";
    const std::size_t duration = kLetterOrder.find(itemCode(kDurationItems[static_cast<std::size_t>(durationItem)]));
    if (duration == std::string_view::npos) return true;
    if (!isNoteLetter(noteItem)) return false;
    const std::size_t note = kLetterOrder.find(itemCode(kNoteItems[static_cast<std::size_t>(noteItem)]));
    return note != std::string_view::npos && note >= duration;
}

std::string durationRefusal(int noteItem, int durationItem)
{
    if (durationFitsNote(noteItem, durationItem)) return {};
    const std::string_view item = kDurationItems[static_cast<std::size_t>(durationItem)];
    // "E Eighth Note" is "An eighth note", "F Sixtyfourth Note" "A sixty-fourth note".
    const std::string name = itemCode(item) == 'E' ? "An eighth note" : "A sixty-fourth note";
    if (!isNoteLetter(noteItem)) return name + " needs a note letter in one note text";
    return name + " cannot follow " + std::string(kNoteItems[static_cast<std::size_t>(noteItem)]) + " in one note text";
}

std::string noteSettingsText(const NoteSettings& settings)
{
    const char flag =
        isItem(kFlagItems, settings.flag) ? itemCode(kFlagItems[static_cast<std::size_t>(settings.flag)]) : '\0';
    std::string text;
    if (settings.volume >= 0) text += "V" + std::to_string(settings.volume);
    if (settings.octave >= 0) text += std::to_string(settings.octave);
    if (flag == '+' || flag == '-' || flag == '>' || flag == '<') text += flag;
    if (isItem(kNoteItems, settings.note)) {
        text += itemCode(kNoteItems[static_cast<std::size_t>(settings.note)]);
        if ((flag == '#' || flag == 'B') && isNoteLetter(settings.note)) text += flag;
    }
    if (isItem(kDurationItems, settings.duration) && durationFitsNote(settings.note, settings.duration))
        text += itemCode(kDurationItems[static_cast<std::size_t>(settings.duration)]);
    if (flag == '.' || flag == 'D') text += '.';
    if (flag == '|') text += '|';
    if (settings.voice > 0) text += "," + std::to_string(settings.voice);
    return text;
}

}  // namespace nimbel
