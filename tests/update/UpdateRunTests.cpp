// The built program updating itself from the stand-in operator, in the shortcut start
// ("/VelkorD", mode 2) and the forced update ("/update", mode 5).
#include "common/AppMessages.h"
#include "framework/Handles.h"
#include "settings/SettingsStore.h"
#include "update/Md5.h"
#include "update/UpdateCheck.h"
#include "support/MessagePump.h"
#include "support/Processes.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <vector>

using namespace testing_support;

namespace {

// A new version: the built program with a line appended after its image (code and version
// resource 3.0.0.1 unchanged), and the key the operator publishes for it.
const char kAppended[] = "another build of the program";
const std::wstring kFrom = L"from=" + StandIn::Encode(VELKOR_EXE_UNIX_PATH) + L"&append=" + StandIn::Encode(kAppended);

// A top-level window of process pid with the given caption and, when childText is given, a
// child window of that text.
bool HasWindowTitled(DWORD pid, const wchar_t* caption, const wchar_t* childText = nullptr) {
    struct Search {
        DWORD pid;
        const wchar_t* caption;
        const wchar_t* childText;
        bool found;
    } s{pid, caption, childText, false};
    EnumWindows([](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        wchar_t text[64] = {};
        GetWindowThreadProcessId(h, &owner);
        GetWindowTextW(h, text, 64);
        s->found = owner == s->pid && !wcscmp(text, s->caption) &&
                   (!s->childText || FindWindowExW(h, nullptr, nullptr, s->childText));
        return !s->found;
    }, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

class UpdateRun : public StandInTest {
public:
    void SetUp() override {
        StandInTest::SetUp();
        program = ReadWholeFile(BuiltExePath());
        fresh = program + kAppended;
        key = update::Md5Hex(fresh.data(), fresh.size()).substr(0, 28) + L"3001";
    }
    void ServeConfig(const std::wstring& serverKey, const std::wstring& address) {
        const std::wstring text = L"[VerKey]\r\nVelkor=" + serverKey + L"\r\nUpdAddr=" + address + L"\r\n";
        ASSERT_TRUE(StandIn::Rule(L"/update/ConfigVelkor.htm", L"body=" + StandIn::Encode(std::string(text.begin(), text.end()))));
    }
    // Runs the program in folder until it is past its update step (it ended, or its main
    // window is up); `during` may act meanwhile. All started from the folder is ended once
    // `settled` holds.
    void RunProgram(const std::wstring& folder, const wchar_t* switchText,
                    const std::function<void(ChildProcess&)>& during = {},
                    const std::function<bool()>& settled = [] { return true; }) {
        {
            ChildProcess child(folder + L"\\Velkor.exe", switchText, folder);
            if (during) during(child);
            EXPECT_TRUE(PumpUntil([&] { return child.Wait(0) != -1 || HasWindowTitled(child.Id(), kAppCaption); }, 90000));
            EXPECT_TRUE(PumpUntil(settled, 30000));
        }
        EndProcessesUnder(folder);
    }
    std::size_t Requests(const char* path) { return StandIn::RequestsFor(path).size(); }

    const std::wstring address = StandIn::Url(L"/dl/New.exe");
    std::string program, fresh;
    std::wstring key;
};

// Ends the progress dialog with its close box once the bar has moved.
void CancelOnceMoving(ChildProcess& child) {
    HWND dialog = child.FindWindowTitled(L"版本更新中...", 30000);
    EXPECT_TRUE(PumpUntil([&] {
        DWORD_PTR pos = 0;
        return SendMessageTimeoutW(GetDlgItem(dialog, 1000), PBM_GETPOS, 0, 0, SMTO_BLOCK, 1000, &pos) && pos > 0;
    }, 30000));
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// The main window of process pid: captioned as the program, with its "系统" button.
bool HasMainWindow(DWORD pid) { return HasWindowTitled(pid, kAppCaption, L"系统"); }

struct Fault {
    const char* name;
    std::wstring download;          // the rule of the download address
    const wchar_t* held = nullptr;  // a file beside the program that stays open meanwhile
    std::wstring serverKey;         // empty: the new version's key
    std::wstring updAddr = L"-";    // "-": the download address
    void (*during)(ChildProcess&) = nullptr;
    bool refused = false;           // a whole download that is not the named version
};

// One key that differs from the new version's in one hexadecimal digit.
std::wstring OtherKey(std::wstring key, std::size_t at) {
    key[at] = key[at] == L'a' ? L'b' : L'a';
    return key;
}

std::vector<Fault> Faults(const UpdateRun& t) {
    const std::wstring size = std::to_wstring(t.fresh.size());
    // 127.1 is 127.0.0.1 to the resolver but none of the operator's names.
    std::wstring foreign = t.address + L"?127.0.0.1";
    foreign.replace(foreign.find(L"127.0.0.1"), 9, L"127.1");
    return {
        {"404", L"status=404&" + kFrom},
        {"500 with the file", L"status=500&" + kFrom},
        {"no content length", L"framing=close&" + kFrom},
        {"announced length 0", L"body="},
        {"short body", L"framing=short&declared=" + std::to_wstring(t.fresh.size() + 1000) + L"&" + kFrom},
        // Whole by the transfer's rules, but not the named file: refused like a wrong file.
        {"longer body than announced", L"framing=long&declared=" + std::to_wstring(t.fresh.size() - 1000) + L"&" + kFrom,
         nullptr, L"", L"-", nullptr, true},
        {"connection cut mid-way", L"framing=short&limit=300000&declared=" + size + L"&" + kFrom},
        {"cancel mid-way", L"trickle=100&piece=4096&" + kFrom, nullptr, L"", L"-", CancelOnceMoving},
        {"empty UpdAddr", kFrom, nullptr, L"", L""},
        {"foreign host", kFrom, nullptr, L"", foreign},
        {"HTML error page with 200", L"body=" + StandIn::Encode("<html><body>Busy, try later</body></html>"), nullptr,
         L"", L"-", nullptr, true},
        {"key that does not match the file", kFrom, nullptr, OtherKey(t.key, 3), L"-", nullptr, true},
        {"OldVelkor.exe held open", kFrom, L"OldVelkor.exe"},
        {"NewVelkor.exe not writable", kFrom, L"NewVelkor.exe"},
    };
}
constexpr int kFaultCount = 14;

// Each failed update leaves the old program whole and goes on to the main window: the
// shortcut start counts its start, the forced update does not.
// Parameters: the fault's index and the switch's (0 "/VelkorD", 1 "/update"), as numbers so that the
// tests' names stay the same from build to build.
class UpdateFault : public UpdateRun, public ::testing::WithParamInterface<std::tuple<int, int>> {};
const wchar_t* const kSwitches[] = {L"/VelkorD", L"/update"};

TEST_P(UpdateFault, OldProgramStaysAndTheMainWindowOpens) {
    const auto faults = Faults(*this);
    ASSERT_EQ(faults.size(), std::size_t(kFaultCount));
    const Fault& f = faults[std::get<0>(GetParam())];
    const wchar_t* switchText = kSwitches[std::get<1>(GetParam())];
    MachineStateGuard guard;
    guard.Clear();  // an automatic check is due
    ASSERT_TRUE(EnsureDataFolder());  // where the start is counted
    TempFolder folder(L"upd");
    ASSERT_TRUE(WriteWholeFile(folder.File(L"Velkor.exe"), program));
    const std::wstring served = f.serverKey.empty() ? key : f.serverKey;
    ServeConfig(served, f.updAddr == L"-" ? address : f.updAddr);
    ASSERT_TRUE(StandIn::Rule(L"/dl/New.exe", f.download));
    fw::UniqueFile held;
    if (f.held) {
        ASSERT_TRUE(WriteWholeFile(folder.File(f.held), "not ours"));
        held.Reset(CreateFileW(folder.File(f.held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    {
        ChildProcess child(folder.File(L"Velkor.exe"), switchText, folder.Path());
        if (f.during) f.during(child);
        EXPECT_TRUE(PumpUntil([&] { return HasMainWindow(child.Id()) || child.Wait(0) != -1; }, 90000));
        EXPECT_TRUE(HasMainWindow(child.Id())) << "the program went on to its main window";
        EXPECT_EQ(ReadCounterIni(L"Game"), std::wstring(switchText) == L"/VelkorD" ? L"1" : L"<absent>");
    }
    EndProcessesUnder(folder.Path());
    held.Reset();

    EXPECT_TRUE(ReadWholeFile(folder.File(L"Velkor.exe")) == program) << "the program stays as it was";
    for (const wchar_t* name : {L"OldVelkor.exe", L"NewVelkor.exe"})
        EXPECT_EQ(ReadWholeFile(folder.File(name)), f.held && !wcscmp(f.held, name) ? "not ours" : "");
    EXPECT_FALSE(FileExists(folder.File(L"NewVelkor.exe")) && !f.held) << "the download is deleted";
    EXPECT_TRUE(ReadSettingsValue(L"UpdTime").empty());
    EXPECT_EQ(RefusedKey(), f.refused ? served : L"") << "only a whole download of other bytes is refused";
    EXPECT_EQ(Requests("/update/ConfigVelkor.htm"), 1u);
    const bool neverAsked = f.updAddr != L"-";  // the empty and the foreign address
    EXPECT_EQ(Requests("/dl/New.exe"), neverAsked ? 0u : 1u);
}

std::string FaultName(const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
    static const char* const names[kFaultCount] = {
        "Status404", "Status500WithTheFile", "NoContentLength", "AnnouncedLength0", "ShortBody",
        "LongerBodyThanAnnounced", "ConnectionCutMidway", "CancelMidway", "EmptyUpdAddr", "ForeignHost",
        "HtmlErrorPageWith200", "KeyThatDoesNotMatchTheFile", "OldVelkorHeldOpen", "NewVelkorNotWritable"};
    return std::string(names[std::get<0>(info.param)]) +
           (std::get<1>(info.param) == 0 ? "_ShortcutStart" : "_ForcedUpdate");
}

INSTANTIATE_TEST_SUITE_P(Faults, UpdateFault,
                         ::testing::Combine(::testing::Range(0, kFaultCount), ::testing::Values(0, 1)),
                         FaultName);

// A download refused for its key costs one transfer: neither the next start nor the forced
// update fetches that key's file again, while a new key on the server is tried.
TEST_F(UpdateRun, RefusedKeyIsNotDownloadedAgain) {
    MachineStateGuard guard;
    guard.Clear();
    ASSERT_TRUE(EnsureDataFolder());
    TempFolder folder(L"upd");
    ASSERT_TRUE(WriteWholeFile(folder.File(L"Velkor.exe"), program));
    ASSERT_TRUE(StandIn::Rule(L"/dl/New.exe", kFrom));
    ServeConfig(OtherKey(key, 3), address);
    RunProgram(folder.Path(), L"/VelkorD");
    EXPECT_EQ(Requests("/dl/New.exe"), 1u);
    RunProgram(folder.Path(), L"/VelkorD");
    RunProgram(folder.Path(), L"/update");
    EXPECT_EQ(Requests("/update/ConfigVelkor.htm"), 3u);
    EXPECT_EQ(Requests("/dl/New.exe"), 1u) << "the same key was fetched again";
    EXPECT_FALSE(FileExists(folder.File(L"NewVelkor.exe")));

    ServeConfig(OtherKey(key, 4), address);
    RunProgram(folder.Path(), L"/VelkorD");
    EXPECT_EQ(Requests("/dl/New.exe"), 2u) << "a new key is tried";
    EXPECT_TRUE(ReadWholeFile(folder.File(L"Velkor.exe")) == program);
}

TEST_F(UpdateRun, GoodUpdateSwapsRestartsAndIsThenUpToDate) {
    for (const wchar_t* switchText : {L"/VelkorD", L"/update"}) {
        SCOPED_TRACE(switchText);
        MachineStateGuard guard;
        guard.Clear();
        // Installed: the restart without arguments is the installed start, which counts itself.
        ASSERT_TRUE(EnsureDataFolder());
        const std::wstring folder = DataFolderPath() + L"\\update-test";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(WriteWholeFile(folder + L"\\Velkor.exe", program));
        ASSERT_TRUE(StandIn::Reset());
        ServeConfig(key, address);
        ASSERT_TRUE(StandIn::Rule(L"/dl/New.exe", kFrom));

        RunProgram(folder, switchText, {}, [] { return ReadCounterIni(L"Game") == L"1"; });
        EXPECT_TRUE(ReadWholeFile(folder + L"\\Velkor.exe") == fresh);
        EXPECT_TRUE(ReadWholeFile(folder + L"\\OldVelkor.exe") == program);
        EXPECT_FALSE(FileExists(folder + L"\\NewVelkor.exe"));
        EXPECT_EQ(ReadSettingsValue(L"UpdTime").size(), 16u) << "the day of the update is recorded";
        // The old program goes at the next restart of the machine: renamed to nothing.
        std::vector<wchar_t> pending(32768);
        DWORD bytes = DWORD(pending.size() * sizeof(wchar_t));
        RegGetValueW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                     L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, pending.data(), &bytes);
        const std::wstring entry = L"\\??\\" + folder + L"\\OldVelkor.exe" + std::wstring(2, L'\0');
        EXPECT_NE(std::search(pending.begin(), pending.end(), entry.begin(), entry.end()), pending.end());

        // Its own check finds the version it is: no second download, and it goes on to start.
        HKEY settings;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Olvesk\\GameLogin\\Velkor", 0, KEY_SET_VALUE | kSettingsView, &settings), 0);
        RegDeleteValueW(settings, L"UpdTime");
        RegCloseKey(settings);
        RunProgram(folder, L"/VelkorD", {}, [] { return ReadCounterIni(L"Game") == L"2"; });
        EXPECT_EQ(Requests("/update/ConfigVelkor.htm"), 2u);
        EXPECT_EQ(Requests("/dl/New.exe"), 1u);
        EXPECT_TRUE(ReadWholeFile(folder + L"\\Velkor.exe") == fresh);
    }
}

} // namespace
