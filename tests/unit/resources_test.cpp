// What the built Sorrelwick.exe carries: read from the file as data.
#include <windows.h>

#include <stddef.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"

static const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);

class Resources : public testing::Test {
protected:
    void SetUp() override
    {
        path = TestProgramDir() + "\\Sorrelwick.exe";
        module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(HMODULE(NULL), module) << path;
    }
    void TearDown() override
    {
        if (module != NULL)
            FreeLibrary(module);
    }
    std::string Resource(LPCSTR type, LPCSTR name)
    {
        HRSRC found = FindResourceExA(module, type, name, kJapanese);
        if (found == NULL)
            return std::string();
        return std::string((const char *)LockResource(LoadResource(module, found)), SizeofResource(module, found));
    }

    std::string path;
    HMODULE module = NULL;
};

TEST_F(Resources, AcceleratorTableListsTheDialogKeysInOrder)
{
    ASSERT_FALSE(Resource(RT_ACCELERATOR, MAKEINTRESOURCEA(105)).empty());
    HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(105));
    ASSERT_NE(HACCEL(NULL), table);
    ACCEL entries[32];
    int count = CopyAcceleratorTableA(table, entries, 32);
    DestroyAcceleratorTable(table);

    const BYTE alt = FVIRTKEY | FALT | FNOINVERT;
    const ACCEL expected[] = {
        {alt, 'A', 1005}, {alt, 'B', 1011}, {alt, 'C', 1013}, {alt, 'D', 1015}, {alt, 'E', 1003},
        {alt, 'F', 1006}, {alt, 'H', 1016}, {alt, 'I', 1002}, {alt, 'J', 1010}, {alt, 'K', 1001},
        {alt, 'N', 1012}, {alt, 'O', 1004}, {alt, 'P', 1007}, {alt, 'R', 1008}, {alt, 'V', 1028},
        {FVIRTKEY | FNOINVERT, VK_ESCAPE, 1027},
        {alt, 'W', 1009}, {alt, 'X', 1014}, {alt, 'Z', 1000},
    };
    ASSERT_EQ((int)(sizeof(expected) / sizeof(expected[0])), count);
    for (int i = 0; i < count; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].fVirt, entries[i].fVirt & ~0x80);  // the end-of-table bit
        EXPECT_EQ(expected[i].key, entries[i].key);
        EXPECT_EQ(expected[i].cmd, entries[i].cmd);
    }
}

TEST_F(Resources, IconsAreJapaneseAndLoadAtTrayAndDialogSizes)
{
    for (int id = 1; id <= 3; id++) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(id)).empty());
        for (int size : {16, 32}) {
            HICON icon = (HICON)LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
            ASSERT_NE(HICON(NULL), icon);
            ICONINFO info;
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP bitmap;
            GetObjectA(info.hbmMask, sizeof(bitmap), &bitmap);
            EXPECT_EQ(size, bitmap.bmWidth);
            DeleteObject(info.hbmMask);
            if (info.hbmColor != NULL)
                DeleteObject(info.hbmColor);
            DestroyIcon(icon);
        }
    }
}

TEST_F(Resources, VersionBlockIsJapaneseUnicodeOnly)
{
    EXPECT_FALSE(Resource(RT_VERSION, MAKEINTRESOURCEA(1)).empty());
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_NE(0u, size);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    WORD *translation = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", (void **)&translation, &length));
    ASSERT_EQ(4u, length);  // exactly one pair
    EXPECT_EQ(0x0411, translation[0]);
    EXPECT_EQ(1200, translation[1]);

    auto text = [&](const char *name) {
        char *value = NULL;
        UINT chars = 0;
        std::string query = std::string("\\StringFileInfo\\041104b0\\") + name;
        if (!VerQueryValueA(block.data(), query.c_str(), (void **)&value, &chars) || value == NULL)
            return std::string("<missing>");
        return std::string(value);
    };
    EXPECT_EQ("3.8", text("FileVersion"));
    EXPECT_EQ("Sorrelwick", text("ProductName"));
    EXPECT_NE(std::string::npos, text("LegalCopyright").find("Copyright"));
}

// Windows refuses an exe whose manifest names another architecture.
TEST_F(Resources, ManifestAsksForCommonControlsSixInTheExesOwnArchitecture)
{
    std::string manifest = Resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    ASSERT_FALSE(manifest.empty());
    size_t dependency = manifest.find("name=\"Microsoft.Windows.Common-Controls\"");
    ASSERT_NE(std::string::npos, dependency);
    std::string identity = manifest.substr(dependency, manifest.find("/>", dependency) - dependency);
    EXPECT_NE(std::string::npos, identity.find("version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, identity.find("processorArchitecture=\"*\""));
    const std::string own = sizeof(void *) == 8 ? "amd64" : "x86";
    EXPECT_NE(std::string::npos,
              manifest.find("name=\"Tarrow.Sorrelwick\" version=\"3.8.0.0\" processorArchitecture=\"" + own + "\""));
}

// An exe's machine, the DLLs its import table names and the size of its
// delay-load table, read from the file: no loader maps an image of the other width.
struct ImportTable {
    WORD machine = 0;
    DWORD delayLoadSize = 0;
    std::vector<std::string> dlls;
};

static ImportTable ReadImportTable(const std::string &file)
{
    const std::string bytes = ReadFileBytes(file);
    auto get = [&bytes](size_t at, size_t size) {  // 0 outside the file
        DWORD value = 0;
        if (at < bytes.size() && size <= bytes.size() - at)
            CopyMemory(&value, &bytes[at], size);
        return value;
    };
    ImportTable table;
    const size_t nt = get(offsetof(IMAGE_DOS_HEADER, e_lfanew), 4), optional = nt + offsetof(IMAGE_NT_HEADERS32, OptionalHeader);
    if (get(nt, 4) != IMAGE_NT_SIGNATURE)
        return table;
    table.machine = (WORD)get(nt + offsetof(IMAGE_NT_HEADERS32, FileHeader.Machine), 2);
    const size_t directories = optional + (get(optional, 2) == IMAGE_NT_OPTIONAL_HDR64_MAGIC
                                               ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                               : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory));
    table.delayLoadSize = get(directories + IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT * sizeof(IMAGE_DATA_DIRECTORY) + 4, 4);
    const size_t sections = optional + get(nt + offsetof(IMAGE_NT_HEADERS32, FileHeader.SizeOfOptionalHeader), 2);
    const DWORD sectionCount = get(nt + offsetof(IMAGE_NT_HEADERS32, FileHeader.NumberOfSections), 2);
    auto offsetOf = [&](DWORD rva) -> size_t {
        for (size_t section = sections; section < sections + sectionCount * sizeof(IMAGE_SECTION_HEADER);
             section += sizeof(IMAGE_SECTION_HEADER)) {
            DWORD start = get(section + offsetof(IMAGE_SECTION_HEADER, VirtualAddress), 4);
            if (rva >= start && rva - start < get(section + offsetof(IMAGE_SECTION_HEADER, SizeOfRawData), 4))
                return get(section + offsetof(IMAGE_SECTION_HEADER, PointerToRawData), 4) + (rva - start);
        }
        return bytes.size();
    };
    const size_t nameField = offsetof(IMAGE_IMPORT_DESCRIPTOR, Name);
    for (size_t entry = offsetOf(get(directories + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof(IMAGE_DATA_DIRECTORY), 4));
         get(entry + nameField, 4) != 0; entry += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        size_t name = offsetOf(get(entry + nameField, 4));
        table.dlls.push_back(name < bytes.size() ? bytes.c_str() + name : "<outside the file>");
    }
    return table;
}

// A DLL the system does not provide itself is searched for beside the exe
// first, so the exe imports no other; comctl32 comes through the manifest.
TEST(Imports, ExeImportsOnlyDllsTheSystemItselfProvides)
{
    static const char *const kSystemDlls[] = {"kernel32.dll", "user32.dll", "gdi32.dll",  "advapi32.dll",
                                              "shell32.dll",  "msvcrt.dll", "comctl32.dll"};
    const bool wide = sizeof(void *) == 8;
    const std::string own = TestProgramDir() + "\\Sorrelwick.exe";
    // The product is the 32-bit exe; a 64-bit build sits beside the 32-bit one.
    const struct {
        std::string file;
        WORD machine;
    } kExes[] = {{own, WORD(wide ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386)},
                 {wide ? TestProgramDir() + "\\..\\i686\\Sorrelwick.exe" : own, IMAGE_FILE_MACHINE_I386}};
    for (const auto &exe : kExes) {
        SCOPED_TRACE(exe.file);
        ImportTable table = ReadImportTable(exe.file);
        EXPECT_EQ(exe.machine, table.machine);
        EXPECT_LE(4u, table.dlls.size());  // the table was found at all
        for (const std::string &dll : table.dlls) {
            bool system = false;
            for (const char *allowed : kSystemDlls)
                system = system || lstrcmpiA(dll.c_str(), allowed) == 0;
            EXPECT_TRUE(system) << dll;
        }
        EXPECT_EQ(0u, table.delayLoadSize);  // delay-loaded DLLs are searched for by name too
    }
}
