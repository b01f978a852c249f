#include "gadget_position_display.h"

#include "desktop.h"

namespace nimbel {

int GadgetPositionDisplay::maximum() const { return desktop_.trackBarMaximum(window_, trackBar_); }
void GadgetPositionDisplay::setMaximum(int maximum) { desktop_.setTrackBarMaximum(window_, trackBar_, maximum); }
int GadgetPositionDisplay::position() const { return desktop_.trackBarPosition(window_, trackBar_); }
void GadgetPositionDisplay::setPosition(int position) { desktop_.setTrackBarPosition(window_, trackBar_, position); }
std::string GadgetPositionDisplay::counterText() const { return desktop_.gadgetText(window_, counter_); }
void GadgetPositionDisplay::setCounterText(std::string text) { desktop_.setGadgetText(window_, counter_, text); }

}  // namespace nimbel
