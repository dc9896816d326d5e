// The built program updating itself from the stand-in operator, in the shortcut start
// ("/VelkorD", mode 2) and the forced update ("/update", mode 5).
#include "common/AppMessages.h"
#include "settings/SettingsStore.h"
#include "support/MessagePump.h"
#include "support/Processes.h"
#include "support/StandIn.h"
#include "support/WineTest.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <wincrypt.h>
#include <wininet.h>

#include <functional>

using namespace testing_support;

namespace {

const wchar_t kDownloadPath[] = L"/dl/NewVersion.exe";
const char kDownloadPathA[] = "/dl/NewVersion.exe";

// Bytes for a rule, sent as the body of the rule command: the server answers with them.
bool RuleWithBytes(const std::wstring& path, const std::wstring& options, const std::string& bytes) {
    const std::wstring url = StandIn::Url(L"/__control/rule?path=" + StandIn::Encode(std::string(path.begin(), path.end())) +
                                          (options.empty() ? L"" : L"&" + options));
    URL_COMPONENTSW parts = {sizeof(parts)};
    wchar_t host[64] = {}, object[1024] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = ARRAYSIZE(host);
    parts.lpszUrlPath = object;
    parts.dwUrlPathLength = ARRAYSIZE(object);
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return false;
    // The query came with the path: WinINet puts it in the path's buffer when no extra one is given.
    HINTERNET net = InternetOpenW(L"velkor-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET con = InternetConnectW(net, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET req = HttpOpenRequestW(con, L"POST", object, nullptr, nullptr, nullptr,
                                     INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    DWORD status = 0, size = sizeof(status);
    const bool ok = req && HttpSendRequestW(req, nullptr, 0, const_cast<char*>(bytes.data()), DWORD(bytes.size())) &&
                    HttpQueryInfoW(req, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
                    status == 200;
    for (HINTERNET h : {req, con, net})
        if (h) InternetCloseHandle(h);
    return ok;
}

// MD5 from the system's own provider, not the program's.
std::string SystemMd5Hex(const std::string& bytes) {
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    BYTE digest[16] = {};
    DWORD size = sizeof(digest);
    std::string hex;
    if (CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
        CryptCreateHash(provider, CALG_MD5, 0, 0, &hash) &&
        CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size()), 0) &&
        CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0)) {
        static const char digits[] = "0123456789abcdef";
        for (BYTE b : digest) hex += {digits[b >> 4], digits[b & 15]};
    }
    if (hash) CryptDestroyHash(hash);
    if (provider) CryptReleaseContext(provider, 0);
    return hex;
}

// A new version: the built program with bytes appended after its image (its code and its
// version resource, 3.0.0.1, stay as they are), and the key the operator would publish.
struct NewVersion {
    std::string bytes;
    std::string key;
};
NewVersion MakeNewVersion(const std::string& program) {
    NewVersion v;
    v.bytes = program + "\r\nthis build is another version of the program\r\n";
    v.key = SystemMd5Hex(v.bytes).substr(0, 28) + "3001";
    return v;
}

bool HasWindowTitled(DWORD pid, const wchar_t* caption) {
    struct Search { DWORD pid; const wchar_t* caption; bool found; } search{pid, caption, false};
    EnumWindows([](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        wchar_t text[64] = {};
        GetWindowTextW(h, text, 64);
        if (owner == s->pid && !wcscmp(text, s->caption)) s->found = true;
        return !s->found;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class UpdateRun : public StandInTest {
public:
    void SetUp() override {
        StandInTest::SetUp();
        program = ReadWholeFile(BuiltExePath());
        ASSERT_FALSE(program.empty());
        fresh = MakeNewVersion(program);
        ASSERT_EQ(fresh.key.size(), 32u);
    }

    void ServeConfig(const std::string& key, const std::wstring& address) {
        const std::string text = "[VerKey]\r\nVelkor=" + key + "\r\nUpdAddr=" + std::string(address.begin(), address.end()) + "\r\n";
        ASSERT_TRUE(StandIn::Rule(L"/update/ConfigVelkor.htm", L"body=" + StandIn::Encode(text)));
    }

    // Runs the program in folder until it is past its update step: it ended, or its main
    // window is up. `during` may act on it meanwhile. Everything started from the folder is
    // ended after, once `settled` (when given) is true.
    void RunProgram(const std::wstring& folder, const wchar_t* switchText,
                    const std::function<void(ChildProcess&)>& during = {},
                    const std::function<bool()>& settled = {}) {
        {
            ChildProcess child(folder + L"\\Velkor.exe", switchText, folder);
            ASSERT_TRUE(child.Started());
            if (during) during(child);
            EXPECT_TRUE(PumpUntil([&] { return child.Wait(0) != -1 || HasWindowTitled(child.Id(), kAppCaption); },
                                  90000));
            if (settled) EXPECT_TRUE(PumpUntil(settled, 30000));
        }
        EndProcessesUnder(folder);
    }

    std::size_t Downloads() { return StandIn::RequestsFor(kDownloadPathA).size(); }

    std::string program;
    NewVersion fresh;
};

struct FaultCase {
    const char* name;
    std::function<void(UpdateRun&, const std::wstring& folder)> arrange;
    bool held = false;  // the case holds NewVelkor.exe or OldVelkor.exe open itself
    std::function<void(ChildProcess&)> during;
};

// Ends the progress dialog with its close box once the bar has moved.
void CancelOnceMoving(ChildProcess& child) {
    HWND dialog = child.FindWindowTitled(L"版本更新中...", 30000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(PumpUntil([&] {
        DWORD_PTR pos = 0;
        return SendMessageTimeoutW(GetDlgItem(dialog, 1000), PBM_GETPOS, 0, 0, SMTO_BLOCK, 1000, &pos) && pos > 0;
    }, 30000));
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void RunFaultMatrix(UpdateRun& t, const wchar_t* switchText) {
    const std::wstring address = StandIn::Url(kDownloadPath);
    const std::string& good = t.fresh.bytes;
    auto serve = [](const std::wstring& options, const std::string& bytes) {
        ASSERT_TRUE(RuleWithBytes(kDownloadPath, options, bytes));
    };
    std::unique_ptr<HANDLE, void (*)(HANDLE*)> heldFile(new HANDLE(INVALID_HANDLE_VALUE), [](HANDLE* h) {
        if (*h != INVALID_HANDLE_VALUE) CloseHandle(*h);
        delete h;
    });
    auto hold = [&](const std::wstring& path, const std::string& bytes) {
        ASSERT_TRUE(WriteWholeFile(path, bytes));
        *heldFile = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(*heldFile, INVALID_HANDLE_VALUE);
    };
    const std::string key = t.fresh.key;
    std::string otherKey = key;
    otherKey[3] = otherKey[3] == 'a' ? 'b' : 'a';
    const std::wstring declared = L"&declared=" + std::to_wstring(good.size());

    const FaultCase cases[] = {
        {"404", [&](UpdateRun&, const std::wstring&) { serve(L"status=404", good); }},
        {"500 with the file", [&](UpdateRun&, const std::wstring&) { serve(L"status=500", good); }},
        {"no content length", [&](UpdateRun&, const std::wstring&) { serve(L"framing=close", good); }},
        {"announced length 0", [&](UpdateRun&, const std::wstring&) { serve(L"", ""); }},
        {"short body", [&](UpdateRun&, const std::wstring&) {
             serve(L"framing=short&declared=" + std::to_wstring(good.size() + 1000), good); }},
        // The announced length ends the read: what arrives is a cut file that calls itself whole.
        {"longer body than announced", [&](UpdateRun&, const std::wstring&) {
             serve(L"framing=long&declared=" + std::to_wstring(good.size() - 1000), good); }},
        {"connection cut mid-way", [&](UpdateRun&, const std::wstring&) {
             serve(L"framing=short" + declared, good.substr(0, good.size() / 2)); }},
        {"cancel mid-way", [&](UpdateRun&, const std::wstring&) {
             serve(L"trickle=100&piece=4096", good); }, false, CancelOnceMoving},
        {"empty UpdAddr", [&](UpdateRun& r, const std::wstring&) {
             serve(L"", good);
             r.ServeConfig(key, L""); }},
        // 127.1 is 127.0.0.1 to the resolver, but not one of the operator's names; the
        // operator's address further along fooled a test for a substring.
        {"foreign host", [&](UpdateRun& r, const std::wstring&) {
             serve(L"", good);
             std::wstring foreign = address;
             foreign.replace(foreign.find(L"127.0.0.1"), 9, L"127.1");
             r.ServeConfig(key, foreign + L"?127.0.0.1"); }},
        {"HTML error page with 200", [&](UpdateRun&, const std::wstring&) {
             serve(L"", "<html><body>Server busy, try later</body></html>"); }},
        {"key that does not match the file", [&](UpdateRun& r, const std::wstring&) {
             serve(L"", good);
             r.ServeConfig(otherKey, address); }},
        {"OldVelkor.exe held open", [&](UpdateRun&, const std::wstring& folder) {
             serve(L"", good);
             hold(folder + L"\\OldVelkor.exe", "an earlier program still running"); }, true},
        {"NewVelkor.exe not writable", [&](UpdateRun&, const std::wstring& folder) {
             serve(L"", good);
             hold(folder + L"\\NewVelkor.exe", "not ours to replace"); }, true},
    };

    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        MachineStateGuard guard;
        guard.Clear();  // an automatic check is due
        TempFolder folder(L"upd");
        ASSERT_TRUE(WriteWholeFile(folder.File(L"Velkor.exe"), t.program));
        t.ServeConfig(key, address);
        c.arrange(t, folder.Path());
        const std::string newBefore = ReadWholeFile(folder.File(L"NewVelkor.exe"));
        const std::string oldBefore = ReadWholeFile(folder.File(L"OldVelkor.exe"));

        t.RunProgram(folder.Path(), switchText, c.during);
        CloseHandle(*heldFile);
        *heldFile = INVALID_HANDLE_VALUE;

        EXPECT_TRUE(ReadWholeFile(folder.File(L"Velkor.exe")) == t.program) << "the program stays as it was";
        EXPECT_TRUE(ReadWholeFile(folder.File(L"OldVelkor.exe")) == oldBefore);
        if (c.held)
            EXPECT_TRUE(ReadWholeFile(folder.File(L"NewVelkor.exe")) == newBefore);
        else
            EXPECT_FALSE(FileExists(folder.File(L"NewVelkor.exe"))) << "the download is deleted";
        EXPECT_TRUE(ReadSettingsValue(L"UpdTime").empty());
    }
    EXPECT_EQ(StandIn::RequestsFor("/update/ConfigVelkor.htm").size(), std::size(cases));
    // Neither the empty nor the foreign address was fetched.
    EXPECT_EQ(t.Downloads(), std::size(cases) - 2);
}

TEST_F(UpdateRun, ShortcutStartSurvivesEveryFault) { RunFaultMatrix(*this, L"/VelkorD"); }
TEST_F(UpdateRun, ForcedUpdateSurvivesEveryFault) { RunFaultMatrix(*this, L"/update"); }

std::wstring PendingDeletes() {
    wchar_t value[32768] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    RegGetValueW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                 L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, value, &size);
    std::wstring all(value, size / sizeof(wchar_t));
    for (wchar_t& c : all)
        if (c == L'\0') c = L'|';
    return all;
}

TEST_F(UpdateRun, GoodUpdateSwapsRestartsAndIsThenUpToDate) {
    for (const wchar_t* switchText : {L"/VelkorD", L"/update"}) {
        SCOPED_TRACE(switchText);
        MachineStateGuard guard;
        guard.Clear();
        // Installed as the installer leaves it: the restart without arguments is then the
        // installed start, which counts itself in Statistic.ini.
        ASSERT_TRUE(EnsureDataFolder());
        const std::wstring folder = DataFolderPath() + L"\\update-test";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(WriteWholeFile(folder + L"\\Velkor.exe", program));
        ASSERT_TRUE(StandIn::Reset());
        ServeConfig(fresh.key, StandIn::Url(kDownloadPath));
        ASSERT_TRUE(RuleWithBytes(kDownloadPath, L"", fresh.bytes));

        // The new program was started: the installed start counts itself.
        RunProgram(folder, switchText, {}, [] { return ReadCounterIni(L"Game") == L"1"; });
        EXPECT_TRUE(ReadWholeFile(folder + L"\\Velkor.exe") == fresh.bytes);
        EXPECT_TRUE(ReadWholeFile(folder + L"\\OldVelkor.exe") == program);
        EXPECT_FALSE(FileExists(folder + L"\\NewVelkor.exe"));
        EXPECT_EQ(ReadSettingsValue(L"UpdTime").size(), 16u) << "the day of the update is recorded";
        // The old program goes with the next restart of the machine: a rename to nothing.
        EXPECT_NE(PendingDeletes().find(L"\\??\\" + folder + L"\\OldVelkor.exe||"), std::wstring::npos)
            << std::string(PendingDeletes().begin(), PendingDeletes().end());

        // Its own check finds the version it is: no second download, and it goes on to start.
        HKEY key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Olvesk\\GameLogin\\Velkor", 0, KEY_SET_VALUE, &key),
                  ERROR_SUCCESS);
        RegDeleteValueW(key, L"UpdTime");
        RegCloseKey(key);
        const std::size_t downloads = Downloads();
        RunProgram(folder, L"/VelkorD");
        EXPECT_EQ(StandIn::RequestsFor("/update/ConfigVelkor.htm").size(), 2u);
        EXPECT_EQ(Downloads(), downloads);
        EXPECT_TRUE(ReadWholeFile(folder + L"\\Velkor.exe") == fresh.bytes);
        EXPECT_EQ(ReadCounterIni(L"Game"), L"2");
        EXPECT_TRUE(ReadSettingsValue(L"UpdTime").empty());
    }
}

} // namespace
