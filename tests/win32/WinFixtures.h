// Helpers of the tests on real windows: pumping messages, reading pixels back from a
// window, and the process's memory.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "toolkit/win32/Gdi.h"

namespace WinFixtures {

// Runs the message loop until done() holds or timeoutMs pass; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000);
// Runs the message loop for ms milliseconds.
void PumpFor(int ms);

// The window's text (caption), in UTF-8.
std::string WindowText(HWND hwnd);

// The pixels of rect r of hwnd's client area as they are on the screen.
void CaptureWindow(HWND hwnd, const Toolkit::TRect& r, Toolkit::TBitmap& out);
// The pixels of rect r of the screen, from whatever window is on top there.
void CaptureScreen(const Toolkit::TRect& r, Toolkit::TBitmap& out);
// The screen rectangle of a window's client area, or of part r of it.
Toolkit::TRect ScreenRect(HWND hwnd);
Toolkit::TRect ScreenRect(HWND hwnd, const Toolkit::TRect& r);

// A press and a release of the left mouse button at a point of the screen, as a person's
// click reaches the system (the pointer moves there first).
void ClickOnScreen(POINT p);

// The edit control below window (at any depth) that shows text, or nullptr.
HWND EditShowing(HWND window, const wchar_t* text);

// Bytes of private memory the process holds (PagefileUsage).
std::size_t PagefileUsage();

// Runs act once on the first visible top-level window of this thread that match accepts,
// from a timer of the thread: whatever modal loop shows the window dispatches it. Returns
// at once; a window that has not shown within timeoutMs is reported as a test failure.
void WhenWindowShows(std::function<bool(HWND)> match, std::function<void(HWND)> act, int timeoutMs = 10000);
// The same for the first visible dialog box (window class "#32770").
void WhenDialogShows(std::function<void(HWND dialog)> act, int timeoutMs = 10000);
// Whether such an action is still waiting for its window.
bool DialogPending();

}  // namespace WinFixtures
