// What a user does at the keyboard and the mouse, and what the screen shows.
// Clicks go through the system's input queue (SendInput) to whatever is
// under the pointer. Keys are posted to the control they are meant for, in
// the order typed: under Wine, keys from SendInput go to wherever the focus
// was when they were queued, which races with the program's own focus moves.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Brings the window to the front; false when it did not get there.
bool BringToFront(HWND window);
// A left click at the middle of a window, or at a point of the
// screen; a click on a control that takes the focus waits until it has it.
void Click(HWND window);
void ClickAt(POINT screen);
// One key pressed and released on a control; the program's message loop
// makes the character of it, as for a key of the keyboard.
void Press(HWND target, WORD virtualKey);
// Characters typed one by one into a control, each followed by its key's release.
void Type(HWND target, const std::string& text);
// Lets the other process take the input: waits until its thread is idle.
void Settle(HWND window);
// Whether the control (or a child of it) has its thread's keyboard focus.
bool HasFocus(HWND control);

// The whole screen written as a 24-bit BMP file; false on failure.
bool SaveScreen(const std::string& path);
// The screen's pixel (0x00RRGGBB) at a point.
COLORREF ScreenPixel(POINT screen);

} // namespace e2e
