// The login's and the game hall's rules without a window.
#include "gamewnd/EnterGame.h"
#include "login/LoginRules.h"

#include <gtest/gtest.h>

namespace {

TEST(LoginRules, CommandsBoxAndMinimize) {
    using login::LoginCommand;
    EXPECT_EQ(login::ClassifyLoginAddress(L"app://loadgame|S1服-a|http://x/"), LoginCommand::LoadGame);
    EXPECT_EQ(login::ClassifyLoginAddress(L"app://exitgame"), LoginCommand::ExitGame);
    EXPECT_EQ(login::ClassifyLoginAddress(L"app://minimize"), LoginCommand::Minimize);
    EXPECT_EQ(login::ClassifyLoginAddress(L"app://whatever"), LoginCommand::Other);
    EXPECT_EQ(login::ClassifyLoginAddress(L"APP://exitgame"), LoginCommand::None);
    EXPECT_EQ(login::ClassifyLoginAddress(L"javascript:void(0)"), LoginCommand::None);
    // The box is 739..786 x 93..114, edges included.
    EXPECT_TRUE(login::InReservedBox(739, 93));
    EXPECT_TRUE(login::InReservedBox(786, 114));
    EXPECT_FALSE(login::InReservedBox(738, 100));
    EXPECT_FALSE(login::InReservedBox(760, 115));
    EXPECT_EQ(login::DecideMinimize(1, false), login::MinimizeAction::EndLogin);
    EXPECT_EQ(login::DecideMinimize(0, true), login::MinimizeAction::MinimizeLogin);
    EXPECT_EQ(login::DecideMinimize(0, false), login::MinimizeAction::MinimizeHost);
}

TEST(LoginRules, DuplicateMessageHoldsAWholeLongAccount) {
    const std::wstring account(255, L'a');
    const std::wstring text = login::DuplicateAccountText(account, L"12");
    EXPECT_EQ(text, L"账号 " + account + L" 已在 12服 登录，同一账号不能在一服重复登录");
}

TEST(EnterGame, OnlyTheMarkerAtTheStartAndOnlySafeNames) {
    const std::wstring home = L"http://hall.example/";
    auto parse = [&](const wchar_t* url) { return gamehall::ParseEnterGame(url, home); };
    auto r = parse(L"app://entergame|gamehall/");
    EXPECT_TRUE(r.isCommand && r.launch);
    EXPECT_EQ(r.name, L"Gamehall");
    EXPECT_EQ(r.fallback, home);
    r = parse(L"app://entergame|brasca|http://other.example/x");
    EXPECT_EQ(r.name, L"Brasca");
    EXPECT_EQ(r.fallback, L"http://other.example/x");
    // Only a lower-case first letter is raised.
    EXPECT_EQ(parse(L"app://entergame|Gamehall").name, L"Gamehall");
    EXPECT_EQ(parse(L"app://entergame|1hall").name, L"1hall");
    EXPECT_EQ(parse(L"app://entergame|_x").name, L"_x");
    // Names that would leave the data folder or name a device are never launched.
    for (const wchar_t* url : {L"app://entergame|..\\..\\Windows\\evil", L"app://entergame|c:x",
                               L"app://entergame|a.b", L"app://entergame|", L"app://entergame|/",
                               L"app://entergame|游戏"}) {
        r = parse(url);
        EXPECT_TRUE(r.isCommand) << url;
        EXPECT_FALSE(r.launch) << url;
    }
    // A fallback that is no web address gives way to the home page.
    EXPECT_EQ(parse(L"app://entergame|hall|file:///C:/Windows/notepad.exe").fallback, home);
    // The marker anywhere else is no command.
    EXPECT_FALSE(parse(L"http://x.example/?go=app://entergame|gamehall").isCommand);
    EXPECT_FALSE(parse(L"APP://ENTERGAME|gamehall").isCommand);
}

} // namespace
