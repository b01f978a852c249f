// The check marks of the Music menu (Play, Pause, Stop) as the playback
// commands set them: the main window's menu, or a plain set for tests and tools.
#pragma once

namespace nimbel {

class MusicChecks {
public:
    virtual ~MusicChecks() = default;
    virtual void setMusicChecks(bool play, bool pause, bool stop) = 0;
};

// Check marks without a menu: they only remember their state.
class PlainMusicChecks final : public MusicChecks {
public:
    void setMusicChecks(bool play, bool pause, bool stop) override
    {
        play_ = play;
        pause_ = pause;
        stop_ = stop;
    }
    bool play() const { return play_; }
    bool pause() const { return pause_; }
    bool stop() const { return stop_; }

private:
    bool play_ = false;
    bool pause_ = false;
    bool stop_ = false;
};

}  // namespace nimbel
