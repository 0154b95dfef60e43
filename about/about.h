// The About box with the version labels it reads from the program's own
// file, and the help topics with the centring of windows on the screen.
#ifndef SORRELWICK_ABOUT_H
#define SORRELWICK_ABOUT_H

#include <windows.h>

#define TIMER_ABOUT_ICON 3  // on the About box, 1000 ms
#define ABOUT_LABEL_SIZE 128  // each label, with its NUL

// The About box.
void OpenAboutDialog();  // only while none is open
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// The version information of a file, to be freed with LocalFree, and the
// first entry of its translation table (language in the low word, code page
// in the high word); null when the file has none or no translation.
void *ReadVersionBlock(const char *fileName, DWORD *translation);
// 1 and the string in `text`, cut to `size` bytes with its NUL where it is
// longer, or 0 and an empty `text`; `block` as ReadVersionBlock gave it.
int QueryVersionString(char *text, int size, const void *block, DWORD translation, const char *name);

// The help topics, and one second later their window centred.
void OpenHelpTopics();
// WinHelpA, with the system's own viewer started by its full path first.
BOOL WINAPI WinHelpByFullPath(HWND window, LPCSTR file, UINT command, ULONG_PTR data);
void PlaceHelpWindow();  // the tick of timer 1
void CenterWindowOnScreen(HWND window);

#endif
