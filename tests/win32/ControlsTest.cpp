// Standard controls and forms on real windows: tab order, focus and access keys, typed
// characters, radio groups and check boxes, modal forms with default and cancel buttons,
// closing with caFree, fonts and system colours, the mouse, and which control is on top.
#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

#include "support/Fixtures.h"
#include "toolkit/Application.h"
#include "toolkit/win32/Forms.h"
#include "toolkit/win32/StdCtrls.h"
#include "win32/WinFixtures.h"

using namespace Toolkit;
using namespace WinFixtures;

namespace {

using Fixtures::Lines;

template <class T>
T* Place(TWinControl* parent, int left, int top, const char* caption = nullptr) {
    auto* c = new T(GetParentForm(*parent));  // the form owns and frees it
    if (caption) c->SetCaption(caption);
    c->SetLeft(left);
    c->SetTop(top);
    c->SetParent(parent);
    return c;
}

// Sends a key to the focused window through the message loop, as typing does.
void Key(UINT message, WPARAM key, LPARAM flags = 0) {
    PostMessageW(GetFocus(), message, key, flags);
    PumpFor(20);
}
void Tab() { Key(WM_KEYDOWN, VK_TAB); }
void AltKey(wchar_t letter) { Key(WM_SYSCHAR, letter, LPARAM(1) << 29); }

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        form = new TForm(nullptr);
        form->SetClientSize(300, 200);
    }
    void TearDown() override { delete form; }
    TForm* form = nullptr;
};

TEST_F(Controls, TabOrderFocusAndAccessKeys) {
    auto* first = Place<TEdit>(form, 8, 8);
    auto* go = Place<TButton>(form, 8, 40, "&Go");
    auto* group = Place<TGroupBox>(form, 100, 8, "Group");
    auto* inner1 = Place<TEdit>(group, 8, 20);
    auto* inner2 = Place<TEdit>(group, 8, 50);
    auto* label = Place<TLabel>(form, 8, 80, "&Steps:");
    label->FocusControl = inner2;
    auto* disabled = Place<TEdit>(form, 8, 110);
    disabled->SetEnabled(false);
    auto* hidden = Place<TEdit>(form, 8, 140);
    hidden->SetVisible(false);
    int clicks = 0;
    go->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    PumpFor(30);

    EXPECT_TRUE(first->Focused());  // the first control in tab order
    Tab();
    EXPECT_TRUE(go->Focused());
    Tab();
    EXPECT_TRUE(inner1->Focused());  // into the group box
    Tab();
    EXPECT_TRUE(inner2->Focused());
    Tab();
    EXPECT_TRUE(first->Focused());  // past the disabled and the hidden edit, round again

    first->SetTabOrder(2);  // now after the group box
    go->SetFocus();
    Tab();
    EXPECT_TRUE(inner1->Focused());
    Tab();
    Tab();
    EXPECT_TRUE(first->Focused());

    AltKey(L's');  // the label's key focuses its control
    EXPECT_TRUE(inner2->Focused());
    EXPECT_EQ(form->ActiveControl(), inner2);
    AltKey(L'g');  // a button's key clicks it
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(go->Focused());
}

TEST_F(Controls, EditLetsKeyPressDiscardCharacters) {
    auto* edit = Place<TEdit>(form, 8, 8);
    edit->OnKeyPress = [](TObject*, wchar_t& key) {
        if (!(key >= '0' && key <= '9') && key != 8) key = 0;
    };
    std::vector<std::string> changes;
    edit->OnChange = [&](TObject*) { changes.push_back(edit->Text()); };
    form->Show();
    PumpFor(30);
    ASSERT_TRUE(edit->Focused());
    for (wchar_t c : std::wstring(L"1a2-3")) Key(WM_CHAR, c);
    Key(WM_CHAR, 8);  // backspace passes
    EXPECT_EQ(edit->Text(), "12");
    EXPECT_EQ(changes, (std::vector<std::string>{"1", "12", "123", "12"}));
    edit->SetText("7");
    EXPECT_EQ(changes.back(), "7");

    form->KeyPreview = true;  // the form sees the key first and may take it away
    form->OnKeyPress = [](TObject*, wchar_t& key) {
        if (key == '5') key = 0;
    };
    edit->SetText("");
    Key(WM_CHAR, L'5');
    Key(WM_CHAR, L'6');
    EXPECT_EQ(edit->Text(), "6");
}

TEST_F(Controls, RadioGroupCheckBoxAndDropDownList) {
    auto* radio = Place<TRadioGroup>(form, 8, 8, "Operation");
    radio->SetBounds(8, 8, 200, 80);
    radio->SetColumns(2);
    radio->SetItems(Lines({"One", "Two", "Three", "Four", "Five"}));
    std::vector<int> picked;
    radio->OnClick = [&](TObject*) { picked.push_back(radio->ItemIndex()); };
    auto* check = Place<TCheckBox>(form, 8, 100, "Check");
    int checkClicks = 0;
    check->OnClick = [&](TObject*) { ++checkClicks; };
    auto* list = Place<TComboBox>(form, 8, 130);
    list->SetItems(Lines({"RGB", "RBG", "GRB"}));
    list->SetItemIndex(1);
    form->Show();
    PumpFor(30);

    // Filled column by column: items 0-2 in the first column, 3-4 in the second.
    const auto& buttons = radio->Controls();
    ASSERT_EQ(buttons.size(), 5u);
    EXPECT_EQ(buttons[3]->Top(), buttons[0]->Top());
    EXPECT_GT(buttons[3]->Left(), buttons[2]->Left());
    EXPECT_GT(buttons[2]->Top(), buttons[1]->Top());

    radio->SetItemIndex(2);
    SendMessageW(static_cast<TWinControl*>(buttons[4])->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(radio->ItemIndex(), 4);
    EXPECT_EQ(picked, (std::vector<int>{2, 4}));
    EXPECT_EQ(SendMessageW(static_cast<TWinControl*>(buttons[2])->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    SendMessageW(check->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(check->Checked());
    check->SetChecked(false);  // a change by code clicks too
    EXPECT_EQ(checkClicks, 2);
    EXPECT_EQ(SendMessageW(check->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    EXPECT_EQ(SendMessageW(list->Handle(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list->Handle(), CB_GETCOUNT, 0, 0), 3);
}

TEST_F(Controls, ModalFormAnswersEnterEscapeAndClose) {
    form->Show();
    auto* dialog = new TForm(form);
    dialog->SetCaption("Dialog");
    auto* ok = Place<TButton>(dialog, 8, 8, "OK");
    ok->SetDefault(true);
    ok->ModalResult = TModalResult::mrOk;
    auto* cancel = Place<TButton>(dialog, 100, 8, "Cancel");
    cancel->SetCancel(true);
    cancel->ModalResult = TModalResult::mrCancel;
    Place<TEdit>(dialog, 8, 40);  // Enter typed in an edit still presses the default button
    bool ownerDisabled = false;
    struct Case {
        UINT message;
        WPARAM key;
        TModalResult result;
    } const cases[] = {
        {WM_KEYDOWN, VK_RETURN, TModalResult::mrOk},
        {WM_KEYDOWN, VK_ESCAPE, TModalResult::mrCancel},
        {WM_CLOSE, 0, TModalResult::mrCancel},
    };
    for (const auto& c : cases) {
        dialog->OnShow = [&](TObject*) {
            ownerDisabled = !IsWindowEnabled(form->Handle());
            PostMessageW(c.message == WM_CLOSE ? dialog->Handle() : GetFocus(), c.message, c.key, 0);
        };
        EXPECT_EQ(dialog->ShowModal(), c.result) << "message " << c.message << " key " << c.key;
        EXPECT_TRUE(ownerDisabled);
        EXPECT_TRUE(IsWindowEnabled(form->Handle()));
        EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
    }
    // A dialog border, centred on the screen's work area.
    const LONG_PTR style = GetWindowLongPtrW(dialog->Handle(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, LONG_PTR(WS_CAPTION));
    EXPECT_EQ(style & WS_THICKFRAME, 0);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(dialog->Left() + dialog->Width() / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR(dialog->Top() + dialog->Height() / 2, (work.top + work.bottom) / 2, 1);
}

// Paints itself red; drawing outside Paint goes to the window at once.
class TRedControl final : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override {
        Canvas().Brush.Color = clRed;
        Canvas().FillRect(Rect(0, 0, Width(), Height()));
    }
};

TEST_F(Controls, WindowedAndWindowlessControlsPaintWhereTheyAre) {
    auto* red = Place<TRedControl>(form, 10, 10);
    red->SetBounds(10, 10, 30, 20);
    auto* label = Place<TLabel>(form, 60, 10, "Text");
    form->Show();
    PumpFor(50);

    TBitmap shot;
    CaptureWindow(red->Handle(), Rect(0, 0, 30, 20), shot);
    EXPECT_TRUE(Fixtures::FrameEquals(shot, 30, 20, [](int, int) { return Fixtures::Px{0, 0, 255}; }));
    red->Canvas().SetPixel(5, 5, clBlue);  // no message runs in between
    CaptureWindow(red->Handle(), Rect(0, 0, 30, 20), shot);
    EXPECT_EQ(Fixtures::PixelOf(shot, 5, 5), (Fixtures::Px{255, 0, 0}));

    // The label's GDI text is on the form, in its bounds, as the label's surface holds it.
    CaptureWindow(form->Handle(), label->BoundsRect(), shot);
    const TBitmap& surface = label->Surface();
    EXPECT_TRUE(Fixtures::FrameEquals(shot, label->Width(), label->Height(),
                                      [&](int x, int y) { return Fixtures::PixelOf(surface, x, y); }));
    int ink = 0;
    for (int y = 0; y < label->Height(); ++y)
        for (int x = 0; x < label->Width(); ++x) ink += Fixtures::PixelOf(surface, x, y) != Fixtures::ColorPx(clBtnFace);
    EXPECT_GT(ink, 10);

    // Invalidating a windowless control asks for its rectangle of the parent only.
    UpdateWindow(form->Handle());
    label->Invalidate();
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(form->Handle(), &update, FALSE));
    EXPECT_EQ(update.left, label->Left());
    EXPECT_EQ(update.top, label->Top());
    EXPECT_EQ(update.right, label->Left() + label->Width());
    EXPECT_EQ(update.bottom, label->Top() + label->Height());
}

// A windowless control that writes down what the mouse does to it.
class TMouseLog final : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::vector<std::string> Log;
    void MouseDown(TMouseButton b, int x, int y) override {
        Note("down", b, x, y);
        TGraphicControl::MouseDown(b, x, y);
    }
    void MouseUp(TMouseButton b, int x, int y) override {
        Note("up", b, x, y);
        TGraphicControl::MouseUp(b, x, y);
    }
    void Click() override { Log.push_back("click"); }

private:
    void Note(const char* what, TMouseButton b, int x, int y) {
        Log.push_back(std::string(what) + (b == TMouseButton::mbLeft ? " left " : " right ") + std::to_string(x) +
                      "," + std::to_string(y));
    }
};

// A press goes to the windowless control under the pointer, or to the window itself; its
// moves and its release go where the press went. A click is a press and a release both on
// the control.
TEST_F(Controls, MouseReachesTheWindowlessControlUnderItAndKeepsIt) {
    auto* log = new TMouseLog(form);
    log->SetBounds(20, 30, 40, 20);
    log->SetParent(form);
    form->Show();
    PumpFor(30);
    struct Message {
        UINT msg;
        int x, y;
    };
    struct Case {
        const char* name;
        std::vector<Message> messages;
        std::vector<std::string> log;
    } const cases[] = {
        {"pressed and released over it", {{WM_LBUTTONDOWN, 25, 35}, {WM_LBUTTONUP, 26, 36}},
         {"down left 5,5", "up left 6,6", "click"}},
        {"pressed over it, out and back", {{WM_LBUTTONDOWN, 25, 35}, {WM_MOUSEMOVE, 100, 100}, {WM_LBUTTONUP, 30, 40}},
         {"down left 5,5", "up left 10,10", "click"}},
        {"released elsewhere: still its release, no click", {{WM_RBUTTONDOWN, 59, 49}, {WM_RBUTTONUP, 100, 100}},
         {"down right 39,19", "up right 80,70"}},
        {"pressed and released beside it", {{WM_LBUTTONDOWN, 5, 5}, {WM_LBUTTONUP, 5, 5}}, {}},
        {"pressed beside it, released over it", {{WM_LBUTTONDOWN, 5, 5}, {WM_MOUSEMOVE, 25, 35}, {WM_LBUTTONUP, 25, 35}},
         {}},
        {"released over it, pressed outside the window", {{WM_LBUTTONUP, 30, 40}}, {"up left 10,10"}},
    };
    for (const auto& c : cases) {
        log->Log.clear();
        for (const Message& m : c.messages)
            SendMessageW(form->Handle(), m.msg, m.msg == WM_LBUTTONUP || m.msg == WM_RBUTTONUP ? 0 : MK_LBUTTON,
                         MAKELPARAM(m.x, m.y));
        EXPECT_EQ(log->Log, c.log) << c.name;
    }
}

// Frees itself when its owner goes.
struct Sentinel : TComponent {
    Sentinel(TComponent* owner, bool& gone) : TComponent(owner), Gone(gone) {}
    ~Sentinel() override { Gone = true; }
    bool& Gone;
};

TEST_F(Controls, CloseWithCaFreeFreesTheFormAfterTheMessage) {
    auto* other = new TForm(nullptr);
    bool gone = false;
    new Sentinel(other, gone);
    other->OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caFree; };
    other->Show();
    PostMessageW(other->Handle(), WM_CLOSE, 0, 0);
    PumpUntil([&] { return gone; }, 2000);
    EXPECT_TRUE(gone);
}

TEST_F(Controls, FontIsMsSansSerifEightPointOrTheClosest) {
    auto* label = Place<TLabel>(form, 8, 8, "Interval:");
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(label->Font().Handle(), sizeof lf, &lf), int(sizeof lf));
    EXPECT_EQ(std::wstring(lf.lfFaceName), L"MS Sans Serif");
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(lf.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
    EXPECT_GT(label->Width(), 20);  // sized to its text
    EXPECT_GT(label->Height(), 8);
}

// Counts the notifications of a system colour change.
class TColourWatcher : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    void SysColorChange() override {
        ++Changes;
        TCustomControl::SysColorChange();
    }
    int Changes = 0;
};

TEST_F(Controls, SystemColoursFollowTheSystemAndTheirChangeReachesControls) {
    auto* panel = Place<TPanel>(form, 8, 8);
    auto* watcher = Place<TColourWatcher>(panel, 8, 8);
    form->Show();
    PumpFor(30);
    EXPECT_EQ(ColorToRGB(clBtnFace), TColor(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(ColorToRGB(clWindowText), TColor(GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456u);

    const int element = COLOR_BTNFACE;
    const COLORREF saved = GetSysColor(element);
    const COLORREF changed = saved ^ 0x0F0F0F;
    ASSERT_TRUE(SetSysColors(1, &element, &changed));
    PumpFor(30);
    EXPECT_EQ(ColorToRGB(clBtnFace), TColor(changed));
    SetSysColors(1, &element, &saved);
    PumpFor(30);
    EXPECT_GE(watcher->Changes, 1);
}

TEST_F(Controls, AccessKeyIsTheLetterAfterTheFirstSingleAmpersand) {
    const std::pair<const char*, wchar_t> cases[] = {
        {"&More...", L'm'}, {"Pa&use", L'u'}, {"A&&B", 0}, {"&&A&b", L'b'}, {"", 0}, {"end&", 0}, {"none", 0},
    };
    for (const auto& [caption, key] : cases) EXPECT_EQ(AccessKeyOf(caption), key) << caption;
}

TEST_F(Controls, KeyEventsReachTheControlAndAPreviewingFormOnce) {
    auto* edit = Place<TEdit>(form, 8, 8);
    int formDown = 0, formUp = 0, editDown = 0, editUp = 0;
    form->OnKeyDown = [&](TObject*, WORD&) { ++formDown; };
    form->OnKeyUp = [&](TObject*, WORD&) { ++formUp; };
    edit->OnKeyDown = [&](TObject*, WORD&) { ++editDown; };
    edit->OnKeyUp = [&](TObject*, WORD&) { ++editUp; };
    form->Show();
    PumpFor(30);
    struct Case {
        bool preview, toForm;
        int form, edit;  // key-down and key-up events each
    } const cases[] = {{false, false, 0, 1}, {true, false, 1, 1}, {false, true, 1, 0}, {true, true, 1, 0}};
    for (const auto& c : cases) {
        formDown = formUp = editDown = editUp = 0;
        form->KeyPreview = c.preview;
        HWND to = c.toForm ? form->Handle() : edit->Handle();
        PostMessageW(to, WM_KEYDOWN, VK_F5, 0);
        PostMessageW(to, WM_KEYUP, VK_F5, LPARAM(0xC0000001));
        PumpFor(30);
        const std::string name = std::string(c.preview ? "preview, " : "") + (c.toForm ? "to the form" : "to the edit");
        EXPECT_EQ(formDown, c.form) << name;
        EXPECT_EQ(formUp, c.form) << name;
        EXPECT_EQ(editDown, c.edit) << name;
        EXPECT_EQ(editUp, c.edit) << name;
    }

    // A key the control's handler sets to 0 does not reach its window: Home stays unseen.
    form->KeyPreview = false;
    edit->SetText("ab");
    edit->SetFocus();
    edit->OnKeyDown = [](TObject*, WORD& key) {
        if (key == VK_HOME) key = 0;
    };
    Key(WM_KEYDOWN, VK_END);
    Key(WM_KEYDOWN, VK_HOME);
    Key(WM_CHAR, L'c');
    EXPECT_EQ(edit->Text(), "abc");
}

TEST_F(Controls, ActivationEventsAndACloseWhileDeactivatingHappensOnce) {
    std::vector<std::string> log;
    auto* other = new TForm(nullptr);
    form->OnActivate = [&](TObject*) { log.push_back("form on"); };
    form->OnDeactivate = [&](TObject*) { log.push_back("form off"); };
    other->OnActivate = [&](TObject*) { log.push_back("other on"); };
    other->OnDeactivate = [&](TObject*) { log.push_back("other off"); };
    form->Show();
    PumpFor(30);
    other->Show();
    PumpFor(30);
    SetForegroundWindow(form->Handle());
    PumpFor(30);
    EXPECT_EQ(log, (std::vector<std::string>{"form on", "form off", "other on", "other off", "form on"}));

    // Closing hides the window, and so deactivates it, whose handler closes again: one
    // close, one free.
    bool gone = false;
    new Sentinel(other, gone);
    int closes = 0;
    other->OnDeactivate = [&](TObject*) { other->Close(); };
    other->OnClose = [&](TObject*, TCloseAction& action) {
        ++closes;
        action = TCloseAction::caFree;
    };
    other->Show();
    PumpFor(30);
    ASSERT_EQ(GetActiveWindow(), other->Handle());
    other->Close();
    EXPECT_TRUE(PumpUntil([&] { return gone; }, 2000));
    EXPECT_EQ(closes, 1);
}

TEST_F(Controls, BorderlessFormOpensWhereItIsPutWithoutCaptionOrFrame) {
    TForm popup(nullptr);
    popup.SetBorderStyle(TFormBorderStyle::bsNone);
    popup.SetPosition(TPosition::poDesigned);
    popup.SetBounds(37, 53, 78, 128);
    popup.Show();
    PumpFor(30);
    const LONG_PTR style = GetWindowLongPtrW(popup.Handle(), GWL_STYLE);
    EXPECT_EQ(style & WS_POPUP, LONG_PTR(WS_POPUP));
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
    RECT r{};
    GetWindowRect(popup.Handle(), &r);
    EXPECT_EQ((TRect{r.left, r.top, r.right, r.bottom}), Rect(37, 53, 115, 181));
    EXPECT_EQ(popup.ClientWidth(), 78);
    EXPECT_EQ(popup.ClientHeight(), 128);
}

// Red, with its last column blue: what it shows depends on its size.
class TEdgeControl final : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override {
        Canvas().Brush.Color = clRed;
        Canvas().FillRect(Rect(0, 0, Width() - 1, Height()));
        Canvas().Brush.Color = clBlue;
        Canvas().FillRect(Rect(Width() - 1, 0, Width(), Height()));
    }
};

TEST_F(Controls, CustomControlRepaintsWhollyAtANewSize) {
    auto* edge = Place<TEdgeControl>(form, 10, 10);
    edge->SetBounds(10, 10, 20, 8);
    form->Show();
    PumpFor(30);
    edge->SetBounds(10, 10, 40, 8);
    PumpFor(30);
    TBitmap shot;
    CaptureWindow(edge->Handle(), Rect(0, 0, 40, 8), shot);
    EXPECT_TRUE(Fixtures::FrameEquals(shot, 40, 8, [](int x, int) {
        return x == 39 ? Fixtures::ColorPx(clBlue) : Fixtures::ColorPx(clRed);
    }));
}

// Paints itself in one colour: windowed (a tab stop), or windowless (opaque).
template <class TBase>
class TSolid final : public TBase {
public:
    TSolid(TComponent* owner, TColor colour) : TBase(owner), FColour(colour) {
        if constexpr (std::is_base_of_v<TWinControl, TBase>)
            this->SetTabStop(true);
        else
            this->SetOpaque(true);
    }

protected:
    void Paint() override {
        this->Canvas().Brush.Color = FColour;
        this->Canvas().FillRect(Rect(0, 0, this->Width(), this->Height()));
    }

private:
    TColor FColour;
};
using TSolidControl = TSolid<TCustomControl>;
using TSolidGraphic = TSolid<TGraphicControl>;

// What the screen shows at a point of a window's client area, and which window is there.
struct TOnScreen {
    HWND Window;
    TColor Colour;
};
TOnScreen OnScreen(HWND hwnd, int x, int y) {
    const TRect r = ScreenRect(hwnd, Rect(x, y, x + 1, y + 1));
    TBitmap shot;
    CaptureScreen(r, shot);
    return TOnScreen{WindowFromPoint(POINT{r.Left, r.Top}), shot.Canvas().Pixel(0, 0)};
}

// Controls stack in the order they were given their parent, a later one on top of an
// earlier one, until BringToFront or SendToBack moves one; the tab order is a matter of
// its own and moves nothing on the screen.
TEST_F(Controls, StackingFollowsCreationAndIsApartFromTheTabOrder) {
    const auto place = [this](TControl* c, int left, int top) {
        c->SetBounds(left, top, 60, 40);
        c->SetParent(form);
        return c;
    };
    // Two windowed and two windowless controls, each pair overlapping at (55, 35) and (175, 35).
    auto* red = static_cast<TSolidControl*>(place(new TSolidControl(form, clRed), 10, 10));
    auto* blue = static_cast<TSolidControl*>(place(new TSolidControl(form, clBlue), 40, 20));
    auto* lime = place(new TSolidGraphic(form, clLime), 130, 10);
    auto* yellow = place(new TSolidGraphic(form, clYellow), 160, 20);
    form->Show();
    PumpFor(50);
    struct Step {
        const char* name;
        std::function<void()> act;
        TSolidControl* windowedOnTop;
        TColor windowlessOnTop;
    } const steps[] = {
        {"as made", [] {}, blue, clYellow},
        {"tab order turned round", [&] { blue->SetTabOrder(0); }, blue, clYellow},
        {"the first brought to the front", [&] { red->BringToFront(); lime->BringToFront(); }, red, clLime},
        {"the first sent to the back", [&] { red->SendToBack(); lime->SendToBack(); }, blue, clYellow},
        {"the second sent to the back", [&] { blue->SendToBack(); yellow->SendToBack(); }, red, clLime},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        PumpFor(30);
        const TOnScreen windowed = OnScreen(form->Handle(), 55, 35);
        EXPECT_EQ(windowed.Window, step.windowedOnTop->Handle());
        EXPECT_EQ(windowed.Colour, ColorToRGB(step.windowedOnTop == red ? clRed : clBlue));
        const TOnScreen windowless = OnScreen(form->Handle(), 175, 35);
        EXPECT_EQ(windowless.Window, form->Handle());
        EXPECT_EQ(windowless.Colour, ColorToRGB(step.windowlessOnTop));
        // Tab follows the tab order whatever the stacking: blue, then red.
        blue->SetFocus();
        Tab();
        EXPECT_TRUE(red->Focused());
        Tab();
        EXPECT_TRUE(blue->Focused());
    }
}

// The arrow keys step through a radio group's items in their order, round the ends and
// past an item that cannot take the focus, choosing each; Tab leaves the group.
TEST_F(Controls, ArrowKeysStepThroughARadioGroupInItemOrder) {
    auto* radio = Place<TRadioGroup>(form, 8, 8, "Group");
    radio->SetBounds(8, 8, 200, 100);
    radio->SetColumns(2);
    radio->SetItems(Lines({"One", "Two", "Three", "Four", "Five"}));
    radio->SetItemIndex(0);
    auto* after = Place<TEdit>(form, 8, 120);
    const auto item = [&](int i) { return static_cast<TWinControl*>(radio->Controls().at(std::size_t(i))); };
    item(3)->SetEnabled(false);
    form->Show();
    PumpFor(30);
    item(0)->SetFocus();
    const struct {
        WPARAM key;
        int item;
    } steps[] = {{VK_DOWN, 1}, {VK_RIGHT, 2}, {VK_DOWN, 4}, {VK_DOWN, 0}, {VK_UP, 4}, {VK_LEFT, 2}, {VK_UP, 1}};
    for (const auto& step : steps) {
        Key(WM_KEYDOWN, step.key);
        EXPECT_EQ(radio->ItemIndex(), step.item) << "key " << step.key;
        EXPECT_TRUE(item(step.item)->Focused()) << "key " << step.key;
        EXPECT_EQ(SendMessageW(item(step.item)->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    }
    Tab();
    EXPECT_TRUE(after->Focused());
}

// A multi-line edit asks its parent window to close on Escape, as in a dialog: for a
// control on a form that is the form's Escape (its cancel button, or nothing without
// one), and the edit and its parent stay.
TEST_F(Controls, EscapeInAMultiLineEditIsItsFormsEscape) {
    form->Show();
    for (const bool withCancel : {true, false}) {
        SCOPED_TRACE(withCancel ? "with a cancel button" : "without one");
        auto* dialog = new TForm(form);
        auto* panel = Place<TPanel>(dialog, 8, 8);
        auto* memo = Place<TMemo>(panel, 4, 4);
        if (withCancel) {
            auto* cancel = Place<TButton>(dialog, 8, 120, "Cancel");
            cancel->SetCancel(true);
            cancel->ModalResult = TModalResult::mrAbort;
        }
        HWND panelWindow = nullptr, memoWindow = nullptr;
        dialog->OnShow = [&](TObject*) {
            panelWindow = panel->Handle();
            memoWindow = memo->Handle();
            memo->SetFocus();
            PostMessageW(memoWindow, WM_KEYDOWN, VK_ESCAPE, 1);
            // Ends the run where Escape did not, once the edit's own request (posted while
            // it handles the key) has been handled.
            Win32::PostDeferred([&] {
                PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
            });
        };
        EXPECT_EQ(dialog->ShowModal(), withCancel ? TModalResult::mrAbort : TModalResult::mrCancel);
        EXPECT_TRUE(IsWindow(panelWindow));
        EXPECT_TRUE(IsWindow(memoWindow));
        EXPECT_EQ(panel->Handle(), panelWindow);
        delete dialog;
    }
}

}  // namespace
