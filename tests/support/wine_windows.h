// Finding and driving windows of this or another process, with time limits.
#ifndef SORRELWICK_TESTS_WINE_WINDOWS_H
#define SORRELWICK_TESTS_WINE_WINDOWS_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

std::string ClassOf(HWND window);
std::string TextOf(HWND window);
// Top-level windows, in Z order, optionally only those of one process.
std::vector<HWND> TopLevelWindows(DWORD pid = 0);
// Polls `found` every 20 ms, pumping this thread's messages, until it gives a
// window or `timeoutMs` passes; null on time-out.
HWND WaitForWindow(const std::function<HWND()> &found, DWORD timeoutMs);
bool WaitUntil(const std::function<bool()> &done, DWORD timeoutMs);
void PumpMessages(DWORD ms);

// A dialog ("#32770") with a message box's text static, not another dialog.
bool IsMessageBox(HWND window);
// A message box of the process, or null after the time-out.
HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs);
std::string MessageBoxText(HWND box);  // the text of its static 0xFFFF
bool MessageBoxHasIcon(HWND box);
void PressButton(HWND box, int id);   // as a click on the button with that id
// SendMessage that gives up after 5 s (answering 0), for a window of another
// thread or process, which may be hung; `unicode` for a Unicode window.
LRESULT SendWithin(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, bool unicode = false);

// A message-only window that counts the WM_CLOSE it receives and stays; it
// stands in for the main window where a test watches for exit requests.
// Registers a window class of this module; again for a name is harmless.
void RegisterTestClass(const char *className, WNDPROC proc);
HWND CreateCloseCounter();
LONG CloseCount(HWND window);

// Ends every process that owns a top-level window of this class (letter
// case ignored) and waits for each to go; returns how many there were.
int EndWindowOwners(const char *className, DWORD timeoutMs = 5000);

#endif
