// Windowed-controls layer of the win32 backend: the control peer, the window procedure,
// TWinControl and TCustomControl.
#include "toolkit/win32/WinControls.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <mutex>

#include "toolkit/Application.h"
#include "toolkit/win32/MessageLoop.h"

namespace Toolkit {

using namespace Win32;

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

const wchar_t* const ControlProp = L"Lumawipe.Control";
const wchar_t* const OwnClass = L"LumawipeControl";
constexpr int FirstControlId = 100;

// Child windows by their control id. Controls may live on several apartment threads of
// one process (each thread runs its own windows), so the table has a lock; it is never
// destroyed, as windows may still go during the process's exit.
struct TControlIds {
    std::mutex Lock;
    std::map<int, TWinControl*> Ids;
    int Next = FirstControlId;
};
TControlIds& ControlIds() {
    static auto* ids = new TControlIds;
    return *ids;
}

TWinControl* WindowedParent(const TControl& control) { return dynamic_cast<TWinControl*>(control.Parent()); }


// The window a windowless control shows on: its windowed parent's, when made.
HWND WindowShownOn(const TControl& control) {
    TWinControl* parent = WindowedParent(control);
    return parent && parent->HandleAllocated() ? parent->Handle() : nullptr;
}

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// Shows a windowless control's surface at its bounds on dc.
void DrawSurface(HDC dc, const TGraphicControl& control) { DrawBitmap(dc, control.Left(), control.Top(), control.Surface()); }

void RegisterOwnClass() {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ControlProc;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = OwnClass;
    RegisterToolkitClass(wc);
}

}  // namespace

// The platform side of every control. Windowed controls keep their window in step with
// the control; windowless ones are shown on their parent's window.
class TWin32ControlPeer final : public TControlPeer {
public:
    explicit TWin32ControlPeer(TControl& control) : FControl(control) {}

    ~TWin32ControlPeer() override {
        // A windowless control leaves a hole to repaint behind it.
        if (FShownOn && IsWindow(FShownOn)) InvalidateRect(FShownOn, &FShownRect, TRUE);
    }

    void Invalidate() override {
        if (auto* win = dynamic_cast<TWinControl*>(&FControl)) {
            if (win->HandleAllocated()) InvalidateRect(win->FHandle, nullptr, TRUE);
            return;
        }
        if (!FControl.Visible()) return;
        HWND parent = WindowShownOn(FControl);
        if (!parent || !IsWindowVisible(parent)) {
            // No window shows the control now: no paint will come unless asked for.
            if (TWinControl* windowed = WindowedParent(FControl)) windowed->PaintUnshownChild(FControl);
            return;
        }
        const RECT r = ToRECT(FControl.BoundsRect());
        InvalidateRect(parent, &r, FControl.Opaque() ? FALSE : TRUE);
    }

    void Present() override {
        auto* graphic = dynamic_cast<TGraphicControl*>(&FControl);
        TWinControl* parent = WindowedParent(FControl);
        if (!graphic || !parent || !parent->HandleAllocated() || !FControl.Visible()) return;
        if (parent->FPaintDC) {
            DrawSurface(parent->FPaintDC, *graphic);
            return;
        }
        if (!IsWindowVisible(parent->FHandle)) return;
        HDC dc = GetDC(parent->FHandle);
        if (!dc) return;
        DrawSurface(dc, *graphic);
        ReleaseDC(parent->FHandle, dc);
    }

    void BoundsChanged() override {
        TControl* parent = FControl.Parent();
        const bool reparented = parent != FLastParent;
        TControl* from = FLastParent;
        FLastParent = parent;
        if (auto* win = dynamic_cast<TWinControl*>(&FControl)) {
            if (reparented) win->ParentChanged(from);
            win->UpdateWindowBounds();
            return;
        }
        if (FShownOn && IsWindow(FShownOn)) InvalidateRect(FShownOn, &FShownRect, TRUE);
        FShownOn = WindowShownOn(FControl);
        FShownRect = ToRECT(FControl.BoundsRect());
        if (FShownOn && FControl.Visible()) InvalidateRect(FShownOn, &FShownRect, FControl.Opaque() ? FALSE : TRUE);
    }

    void EnabledChanged() override {
        if (auto* win = dynamic_cast<TWinControl*>(&FControl)) {
            if (win->HandleAllocated()) EnableWindow(win->FHandle, FControl.Enabled());
        }
        Invalidate();
    }

    void StackingChanged() override {
        if (dynamic_cast<TWinControl*>(&FControl)) {
            if (TWinControl* parent = WindowedParent(FControl)) parent->ArrangeStacking();
            return;
        }
        Invalidate();  // drawn again over (or under) the windowless siblings it overlaps
    }

private:
    TControl& FControl;
    TControl* FLastParent = nullptr;
    HWND FShownOn = nullptr;
    RECT FShownRect{};
};

std::unique_ptr<TControlPeer> NewControlPeer(TControl& control) {
    return std::make_unique<TWin32ControlPeer>(control);
}

// ---------------------------------------------------------------------------------------
// Window procedure: messages go to the control's WndProc; exceptions stop here, since
// they must not unwind through the system's code.

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = TWinControl::FromHandle(hwnd);
    if (!control && msg == WM_NCCREATE) {
        control = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (control) control->Attach(hwnd);
    }
    if (!control) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        const WNDPROC def = control->FDefProc;
        control->Detach();
        return CallWindowProcW(def, hwnd, msg, wParam, lParam);
    }
    LRESULT result = 0;
    CallGuarded([&] { result = control->WndProc(msg, wParam, lParam); });
    return result;
}

wchar_t AccessKeyOf(const std::string& caption) {
    const std::wstring w = Widen(caption);
    for (std::size_t i = 0; i + 1 < w.size(); ++i) {
        if (w[i] != L'&') continue;
        if (w[i + 1] != L'&') return wchar_t(std::towlower(wint_t(w[i + 1])));
        ++i;  // "&&" is a plain '&'
    }
    return 0;
}

// ---------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    FFont.OnChange = [this] {
        FParentFont = false;
        ApplyFont();
    };
}

TWinControl::~TWinControl() {
    FFont.OnChange = nullptr;
    DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<TWinControl*>(GetPropW(hwnd, ControlProp)) : nullptr;
}

TWinControl* TWinControl::FromId(int id) {
    TControlIds& ids = ControlIds();
    std::lock_guard<std::mutex> lock(ids.Lock);
    const auto it = ids.Ids.find(id);
    return it != ids.Ids.end() ? it->second : nullptr;
}

void TWinControl::Attach(HWND hwnd) {
    FHandle = hwnd;
    SetPropW(hwnd, ControlProp, this);
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (current == ControlProc) {
        FDefProc = DefWindowProcW;
    } else {  // a system class: subclass it
        FDefProc = current;
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc));
    }
}

void TWinControl::Detach() {
    if (!FHandle) return;
    RemovePropW(FHandle, ControlProp);
    if (FDefProc && FDefProc != DefWindowProcW)
        SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefProc));
    if (FId) {
        TControlIds& ids = ControlIds();
        std::lock_guard<std::mutex> lock(ids.Lock);
        ids.Ids.erase(FId);
    }
    FId = 0;
    FHandle = nullptr;
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    HWND hwnd = FHandle;
    Detach();  // messages of the teardown go to the class's own procedure
    DestroyWindow(hwnd);
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.ClassName = OwnClass;
    params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    params.ExStyle = 0;
}

HWND TWinControl::Handle() {
    if (!FHandle) CreateHandle();
    return FHandle;
}

void TWinControl::CreateHandle() {
    if (FHandle) return;
    TCreateParams params;
    CreateParams(params);
    HWND parentWindow = nullptr;
    const bool child = params.Style & WS_CHILD;
    if (child) {
        TWinControl* parent = WindowedParent(*this);
        parentWindow = parent ? parent->Handle() : FParentWindow;
        if (!parentWindow) return;  // no window to put it in yet
    }
    if (Visible() && child) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (FTabStop) params.Style |= WS_TABSTOP;
    // Containers of our own (group boxes, panels) let dialog navigation into their children.
    if (params.ClassName == OwnClass && !FTabStop) params.ExStyle |= WS_EX_CONTROLPARENT;
    RegisterOwnClass();
    int id = 0;
    if (child) {
        std::lock_guard<std::mutex> lock(ControlIds().Lock);
        id = ControlIds().Next++;
    }
    HWND hwnd = CreateWindowExW(params.ExStyle, params.ClassName.c_str(), Widen(FCaption).c_str(), params.Style,
                                Left(), Top(), Width(), WindowHeight(), parentWindow,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ToolkitModule(), this);
    if (!hwnd)
        throw EOutOfResources("Unable to create a window (error " + std::to_string(GetLastError()) + ").");
    if (!FHandle) Attach(hwnd);
    if (id) {
        FId = id;
        std::lock_guard<std::mutex> lock(ControlIds().Lock);
        ControlIds().Ids[id] = this;
    }
    ApplyFont();
    HandleCreated();
    for (TControl* c : Controls())
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreateHandle();
    ArrangeStacking();
}

void TWinControl::ApplyFont() {
    if (FHandle) SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), TRUE);
    // Children that follow this font take it too.
    for (TControl* c : Controls())
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FParentFont) {
            auto handler = std::move(w->FFont.OnChange);
            w->FFont.Assign(FFont);
            w->FFont.OnChange = std::move(handler);
            w->ApplyFont();
        }
}

void TWinControl::ParentChanged(TControl* from) {
    if (auto* old = dynamic_cast<TWinControl*>(from)) {
        auto list = old->TabList();
        for (std::size_t i = 0; i < list.size(); ++i) list[i]->FTabOrder = int(i);
    }
    TWinControl* parent = WindowedParent(*this);
    if (parent) {
        int last = -1;
        for (TControl* c : parent->Controls())
            if (auto* w = dynamic_cast<TWinControl*>(c); w && w != this) last = std::max(last, w->FTabOrder);
        FTabOrder = last + 1;
        if (FParentFont) {
            auto handler = std::move(FFont.OnChange);
            FFont.Assign(parent->FFont);
            FFont.OnChange = std::move(handler);
        }
    }
    if (FHandle) {
        HWND parentWindow = parent ? parent->Handle() : FParentWindow;
        if (parentWindow)
            ::SetParent(FHandle, parentWindow);
        else if (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD)
            DestroyHandle();
    } else if (parent && parent->HandleAllocated()) {
        CreateHandle();
    }
    if (FHandle) ApplyFont();
    if (parent) parent->ArrangeStacking();
}

void TWinControl::SetParentWindow(HWND parent) {
    if (parent == FParentWindow) return;
    FParentWindow = parent;
    if (WindowedParent(*this) || !FHandle) return;  // a windowed parent comes first
    if (parent)
        ::SetParent(FHandle, parent);
    else if (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD)
        DestroyHandle();
}

void TWinControl::UpdateWindowBounds() {
    if (!FHandle) return;
    SetWindowPos(FHandle, nullptr, Left(), Top(), Width(), WindowHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    const bool shown = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != Visible()) ShowWindow(FHandle, Visible() ? (ActivatesWhenShown() ? SW_SHOW : SW_SHOWNA) : SW_HIDE);
}

void TWinControl::SetCaption(const std::string& v) {
    FCaption = v;
    if (FHandle) SetWindowTextW(FHandle, Widen(v).c_str());
    Invalidate();
}

void TWinControl::SetColor(TColor v) {
    FColor = v;
    Invalidate();
}

std::vector<TWinControl*> TWinControl::TabList() const {
    std::vector<TWinControl*> list;
    for (TControl* c : Controls())
        if (auto* w = dynamic_cast<TWinControl*>(c)) list.push_back(w);
    std::stable_sort(list.begin(), list.end(), [](auto* a, auto* b) { return a->FTabOrder < b->FTabOrder; });
    return list;
}

void TWinControl::SetTabOrder(int v) {
    TWinControl* parent = WindowedParent(*this);
    if (!parent) {
        FTabOrder = v;
        return;
    }
    auto list = parent->TabList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    const auto at = std::size_t(std::clamp(v, 0, int(list.size())));
    list.insert(list.begin() + std::ptrdiff_t(at), this);
    for (std::size_t i = 0; i < list.size(); ++i) list[i]->FTabOrder = int(i);
}

// The windows stack as the controls do: the last of Controls() on top.
void TWinControl::ArrangeStacking() {
    if (!FHandle) return;
    HWND above = HWND_TOP;
    const std::vector<TControl*>& children = Controls();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        auto* w = dynamic_cast<TWinControl*>(*it);
        if (!w || !w->FHandle || ::GetParent(w->FHandle) != FHandle) continue;
        SetWindowPos(w->FHandle, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        above = w->FHandle;
    }
}

namespace {
// The windowed controls inside parent in tab order, depth first: each followed by those
// inside it.
void AddTabOrderList(const TWinControl& parent, std::vector<TWinControl*>& list) {
    for (TWinControl* c : parent.TabList()) {
        list.push_back(c);
        AddTabOrderList(*c, list);
    }
}
}  // namespace

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward) const {
    std::vector<TWinControl*> list;
    AddTabOrderList(*this, list);
    const int count = int(list.size());
    if (!count) return nullptr;
    const auto found = std::find(list.begin(), list.end(), current);
    // Not in the list: the search starts before the first control (or after the last).
    const int start = found != list.end() ? int(found - list.begin()) : forward ? count - 1 : 0;
    // Every control once, current last.
    const int step = forward ? 1 : count - 1;
    for (int n = 1, i = (start + step) % count; n <= count; ++n, i = (i + step) % count) {
        TWinControl* c = list[std::size_t(i)];
        if (c->TabStop() && c->CanFocus()) return c;
    }
    return nullptr;
}

bool TWinControl::SelectNext(TWinControl* current, bool forward) {
    TWinControl* next = FindNextControl(current, forward);
    if (!next) return false;
    next->SetFocus();
    // An edit reached by the keyboard shows its text selected, as in the system's dialogs.
    if (SendMessageW(next->FHandle, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(next->FHandle, EM_SETSEL, 0, -1);
    return true;
}

bool TWinControl::DialogTab(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || !FHandle) return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    if (msg.hwnd != FHandle && !IsChild(FHandle, msg.hwnd)) return false;
    // A control that takes Tab for itself (a multi-line edit) keeps it.
    MSG ask = msg;
    if (SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&ask)) &
        (DLGC_WANTTAB | DLGC_WANTMESSAGE))
        return false;
    // The control of the focused window (a window inside a control counts as the control).
    TWinControl* current = nullptr;
    for (HWND w = msg.hwnd; w && w != FHandle && !current; w = ::GetParent(w)) current = FromHandle(w);
    SelectNext(current, GetKeyState(VK_SHIFT) >= 0);
    return true;
}

void TWinControl::SetTabStop(bool v) {
    FTabStop = v;
    if (!FHandle) return;
    LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    style = v ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP));
    SetWindowLongPtrW(FHandle, GWL_STYLE, style);
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return FHandle != nullptr;
}

void TWinControl::SetFocus() {
    ControlFocused(*this);
    if (Handle()) ::SetFocus(FHandle);
}

void TWinControl::ControlFocused(TWinControl& control) {
    if (TWinControl* up = WindowedAncestor(*this)) up->ControlFocused(control);
}

void TWinControl::ModalResultClicked(TModalResult result) {
    if (TWinControl* up = WindowedAncestor(*this)) up->ModalResultClicked(result);
}

int TWinControl::ClientWidth() const {
    RECT r{};
    return FHandle && GetClientRect(FHandle, &r) ? r.right : Width();
}

int TWinControl::ClientHeight() const {
    RECT r{};
    return FHandle && GetClientRect(FHandle, &r) ? r.bottom : Height();
}

void TWinControl::SysColorChange() {
    if (FHandle && FDefProc != DefWindowProcW) CallWindowProcW(FDefProc, FHandle, WM_SYSCOLORCHANGE, 0, 0);
    for (TControl* c : Controls()) {
        if (auto* w = dynamic_cast<TWinControl*>(c))
            w->SysColorChange();
        else
            c->Invalidate();
    }
    Invalidate();
}

void TWinControl::RouteMouse(UINT msg, LPARAM lParam) {
    const int x = short(LOWORD(lParam)), y = short(HIWORD(lParam));
    TControl* target = nullptr;  // a windowless child, or nullptr for this control
    if (FMouseTarget == this) {
        // Pressed on this control itself: its moves and its release stay here.
    } else if (FMouseTarget && std::find(Controls().begin(), Controls().end(), FMouseTarget) != Controls().end()) {
        target = FMouseTarget;
    } else {
        FMouseTarget = nullptr;
        target = GraphicChildAt(x, y);
    }
    TControl& to = target ? *target : *this;
    const int cx = target ? x - target->Left() : x, cy = target ? y - target->Top() : y;
    if (msg != WM_MOUSEMOVE) HideHint();
    switch (msg) {
        case WM_LBUTTONDBLCLK:
            if (to.OnDblClick) to.OnDblClick(&to);
            [[fallthrough]];
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            const auto button = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK ? TMouseButton::mbLeft
                                : msg == WM_RBUTTONDOWN ? TMouseButton::mbRight
                                                        : TMouseButton::mbMiddle;
            FMouseTarget = target ? target : this;
            SetCapture(FHandle);
            to.PressMouse(button, cx, cy);
            break;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            const auto button = msg == WM_LBUTTONUP   ? TMouseButton::mbLeft
                                : msg == WM_RBUTTONUP ? TMouseButton::mbRight
                                                      : TMouseButton::mbMiddle;
            FMouseTarget = nullptr;
            if (GetCapture() == FHandle) ReleaseCapture();
            to.ReleaseMouse(button, cx, cy);  // may free the control: nothing is touched after it
            break;
        }
        default:
            ShowHintOf(to);
            to.MouseMove(cx, cy);
            break;
    }
}

// ---------------------------------------------------------------------------------------
// Hints: one tip window for the thread, placed under the pointer while it rests on a
// control whose ShowHint is set and whose Hint is not empty.

namespace {
HWND gHintWindow = nullptr;
const TControl* gHintFor = nullptr;  // compared only, never followed

// The one tool of the tip window, carrying text.
TTTOOLINFOW HintTool(const wchar_t* text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

HWND HintWindow() {
    if (!gHintWindow) {
        // The tip's window class lives in comctl32, loaded on first need (a program that
        // shows no hint never loads it, and the toolkit needs no import of it).
        HMODULE common = LoadLibraryW(L"comctl32.dll");
        using TInit = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        if (auto init = reinterpret_cast<TInit>(
                reinterpret_cast<void*>(common ? GetProcAddress(common, "InitCommonControlsEx") : nullptr))) {
            const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
            init(&classes);
        }
        gHintWindow = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                      0, 0, 0, 0, nullptr, nullptr, ToolkitModule(), nullptr);
        if (!gHintWindow) return nullptr;
        TTTOOLINFOW tool = HintTool(L"");
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        SendMessageW(gHintWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return gHintWindow;
}
}  // namespace

void TWinControl::ShowHintOf(const TControl& control) {
    if (&control == gHintFor) return;
    HideHint();
    if (!control.ShowHint || control.Hint.empty()) return;
    HWND tip = HintWindow();
    if (!tip) return;
    gHintFor = &control;
    const std::wstring text = Widen(control.Hint);
    TTTOOLINFOW tool = HintTool(text.c_str());
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    POINT pt;
    GetCursorPos(&pt);
    SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(pt.x, pt.y + 20));
    SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    // The tip goes when the pointer leaves the window.
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
    TrackMouseEvent(&track);
}

void TWinControl::HideHint() {
    if (!gHintFor) return;
    gHintFor = nullptr;
    TTTOOLINFOW tool = HintTool(nullptr);
    SendMessageW(gHintWindow, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

TWinControl* WindowedAncestor(const TControl& control) {
    for (TControl* c = control.Parent(); c; c = c->Parent())
        if (auto* w = dynamic_cast<TWinControl*>(c)) return w;
    return nullptr;
}

TControl* TWinControl::GraphicChildAt(int x, int y) const {
    const POINT pt{x, y};
    for (auto it = Controls().rbegin(); it != Controls().rend(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c) || !c->Visible() || !c->Enabled()) continue;
        const RECT r = ToRECT(c->BoundsRect());
        if (PtInRect(&r, pt)) return c;
    }
    return nullptr;
}

bool TWinControl::SetCursorShape() {
    POINT pt;
    if (!GetCursorPos(&pt) || !ScreenToClient(FHandle, &pt)) return false;
    const TControl* over = GraphicChildAt(pt.x, pt.y);
    const TCursor shape = over && over->Cursor() != crDefault ? over->Cursor() : Cursor();
    HCURSOR cursor = Win32::CursorHandle(shape);
    if (!cursor) return false;
    ::SetCursor(cursor);
    return true;
}

namespace Win32 {

namespace {
std::map<TCursor, HCURSOR>& CustomCursors() {
    static std::map<TCursor, HCURSOR> table;
    return table;
}
}  // namespace

void SetCustomCursor(TCursor id, HCURSOR cursor) {
    if (id > 0) CustomCursors()[id] = cursor;
}

HCURSOR CursorHandle(TCursor id) {
    if (id > 0) {
        const auto it = CustomCursors().find(id);
        return it == CustomCursors().end() ? nullptr : it->second;
    }
    // The system's cursor ids (IDC_ARROW ...), as wide resource names.
    WORD system = 0;
    switch (id) {
        case crArrow: system = 32512; break;
        case crIBeam: system = 32513; break;
        case crHourGlass: system = 32514; break;
        case crHandPoint: system = 32649; break;
        default: return nullptr;
    }
    return LoadCursorW(nullptr, MAKEINTRESOURCEW(system));
}

}  // namespace Win32

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(FDefProc ? FDefProc : DefWindowProcW, FHandle, msg, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool ownClass = FDefProc == DefWindowProcW;
    switch (msg) {
        case WM_COMMAND: {
            // Notifications come back to the control that sent them.
            TWinControl* sender = lParam ? FromHandle(reinterpret_cast<HWND>(lParam)) : nullptr;
            if (!sender) sender = FromId(LOWORD(wParam));
            if (sender) {
                sender->Command(HIWORD(wParam));
                return 0;
            }
            break;
        }
        case WM_PAINT:
            if (ownClass) {
                // A control painted may raise an event whose handler frees this one.
                const auto self = Watch();
                HWND hwnd = FHandle;
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd, &ps);
                FPaintDC = dc;
                try {
                    PaintWindow(dc);
                } catch (...) {
                    if (self) FPaintDC = nullptr;
                    EndPaint(hwnd, &ps);
                    throw;
                }
                if (self) FPaintDC = nullptr;
                EndPaint(hwnd, &ps);
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            if (ownClass) return 1;  // PaintWindow erases around opaque children
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_MOUSEMOVE:
            if (ownClass) {
                RouteMouse(msg, lParam);  // shows the tip of the control the pointer is on
                return 0;
            }
            if (msg == WM_MOUSEMOVE)
                ShowHintOf(*this);
            else
                HideHint();
            break;
        case WM_MOUSELEAVE:
            HideHint();
            break;
        case WM_CAPTURECHANGED:
            if (ownClass) FMouseTarget = nullptr;  // the release will not come here
            break;
        case WM_CTLCOLOREDIT: {
            // An edit shows its text in its font's colour (a value kept back shows red).
            const TWinControl* edit = FromHandle(reinterpret_cast<HWND>(lParam));
            if (!edit || edit->FFont.Color() == clWindowText) break;
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, ColorToRGB(edit->FFont.Color()));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));  // the system's: not ours to free
        }
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == FHandle && LOWORD(lParam) == HTCLIENT && SetCursorShape()) return TRUE;
            break;
        case WM_SETFOCUS:
            ControlFocused(*this);
            DoEnter();
            break;
        case WM_KILLFOCUS:
            DoExit();
            break;
        case WM_KEYDOWN:
        case WM_KEYUP: {
            WORD key = WORD(wParam);
            msg == WM_KEYDOWN ? KeyDown(key) : KeyUp(key);
            if (!key) return 0;
            wParam = key;
            break;
        }
        case WM_SIZE:
            Resize();
            break;
        case WM_CLOSE:
            // A control's window never closes itself (the class's default would destroy it
            // under the control). A multi-line edit asks its parent to close on Escape, as
            // in a dialog: for a control on a form of ours that is the form's Escape, its
            // cancel button.
            if (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD) {
                HWND root = GetAncestor(FHandle, GA_ROOT);
                if (root && root != FHandle && FromHandle(root))
                    SendMessageW(root, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefaultHandler(msg, wParam, lParam);
}

void TWinControl::KeyDown(WORD& key) {
    if (OnKeyDown) OnKeyDown(this, key);
}

void TWinControl::KeyUp(WORD& key) {
    if (OnKeyUp) OnKeyUp(this, key);
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::Repaint() {
    Invalidate();
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::EraseBackground(HDC dc, const RECT& r) {
    const int saved = SaveDC(dc);
    for (TControl* c : Controls()) {
        if (dynamic_cast<TWinControl*>(c) || !c->Visible() || !c->Opaque()) continue;
        ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
    }
    HBRUSH brush = NewSolidBrush(FColor);
    FillRect(dc, &r, brush);
    DeleteGdiObject(brush);
    RestoreDC(dc, saved);
}

void TWinControl::PaintGraphicChildren(HDC, const RECT& area) {
    const auto self = Watch();  // a child's Paint may free this control and its children
    const std::vector<TControl*> children = Controls();
    for (TControl* c : children) {
        if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
        const RECT r = ToRECT(c->BoundsRect());
        RECT overlap;
        if (!IntersectRect(&overlap, &r, &area)) continue;
        CallGuarded([&] { c->PaintControl(); });  // PaintControl presents on FPaintDC
        if (!self) return;
    }
}

void TWinControl::PaintWindow(HDC dc) {
    RECT client;
    GetClientRect(FHandle, &client);
    EraseBackground(dc, client);
    Paint();
    PaintGraphicChildren(dc, client);
}

// ---------------------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {
    // Drawing outside Paint shows at once, as drawing on a window DC would.
    FSurface.OnChange = [this](TBitmap&) {
        if (FInPaint || !HandleAllocated() || FSurface.Empty()) return;
        HWND hwnd = Handle();
        HDC dc = GetDC(hwnd);
        if (!dc) return;
        DrawBitmap(dc, 0, 0, FSurface);
        ReleaseDC(hwnd, dc);
    };
}

TCustomControl::~TCustomControl() { FSurface.OnChange = nullptr; }

TCanvas& TCustomControl::Canvas() {
    const int w = ClientWidth(), h = ClientHeight();
    if (FSurface.Width() != w || FSurface.Height() != h) {
        const bool inPaint = FInPaint;
        FInPaint = true;  // a resize is not a drawing to show
        FSurface.SetSize(w, h);
        FInPaint = inPaint;
    }
    return FSurface.Canvas();
}

void TCustomControl::PaintWindow(HDC dc) {
    TCanvas& canvas = Canvas();
    FInPaint = true;
    try {
        canvas.Brush.Color = Color();
        canvas.Brush.Style = TBrushStyle::bsSolid;
        canvas.FillRect(Rect(0, 0, FSurface.Width(), FSurface.Height()));
        Paint();
    } catch (...) {
        FInPaint = false;
        throw;
    }
    FInPaint = false;
    DrawBitmap(dc, 0, 0, FSurface);
    RECT client;
    GetClientRect(Handle(), &client);
    PaintGraphicChildren(dc, client);
}

}  // namespace Toolkit
