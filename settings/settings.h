// The AutoComplete values: their capture at start-up, applying ON and OFF,
// the program's configuration store and its backup registry file. The
// registry access they rest on is in settings/registry.h.
#ifndef SORRELWICK_SETTINGS_H
#define SORRELWICK_SETTINGS_H

#include <windows.h>

// The value table and the capture.
int TakesPart(int row);
int IsYes(const BYTE *field);
// Keeps one AutoComplete key open while a walk visits its rows; null when
// the row's key does not open.
HKEY SwitchAcKey(HKEY key, int *openKey, int row);
void DetectSearchAssistantMode();
LONG SearchAssistantModeFor(const OSVERSIONINFOA *version);
const char *CaptureAutoCompleteValues();  // null on success, else the text to show
void CopyCapturedToConfigured();

// Applying ON and OFF.
void ApplyValues(LONG selector);
// Each managed row of `set` that takes part, and that `only` marks (every
// one when null), into Internet Explorer's keys; 1 when every one was written.
int WriteIeValues(BYTE (*set)[4], const LONG *only);

// The configuration store.
void LoadConfiguration();
void CreateConfigurationStore();
void WriteProgramKey();
// What this run captured, kept in the program key while it runs, and whether
// the configured values may be in Internet Explorer's keys (1) or not (0).
void WriteRunCaptured();
void NoteConfiguredInPlace(LONG inPlace);
void DeleteRunCaptured();

// The backup registry file.
int WriteBackupRegFile();  // 1 only when the whole file was written
int BuildBackupText(char *text, int size);
int FindFreeBackupNumber();

#endif
