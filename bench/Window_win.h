// The plain window of the bench programs: it closes the ordinary way or
// when a timer set on it runs out, and its closing ends the message loop.
#pragma once

#include <windows.h>

namespace panestow::bench {

// A hidden top-level window of its own class.
HWND MakePlainWindow(HINSTANCE instance, const char* class_name, const char* caption);

// Dispatches messages until the window has closed.
void RunMessageLoop();

}  // namespace panestow::bench
