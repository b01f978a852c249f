// Internal to playback/: the built-in synthesizer's loading thread. It makes
// the synthesizer and loads the SoundFont with each instrument's samples
// read only when needed (a large SoundFont's instrument list in a fifth of a
// second, instead of its whole samples in a second and 150 MB), hands the
// synthesizer to the audio thread, and then reads instruments' samples when
// asked, before the notes that use them are sent.
//
// FluidSynth would otherwise read an instrument's samples inside the program
// change that first selects it, on the thread that sends the change: the
// audio thread here, which would fall silent for as long as the reading
// takes (tens of milliseconds). Reading holds the synthesizer's own lock,
// which every message takes too, so the loader also holds `synthLock`
// meanwhile: the audio thread, seeing it held, goes on rendering and lets
// its messages wait (LiveRenderer). Instruments read stay in memory while
// the synthesizer lives, so each is read once.
#pragma once

#include "midi_devices.h"
#include "synth_setup.h"

#include <array>
#include <bitset>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nimbel {

class SampleLoader {
public:
    // `made` is called on the loading thread with the synthesizer once the
    // SoundFont has loaded, or with null when it did not; the callee keeps
    // it for longer than the loader lives.
    SampleLoader(fluid_settings_t* settings, std::string soundFont, std::mutex& synthLock,
                 std::function<void(FluidSynthPtr)> made);
    ~SampleLoader();  // joins the thread, after the SoundFont or the instrument it is reading
    SampleLoader(const SampleLoader&) = delete;
    SampleLoader& operator=(const SampleLoader&) = delete;

    // Reads the instruments `voices` select, after the SoundFont has loaded;
    // false when they are not all read within `timeout` or cannot be.
    bool load(std::span<const ChannelProgram> voices, std::chrono::milliseconds timeout);

private:
    void run();
    bool loadSoundFont();

    fluid_settings_t* settings_;
    const std::string soundFont_;
    std::mutex& synthLock_;
    std::function<void(FluidSynthPtr)> made_;
    fluid_synth_t* synth_ = nullptr;  // the loading thread's
    int soundFontId_ = 0;
    // Instruments read so far: [percussion channel or not][program].
    std::array<std::bitset<128>, 2> read_{};

    std::mutex mutex_;
    std::condition_variable changed_;
    bool failed_ = false;  // the SoundFont did not load
    bool stopping_ = false;
    std::vector<ChannelProgram> asked_;
    int askedCount_ = 0;  // voices asked for so far
    int doneCount_ = 0;   // of which read
    std::thread thread_;  // last: it starts once everything above exists
};

}  // namespace nimbel
