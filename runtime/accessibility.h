// What assistive technology (a screen reader, a magnifier, speech control)
// is told about a control: its name, its role and its value, through the
// accessible object the system asks the control for, and a notice when the
// value changes. Windows only (the header does not include windows.h).
#pragma once
#include <string>

// Roles a control can be given; ACCESSIBLE_DEFAULT keeps the platform's own.
enum AccessibleRole {
  ACCESSIBLE_DEFAULT,
  ACCESSIBLE_SLIDER,
  ACCESSIBLE_GRAPHIC,
  ACCESSIBLE_LIST,
  ACCESSIBLE_PUSH_BUTTON,
};

// The value a control shows, as text, asked for when a client reads it.
typedef std::string (*AccessibleValueSource)(int control);

// From now on the control's accessible object answers with this name (UTF-8;
// null keeps the platform's), this role, and the value `value` gives (null
// keeps the platform's); everything else is the platform's standard object
// for the window. Works for canvases and native controls alike. False when
// the control does not exist.
bool SetControlAccessible(int control, const char* name, AccessibleRole role, AccessibleValueSource value);

// Tells the system that the control's value has changed, so that a screen
// reader may read it again.
void NotifyAccessibleValueChanged(int control);
