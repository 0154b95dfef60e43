// Internet Explorer control and the auto-exit poll, seen from outside: the
// real Sorrelwick.exe against fake_ie.exe and Wine's own Internet Explorer.
#include "tests/blackbox/blackbox.h"

#include <tlhelp32.h>

#include <string>

static const std::vector<BYTE> kYes = Bytes("yes", 4);
static const std::vector<BYTE> kNo = Bytes("no\0", 4);

static HWND AnyFrame()
{
    return FindWindowA("IEFrame", NULL);
}

// Wine's stand-alone tray shows its window only while it holds an icon.
static bool TrayShowsAnIcon()
{
    HWND tray = FindWindowA("__winex11_standalone_tray", NULL);
    return tray != NULL && IsWindowVisible(tray);
}

class IeControl : public BlackBox {
protected:
    void SetUp() override
    {
        BlackBox::SetUp();
        EndWindowOwners("IEFrame");
        // A stored configuration, so that no run is a first run.
        SetDword(kProgramPath, "CompleteCount", 6);
    }
    void TearDown() override
    {
        EndWindowOwners("IEFrame");
        EndWindowOwners("Launched");
        BlackBox::TearDown();
    }
    void SetIePath(const std::string &fakeIeArgs)
    {
        SetString(kProgramPath, "IEPath", ("\"" + TestProgramDir() + "\\fake_ie.exe\" " + fakeIeArgs).c_str());
    }
    // How often an IEPath with log=launch.log has been started.
    int Launches()
    {
        std::string log = ReadFileBytes(dir + "\\launch.log");
        int lines = 0;
        for (char c : log)
            lines += c == '\n';
        return lines;
    }
    // Starts fake_ie.exe and waits until its frame windows exist.
    void StartIe(ChildProcess &ie, const char *args, size_t frames)
    {
        ASSERT_TRUE(ie.Start("fake_ie.exe", args, dir));
        DWORD pid = ie.Pid();
        ASSERT_TRUE(WaitUntil([&] { return TopLevelWindows(pid).size() >= frames; }, 10000));
    }
    // Starts Sorrelwick.exe and waits until it runs its message loop.
    HWND Start(ChildProcess &sorrelwick)
    {
        EXPECT_TRUE(StartSorrelwick(sorrelwick));
        return WaitForMainWindow(sorrelwick);
    }
    // Nothing outside the program shows a tick of its poll: three periods
    // give it a look at what is there now, even on a busy machine.
    static void LetThePollLook() { PumpMessages(1500); }
    // The poll looks every 500 ms and then the normal shutdown runs; the
    // bound leaves room for both on a machine busy with two test programs.
    static void ExpectEndsSoon(ChildProcess &sorrelwick)
    {
        DWORD start = GetTickCount();
        EXPECT_EQ(0u, sorrelwick.Wait(10000));
        EXPECT_LT(GetTickCount() - start, 3000u);
    }
};

TEST_F(IeControl, KillAtStartupTerminatesIeAndRelaunchesItOnceWithoutEndingMeanwhile)
{
    SetDword(kProgramPath, "KillIE", 1);
    SetDword(kProgramPath, "ExitType", 2);
    // The new Internet Explorer takes its time, as a real one does.
    SetIePath("1 delay=1500 log=launch.log");
    ChildProcess ie;
    StartIe(ie, "2", 2);

    ChildProcess sorrelwick;
    ASSERT_NE(HWND(NULL), Start(sorrelwick));
    EXPECT_EQ(0u, ie.Wait(5000));
    EXPECT_TRUE(WaitUntil([&] { return Launches() == 1; }, 5000));
    HWND frame = WaitForWindow(AnyFrame, 10000);
    ASSERT_NE(HWND(NULL), frame);
    // The ticks while no window existed only kept arming; now one sees it.
    EXPECT_TRUE(sorrelwick.Running());
    LetThePollLook();
    EXPECT_TRUE(sorrelwick.Running());
    EXPECT_EQ(1, Launches());

    PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([] { return AnyFrame() == NULL; }, 5000));
    ExpectEndsSoon(sorrelwick);
    EXPECT_EQ(1, Launches());
}

TEST_F(IeControl, StartupLaunchesOnlyAfterAKillOrWhenAskedAndNoIeRuns)
{
    const struct {
        LONG killIE, startIE;
        bool ieRunning;
        bool killed;
        int launches;
    } cases[] = {
        {0, 1, true, false, 0},   // StartIE never adds a second copy
        {2, 1, true, false, 0},   // 2 is not "on"
        {0, 1, false, false, 1},
        {0, 2, false, false, 0},
        {1, 0, false, false, 0},  // nothing to kill, nothing to relaunch
        {1, 0, true, true, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "KillIE " << c.killIE << ", StartIE " << c.startIE
                                        << (c.ieRunning ? ", IE running" : ", no IE"));
        DeleteFileA((dir + "\\launch.log").c_str());
        SetDword(kProgramPath, "KillIE", c.killIE);
        SetDword(kProgramPath, "StartIE", c.startIE);
        SetIePath("1 hidden class=Launched log=launch.log");
        ChildProcess ie;
        if (c.ieRunning)
            StartIe(ie, "1 hidden", 1);

        ChildProcess sorrelwick;
        HWND mainWindow = Start(sorrelwick);
        ASSERT_NE(HWND(NULL), mainWindow);
        // A launched copy is ended by its window; wait until it has one.
        // Start-up launches just before its message loop, which runs now: a
        // launch that should not be would have logged itself in this time.
        if (c.launches > 0)
            EXPECT_NE(HWND(NULL), WaitForWindow([] { return FindWindowA("Launched", NULL); }, 10000));
        else
            PumpMessages(1500);
        EXPECT_EQ(c.launches, Launches());
        if (c.ieRunning) {
            EXPECT_EQ(c.killed ? 0u : DWORD(STILL_ACTIVE), ie.Wait(c.killed ? 5000 : 0));
        }
        EXPECT_EQ(0u, CloseAndWait(sorrelwick, mainWindow));
        EndWindowOwners("Launched");
    }
}

TEST_F(IeControl, AnIePathThatNamesNoFileIsPassedOverInSilence)
{
    SetDword(kProgramPath, "StartIE", 1);
    SetString(kProgramPath, "IEPath", ("\"" + dir + "\\missing.exe\" 1").c_str());
    ChildProcess sorrelwick;
    HWND mainWindow = Start(sorrelwick);
    ASSERT_NE(HWND(NULL), mainWindow);
    // The launch was tried just before the message loop; a box would show now.
    EXPECT_EQ(HWND(NULL), WaitForMessageBox(sorrelwick.Pid(), 1500));
    EXPECT_TRUE(sorrelwick.Running());
    EXPECT_EQ(0u, CloseAndWait(sorrelwick, mainWindow));
}

TEST_F(IeControl, EndIETerminatesIeAfterTheExitValuesAndTheTrayIcon)
{
    const struct {
        LONG endIE;
        bool killed;
    } cases[] = {{1, true}, {0, false}, {2, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "EndIE " << c.endIE);
        SetDword(kProgramPath, "EndIE", c.endIE);
        // ON while running; the exit puts the captured "yes" back.
        SetDword(kProgramPath, "Enable", 1);
        ChildProcess ie;
        StartIe(ie, "2", 2);
        ChildProcess sorrelwick;
        HWND mainWindow = Start(sorrelwick);
        ASSERT_NE(HWND(NULL), mainWindow);
        EXPECT_EQ(kNo, ReadValue(kAcPath, "AutoSuggest").bytes);
        EXPECT_TRUE(TrayShowsAnIcon());

        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        if (c.killed) {
            ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ie.Handle(), 10000));
            // By the time IE is gone, the rest of the shutdown has been done.
            EXPECT_EQ(kYes, ReadValue(kAcPath, "AutoSuggest").bytes);
            EXPECT_FALSE(TrayShowsAnIcon());
            EXPECT_EQ(0u, ie.Wait(0));
        }
        EXPECT_EQ(0u, sorrelwick.Wait(10000));
        EXPECT_EQ(kYes, ReadValue(kAcPath, "AutoSuggest").bytes);
        if (!c.killed) {
            EXPECT_TRUE(ie.Running());
        }
    }
}

TEST_F(IeControl, IeRuleEndsTheProgramSoonAfterTheLastFrameWindowCloses)
{
    SetDword(kProgramPath, "ExitType", 2);
    SetDword(kProgramPath, "Enable", 1);
    SetDword(kProgramPath, "ExitAction", 0);
    ChildProcess ie;
    StartIe(ie, "2", 2);
    ChildProcess sorrelwick;
    ASSERT_NE(HWND(NULL), Start(sorrelwick));
    EXPECT_EQ(kNo, ReadValue(kAcPath, "AutoSuggest").bytes);
    LetThePollLook();

    std::vector<HWND> frames;
    for (HWND window : TopLevelWindows(ie.Pid())) {
        if (ClassOf(window) == "IEFrame")
            frames.push_back(window);
    }
    ASSERT_EQ(2u, frames.size());
    PostMessageA(frames[0], WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(frames[0]); }, 5000));
    LetThePollLook();
    EXPECT_TRUE(sorrelwick.Running());  // one window is left

    PostMessageA(frames[1], WM_CLOSE, 0, 0);
    ASSERT_EQ(0u, ie.Wait(5000));
    ExpectEndsSoon(sorrelwick);
    // The normal shutdown ran: the captured values are back.
    EXPECT_EQ(kYes, ReadValue(kAcPath, "AutoSuggest").bytes);
    EXPECT_EQ(kYes, ReadValue(kMainPath, "Use FormSuggest").bytes);
    EXPECT_EQ(DwordBytes(1), ReadValue(kSaPath, "AutoComplete").bytes);
}

TEST_F(IeControl, IeRuleFollowsWineInternetExplorerLaunchedAtStartup)
{
    SetDword(kProgramPath, "ExitType", 2);
    SetDword(kProgramPath, "StartIE", 1);  // the default IEPath: Wine's iexplore.exe
    ChildProcess sorrelwick;
    ASSERT_NE(HWND(NULL), Start(sorrelwick));
    HWND frame = WaitForWindow(AnyFrame, 20000);
    ASSERT_NE(HWND(NULL), frame);
    LetThePollLook();
    EXPECT_TRUE(sorrelwick.Running());

    PostMessageA(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([] { return AnyFrame() == NULL; }, 10000));
    ExpectEndsSoon(sorrelwick);
}

TEST_F(IeControl, NeverEndsByItselfWithoutItsRuleMet)
{
    const struct {
        LONG exitType;
        bool ieComesAndGoes;
    } cases[] = {{2, false}, {0, true}, {1, true}, {3, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "ExitType " << c.exitType);
        SetDword(kProgramPath, "ExitType", c.exitType);
        ChildProcess ie;
        if (c.ieComesAndGoes)
            StartIe(ie, "1", 1);
        ChildProcess sorrelwick;
        HWND mainWindow = Start(sorrelwick);
        ASSERT_NE(HWND(NULL), mainWindow);
        // A rule that should not be would arm while the frame window is
        // there, and end the program in the four periods after it has gone.
        if (c.ieComesAndGoes) {
            LetThePollLook();
            ie.Kill();
        }
        PumpMessages(2000);
        EXPECT_TRUE(sorrelwick.Running());
        EXPECT_EQ(0u, CloseAndWait(sorrelwick, mainWindow));
    }
}

// Copies of fake_ie.exe at a path with blanks and a dotted folder and at
// shorter prefixes of it, where the system's search for an unquoted program
// would look first, and one beside Sorrelwick.exe, to be found by its bare name.
struct ProbeFiles {
    const std::string folder = "C:\\Program Files\\Sorrelwick Probe.d";
    const std::string target = folder + "\\fake ie.exe", exeInName = folder + "\\fake.exe ie.exe";
    const std::string bare = TestProgramDir() + "\\sorrelwick_probe.exe";
    const std::string copies[6] = {target, exeInName, bare, "C:\\Program.exe", "C:\\Program Files\\Sorrelwick.exe", folder + "\\fake.exe"};
    bool Place()
    {
        std::string fakeIe = TestProgramDir() + "\\fake_ie.exe";
        CreateDirectoryA(folder.c_str(), NULL);
        bool placed = true;
        for (const std::string &copy : copies)
            placed = placed && CopyFileA(fakeIe.c_str(), copy.c_str(), FALSE);
        return placed;
    }
    ~ProbeFiles()
    {
        SetEnvironmentVariableA("FAKE_IE_LOG", NULL);
        for (const std::string &copy : copies)
            DeleteFileA(copy.c_str());
        RemoveDirectoryA(folder.c_str());
    }
};

static std::string Quoted(const std::string &text)
{
    return "\"" + text + "\"";
}

TEST_F(IeControl, LaunchRunsTheProgramTheCommandLineNamesAndNoShorterPrefix)
{
    ProbeFiles probe;
    ASSERT_TRUE(probe.Place());
    std::string log = dir + "\\started.log";
    SetEnvironmentVariableA("FAKE_IE_LOG", log.c_str());  // inherited down to the launch
    const std::string plain = TestProgramDir() + "\\fake_ie.exe", args = " \"a  b\" 1 hidden";
    const std::string noExe = probe.folder + "\\fake ie";
    // The program sees its own name, quoted when it holds a blank, then the
    // arguments as typed.
    const struct {
        LONG killIE, startIE;
        std::string typed, ran, seen;
    } cases[] = {
        {1, 0, plain + args, plain, plain + args},
        {0, 1, plain + args, plain, plain + args},
        {1, 0, probe.target + args, probe.target, Quoted(probe.target) + args},
        {0, 1, probe.target + args, probe.target, Quoted(probe.target) + args},
        {0, 1, probe.target, probe.target, Quoted(probe.target)},
        {0, 1, probe.exeInName, probe.exeInName, Quoted(probe.exeInName)},
        // Found as the system finds a program: the search path, ".exe" added.
        {0, 1, "sorrelwick_probe" + args, probe.bare, "sorrelwick_probe" + args},
        {1, 0, "sorrelwick_probe.exe" + args, probe.bare, "sorrelwick_probe.exe" + args},
        {0, 1, Quoted(probe.target) + args, probe.target, Quoted(probe.target) + args},
        {0, 1, Quoted(noExe) + args, probe.target, Quoted(noExe) + args},
        {1, 0, noExe + args, probe.target, Quoted(noExe) + args},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        ChildProcess ie;
        if (c.killIE)
            StartIe(ie, "1 hidden", 1);  // logged before its window opens
        DeleteFileA(log.c_str());
        SetDword(kProgramPath, "KillIE", c.killIE);
        SetDword(kProgramPath, "StartIE", c.startIE);
        SetString(kProgramPath, "IEPath", c.typed.c_str());
        ChildProcess sorrelwick;
        HWND mainWindow = Start(sorrelwick);
        ASSERT_NE(HWND(NULL), mainWindow);
        EXPECT_TRUE(WaitUntil([&] { return !ReadFileBytes(log).empty(); }, 10000));
        PumpMessages(500);  // time enough for a decoy to note itself as well
        EXPECT_EQ(c.ran + "\t" + c.seen + "\r\n", ReadFileBytes(log));
        EXPECT_EQ(0u, CloseAndWait(sorrelwick, mainWindow));
        EndWindowOwners("IEFrame");
    }
}

// The full path of the module `name` loaded into process `pid`, or "".
static std::string ModulePath(DWORD pid, const char *name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE)
        return "";
    MODULEENTRY32 module;
    module.dwSize = sizeof(module);
    std::string path;
    for (BOOL more = Module32First(snapshot, &module); more && path.empty(); more = Module32Next(snapshot, &module)) {
        if (lstrcmpiA(module.szModule, name) == 0)
            path = module.szExePath;
    }
    CloseHandle(snapshot);
    return path;
}

// A copy of the exe in a folder of its own, and a rasapi32.dll that marks its
// own loading both beside it and in the test's working folder.
struct PlantedRas {
    const std::string exeDir = FreshTestDir(), exe = exeDir + "\\Sorrelwick.exe";
    std::string plants[2];
    explicit PlantedRas(const std::string &workDir) : plants{exeDir + "\\rasapi32.dll", workDir + "\\rasapi32.dll"} {}
    bool Place()
    {
        bool placed = CopyFileA((TestProgramDir() + "\\Sorrelwick.exe").c_str(), exe.c_str(), FALSE) != 0;
        for (const std::string &plant : plants)
            placed = placed && CopyFileA((TestProgramDir() + "\\planted_dll.dll").c_str(), plant.c_str(), FALSE);
        return placed;
    }
    ~PlantedRas()
    {
        for (const std::string &plant : plants) {
            DeleteFileA(plant.c_str());
            DeleteFileA((plant + ".loaded").c_str());
        }
        DeleteFileA(exe.c_str());
        RemoveDirectoryA(exeDir.c_str());
    }
};

TEST_F(IeControl, LineCheckLoadsRasFromTheSystemFolderOnly)
{
    PlantedRas planted(dir);
    ASSERT_TRUE(planted.Place());
    // Windows' own order: a rasapi32.dll found first on the search path wins.
    SetString("Software\\Wine\\AppDefaults\\Sorrelwick.exe\\DllOverrides", "rasapi32", "native,builtin");
    SetDword(kProgramPath, "ExitType", 1);
    ChildProcess sorrelwick;
    ASSERT_TRUE(sorrelwick.Start(planted.exe, "", dir));
    HWND mainWindow = WaitForMainWindow(sorrelwick);
    ASSERT_NE(HWND(NULL), mainWindow);
    // The poll's line check is what loads RAS.
    std::string ras;
    EXPECT_TRUE(WaitUntil([&] { return !(ras = ModulePath(sorrelwick.Pid(), "rasapi32.dll")).empty(); }, 5000));
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof(system));
    EXPECT_EQ(0, lstrcmpiA((std::string(system) + "\\rasapi32.dll").c_str(), ras.c_str())) << ras;
    for (const std::string &plant : planted.plants)
        EXPECT_FALSE(FileExists(plant + ".loaded")) << plant;
    EXPECT_TRUE(sorrelwick.Running());
    EXPECT_EQ(0u, CloseAndWait(sorrelwick, mainWindow));
}
