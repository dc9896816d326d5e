// The command line and start folder to the run mode, and the decimal reader behind it.
#include "FuzzText.h"
#include "common/RunMode.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Text(data, size);
    // Arguments are separated by newlines; the last two lines name the program and data folder.
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t nl = text.find(L'\n', start);
        lines.push_back(text.substr(start, nl == std::wstring::npos ? std::wstring::npos : nl - start));
        if (nl == std::wstring::npos) break;
        start = nl + 1;
    }
    std::wstring exePath = L"C:\\Program Files\\Velkor\\Velkor.exe", dataFolder = L"C:\\ProgramData\\Olvesk\\GameLogin";
    if (lines.size() >= 3) {
        dataFolder = lines.back();
        lines.pop_back();
        exePath = lines.back();
        lines.pop_back();
    }
    const RunModeChoice choice = ChooseRunMode(lines, exePath, dataFolder);
    FUZZ_CHECK(choice.mode >= RUN_INSTALL && choice.mode <= RUN_GAMEHALL);
    if (choice.mode != RUN_NEWGAME && choice.mode != RUN_GAMEHALL) FUZZ_CHECK(choice.valid);
    // An empty argument list (not even the program name) must be taken too.
    ChooseRunMode({}, exePath, dataFolder);

    for (const std::wstring& line : lines) ParseDecimal(line);
    return 0;
}
