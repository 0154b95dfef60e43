// Registry access: every key lies below HKEY_CURRENT_USER and is opened,
// used and closed within one operation.
#ifndef SORRELWICK_REGISTRY_H
#define SORRELWICK_REGISTRY_H

#include <windows.h>

HKEY OpenUserKey(const char *path);    // null when the key does not exist
HKEY CreateUserKey(const char *path);  // opens or creates, with parents
// Reads at most `size` bytes into `field`; 1 on success, with the byte count
// in *length and the stored type in *type when asked. A value longer than the
// field fails, and a failed read leaves the field as it was.
int ReadFixed(HKEY key, const char *name, void *field, DWORD size, DWORD *length = NULL,
              DWORD *type = NULL);
int WriteField(HKEY key, const char *name, DWORD type, const void *field);  // 4 bytes; 1 when written
void WriteDword(HKEY key, const char *name, LONG value);
void WriteText(HKEY key, const char *name, const char *text);  // REG_SZ without its NUL
// Into the program key, which these never create.
void WriteProgramDword(const char *name, LONG value);
void WriteProgramField(const char *name, DWORD type, const void *field);  // 4 bytes

#endif
