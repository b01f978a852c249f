#include "midi_import.h"

#include "column_timing.h"
#include "midi_music.h"
#include "note_record.h"
#include "note_spelling.h"
#include "song_columns.h"
#include "song_text_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <vector>

namespace nimbel {

namespace {

constexpr int kMidiChannels = 16;
constexpr int kPercussionChannel = 9;  // General MIDI plays channel 9 (0-based) as percussion
constexpr double kVelocityPerVolume = 14.0;
constexpr int kLoudestDigit = 9;
constexpr std::uint8_t kLoudestVelocity = 127;

// Velocities stop at 127, which volume 10 (14 × 10 = 140) plays exactly.
int volumeOf(std::uint8_t velocity)
{
    if (velocity >= kLoudestVelocity) return kLoudestDigit + 1;
    return std::clamp(static_cast<int>(std::lround(velocity / kVelocityPerVolume)), 1, kLoudestDigit);
}

int voiceOf(std::uint8_t program) { return program + 1; }

// Which song channel each MIDI channel's notes take (0 = none), and the
// song channels the file leaves unused, lowest first, for chord notes.
struct ChannelPlan {
    std::array<int, kMidiChannels> songChannel{};
    std::array<bool, kMidiChannels> used{};
    std::vector<int> spare;
};

ChannelPlan planChannels(const MidiMusic& music)
{
    ChannelPlan plan;
    for (const MidiNote& note : music.notes) plan.used[note.channel] = true;
    // A channel given a voice other than the first needs its cells for it,
    // even without notes: the song sets voices only in cells.
    for (const MidiProgramChange& change : music.programChanges)
        if (change.program != 0) plan.used[change.channel] = true;
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        plan.songChannel[static_cast<std::size_t>(channel)] = channel;
        if (!plan.used[static_cast<std::size_t>(channel)] && channel != kPercussionChannel)
            plan.spare.push_back(channel);
    }
    if (plan.used[0] && !plan.spare.empty()) {
        plan.songChannel[0] = plan.spare.front();
        plan.spare.erase(plan.spare.begin());
    }
    return plan;
}

// One note column at a time: chooses the cells of its notes and of the
// program changes that fall in it, and writes them.
class ColumnPlacer {
public:
    ColumnPlacer(const ChannelPlan& plan, const ColumnTiming& timing, SongTextWriter& writer, ImportReport& report)
        : plan_(plan), timing_(timing), writer_(writer), report_(report)
    {}

    // `notes` start in `column` and `changes` fall in it, each in time order.
    void place(std::int64_t column, std::span<const MidiNote> notes, std::span<const MidiProgramChange> changes)
    {
        cells_.fill(Cell{});
        order_.clear();
        for (const MidiNote& note : notes) order_.push_back(&note);
        // A channel's first note keeps its channel; of notes starting together, the highest.
        std::stable_sort(order_.begin(), order_.end(), [](const MidiNote* a, const MidiNote* b) {
            if (a->channel != b->channel) return a->channel < b->channel;
            if (a->start != b->start) return a->start < b->start;
            return a->key > b->key;
        });
        chordNotes_.clear();
        for (const MidiNote* note : order_) {
            if (!speller_.reaches(note->key)) {
                ++report_.droppedTooLow;
                continue;
            }
            const int channel = plan_.songChannel[note->channel];
            if (channel != 0 && !cells_[static_cast<std::size_t>(channel)].note) put(channel, *note);
            else if (channel != 0 && note->channel != kPercussionChannel) chordNotes_.push_back(note);
            else ++report_.droppedNoChannel;
        }
        for (const MidiNote* note : chordNotes_) {
            const auto free = std::find_if(plan_.spare.begin(), plan_.spare.end(), [&](int channel) {
                return !cells_[static_cast<std::size_t>(channel)].note;
            });
            if (free == plan_.spare.end()) {
                ++report_.droppedNoChannel;
                continue;
            }
            put(*free, *note);
            ++report_.chordNotesMoved;
        }
        for (const MidiProgramChange& change : changes) {
            const int channel = plan_.songChannel[change.channel];
            if (channel != 0 && plan_.used[change.channel])
                cells_[static_cast<std::size_t>(channel)].voice = voiceOf(change.program);
        }
        for (int channel = 1; channel <= kChannelCount; ++channel) {
            const Cell& cell = cells_[static_cast<std::size_t>(channel)];
            if (cell.note) {
                const MidiNote& note = *cell.note;
                const double columns = timing_.columnsOf(note.end - note.start);
                writer_.note(channel, column, *speller_.spell(note.key, columns, writer_.durationLetter(channel)),
                             volumeOf(note.velocity), voiceOf(note.program));
            } else if (cell.voice != 0) {
                writer_.voiceChange(channel, column, cell.voice);
            }
        }
    }

private:
    struct Cell {
        const MidiNote* note = nullptr;
        int voice = 0;  // a program change to write in the cell when it holds no note
    };

    void put(int channel, const MidiNote& note)
    {
        cells_[static_cast<std::size_t>(channel)] = Cell{&note, 0};
        if (!timing_.isNearColumnStart(note.start)) ++report_.notesMoved;
    }

    const ChannelPlan& plan_;
    const ColumnTiming& timing_;
    SongTextWriter& writer_;
    ImportReport& report_;
    const NoteSpeller speller_;
    std::array<Cell, kMidiChannels> cells_{};
    std::vector<const MidiNote*> order_;
    std::vector<const MidiNote*> chordNotes_;
};

}  // namespace

std::string importMidiFile(std::string_view bytes, MidiImport& import)
{
    MidiMusic music;
    if (std::string refusal = readMidiMusic(bytes, music); !refusal.empty()) return refusal;
    import = MidiImport{};
    import.report.tempoChangesIgnored = music.tempoChangesIgnored;
    import.report.controllersIgnored = music.controllerMessages;

    const ColumnTiming timing(music);
    const ChannelPlan plan = planChannels(music);
    SongTextWriter writer(timing.tempoFor(music), music.notes.size());
    ColumnPlacer placer(plan, timing, writer, import.report);

    const std::span<const MidiNote> notes = music.notes;
    const std::span<const MidiProgramChange> changes = music.programChanges;
    std::size_t nextNote = 0;
    std::size_t nextChange = 0;
    const auto columnOfNote = [&](std::size_t i) { return timing.columnOf(notes[i].start); };
    const auto columnOfChange = [&](std::size_t i) { return timing.columnOf(changes[i].tick); };
    // Program changes after the last note change nothing that sounds.
    while (nextNote < notes.size()) {
        std::int64_t column = columnOfNote(nextNote);
        if (nextChange < changes.size()) column = std::min(column, columnOfChange(nextChange));
        if (column > kMaxNoteColumns) break;
        std::size_t noteEnd = nextNote;
        while (noteEnd < notes.size() && columnOfNote(noteEnd) == column) ++noteEnd;
        std::size_t changeEnd = nextChange;
        while (changeEnd < changes.size() && columnOfChange(changeEnd) == column) ++changeEnd;
        placer.place(column, notes.subspan(nextNote, noteEnd - nextNote),
                     changes.subspan(nextChange, changeEnd - nextChange));
        nextNote = noteEnd;
        nextChange = changeEnd;
    }
    import.report.droppedPastEnd = notes.size() - nextNote;
    import.songText = writer.finish();
    return {};
}

}  // namespace nimbel
