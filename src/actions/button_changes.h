#pragma once

namespace v270 {

// Told by the action executor, on its thread, after a button of the mouse changed the DPI level,
// the LED or the profile; the same changes made in the window are not told.
class ButtonChangeListener {
  public:
    virtual ~ButtonChangeListener() = default;

    virtual void dpiLevelChanged() = 0;
    virtual void ledToggled() = 0;
    virtual void profileSwitched() = 0;
};

}  // namespace v270
