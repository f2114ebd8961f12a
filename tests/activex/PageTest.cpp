// The property page as a property frame uses it: created through its class-table creator,
// given a site, a control (a fake IDispatch) and a window to live in; what it shows is read
// back from its controls and windows, what it writes from the fake's record.
#include "toolkit/win32/WindowsApi.h"

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <chrono>
#include <string>
#include <vector>

#include "activex/PropUnit.h"
#include "activex/PropUnitObject.h"
#include "activex/com/ClassFactory.h"
#include "activex/com/ComPtr.h"
#include "activex/com/Module.h"
#include "activex/FakeControl.h"
#include "activex/FakeSite.h"
#include "toolkit/Application.h"
#include "win32/WinFixtures.h"

using namespace Toolkit;
using namespace WinFixtures;
using PageFixtures::TFakeControl;
using PageFixtures::TFakeSite;
using PropUnit::TLumawipeProperties;
using Wipekit::TTransitionOperation;

namespace {

HWND NewHostWindow() {
    return CreateWindowExW(0, L"STATIC", L"Property frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 40, 40,
                           480, 320, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

std::string ErrorDescription() {
    Com::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Put()) != S_OK) return {};
    Com::Bstr text;
    info->GetDescription(text.Put());
    return Narrow(std::wstring(text.View()));
}

void Press(TWinControl* button) { SendMessageW(button->Handle(), BM_CLICK, 0, 0); }
void SetText(TWinControl* edit, const wchar_t* text) { SendMessageW(edit->Handle(), WM_SETTEXT, 0, LPARAM(text)); }
TWinControl* Item(TRadioGroup* group, int item) {
    return dynamic_cast<TWinControl*>(group->Controls().at(std::size_t(item)));
}
// The control's window is the one on the screen at its middle (nothing covers it there).
bool OnTop(TWinControl* c) {
    const TRect r = ScreenRect(c->Handle());
    return WindowFromPoint(POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}) == c->Handle();
}

class PropertyPage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        Application().OnException = [this](const std::exception& e) { Reported.push_back(e.what()); };
        Host = NewHostWindow();
        ASSERT_NE(Host, nullptr);
        ASSERT_EQ(CreateLumawipeProperties(IID_IPropertyPage, reinterpret_cast<void**>(Page.Put())), S_OK);
    }
    void TearDown() override {
        if (Page) Page->Deactivate();
        Page.Reset();
        DestroyWindow(Host);
        Application().OnException = nullptr;
        OleUninitialize();
    }

    // The frame's steps up to a shown page editing Control.
    void Open() {
        ASSERT_EQ(Page->SetPageSite(&Site), S_OK);
        IUnknown* objects[] = {&Control};
        ASSERT_EQ(Page->SetObjects(1, objects), S_OK);
        const RECT r{0, 0, TLumawipeProperties::PageWidth, TLumawipeProperties::PageHeight};
        ASSERT_EQ(Page->Activate(Host, &r, FALSE), S_OK);
        ASSERT_EQ(Page->Show(SW_SHOW), S_OK);
        Form = dynamic_cast<TLumawipeProperties*>(TWinControl::FromHandle(GetWindow(Host, GW_CHILD)));
        ASSERT_NE(Form, nullptr);
        PumpFor(30);
    }

    HWND Host = nullptr;
    TFakeControl Control;
    TFakeSite Site;
    Com::ComPtr<IPropertyPage> Page;
    TLumawipeProperties* Form = nullptr;
    std::vector<std::string> Reported;
};

}  // namespace

TEST_F(PropertyPage, DescribesItselfToTheFrame) {
    PROPPAGEINFO info{};
    ASSERT_EQ(Page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(std::wstring(info.pszTitle), L"Lumawipe");
    EXPECT_EQ(std::wstring(info.pszHelpFile), L"Lumawipe.hlp");
    EXPECT_EQ(info.size.cx, TLumawipeProperties::PageWidth);
    EXPECT_EQ(info.size.cy, TLumawipeProperties::PageHeight);
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszHelpFile);
    EXPECT_EQ(Page->GetPageInfo(nullptr), E_POINTER);
    Com::ComPtr<IPropertyPage2> page2;
    EXPECT_EQ(Page.As(page2), S_OK);
    // The class table's row: the same creator behind a class factory.
    Com::TClassFactory factories[] = {{CLSID_LumawipeProperties, CreateLumawipeProperties}};
    Com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(Com::GetClassObject(factories, CLSID_LumawipeProperties, IID_IClassFactory,
                                  reinterpret_cast<void**>(factory.Put())), S_OK);
    Com::ComPtr<IPropertyPage> another;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(another.Put())), S_OK);
}

// Loading shows the control's values; the preview plays in the control's state; nothing
// is dirty until the user changes something.
TEST_F(PropertyPage, LoadShowsTheControlsValuesAndThePreviewPlaysThem) {
    Control.Values = {{L"Operation", int(TTransitionOperation::toGlide)}, {L"Modifier", 2}, {L"Interval", 25},
                      {L"Steps", 3}, {L"Delta", 4}, {L"Reverse", -1}, {L"RGBOrder", 4}, {L"Color", 0x00336699},
                      {L"UseThread", 0}};
    Open();
    EXPECT_TRUE(IsChild(Host, Form->Handle()));
    EXPECT_TRUE(GetWindowLongW(Form->Handle(), GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(Form->OperationRadioGroup->ItemIndex(), 7);  // "Glide"
    EXPECT_EQ(Form->ModifierRadioGroup->ItemIndex(), 2);
    EXPECT_EQ(Form->IntervalEdit->Text(), "25");
    EXPECT_EQ(Form->StepsEdit->Text(), "3");
    EXPECT_EQ(Form->DeltaEdit->Text(), "4");
    EXPECT_TRUE(Form->ReverseCheckBox->Checked());
    EXPECT_EQ(Form->RGBComboBox->ItemIndex(), 4);
    EXPECT_EQ(Form->FadeColorButton->Color(), 0x00336699u);
    EXPECT_FALSE(Form->UseThreadCheckBox->Checked());
    EXPECT_FALSE(IsWindowEnabled(Form->DeltaEdit->Handle()));
    EXPECT_FALSE(IsWindowVisible(Form->FadeColorButton->Handle()));
    EXPECT_FALSE(IsWindowVisible(Form->RGBComboBox->Handle()));

    const auto* preview = Form->Lumawipe;
    EXPECT_TRUE(preview->Active());
    EXPECT_EQ(preview->Operation(), TTransitionOperation::toGlide);
    EXPECT_EQ(preview->Modifier(), Wipekit::TTransitionModifier::tmUp);
    EXPECT_EQ(preview->Interval(), 25u);
    EXPECT_EQ(preview->Steps(), 3);
    EXPECT_EQ(preview->Delta(), 4);
    EXPECT_TRUE(preview->Reverse());
    EXPECT_EQ(preview->RGBOrder(), Wipekit::TRGBOrder::coBRG);
    EXPECT_EQ(preview->Color(), 0x00336699u);
    EXPECT_FALSE(preview->UseThread());
    EXPECT_EQ(preview->FromBitmap().Width(), 120);
    EXPECT_EQ(preview->ToBitmap().Height(), 90);

    EXPECT_EQ(Page->IsPageDirty(), S_FALSE);
    EXPECT_TRUE(Site.Changes.empty());
    EXPECT_TRUE(Control.Puts.empty());
    EXPECT_TRUE(Reported.empty());
}

// Values the control holds but the page has no choice for: no item is selected, the
// preview plays an operation of the page's, and apply leaves those properties alone.
TEST_F(PropertyPage, ValuesWithoutAnItemSelectNothingAndAreNotWritten) {
    Control.Values[L"Operation"] = 23;
    Control.Values[L"Modifier"] = 9;
    Control.Values[L"Steps"] = 0;
    Open();
    EXPECT_EQ(Form->OperationRadioGroup->ItemIndex(), -1);
    EXPECT_EQ(Form->ModifierRadioGroup->ItemIndex(), -1);
    EXPECT_TRUE(Form->Lumawipe->Active());
    EXPECT_NE(PropUnit::OperationItem(int(Form->Lumawipe->Operation())), -1);
    EXPECT_GE(Form->Lumawipe->Steps(), 1);
    Press(Form->ReverseCheckBox);
    EXPECT_EQ(Page->Apply(), S_OK);
    const std::vector<std::wstring> written = {L"Interval", L"Steps", L"Delta", L"Reverse", L"RGBOrder", L"Color",
                                               L"UseThread"};
    EXPECT_EQ(Control.PutNames(), written);
}

// The user's changes: each restarts the preview with the change and marks the page dirty
// once for the site; the operation decides which optional controls show.
TEST_F(PropertyPage, ChangesRestartThePreviewAndMarkThePageDirty) {
    Open();
    Press(Item(Form->OperationRadioGroup, 12));  // Fade
    EXPECT_EQ(Page->IsPageDirty(), S_OK);
    EXPECT_EQ(Site.Changes, std::vector<DWORD>{PROPPAGESTATUS_DIRTY});
    EXPECT_EQ(Form->Lumawipe->Operation(), TTransitionOperation::toFade);
    EXPECT_TRUE(Form->Lumawipe->Active());
    EXPECT_TRUE(IsWindowVisible(Form->FadeColorButton->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Form->FadeColorButton->Handle()));
    EXPECT_TRUE(OnTop(Form->FadeColorButton)) << "it sits on the operation group";
    Press(Item(Form->OperationRadioGroup, 16));  // RGB
    EXPECT_FALSE(IsWindowVisible(Form->FadeColorButton->Handle()));
    EXPECT_TRUE(IsWindowVisible(Form->RGBComboBox->Handle()));
    EXPECT_TRUE(OnTop(Form->RGBComboBox)) << "it sits on the operation group";
    Press(Item(Form->OperationRadioGroup, 8));  // Blinds
    EXPECT_FALSE(IsWindowVisible(Form->RGBComboBox->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Form->DeltaEdit->Handle()));

    Press(Item(Form->ModifierRadioGroup, 3));
    EXPECT_EQ(Form->Lumawipe->Modifier(), Wipekit::TTransitionModifier::tmDown);
    Press(Form->UseThreadCheckBox);
    EXPECT_TRUE(Form->Lumawipe->UseThread());
    EXPECT_TRUE(Form->Lumawipe->Active());

    // Typing: digits only.
    SendMessageW(Form->StepsEdit->Handle(), EM_SETSEL, 0, -1);
    for (wchar_t c : std::wstring(L"4x-")) SendMessageW(Form->StepsEdit->Handle(), WM_CHAR, c, 1);
    EXPECT_EQ(Form->StepsEdit->Text(), "4");
    EXPECT_EQ(Form->Lumawipe->Steps(), 4);
    // An empty edit restarts the preview with the value it had.
    SetText(Form->StepsEdit, L"");
    EXPECT_EQ(Form->Lumawipe->Steps(), 4);
    EXPECT_TRUE(Form->Lumawipe->Active());
    // Text that is no integer (pasted) raises the conversion error; the preview stays stopped.
    SetText(Form->DeltaEdit, L"3b");
    ASSERT_EQ(Reported.size(), 1u);
    EXPECT_EQ(Reported[0], "'3b' is not a valid integer value");
    EXPECT_FALSE(Form->Lumawipe->Active());
    EXPECT_EQ(Site.Changes.size(), 1u) << "dirty is told once";
}

// Apply writes the page's values in order; a failure stops it at the failing property,
// reports a failure with its description and keeps the page dirty.
TEST_F(PropertyPage, ApplyWritesInOrderAndStopsAtAFailure) {
    Open();
    Press(Item(Form->OperationRadioGroup, 0));  // MonoSlider (already chosen by load: no change)
    Press(Item(Form->OperationRadioGroup, 5));  // Reveal
    Press(Item(Form->ModifierRadioGroup, 1));
    SetText(Form->IntervalEdit, L"40");
    Press(Form->ReverseCheckBox);
    ASSERT_EQ(Page->IsPageDirty(), S_OK);
    ASSERT_EQ(Page->Apply(), S_OK);
    EXPECT_EQ(Page->IsPageDirty(), S_FALSE);
    const std::vector<std::pair<std::wstring, std::int32_t>> expected = {
        {L"Operation", int(TTransitionOperation::toReveal)}, {L"Modifier", 1}, {L"Interval", 40}, {L"Steps", 10},
        {L"Delta", 1}, {L"Reverse", -1}, {L"RGBOrder", 0}, {L"Color", std::int32_t(0x8000000F)}, {L"UseThread", 0}};
    EXPECT_EQ(Control.Puts, expected);

    const struct {
        const char* name;
        const wchar_t* deltaText;
        const wchar_t* refuse;
        HRESULT code;
        std::vector<std::wstring> written;
        const char* description;
    } cases[] = {
        {"empty edit", L"", L"", E_FAIL, {L"Operation", L"Modifier", L"Interval", L"Steps"},
         "'' is not a valid integer value"},
        {"refused by the control", L"2", L"Steps", E_INVALIDARG, {L"Operation", L"Modifier", L"Interval", L"Steps"},
         "Property Steps: error 0x80070057."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Control.Puts.clear();
        Control.Refuse = c.refuse;
        SetText(Form->DeltaEdit, c.deltaText);
        EXPECT_EQ(Page->Apply(), c.code);
        EXPECT_EQ(ErrorDescription(), c.description);
        EXPECT_EQ(Control.PutNames(), c.written);
        EXPECT_EQ(Page->IsPageDirty(), S_OK);
    }
}

// A finished preview run stays on show for a second (the page waits), then plays again.
TEST_F(PropertyPage, PreviewPlaysAgainAfterASecond) {
    Control.Values[L"Operation"] = int(TTransitionOperation::toReplace);  // ends after frame 1
    Control.Values[L"Interval"] = 1;
    Control.Values[L"Steps"] = 1;
    Open();
    ASSERT_TRUE(Form->Lumawipe->Active());
    int highest = Form->Lumawipe->CurrentFrame();
    auto lastAdvance = std::chrono::steady_clock::now();
    const bool restarted = PumpUntil(
        [&] {
            const int frame = Form->Lumawipe->CurrentFrame();
            if (frame < highest) return true;
            if (frame > highest) lastAdvance = std::chrono::steady_clock::now();
            highest = frame;
            return false;
        },
        5000);
    ASSERT_TRUE(restarted);
    EXPECT_GE(std::chrono::steady_clock::now() - lastAdvance,
              std::chrono::milliseconds(TLumawipeProperties::ReplayDelay));
    EXPECT_TRUE(Form->Lumawipe->Active());
}

// Deactivation takes every window of the page; releasing the page and its objects leaves
// no GDI object and no module lock behind.
TEST_F(PropertyPage, DeactivateAndReleaseLeaveNothingBehind) {
    const long gdiBefore = GdiObjectCount();
    const long locksBefore = Com::ModuleLockCount() - 1;  // the fixture's page holds one
    Open();
    Press(Item(Form->OperationRadioGroup, 12));
    PumpFor(100);
    EXPECT_EQ(Page->Deactivate(), S_OK);
    EXPECT_EQ(GetWindow(Host, GW_CHILD), nullptr);
    EXPECT_EQ(Page->Show(SW_SHOW), E_UNEXPECTED);
    EXPECT_EQ(Page->SetObjects(0, nullptr), S_OK);
    EXPECT_EQ(Control.Refs, 1u) << "the control is let go";
    EXPECT_EQ(Page->SetPageSite(nullptr), S_OK);
    EXPECT_EQ(Site.Refs, 1u);
    Page.Reset();
    PumpFor(20);
    EXPECT_EQ(GdiObjectCount(), gdiBefore);
    EXPECT_EQ(Com::ModuleLockCount(), locksBefore);
}

// The page inside the system's property frame: created by its CLSID, shown on the frame's
// page with the control's values, and gone with the control let go when the frame closes.
TEST_F(PropertyPage, RunsInTheSystemPropertyFrame) {
    Com::TClassFactory factory{CLSID_LumawipeProperties, CreateLumawipeProperties};
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_LumawipeProperties, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                    &cookie), S_OK);
    Control.Values[L"Operation"] = int(TTransitionOperation::toCrush);
    bool pageShown = false;
    int itemShown = -1;
    WhenDialogShows([&](HWND frame) {
        // The page's window sits in the frame, directly or on the frame's page dialog.
        HWND page = FindWindowExW(frame, nullptr, L"LumawipeControl", nullptr);
        for (HWND child = GetWindow(frame, GW_CHILD); child && !page; child = GetWindow(child, GW_HWNDNEXT))
            page = FindWindowExW(child, nullptr, L"LumawipeControl", nullptr);
        if (auto* form = dynamic_cast<TLumawipeProperties*>(TWinControl::FromHandle(page))) {
            pageShown = IsWindowVisible(page) != FALSE;
            itemShown = form->OperationRadioGroup->ItemIndex();
        }
        PostMessageW(FindWindowExW(frame, nullptr, L"BUTTON", L"OK"), BM_CLICK, 0, 0);
    });
    IUnknown* objects[] = {&Control};
    CLSID pages[] = {CLSID_LumawipeProperties};
    EXPECT_EQ(OleCreatePropertyFrame(Host, 0, 0, L"Lumawipe", 1, objects, 1, pages, LOCALE_USER_DEFAULT, 0, nullptr),
              S_OK);
    CoRevokeClassObject(cookie);
    EXPECT_TRUE(pageShown);
    EXPECT_EQ(itemShown, 3);  // "Crush"
    EXPECT_EQ(Control.Refs, 1u);
}
