#include "tests/support/registry_sandbox.h"

#include <shlwapi.h>

#include "shell/appstate.h"
#include "shell/seams.h"

const char kAcPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete";
const char kMainPath[] = "Software\\Microsoft\\Internet Explorer\\Main";
const char kSaPath[] = "Software\\Microsoft\\Search Assistant";
const char kProgramPath[] = "Software\\Tarrow\\Sorrelwick";
const char kBackupPath[] = "Software\\Tarrow\\Sorrelwick\\Backup";
const char kMakerPath[] = "Software\\Tarrow";

void SetValue(const char *path, const char *name, DWORD type, const void *bytes, DWORD size)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, path, &key)) << path;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, (const BYTE *)bytes, size)) << name;
    RegCloseKey(key);
}

void SetString(const char *path, const char *name, const char *text)
{
    SetValue(path, name, REG_SZ, text, (DWORD)strlen(text) + 1);
}

void SetDword(const char *path, const char *name, DWORD value)
{
    SetValue(path, name, REG_DWORD, &value, 4);
}

void DeleteValue(const char *path, const char *name)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

void DeleteTree(const char *path)
{
    SHDeleteKeyA(HKEY_CURRENT_USER, path);
}

bool KeyExists(const char *path)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

RegValue ReadValue(const char *path, const char *name)
{
    return ReadValueUnder(HKEY_CURRENT_USER, path, name);
}

std::vector<BYTE> Bytes(const char *text, size_t size)
{
    return std::vector<BYTE>((const BYTE *)text, (const BYTE *)text + size);
}

std::vector<BYTE> DwordBytes(DWORD value)
{
    return Bytes((const char *)&value, 4);
}

void SeedTypicalIe()
{
    SetString(kAcPath, "AutoSuggest", "yes");
    SetString(kAcPath, "Append Completion", "no");
    SetString(kAcPath, "Use AutoComplete", "yes");
    SetString(kMainPath, "Use FormSuggest", "yes");
    SetString(kMainPath, "FormSuggest Passwords", "yes");
    SetString(kMainPath, "FormSuggest PW Ask", "no");
    SetDword(kSaPath, "AutoComplete", 1);
}

void ClearIeAndStore()
{
    DeleteTree(kAcPath);
    DeleteTree(kMainPath);
    DeleteTree(kSaPath);
    DeleteTree(kMakerPath);
}

void ResetAppState()
{
    ZeroMemory(&app, sizeof(app));
    app.instance = GetModuleHandleA(NULL);
}

void ResetSeams()
{
    RestoreSeams();
}

void AppTest::SetUp()
{
    static int counter;
    char path[128];
    wsprintfA(path, "Software\\SorrelwickTests\\%lu-%d", GetCurrentProcessId(), ++counter);
    scratchPath_ = path;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, path, &scratch_));
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, scratch_));
    ResetAppState();
    ResetSeams();
}

void AppTest::TearDown()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    if (scratch_ != NULL)
        RegCloseKey(scratch_);
    DeleteTree(scratchPath_.c_str());
    ResetSeams();
}

RegValue ReadValueUnder(HKEY root, const char *path, const char *name)
{
    RegValue value = {false, 0, {}};
    HKEY key;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, NULL, &value.type, NULL, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        if (RegQueryValueExA(key, name, NULL, &value.type, value.bytes.data(), &size) == ERROR_SUCCESS) {
            value.exists = true;
            value.bytes.resize(size);
        }
    }
    RegCloseKey(key);
    return value;
}

void ExpectValue(const char *path, const char *name, DWORD type, const std::vector<BYTE> &bytes)
{
    RegValue value = ReadValue(path, name);
    EXPECT_TRUE(value.exists) << path << " : " << name;
    EXPECT_EQ(type, value.type) << path << " : " << name;
    EXPECT_EQ(bytes, value.bytes) << path << " : " << name;
}

std::vector<BYTE> Field(const char *fourBytes)
{
    return Bytes(fourBytes, 4);
}

const char *IePathOf(int row)
{
    static const char *const paths[] = {kAcPath, kMainPath, kSaPath};
    return paths[kAcValues[row].key];
}

void SetExactValue(const char *path, const char *name, DWORD type, const void *bytes, DWORD size)
{
    std::vector<BYTE> copy((const BYTE *)bytes, (const BYTE *)bytes + size);
    copy.push_back(0xFF);
    SetValue(path, name, type, copy.data(), size);
}
