// The About box: what it shows, and that showing it returns once the user has closed it,
// whichever way, leaving no window and no GDI object behind.
#include "toolkit/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "activex/AboutLumawipe.h"
#include "win32/WinFixtures.h"

using namespace Toolkit;
using namespace WinFixtures;
using AboutLumawipe::TLumawipeAbout;

namespace {

BOOL CALLBACK FindAbout(HWND hwnd, LPARAM out) {
    auto* about = dynamic_cast<TLumawipeAbout*>(TWinControl::FromHandle(hwnd));
    if (!about || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<TLumawipeAbout**>(out) = about;
    return FALSE;
}

// The visible About box of this thread, or nullptr.
TLumawipeAbout* ShownAbout() {
    TLumawipeAbout* found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindAbout, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::function<void(TLumawipeAbout&)> gAct;
bool gActed = false;

void CALLBACK ActOnAbout(HWND, UINT, UINT_PTR timer, DWORD) {
    TLumawipeAbout* about = ShownAbout();
    if (!about || gActed) return;
    gActed = true;
    KillTimer(nullptr, timer);
    gAct(*about);
}

}  // namespace

TEST(AboutBox, ShowsNameVersionAndMaker) {
    TLumawipeAbout about(nullptr);
    about.Handle();
    EXPECT_EQ(WindowText(about.Handle()), "About");
    RECT client;
    GetClientRect(about.Handle(), &client);
    EXPECT_EQ(client.right, 304);
    EXPECT_EQ(client.bottom, 184);
    const LONG style = GetWindowLongW(about.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(about.NameLbl->Caption(), "Lumawipe Control");
    EXPECT_EQ(about.NameLbl->Font().Style(), unsigned(TFontStyle::fsBold));
    EXPECT_EQ(about.Label1->Caption(), "Version 3.0");
    EXPECT_EQ(about.DescLbl->Caption(), "A transition effects component.");
    EXPECT_EQ(about.MakerLbl->Caption(), "Quillon\r\nlumawipe@lumawipe.example\r\nhttps://lumawipe.example/");
    EXPECT_GT(about.MakerLbl->Height(), 2 * about.Label1->Height()) << "three lines";
    EXPECT_EQ(about.CtlImage->Glyph().Width(), 16);
    EXPECT_EQ(about.CtlImage->Glyph().Height(), 15);
    EXPECT_TRUE(about.CtlImage->Flat());
    EXPECT_TRUE(about.OkBtn->Default());
    EXPECT_TRUE(about.OkBtn->Cancel());
    EXPECT_EQ(WindowText(about.OkBtn->Handle()), "OK");
}

// ShowLumawipeAbout returns once the box is closed: by OK, Enter, Escape or its close box.
TEST(AboutBox, ShowingReturnsWhenClosed) {
    const struct {
        const char* how;
        std::function<void(TLumawipeAbout&)> close;
    } cases[] = {
        {"OK", [](TLumawipeAbout& a) { PostMessageW(a.OkBtn->Handle(), BM_CLICK, 0, 0); }},
        {"Enter", [](TLumawipeAbout& a) { PostMessageW(a.OkBtn->Handle(), WM_KEYDOWN, VK_RETURN, 1); }},
        {"Escape", [](TLumawipeAbout& a) { PostMessageW(a.OkBtn->Handle(), WM_KEYDOWN, VK_ESCAPE, 1); }},
        {"close box", [](TLumawipeAbout& a) { PostMessageW(a.Handle(), WM_CLOSE, 0, 0); }},
    };
    // A first box makes what stays for the program's lifetime (window classes, fonts of the system).
    gAct = cases[0].close;
    gActed = false;
    SetTimer(nullptr, 0, 30, ActOnAbout);
    AboutLumawipe::ShowLumawipeAbout();
    const long gdiBefore = GdiObjectCount();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        gAct = c.close;
        gActed = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, ActOnAbout);
        AboutLumawipe::ShowLumawipeAbout();  // returns when the box has closed
        KillTimer(nullptr, timer);
        EXPECT_TRUE(gActed);
        EXPECT_EQ(ShownAbout(), nullptr);
        EXPECT_EQ(GdiObjectCount(), gdiBefore);
    }
}
