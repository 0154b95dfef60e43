// The auto-exit poll, and the dial-up records as its line check hands them
// to RAS.
#ifndef SORRELWICK_AUTOEXIT_H
#define SORRELWICK_AUTOEXIT_H

#include <windows.h>

#define RAS_CONNECTED 0x2000
#define RAS_DISCONNECTED 0x2001

// The Windows XP layouts of RASCONNA and RASCONNSTATUSA: later systems
// accept them, and they fit any system from XP on.
struct RasConnXp {
    DWORD dwSize;
    HANDLE hrasconn;
    char rest[696];
};
struct RasConnStatusXp {
    DWORD dwSize;
    DWORD rasconnstate;
    DWORD dwError;
    char szDeviceType[17];
    char szDeviceName[129];
    char szPhoneNumber[129];
};
#ifndef _WIN64
static_assert(sizeof(RasConnXp) == 704, "RASCONNA is 704 bytes");
static_assert(sizeof(RasConnStatusXp) == 288, "RASCONNSTATUSA is 288 bytes");
#endif

LONG CheckRasConnection();
void AutoExitPoll();
DWORD WINAPI AutoExitThread(LPVOID unused);
void StartAutoExitPoll();
void StopAutoExitPoll();

#endif
