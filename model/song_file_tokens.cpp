// Phase one of reading a song file: lines, tokens, voice lists.
#include "decimal_reader.h"
#include "notation.h"
#include "song_columns.h"
#include "song_file_phases.h"
#include "text_file.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace nimbel::song_file {

namespace {

// Reads the music lines of one file, appending records to the note list,
// or, without a note list, only counting the records it would append.
class TokenReader {
public:
    explicit TokenReader(std::vector<NoteRecord>* noteList) : noteList_(noteList) {}

    std::size_t recordCount() const { return recordCount_; }
    const DroppedNotes& dropped() const { return dropped_; }

    void readLine(std::string_view rawLine)
    {
        if (ended_) return;
        if (isStartLine(rawLine)) {
            started_ = true;
            return;
        }
        line_.assign(trimmed(rawLine));
        toUpperAscii(line_);
        if (!started_ || line_.empty() || line_.front() == '\'' || line_.front() == ';') return;
        if (line_.starts_with("END")) {
            ended_ = true;
            return;
        }
        // Bars ("|") separate tokens like spaces and are dropped.
        std::string_view rest = line_;
        while (!rest.empty()) {
            const std::size_t end = std::min(rest.find_first_of(" |"), rest.size());
            if (end > 0) readToken(rest.substr(0, end));
            rest.remove_prefix(std::min(end + 1, rest.size()));
        }
    }

private:
    void readToken(std::string_view token)
    {
        if (token.front() == 'T') {
            readTempo(token);
            return;
        }
        ++tokenCount_;
        // A token placed by "N" may name its own column; any other is placed
        // in its running column, which may already lie past the song's end.
        const bool placed = token.front() == 'N';
        if (!placed && tokenCount_ > kMaxNoteColumns) {
            dropped_.outsideColumns += notesOfToken(token);
            return;
        }

        NoteRecord record;
        record.note = -1;
        record.column =
            static_cast<std::int32_t>(std::min<std::int64_t>(tokenCount_, std::numeric_limits<std::int32_t>::max()));
        const std::size_t comma = token.find(',');
        if (comma != std::string_view::npos && !placed) {
            readVoiceList(token, comma, record);
            return;
        }
        // A placed token is one note whatever commas it holds: its channel
        // comes from the "N", so further voices would only overwrite its cell.
        if (comma != std::string_view::npos) record.voice = readDecimal(token.substr(comma + 1));
        record.text = token;
        append(std::move(record));
    }

    // A voice list is a note on channel 1 and one more for each later voice
    // that is not 0; any other token is one note.
    static std::size_t notesOfToken(std::string_view token)
    {
        std::size_t comma = token.find(',');
        if (comma == std::string_view::npos) return 1;
        std::size_t notes = 1;
        for (comma = token.find(',', comma + 1); comma != std::string_view::npos; comma = token.find(',', comma + 1))
            if (readDecimal(token.substr(comma + 1)) > 0) ++notes;
        return notes;
    }

    void append(NoteRecord&& record)
    {
        ++recordCount_;
        if (noteList_) noteList_->push_back(std::move(record));
    }

    // A tempo below 1 cannot be played, so such a token leaves the tempo as
    // it was. Only the last tempo token counts, so only one record is kept.
    void readTempo(std::string_view token)
    {
        if (readDecimal(token.substr(1)) < 1) return;
        if (tempoIndex_) {
            if (noteList_) (*noteList_)[*tempoIndex_].text = token;
            return;
        }
        tempoIndex_ = noteList_ ? noteList_->size() : 0;
        NoteRecord record;
        record.note = -1;
        record.text = token;
        append(std::move(record));
    }

    // "C,10,74,1": one record per voice, voice i on channel i, each with the
    // note text up to its first comma followed by its own voice number.
    void readVoiceList(std::string_view token, std::size_t comma, const NoteRecord& placedRecord)
    {
        const std::string_view head = token.substr(0, comma + 1);
        const auto appendVoice = [&](std::int32_t channel, std::string_view field, std::int32_t voice) {
            NoteRecord record = placedRecord;
            record.channel = channel;
            record.voice = voice;
            record.text.reserve(head.size() + field.size());
            record.text.append(head).append(field);
            append(std::move(record));
        };
        struct Voice {
            std::int32_t channel;
            std::string_view field;
            std::int32_t voice;
        };
        std::optional<Voice> lastBeyondChannels;

        std::string_view rest = token.substr(comma + 1);
        for (std::int64_t channel = 1;; ++channel) {
            const std::size_t end = std::min(rest.find(','), rest.size());
            const std::string_view field = rest.substr(0, end);
            const std::int32_t voice = readDecimal(field);
            const auto channel32 =
                static_cast<std::int32_t>(std::min<std::int64_t>(channel, std::numeric_limits<std::int32_t>::max()));
            if (channel == 1) {
                appendVoice(1, field, voice);
            } else if (voice > 0 && channel <= kChannelCount) {
                appendVoice(channel32, field, voice);
            } else if (voice > 0) {
                // Only the last is kept (and dropped when placed); the others end here.
                if (lastBeyondChannels) ++dropped_.outsideChannels;
                lastBeyondChannels = Voice{channel32, field, voice};
            }
            if (end == rest.size()) break;
            rest.remove_prefix(end + 1);
        }
        if (lastBeyondChannels)
            appendVoice(lastBeyondChannels->channel, lastBeyondChannels->field, lastBeyondChannels->voice);
    }

    std::vector<NoteRecord>* noteList_;
    std::size_t recordCount_ = 0;
    DroppedNotes dropped_;
    std::string line_;  // the line being read, trimmed and upper-cased
    bool started_ = false;
    bool ended_ = false;
    std::int64_t tokenCount_ = 0;  // note tokens so far: the running column
    std::optional<std::size_t> tempoIndex_;
};

}  // namespace

bool isStartLine(std::string_view line)
{
    constexpr std::string_view kStart = "START";
    const std::string_view text = trimmed(line);
    return text.size() == kStart.size() &&
           std::equal(text.begin(), text.end(), kStart.begin(), [](char a, char b) { return upperAscii(a) == b; });
}

DroppedNotes readMusicTokens(std::string_view contents, std::vector<NoteRecord>& noteList)
{
    // Counting first lets the note list grow once: a file of millions of tiny
    // tokens would otherwise hold up to twice its records while growing.
    TokenReader counter(nullptr);
    forEachLine(contents, [&](std::string_view line) { counter.readLine(line); });
    noteList.reserve(noteList.size() + counter.recordCount());

    TokenReader reader(&noteList);
    forEachLine(contents, [&](std::string_view line) { reader.readLine(line); });
    return reader.dropped();
}

}  // namespace nimbel::song_file
