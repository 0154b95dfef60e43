// The tray icon, its menu and the ON/OFF state they show. The settings
// dialog calls SetOnOffState, and nothing else here, to show its ON/OFF.
#ifndef SORRELWICK_TRAY_H
#define SORRELWICK_TRAY_H

#include <windows.h>

void RegisterTrayIcon(HWND window);
void ReRegisterTrayIcon(HWND window);
void SetOnOffState(LONG state);
void DeleteTrayIcon();

#endif
