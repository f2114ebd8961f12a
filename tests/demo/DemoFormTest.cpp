// The demo's forms on real windows, driven as a user drives them: clicks and keys go to
// the windows as messages, and what the user sees is read back from the windows.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "demo/AbtUnit.h"
#include "demo/MainUnit.h"
#include "support/Fixtures.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Shell.h"
#include "win32/WinFixtures.h"

using namespace Toolkit;
using namespace WinFixtures;
using MainUnit::TMainForm;
using Wipekit::TTransitionOperation;

namespace {

bool Checked(TWinControl* box) { return SendMessageW(box->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Shown(TWinControl* c) { return IsWindowVisible(c->Handle()) != FALSE; }
bool Usable(TWinControl* c) { return IsWindowEnabled(c->Handle()) != FALSE; }

// A button press as the user makes it: the button's own click message.
void Press(TWinControl* button) { SendMessageW(button->Handle(), BM_CLICK, 0, 0); }

// Types text into an edit: all selected first, then character by character.
void Type(TWinControl* edit, const std::wstring& text) {
    SendMessageW(edit->Handle(), EM_SETSEL, 0, -1);
    for (wchar_t c : text) SendMessageW(edit->Handle(), WM_CHAR, c, 1);
}

class DemoForm : public ::testing::Test {
protected:
    void SetUp() override {
        Form = new TMainForm(nullptr);
        About = new AbtUnit::TAboutForm(nullptr);
        Form->AboutForm = About;
        Form->Show();
        PumpFor(50);
    }
    void TearDown() override {
        delete About;
        delete Form;
        PumpFor(20);
    }

    // Picks an item of the operation radio group by clicking its button.
    void ChooseOperation(int item) {
        auto* button = dynamic_cast<TWinControl*>(Form->RadioGroup->Controls().at(std::size_t(item)));
        ASSERT_NE(button, nullptr);
        Press(button);
        ASSERT_EQ(Form->RadioGroup->ItemIndex(), item);
    }
    bool Idle() const { return WindowText(Form->ActivateButton->Handle()) == "Play"; }

    TMainForm* Form = nullptr;
    AbtUnit::TAboutForm* About = nullptr;
};

}  // namespace

TEST_F(DemoForm, StartsWithTheStoredComponentAndItsCaptions) {
    EXPECT_EQ(WindowText(Form->Handle()), "Lumawipe ActiveX Control 3.0 Demonstration");
    RECT client;
    GetClientRect(Form->Handle(), &client);
    EXPECT_EQ(client.right, 488);
    EXPECT_EQ(client.bottom, 376);
    auto* w = Form->Lumawipe;
    EXPECT_EQ(w->Operation(), TTransitionOperation::toMonoSlider);
    EXPECT_EQ(w->Steps(), 10);
    EXPECT_EQ(w->Delta(), 1);
    EXPECT_EQ(w->Interval(), 10u);
    EXPECT_EQ(w->Color(), clSilver);
    EXPECT_EQ(w->FromBitmap().Width(), 446);
    EXPECT_FALSE(Checked(Form->ReversibleCheckBox));
    EXPECT_FALSE(Usable(Form->PauseButton));
    EXPECT_FALSE(Shown(Form->FadeColorButton));
    EXPECT_FALSE(Shown(Form->RGBComboBox));
    EXPECT_EQ(Form->RGBComboBox->ItemIndex(), 0);
    EXPECT_EQ(WindowText(Form->StepsEdit->Handle()), "10");
}

// Every operation item: its preset reaches the component and the edits, and it shows
// exactly the settings that apply to it.
TEST_F(DemoForm, EachOperationItemAppliesItsPreset) {
    std::int32_t delta = Form->Lumawipe->Delta();
    // Item 0 is selected at start: a click on it changes nothing, so it comes last.
    const int items = int(Settings::OperationItems.size());
    for (int k = 1; k <= items; ++k) {
        const int item = k % items;
        const Settings::TOperationItem& it = Settings::OperationItems[std::size_t(item)];
        SCOPED_TRACE(it.Caption);
        Press(Form->ReverseCheckBox);  // checked: the preset unchecks it
        ChooseOperation(item);
        const Settings::TPreset preset = Settings::PresetFor(it.Operation);
        if (preset.Delta) delta = *preset.Delta;
        auto* w = Form->Lumawipe;
        EXPECT_EQ(w->Operation(), it.Operation);
        EXPECT_EQ(w->Interval(), preset.Interval);
        EXPECT_EQ(w->Steps(), preset.Steps);
        EXPECT_EQ(w->Delta(), delta) << "Delta is kept where the preset leaves it";
        EXPECT_EQ(WindowText(Form->IntervalEdit->Handle()), std::to_string(preset.Interval));
        EXPECT_EQ(WindowText(Form->StepsEdit->Handle()), std::to_string(preset.Steps));
        EXPECT_EQ(WindowText(Form->DeltaEdit->Handle()), std::to_string(delta));
        EXPECT_EQ(Checked(Form->ReversibleCheckBox), preset.ReverseOnDone.value_or(false));
        EXPECT_FALSE(Checked(Form->ReverseCheckBox));
        EXPECT_FALSE(w->Reverse());
        EXPECT_EQ(Usable(Form->DeltaEdit), Settings::DeltaApplies(it.Operation));
        EXPECT_EQ(Form->Label3->Enabled(), Settings::DeltaApplies(it.Operation));
        EXPECT_EQ(Shown(Form->FadeColorButton), Settings::FadeColorApplies(it.Operation));
        EXPECT_EQ(Usable(Form->FadeColorButton), Settings::FadeColorApplies(it.Operation));
        EXPECT_EQ(Shown(Form->RGBComboBox), Settings::ChannelOrderApplies(it.Operation));
    }
}

namespace {

// The centre of a window's client area on the screen.
POINT Centre(HWND hwnd) {
    const TRect r = ScreenRect(hwnd);
    return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

}  // namespace

// The settings that only some operations use sit on the operation group: where they
// show, they are on top of it. The window at their place is theirs, the screen shows
// their paint, and a click there reaches them.
TEST_F(DemoForm, FadeColourAndChannelOrderShowOnTopOfTheOperationGroup) {
    ChooseOperation(12);  // Fade
    auto* colour = Form->FadeColorButton;
    colour->SetColor(clRed);  // unlike anything the group shows there
    PumpFor(30);
    HWND button = colour->Handle();
    EXPECT_EQ(WindowFromPoint(Centre(button)), button);
    TBitmap painted, shot;
    const int w = colour->Width(), h = colour->Height();
    painted.SetSize(w, h);
    W95Color::PaintColorButton(painted.Canvas(), w, h, colour->Color(), colour->Pressed(), colour->Focused(),
                               colour->Enabled());
    CaptureScreen(ScreenRect(button), shot);
    EXPECT_TRUE(Fixtures::FrameEquals(shot, w, h, [&](int x, int y) { return Fixtures::PixelOf(painted, x, y); }));
    ClickOnScreen(Centre(button));
    ASSERT_TRUE(PumpUntil([] { return W95Color::LastPopUp() != nullptr; })) << "the click did not open the palette";
    W95Color::LastPopUp()->Close();
    EXPECT_TRUE(PumpUntil([] { return W95Color::LastPopUp() == nullptr; }));

    for (const int item : {16, 17}) {  // RGB, RGBBlend
        SCOPED_TRACE(Settings::OperationItems[std::size_t(item)].Caption);
        ChooseOperation(item);
        PumpFor(30);
        HWND list = Form->RGBComboBox->Handle();
        EXPECT_EQ(WindowFromPoint(Centre(list)), list);
        // Its field, in the window colour, takes much of its place (the group there shows
        // button face, text and a radio button or two).
        const TRect r = ScreenRect(list);
        CaptureScreen(r, shot);
        const Fixtures::Px field = Fixtures::ColorPx(clWindow);
        int fieldPixels = 0;
        for (int y = 0; y < r.Height(); ++y)
            for (int x = 0; x < r.Width(); ++x) fieldPixels += Fixtures::PixelOf(shot, x, y) == field;
        EXPECT_GT(fieldPixels, r.Width() * r.Height() / 4);
        if (item != 16) continue;  // one click (a second at the same place would be a double click)
        ClickOnScreen(Centre(list));
        EXPECT_TRUE(PumpUntil([&] { return SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != 0; }))
            << "the click did not open the list";
        SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
    }
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, 0);
}

TEST_F(DemoForm, PlayPauseResumeStopAndARunEndingByItself) {
    const auto groupsUsable = [&] {
        return Usable(Form->RadioGroup) && Usable(Form->RadioGroup1) && Usable(Form->GroupBox1) && Usable(Form->Panel1);
    };
    const auto groupsDisabled = [&] {
        return !Usable(Form->RadioGroup) && !Usable(Form->RadioGroup1) && !Usable(Form->GroupBox1) &&
               !Usable(Form->Panel1);
    };
    Form->Lumawipe->SetInterval(1000);  // slow enough to look at every state
    Press(Form->ActivateButton);
    EXPECT_EQ(WindowText(Form->ActivateButton->Handle()), "Stop");
    EXPECT_TRUE(Form->Lumawipe->Active());
    EXPECT_TRUE(groupsDisabled());
    EXPECT_TRUE(Usable(Form->PauseButton));
    Press(Form->PauseButton);
    EXPECT_EQ(WindowText(Form->PauseButton->Handle()), "Resume");
    EXPECT_TRUE(Form->Lumawipe->IsPaused());
    Press(Form->PauseButton);
    EXPECT_EQ(WindowText(Form->PauseButton->Handle()), "Pause");
    EXPECT_FALSE(Form->Lumawipe->IsPaused());
    Press(Form->ActivateButton);
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(Form->Lumawipe->Active());
    EXPECT_TRUE(groupsUsable());
    EXPECT_FALSE(Usable(Form->PauseButton));

    // Without "Reverse on done" the end of a run brings the idle state back.
    Form->Lumawipe->SetInterval(1);
    Form->Lumawipe->SetSteps(100);
    Press(Form->ActivateButton);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }, 10000));
    EXPECT_TRUE(groupsUsable());
    EXPECT_FALSE(Usable(Form->PauseButton));
    EXPECT_EQ(WindowText(Form->PauseButton->Handle()), "Pause");
}

// With "Reverse on done" each end pauses a second with the last frame shown, flips
// Reverse and plays again; Stop during that second cancels the replay.
TEST_F(DemoForm, ReverseOnDoneTurnsTheRunRoundAfterASecond) {
    Press(Form->ReversibleCheckBox);
    ASSERT_TRUE(Checked(Form->ReversibleCheckBox));
    Form->Lumawipe->SetInterval(1);
    Form->Lumawipe->SetSteps(200);
    Press(Form->ActivateButton);
    for (bool reversed : {true, false}) {
        ASSERT_TRUE(PumpUntil([&] { return Form->ReplayPending(); }, 10000));
        EXPECT_FALSE(Form->Lumawipe->Active());
        EXPECT_FALSE(Idle()) << "the form stays in its playing state";
        const DWORD ended = GetTickCount();
        ASSERT_TRUE(PumpUntil([&] { return Form->Lumawipe->Active() || !Form->ReplayPending(); }, 5000));
        EXPECT_GE(GetTickCount() - ended, 900u);
        EXPECT_EQ(Checked(Form->ReverseCheckBox), reversed);
        EXPECT_EQ(Form->Lumawipe->Reverse(), reversed);
    }
    ASSERT_TRUE(PumpUntil([&] { return Form->ReplayPending(); }, 10000));
    Press(Form->ActivateButton);  // Stop
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(Form->ReplayPending());
    PumpFor(1300);
    EXPECT_FALSE(Form->Lumawipe->Active()) << "no replay after Stop";
}

// Pause during the wait of "Reverse on done" holds it: no run starts until Resume, which
// starts the turned-round run at once; Stop after such a Pause leaves nothing pending.
TEST_F(DemoForm, PauseDuringTheReplayWaitHoldsTheNextRunUntilResume) {
    Press(Form->ReversibleCheckBox);
    Form->Lumawipe->SetInterval(1);
    Form->Lumawipe->SetSteps(200);
    for (const bool resume : {true, false}) {
        SCOPED_TRACE(resume ? "Resume" : "Stop");
        Press(Form->ActivateButton);
        ASSERT_TRUE(PumpUntil([&] { return Form->ReplayPending(); }, 10000));
        const bool reverse = Form->Lumawipe->Reverse();
        Press(Form->PauseButton);
        EXPECT_EQ(WindowText(Form->PauseButton->Handle()), "Resume");
        EXPECT_FALSE(Form->ReplayPending()) << "the wait's timer is off: nothing can start the run";
        EXPECT_TRUE(Form->ReplayHeld());
        EXPECT_FALSE(Form->Lumawipe->Active());
        if (resume) {
            Press(Form->PauseButton);
            EXPECT_EQ(WindowText(Form->PauseButton->Handle()), "Pause");
            EXPECT_TRUE(Form->Lumawipe->Active()) << "Resume starts the next run";
            EXPECT_NE(Form->Lumawipe->Reverse(), reverse);
            EXPECT_FALSE(Form->ReplayHeld());
        }
        Press(Form->ActivateButton);  // Stop
        EXPECT_TRUE(Idle());
        EXPECT_FALSE(Form->ReplayHeld());
        EXPECT_FALSE(Form->Lumawipe->Active());
    }
}

// While a run plays, the fade colour and the channel order (which the component refuses
// then) are disabled with the other settings, and come back with them.
TEST_F(DemoForm, FadeColourAndChannelOrderAreDisabledDuringARun) {
    for (int item = 0; item < int(Settings::OperationItems.size()); ++item) {
        const Settings::TOperationItem& it = Settings::OperationItems[std::size_t(item)];
        if (!Settings::FadeColorApplies(it.Operation) && !Settings::ChannelOrderApplies(it.Operation)) continue;
        SCOPED_TRACE(it.Caption);
        ChooseOperation(item);
        Form->Lumawipe->SetInterval(1000);
        Press(Form->ActivateButton);
        EXPECT_FALSE(Usable(Form->FadeColorButton));
        EXPECT_FALSE(Usable(Form->RGBComboBox));
        Press(Form->ActivateButton);
        EXPECT_EQ(Usable(Form->FadeColorButton), Settings::FadeColorApplies(it.Operation));
        EXPECT_TRUE(Usable(Form->RGBComboBox));
    }
}

// The edits take digits only; a value the component cannot take is kept back and shown,
// and the next keystroke that makes a valid value is taken.
TEST_F(DemoForm, NumberEditsTakeDigitsAndKeepBackWhatTheComponentCannotTake) {
    Type(Form->IntervalEdit, L"a-");
    EXPECT_EQ(WindowText(Form->IntervalEdit->Handle()), "10") << "letters and signs are discarded";
    Type(Form->StepsEdit, L"0");
    EXPECT_EQ(WindowText(Form->StepsEdit->Handle()), "0");
    EXPECT_EQ(Form->Lumawipe->Steps(), 10) << "0 is not a step";
    EXPECT_EQ(Form->StepsEdit->Font().Color(), clRed) << "the edit shows that its value was not taken";
    Type(Form->StepsEdit, L"07");
    EXPECT_EQ(Form->Lumawipe->Steps(), 7);
    EXPECT_EQ(Form->StepsEdit->Font().Color(), clWindowText);
    // Pasted at once (typed, it would pass through values that are taken).
    SetWindowTextW(Form->DeltaEdit->Handle(), L"99999999999");
    EXPECT_EQ(Form->Lumawipe->Delta(), 1) << "too large for 32 bits: not taken, not wrapped";
    EXPECT_EQ(Form->DeltaEdit->Font().Color(), clRed);
    SendMessageW(Form->DeltaEdit->Handle(), EM_SETSEL, 0, -1);
    SendMessageW(Form->DeltaEdit->Handle(), WM_CHAR, 8, 1);  // backspace clears it
    EXPECT_EQ(WindowText(Form->DeltaEdit->Handle()), "");
    EXPECT_EQ(Form->Lumawipe->Delta(), 1) << "an empty edit changes nothing";
    Type(Form->IntervalEdit, L"0");
    EXPECT_EQ(Form->Lumawipe->Interval(), 10u) << "an Interval of 0 is kept back: the run would stand still";
    EXPECT_EQ(Form->IntervalEdit->Font().Color(), clRed);
}

TEST_F(DemoForm, ChannelOrderAndModifierReachTheComponent) {
    ChooseOperation(16);  // RGB
    ASSERT_TRUE(Shown(Form->RGBComboBox));
    SendMessageW(Form->RGBComboBox->Handle(), CB_SETCURSEL, 5, 0);
    SendMessageW(Form->RGBComboBox->Parent() ? dynamic_cast<TWinControl*>(Form->RGBComboBox->Parent())->Handle()
                                             : nullptr,
                 WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Form->RGBComboBox->Handle()), CBN_SELCHANGE),
                 LPARAM(Form->RGBComboBox->Handle()));
    EXPECT_EQ(Form->Lumawipe->RGBOrder(), Wipekit::TRGBOrder::coBGR);
    auto* down = dynamic_cast<TWinControl*>(Form->RadioGroup1->Controls().at(3));
    Press(down);
    EXPECT_EQ(Form->Lumawipe->Modifier(), Wipekit::TTransitionModifier::tmDown);
}

namespace {
// What a timer does inside a modal loop, where the test's own pumping does not run.
std::function<void()> gInsideModalLoop;
void CALLBACK RunInsideModalLoop(HWND, UINT, UINT_PTR, DWORD) {
    if (gInsideModalLoop) gInsideModalLoop();
}
}  // namespace

// The About form opens modally from its button and closes by OK and by Escape.
TEST_F(DemoForm, AboutOpensModallyAndClosesByOkAndEscape) {
    for (bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape ? "Escape" : "OK");
        bool sawModal = false, mainFormWaited = false;
        gInsideModalLoop = [&] {
            if (!About->Modal() || sawModal) return;
            sawModal = true;
            mainFormWaited = !IsWindowEnabled(Form->Handle());
            if (byEscape)
                PostMessageW(About->OKButton->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
            else
                PostMessageW(About->OKButton->Handle(), BM_CLICK, 0, 0);
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, RunInsideModalLoop);
        Press(Form->AboutButton);  // returns when the modal run has ended
        KillTimer(nullptr, timer);
        gInsideModalLoop = nullptr;
        EXPECT_TRUE(sawModal);
        EXPECT_TRUE(mainFormWaited) << "the main form is disabled while About is open";
        EXPECT_EQ(WindowText(About->Handle()), "About Lumawipe");
        // The memo, aligned to its panel's client side, lies inside the panel's two bevels.
        EXPECT_EQ(About->Memo1->BoundsRect(), Rect(2, 2, 599, 295));
        EXPECT_EQ(About->ModalResult(), TModalResult::mrOk);
        EXPECT_FALSE(IsWindowVisible(About->Handle()));
        EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
    }
}

// A click on a link (a press and a release both on it) hands its address to the shell
// (seen through the seam, no browser starts); the label shows ActiveColor while the left
// button is held on it, and the release restores the colour even outside the label.
TEST_F(DemoForm, LinkLabelsOpenTheirAddressAndLightWhilePressed) {
    About->Show();
    PumpFor(50);
    std::vector<std::string> opened;
    const auto previous = Win32::SetShellHandler(
        [&](HWND, const std::string& verb, const std::string& file, int show) {
            EXPECT_EQ(verb, "open");
            EXPECT_EQ(show, SW_SHOWNORMAL);
            opened.push_back(file);
        });
    auto* link = About->UrlLabel2;
    EXPECT_EQ(link->Cursor(), UrlLabel::crHand);
    EXPECT_EQ(link->Hint, link->URL);
    const auto at = [](const TControl* c, int dx, int dy) { return MAKELPARAM(c->Left() + dx, c->Top() + dy); };
    const LPARAM inside = at(link, 5, 5), outside = at(link, -40, -40), otherLink = at(About->UrlLabel1, 5, 5);
    enum class Colour { Unchanged, Active };
    struct Message {
        UINT msg;
        LPARAM where;
        Colour during;  // the label's colour once the message is handled
    };
    struct Case {
        const char* name;
        std::vector<Message> messages;
        bool opens;
    } const cases[] = {
        {"pressed and released on it", {{WM_LBUTTONDOWN, inside, Colour::Active}, {WM_LBUTTONUP, inside, Colour::Unchanged}},
         true},
        {"pressed on it, released outside",
         {{WM_LBUTTONDOWN, inside, Colour::Active},
          {WM_MOUSEMOVE, outside, Colour::Active},
          {WM_LBUTTONUP, outside, Colour::Unchanged}},
         false},
        {"pressed beside it, released on it",
         {{WM_LBUTTONDOWN, outside, Colour::Unchanged},
          {WM_MOUSEMOVE, inside, Colour::Unchanged},
          {WM_LBUTTONUP, inside, Colour::Unchanged}},
         false},
        {"pressed on the other link, released on it",
         {{WM_LBUTTONDOWN, otherLink, Colour::Unchanged},
          {WM_MOUSEMOVE, inside, Colour::Unchanged},
          {WM_LBUTTONUP, inside, Colour::Unchanged}},
         false},
        {"released on it, pressed outside the window", {{WM_LBUTTONUP, inside, Colour::Unchanged}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        opened.clear();
        for (const Message& m : c.messages) {
            SendMessageW(About->Handle(), m.msg, m.msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, m.where);
            EXPECT_EQ(link->Font().Color(), m.during == Colour::Active ? link->ActiveColor : clBlue);
        }
        EXPECT_EQ(About->UrlLabel1->Font().Color(), clBlue);
        EXPECT_EQ(opened, c.opens ? std::vector<std::string>{"https://lumawipe.example/"} : std::vector<std::string>{});
    }
    opened.clear();

    // Blank URL: the caption goes to the shell untrimmed; both blank: nothing opens, but
    // OnClick still comes.
    int clicks = 0;
    link->OnClick = [&](TObject*) { ++clicks; };
    link->URL = "  ";
    link->SetCaption(" caption ");
    link->Click();
    EXPECT_EQ(opened, std::vector<std::string>{" caption "});
    link->SetCaption("   ");
    link->Click();
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(clicks, 2);
    Win32::SetShellHandler(previous);

    // "Copy" puts the caption (not the address) on the clipboard.
    link->SetCaption("Lumawipe homepage");
    link->PopupMenu()->Items().at(0)->Click();
    EXPECT_EQ(Win32::ClipboardText(), "Lumawipe homepage");
    About->Hide();
}
