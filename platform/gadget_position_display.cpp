#include "gadget_position_display.h"

#include "gadgets.h"

namespace nimbel {

int GadgetPositionDisplay::maximum() const { return Gadgets(desktop_).trackBarMaximum(window_, trackBar_); }
void GadgetPositionDisplay::setMaximum(int maximum)
{
    Gadgets(desktop_).setTrackBarMaximum(window_, trackBar_, maximum);
}
int GadgetPositionDisplay::position() const { return Gadgets(desktop_).trackBarPosition(window_, trackBar_); }
void GadgetPositionDisplay::setPosition(int position)
{
    Gadgets(desktop_).setTrackBarPosition(window_, trackBar_, position);
}
std::string GadgetPositionDisplay::counterText() const { return Gadgets(desktop_).gadgetText(window_, counter_); }
void GadgetPositionDisplay::setCounterText(std::string text)
{
    Gadgets(desktop_).setGadgetText(window_, counter_, text);
}

}  // namespace nimbel
