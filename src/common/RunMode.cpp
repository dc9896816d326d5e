#include "common/RunMode.h"
#include "common/AsciiText.h"

namespace {

// "/<decimal>" with at most maxChars characters in all; the slash is skipped unchecked.
bool ReadSlashNumber(const std::wstring& arg, size_t maxChars, std::int32_t& out) {
    if (arg.empty() || arg.size() > maxChars) return false;
    out = ParseDecimal(arg.substr(1));
    return true;
}

} // namespace

std::int32_t ParseDecimal(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = value * 10u + std::uint32_t(text[i] - L'0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

RunModeChoice ChooseRunMode(const std::vector<std::wstring>& args, const std::wstring& exePath,
                            const std::wstring& dataFolder) {
    static const struct { const wchar_t* sw; RunMode mode; } kSwitches[] = {
        {L"/OlveskD", RUN_OLVESK}, {L"/VelkorD", RUN_DESKTOP}, {L"/uninst", RUN_UNINSTALL},
        {L"/update", RUN_UPDATE},  {L"/newgm", RUN_NEWGAME},   {L"/gmhall", RUN_GAMEHALL},
    };
    RunModeChoice choice;
    if (args.size() > 1) {
        for (const auto& s : kSwitches) {
            if (!text::EqualsNoCase(args[1], s.sw)) continue;
            choice.mode = s.mode;
            if (s.mode == RUN_NEWGAME) {
                choice.valid = args.size() > 3 && ReadSlashNumber(args[2], 15, choice.hostWnd) &&
                               ReadSlashNumber(args[3], 7, choice.hostTabCount);
            } else if (s.mode == RUN_GAMEHALL) {
                choice.valid = args.size() > 2 && ReadSlashNumber(args[2], 15, choice.hostWnd);
            }
            if (!choice.valid) choice.hostWnd = choice.hostTabCount = 0;
            return choice;
        }
    }
    choice.mode = (!dataFolder.empty() && text::ContainsNoCase(exePath, dataFolder)) ? RUN_INSTALLED : RUN_INSTALL;
    return choice;
}
