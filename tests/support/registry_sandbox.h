// Registry helpers for tests. In-process tests run on a scratch key that
// stands in for HKEY_CURRENT_USER; black-box tests use the prefix's own.
#ifndef SORRELWICK_TESTS_REGISTRY_SANDBOX_H
#define SORRELWICK_TESTS_REGISTRY_SANDBOX_H

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

extern const char kAcPath[];    // the AutoComplete key, no trailing backslash
extern const char kMainPath[];  // the Main key
extern const char kSaPath[];    // the Search Assistant key
extern const char kProgramPath[];
extern const char kBackupPath[];
extern const char kMakerPath[];

struct RegValue {
    bool exists;
    DWORD type;
    std::vector<BYTE> bytes;
};

inline bool operator==(const RegValue &a, const RegValue &b)
{
    return a.exists == b.exists && a.type == b.type && a.bytes == b.bytes;
}

// All of these work below HKEY_CURRENT_USER as the calling process sees it.
void SetValue(const char *path, const char *name, DWORD type, const void *bytes, DWORD size);
void SetString(const char *path, const char *name, const char *text);  // with its NUL
void SetDword(const char *path, const char *name, DWORD value);
void DeleteValue(const char *path, const char *name);
void DeleteTree(const char *path);
bool KeyExists(const char *path);
RegValue ReadValue(const char *path, const char *name);
std::vector<BYTE> Bytes(const char *text, size_t size);  // `size` bytes of `text`
std::vector<BYTE> DwordBytes(DWORD value);

// The six values of a typical installation: AutoSuggest, Use FormSuggest,
// FormSuggest Passwords, Use AutoComplete "yes"; FormSuggest PW Ask and
// Append Completion "no"; Search Assistant AutoComplete 1.
void SeedTypicalIe();
// Removes the three Internet Explorer keys and the program's maker key.
void ClearIeAndStore();

// Overrides HKEY_CURRENT_USER for this process with a fresh scratch key, and
// gives the process-wide state and the seams their start values.
class AppTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    HKEY scratch_ = NULL;
    std::string scratchPath_;
};

void ResetAppState();
void ResetSeams();

// Like ReadValue, below any root; the in-process tests reach the registry
// that another process wrote through a root that is not overridden.
RegValue ReadValueUnder(HKEY root, const char *path, const char *name);
// Checks that the value exists with exactly this type and these bytes.
void ExpectValue(const char *path, const char *name, DWORD type, const std::vector<BYTE> &bytes);
std::vector<BYTE> Field(const char *fourBytes);  // 4 bytes of a literal: Field("no\0")
const char *IePathOf(int row);  // kAcPath, kMainPath or kSaPath for a table row
// Like SetValue, but a string keeps exactly `size` bytes: RegSetValueExA
// would count a NUL lying right after them into the value.
void SetExactValue(const char *path, const char *name, DWORD type, const void *bytes, DWORD size);

#endif
