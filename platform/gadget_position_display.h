// The position track bar and note counter of a window as the song display
// and the sequencer see them: a track bar gadget and a label gadget.
#pragma once

#include "position_display.h"

namespace nimbel {

class Desktop;

class GadgetPositionDisplay final : public PositionDisplay {
public:
    GadgetPositionDisplay(Desktop& desktop, int window, int trackBar, int counter)
        : desktop_(desktop), window_(window), trackBar_(trackBar), counter_(counter)
    {}

    int maximum() const override;
    void setMaximum(int maximum) override;
    int position() const override;
    void setPosition(int position) override;
    std::string counterText() const override;
    void setCounterText(std::string text) override;

private:
    Desktop& desktop_;
    int window_;
    int trackBar_;
    int counter_;
};

}  // namespace nimbel
