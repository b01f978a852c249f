// The position track bar and note counter pair that showing a song and the
// sequencer drive: the main window's pair, the Channel Window's pair, or a
// plain one for tests and the command-line tool.
#pragma once

#include <string>
#include <utility>

namespace nimbel {

class PositionDisplay {
public:
    virtual ~PositionDisplay() = default;
    virtual int maximum() const = 0;
    virtual void setMaximum(int maximum) = 0;
    virtual int position() const = 0;
    virtual void setPosition(int position) = 0;
    virtual std::string counterText() const = 0;
    virtual void setCounterText(std::string text) = 0;
};

// A pair without a window: it only remembers its values.
class PlainPositionDisplay final : public PositionDisplay {
public:
    int maximum() const override { return maximum_; }
    void setMaximum(int maximum) override { maximum_ = maximum; }
    int position() const override { return position_; }
    void setPosition(int position) override { position_ = position; }
    std::string counterText() const override { return counter_; }
    void setCounterText(std::string text) override { counter_ = std::move(text); }

private:
    int maximum_ = 10;  // the track bar's range as the main window creates it
    int position_ = 1;
    std::string counter_ = "1";
};

}  // namespace nimbel
