// The About box with the version labels it reads from the program's own
// file, and the help topics with the centring of windows on the screen.
#ifndef SORRELWICK_ABOUT_H
#define SORRELWICK_ABOUT_H

#include <windows.h>

// The help topics, and one second later their window centred.
void OpenHelpTopics();
void PlaceHelpWindow();  // the tick of timer 1
void CenterWindowOnScreen(HWND window);

#endif
