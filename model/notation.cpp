#include "notation.h"

#include "decimal_reader.h"
#include "song_columns.h"
#include "text_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <string_view>
#include <utility>

namespace nimbel {

namespace {

// 1-based position of the first `c` at or after 1-based position p, or 0.
std::size_t findFrom(std::string_view text, char c, std::size_t p)
{
    if (p == 0 || p > text.size()) return 0;
    const std::size_t at = text.find(c, p - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::size_t findFrom(std::string_view text, std::string_view s, std::size_t p)
{
    if (p == 0 || p > text.size()) return 0;
    const std::size_t at = text.find(s, p - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

// Finds characters in a note text from moving start positions. One pass
// notes where each code of the notation (all between ' ' and '_') first
// occurs at or after the start; a later search only scans again for a
// character that first occurs before it. Most codes are absent from a text,
// so most searches cost nothing; songs are read a note at a time, so the
// table is kept small.
class CharFinder {
public:
    CharFinder(std::string_view text, std::size_t start) : text_(text)
    {
        first_.fill(0);
        for (std::size_t i = text.size(); i >= start && i >= 1; --i)
            if (const unsigned char c = static_cast<unsigned char>(text[i - 1]); c >= kLow && c < kLow + kCodes)
                first_[c - kLow] = i;
    }

    // 1-based position of the first `c` at or after p (p never below the start), or 0.
    std::size_t find(char c, std::size_t p) const
    {
        const unsigned char code = static_cast<unsigned char>(c);
        if (code < kLow || code >= kLow + kCodes) return findFrom(text_, c, p);
        const std::size_t first = first_[code - kLow];
        return first == 0 || first >= p ? first : findFrom(text_, c, p);
    }

private:
    static constexpr unsigned char kLow = ' ';
    static constexpr std::size_t kCodes = 64;

    std::string_view text_;
    std::array<std::size_t, kCodes> first_;
};

// The number written after 1-based position `at`.
std::int32_t numberAfter(std::string_view text, std::size_t at)
{
    return at < text.size() ? readDecimal(text.substr(at)) : 0;
}

bool isChannelIndex(std::int32_t channel)
{
    return channel >= 0 && channel < static_cast<std::int32_t>(std::tuple_size_v<ChannelState>);
}

// Applies the marks `up` and `down` (from 1-based position p) to a running
// value, volume or octave. The notation counts every mark, and a mark that
// finds the value at 0 first gives it channel 1's value; `defaults` may be
// the very value being changed (channel 1 itself). The song file reader
// counts each kind of mark once and never falls back.
void applyMarks(const CharFinder& finder, std::size_t p, char up, char down, std::int32_t& value,
                const std::int32_t& defaults, Reading reading)
{
    if (reading == Reading::songFile) {
        if (finder.find(up, p) != 0) value = saturatingAdd(value, 1);
        if (finder.find(down, p) != 0) value = saturatingAdd(value, -1);
        return;
    }
    for (const auto& [mark, step] : {std::pair{up, 1}, std::pair{down, -1}}) {
        for (std::size_t at = finder.find(mark, p); at != 0; at = finder.find(mark, at + 1)) {
            if (value == 0) value = defaults;
            value = saturatingAdd(value, step);
        }
    }
}

struct LetterValue {
    char letter;
    std::int32_t value;
};
constexpr LetterValue kNoteLetters[] = {{'A', 9}, {'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}};

struct DurationValue {
    char letter;
    float beats;
};
constexpr DurationValue kDurations[] = {{'W', 4.0f},  {'H', 2.0f},   {'Q', 1.0f},   {'E', 0.5f},
                                        {'S', 0.25f}, {'T', 0.125f}, {'F', 0.0625f}};

}  // namespace

void interpretNoteValues(NoteRecord& record, ChannelState& channels, std::size_t p, Reading reading)
{
    NoteRecord scratch;  // stands in for the state of a channel outside 0 … 15
    NoteRecord& state = isChannelIndex(record.channel) ? channels[static_cast<std::size_t>(record.channel)] : scratch;
    const NoteRecord& defaults = channels[1];
    const std::string_view text = record.text;
    const CharFinder finder(text, p);

    // Volume: the digit after the first V, then the + and - marks.
    if (const std::size_t v = finder.find('V', p); v != 0) {
        const char digit = v < text.size() ? text[v] : '\0';
        record.volume = (digit >= '0' && digit <= '9') ? digit - '0' : 0;
        state.volume = record.volume;
        p = v + 2;
    }
    applyMarks(finder, p, '+', '-', state.volume, defaults.volume, reading);
    record.volume = state.volume;

    // Octave: the highest digit before the first comma, then the > and < marks.
    std::size_t k = finder.find(',', p);
    if (k == 0) k = 9999;
    for (char d = '0'; d <= '9'; ++d) {
        const std::size_t at = finder.find(d, p);
        if (at != 0 && at < k) {
            record.octave = d - '0';
            state.octave = record.octave;
        }
    }
    applyMarks(finder, p, '>', '<', state.octave, defaults.octave, reading);
    record.octave = state.octave;

    // Note letter: the latest of A C D E F G in that order wins.
    std::size_t letterAt = 0;
    for (const auto& [letter, value] : kNoteLetters) {
        if (const std::size_t at = finder.find(letter, p); at != 0) {
            record.note = value;
            state.note = value;
            letterAt = at;
        }
    }
    if (finder.find('#', p) != 0) record.note += 1;
    const std::size_t b = finder.find('B', p);
    if (b != 0) {
        if (letterAt != 0) {
            record.note -= 1;  // a B after a note letter is its flat
        } else {
            record.note = 11;
            if (findFrom(text, "BB", p) != 0) record.note = 10;
            if (findFrom(text, "B#", p) != 0) record.note = 12;
        }
    }
    if (const std::size_t r = finder.find('R', p); r != 0) {
        record.note = kRestNote;
        state.note = kRestNote;
        letterAt = r;
    }
    if (letterAt != 0) p = letterAt + 1;
    if (b != 0) p = b + 1;

    // Duration: the latest of W H Q E S T F in that order wins; D and "."
    // lengthen this note only, not the channel's running duration.
    for (const auto& [letter, beats] : kDurations)
        if (finder.find(letter, p) != 0) state.duration = beats;
    if (state.duration == 0.0f && reading == Reading::noteText) state.duration = kDefaultDuration;
    record.duration = state.duration;
    if (finder.find('D', p) != 0) record.duration *= 1.5f;
    if (finder.find('.', p) != 0) record.duration *= 1.5f;

    if (reading == Reading::noteText) {
        if (const std::size_t c = finder.find(',', p); c != 0) {
            record.voice = numberAfter(text, c);
            state.voice = record.voice;
        }
    }
}

void parseNoteText(NoteRecord& record, ChannelState& channels)
{
    const std::string_view text = record.text;
    std::size_t p = 1;
    if (!text.empty() && text.front() == 'N') {
        record.channel = numberAfter(text, 1);
        p = 2 + static_cast<std::size_t>(decimalLength(record.channel));
    }
    if (p <= text.size() && text[p - 1] == 'X') {
        record.column = numberAfter(text, p);
        p += 1 + static_cast<std::size_t>(decimalLength(record.column));
    }
    interpretNoteValues(record, channels, p, Reading::noteText);
}

void appendPlacedNoteText(std::string& text, int channel, int noteColumn, std::string_view cellText)
{
    const auto appendNumber = [&text](int value) {
        char digits[12];
        text.append(digits, std::to_chars(std::begin(digits), std::end(digits), value).ptr);
    };
    text += 'N';
    appendNumber(channel);
    text += 'X';
    appendNumber(noteColumn);
    if (!cellText.empty() && ((cellText.front() >= '0' && cellText.front() <= '9') || cellText.front() == ';'))
        text += ';';
    text.append(cellText);
}

std::string placedNoteText(int channel, int noteColumn, std::string_view cellText)
{
    std::string text;
    text.reserve(26 + cellText.size());
    appendPlacedNoteText(text, channel, noteColumn, cellText);
    return text;
}

std::string tempoRecordText(const ListGrid& grid)
{
    // The tempo cell reads "1 T" and the tempo; a tempo below 1 is refused.
    const std::string& tempoCell = grid.cellText(0, kChannelColumn);
    const std::size_t t = tempoCell.find('T');
    if (t == std::string::npos || readDecimal(std::string_view(tempoCell).substr(t + 1)) < 1) return "T120";
    return tempoCell.substr(t);
}

std::int32_t tempoOfCell(const ListGrid& grid)
{
    return readDecimal(std::string_view(tempoRecordText(grid)).substr(1));
}

void rebuildNoteList(Song& song)
{
    song.noteList.clear();
    ++song.noteListVersion;
    song.channels = rebuildChannelState();

    NoteRecord tempo;
    tempo.text = tempoRecordText(song.grid);
    song.tempo = readDecimal(std::string_view(tempo.text).substr(1));
    song.noteList.push_back(std::move(tempo));

    forEachNoteCell(song.grid, [&song](int channel, int noteColumn, std::string_view cell) {
        NoteRecord record;
        record.text = placedNoteText(channel, noteColumn, cell);
        parseNoteText(record, song.channels);
        song.noteList.push_back(std::move(record));
    });
}

}  // namespace nimbel
