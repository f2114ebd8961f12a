// Controls on real windows: the control peer, TWinControl, TCustomControl, TForm and the
// keyboard handling of forms (key preview, access keys, dialog navigation).
#include "toolkit/win32/WinControls.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>

#include "toolkit/Forms.h"
#include "toolkit/win32/Backend.h"
#include "toolkit/win32/StdCtrls.h"

namespace Toolkit {

using namespace Win32;

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {

const wchar_t* const ControlProp = L"Lumawipe.Control";
const wchar_t* const OwnClass = L"LumawipeControl";
constexpr int FirstControlId = 100;

std::map<int, TWinControl*>& ControlIds() {
    static std::map<int, TWinControl*> ids;
    return ids;
}

std::set<TForm*>& PendingReleases() {
    static std::set<TForm*> forms;
    return forms;
}

TForm* gMainForm = nullptr;

TWinControl* WindowedParent(const TControl& control) { return dynamic_cast<TWinControl*>(control.Parent()); }

HWND ParentWindow(const TControl& control) {
    TWinControl* parent = WindowedParent(control);
    return parent && parent->HandleAllocated() ? parent->Handle() : nullptr;
}

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// Shows a windowless control's surface at its bounds on dc.
void DrawSurface(HDC dc, const TGraphicControl& control) {
    const TBitmap& surface = control.Surface();
    if (surface.Empty()) return;
    BITMAPINFO info = DibInfo(surface.Width(), surface.Height());
    SetDIBitsToDevice(dc, control.Left(), control.Top(), DWORD(surface.Width()), DWORD(surface.Height()), 0, 0, 0,
                      UINT(surface.Height()), surface.Bits(), &info, DIB_RGB_COLORS);
}

void RegisterOwnClass() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ControlProc;
        wc.hInstance = ToolkitModule();
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = OwnClass;
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
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
        HWND parent = ParentWindow(FControl);
        if (!parent || !FControl.Visible()) return;
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
        FShownOn = ParentWindow(FControl);
        FShownRect = ToRECT(FControl.BoundsRect());
        if (FShownOn && FControl.Visible()) InvalidateRect(FShownOn, &FShownRect, FControl.Opaque() ? FALSE : TRUE);
    }

    void EnabledChanged() override {
        if (auto* win = dynamic_cast<TWinControl*>(&FControl)) {
            if (win->HandleAllocated()) EnableWindow(win->FHandle, FControl.Enabled());
        }
        Invalidate();
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
    try {
        return control->WndProc(msg, wParam, lParam);
    } catch (const std::exception& e) {
        Application().HandleException(e);
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
    if (FId) ControlIds().erase(FId);
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
        if (!parent) return;  // no window to put it in yet
        parentWindow = parent->Handle();
        if (!parentWindow) return;
    }
    if (Visible() && child) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (FTabStop) params.Style |= WS_TABSTOP;
    // Containers of our own (group boxes, panels) let dialog navigation into their children.
    if (params.ClassName == OwnClass && !FTabStop) params.ExStyle |= WS_EX_CONTROLPARENT;
    RegisterOwnClass();
    static int nextId = FirstControlId;
    const int id = child ? nextId++ : 0;
    HWND hwnd = CreateWindowExW(params.ExStyle, params.ClassName.c_str(), Widen(FCaption).c_str(), params.Style,
                                Left(), Top(), Width(), WindowHeight(), parentWindow,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ToolkitModule(), this);
    if (!hwnd)
        throw EOutOfResources("Unable to create a window (error " + std::to_string(GetLastError()) + ").");
    if (!FHandle) Attach(hwnd);
    if (id) {
        FId = id;
        ControlIds()[id] = this;
    }
    ApplyFont();
    HandleCreated();
    for (TControl* c : Controls())
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreateHandle();
    ArrangeTabOrder();
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
        HWND parentWindow = parent ? parent->Handle() : nullptr;
        if (parentWindow)
            ::SetParent(FHandle, parentWindow);
        else if (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD)
            DestroyHandle();
    } else if (parent && parent->HandleAllocated()) {
        CreateHandle();
    }
    if (FHandle) ApplyFont();
    if (parent) parent->ArrangeTabOrder();
}

void TWinControl::UpdateWindowBounds() {
    if (!FHandle) return;
    SetWindowPos(FHandle, nullptr, Left(), Top(), Width(), WindowHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    const bool shown = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != Visible()) ShowWindow(FHandle, Visible() ? (dynamic_cast<TForm*>(this) ? SW_SHOW : SW_SHOWNA) : SW_HIDE);
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
    parent->ArrangeTabOrder();
}

// Dialog navigation walks the windows in Z order: keep it the tab order.
void TWinControl::ArrangeTabOrder() {
    HWND after = HWND_TOP;
    for (TWinControl* c : TabList()) {
        if (!c->FHandle) continue;
        SetWindowPos(c->FHandle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        after = c->FHandle;
    }
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
    if (TForm* form = ParentForm(); form && form != this) form->SetActiveControl(this);
    if (Handle()) ::SetFocus(FHandle);
}

TForm* TWinControl::ParentForm() {
    for (TControl* c = this; c; c = c->Parent())
        if (auto* form = dynamic_cast<TForm*>(c)) return form;
    return nullptr;
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

bool TWinControl::DialogChar(wchar_t) { return false; }

void TWinControl::RouteMouse(UINT msg, LPARAM lParam) {
    const int x = short(LOWORD(lParam)), y = short(HIWORD(lParam));
    TControl* target = nullptr;
    if (FMouseTarget && std::find(Controls().begin(), Controls().end(), FMouseTarget) != Controls().end()) {
        target = FMouseTarget;
    } else {
        FMouseTarget = nullptr;
        const POINT pt{x, y};
        for (auto it = Controls().rbegin(); it != Controls().rend() && !target; ++it) {
            TControl* c = *it;
            if (dynamic_cast<TWinControl*>(c) || !c->Visible() || !c->Enabled()) continue;
            const RECT r = ToRECT(c->BoundsRect());
            if (PtInRect(&r, pt)) target = c;
        }
    }
    TControl& to = target ? *target : *this;
    const int cx = target ? x - target->Left() : x, cy = target ? y - target->Top() : y;
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
            FMouseTarget = target;
            SetCapture(FHandle);
            to.MouseDown(button, cx, cy);
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
            to.MouseUp(button, cx, cy);  // may free the control: nothing is touched after it
            break;
        }
        default:
            to.MouseMove(cx, cy);
            break;
    }
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(FDefProc ? FDefProc : DefWindowProcW, FHandle, msg, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const bool ownClass = FDefProc == DefWindowProcW;
    switch (msg) {
        case WM_COMMAND: {
            // Notifications come back to the control that sent them.
            TWinControl* sender = lParam ? FromHandle(reinterpret_cast<HWND>(lParam)) : nullptr;
            if (!sender) {
                const auto it = ControlIds().find(LOWORD(wParam));
                if (it != ControlIds().end()) sender = it->second;
            }
            if (sender) {
                sender->Command(HIWORD(wParam));
                return 0;
            }
            break;
        }
        case WM_PAINT:
            if (ownClass) {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(FHandle, &ps);
                FPaintDC = dc;
                try {
                    PaintWindow(dc);
                } catch (...) {
                    FPaintDC = nullptr;
                    EndPaint(FHandle, &ps);
                    throw;
                }
                FPaintDC = nullptr;
                EndPaint(FHandle, &ps);
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
                RouteMouse(msg, lParam);
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (TForm* form = ParentForm(); form && form != this) form->SetActiveControl(this);
            if (OnEnter) OnEnter(this);
            break;
        case WM_KILLFOCUS:
            if (OnExit) OnExit(this);
            break;
        default:
            break;
    }
    return DefaultHandler(msg, wParam, lParam);
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
    for (TControl* c : Controls()) {
        if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
        const RECT r = ToRECT(c->BoundsRect());
        RECT overlap;
        if (!IntersectRect(&overlap, &r, &area)) continue;
        CallGuarded([&] { c->PaintControl(); });  // PaintControl presents on FPaintDC
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
        BITMAPINFO info = DibInfo(FSurface.Width(), FSurface.Height());
        SetDIBitsToDevice(dc, 0, 0, DWORD(FSurface.Width()), DWORD(FSurface.Height()), 0, 0, 0,
                          UINT(FSurface.Height()), FSurface.Bits(), &info, DIB_RGB_COLORS);
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
    if (!FSurface.Empty()) {
        BITMAPINFO info = DibInfo(FSurface.Width(), FSurface.Height());
        SetDIBitsToDevice(dc, 0, 0, DWORD(FSurface.Width()), DWORD(FSurface.Height()), 0, 0, 0,
                          UINT(FSurface.Height()), FSurface.Bits(), &info, DIB_RGB_COLORS);
    }
    RECT client;
    GetClientRect(Handle(), &client);
    PaintGraphicChildren(dc, client);
}

// ---------------------------------------------------------------------------------------
// TForm

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    SetVisible(false);  // shown by Show or ShowModal
    SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
    PendingReleases().erase(this);
    if (gMainForm == this) gMainForm = nullptr;
    // Owned controls go while the form is still whole.
    DestroyComponents();
    DestroyHandle();
}

void TForm::CreateParams(TCreateParams& params) {
    params.ClassName = OwnClass;
    params.ExStyle = WS_EX_CONTROLPARENT;
    switch (FBorderStyle) {
        case TFormBorderStyle::bsDialog:
            params.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
            params.ExStyle |= WS_EX_DLGMODALFRAME;
            break;
        case TFormBorderStyle::bsSizeable:
            params.Style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
            break;
        case TFormBorderStyle::bsNone:
            params.Style = WS_POPUP | WS_CLIPCHILDREN;
            break;
    }
}

void TForm::SetClientSize(int width, int height) {
    TCreateParams params;
    CreateParams(params);
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle);
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::CenterOnScreen() {
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SetBounds(work.left + (work.right - work.left - Width()) / 2, work.top + (work.bottom - work.top - Height()) / 2,
              Width(), Height());
}

void TForm::Show() {
    const bool first = !HandleAllocated();
    Handle();
    if (first && FPosition == TPosition::poScreenCenter) CenterOnScreen();
    SetVisible(true);
    SetForegroundWindow(Handle());
    if (OnShow) OnShow(this);
    if (!FActiveControl) {
        // Focus the first control in tab order that takes it.
        std::function<TWinControl*(TWinControl*)> first = [&](TWinControl* parent) -> TWinControl* {
            for (TWinControl* c : parent->TabList()) {
                if (!c->CanFocus()) continue;
                if (c->TabStop()) return c;
                if (TWinControl* inner = first(c)) return inner;
            }
            return nullptr;
        };
        if (TWinControl* c = first(this)) c->SetFocus();
    } else if (FActiveControl->CanFocus()) {
        FActiveControl->SetFocus();
    }
}

void TForm::Hide() { SetVisible(false); }

void TForm::SetActiveControl(TWinControl* control) { FActiveControl = control; }

namespace {
BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM lParam) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}
}  // namespace

TModalResult TForm::ShowModal() {
    if (FModal || Visible()) throw Exception("Cannot make a visible window modal.");
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
    for (HWND hwnd : disabled) EnableWindow(hwnd, FALSE);
    FModal = true;
    FModalResult = TModalResult::mrNone;
    try {
        Show();
        MSG msg;
        while (FModalResult == TModalResult::mrNone && !Application().Terminated()) {
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                Application().Terminate();
                PostQuitMessage(0);
                break;
            }
            DispatchOne(msg);
        }
    } catch (...) {
        FModal = false;
        for (HWND hwnd : disabled) EnableWindow(hwnd, TRUE);
        throw;
    }
    for (HWND hwnd : disabled)
        if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    Hide();
    FModal = false;
    if (FModalResult == TModalResult::mrNone) FModalResult = TModalResult::mrCancel;
    return FModalResult;
}

void TForm::Close() {
    if (FReleasing) return;
    TCloseAction action = FModal ? TCloseAction::caHide : (this == gMainForm ? TCloseAction::caFree : TCloseAction::caHide);
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caNone) return;
    if (FModal) {
        if (FModalResult == TModalResult::mrNone) FModalResult = TModalResult::mrCancel;
        return;
    }
    if (this == gMainForm) {
        Application().Terminate();
        PostQuitMessage(0);
    }
    Hide();
    if (action == TCloseAction::caFree) {
        // Freed once the message now being handled (perhaps one of ours) is done.
        FReleasing = true;
        PendingReleases().insert(this);
        PostMessageW(UtilityWindow(), WM_RELEASE_FORM, 0, reinterpret_cast<LPARAM>(this));
    }
}

void Win32::FreeReleasedForm(LPARAM form) {
    auto* f = reinterpret_cast<TForm*>(form);
    if (PendingReleases().erase(f)) delete f;
}

void TForm::MakeMainForm() { gMainForm = this; }
TForm* TForm::MainForm() { return gMainForm; }

namespace {
// Controls of a form, depth first.
void ForEachControl(TControl* parent, const std::function<bool(TControl*)>& fn, bool& done) {
    for (TControl* c : parent->Controls()) {
        if (done) return;
        if (!c->Visible() || !c->Enabled()) continue;
        if (fn(c)) {
            done = true;
            return;
        }
        ForEachControl(c, fn, done);
    }
}
}  // namespace

namespace {
TButton* FindButton(TForm& form, bool (TButton::*flag)() const) {
    TButton* found = nullptr;
    bool done = false;
    ForEachControl(
        &form,
        [&](TControl* c) {
            auto* b = dynamic_cast<TButton*>(c);
            if (!b || !(b->*flag)()) return false;
            found = b;
            return true;
        },
        done);
    return found;
}
}  // namespace

TButton* TForm::DefaultButton() { return FindButton(*this, &TButton::Default); }
TButton* TForm::CancelButton() { return FindButton(*this, &TButton::Cancel); }

bool TForm::DialogChar(wchar_t key) {
    bool done = false;
    ForEachControl(
        this,
        [&](TControl* c) {
            if (auto* label = dynamic_cast<TLabel*>(c)) {
                if (label->AccessKey() != key || !label->FocusControl || !label->FocusControl->CanFocus()) return false;
                label->FocusControl->SetFocus();
                return true;
            }
            auto* w = dynamic_cast<TWinControl*>(c);
            return w && w->DialogChar(key);
        },
        done);
    return done;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && FActiveControl && FActiveControl->CanFocus()) {
                ::SetFocus(FActiveControl->Handle());
                return 0;
            }
            break;
        case WM_SYSCOLORCHANGE:
            SysColorChange();
            return 0;
        case DM_GETDEFID: {
            TWinControl* button = DefaultButton();
            if (button && button->HandleAllocated() && button->CanFocus())
                return MAKELRESULT(GetDlgCtrlID(button->Handle()), DC_HASDEFID);
            return 0;
        }
        case WM_COMMAND:
            if (!lParam && ControlIds().find(LOWORD(wParam)) == ControlIds().end()) {
                TButton* button = LOWORD(wParam) == IDOK       ? DefaultButton()
                                  : LOWORD(wParam) == IDCANCEL ? CancelButton()
                                                               : nullptr;
                if (button && button->CanFocus()) button->Click();
                return 0;
            }
            break;
        default:
            break;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// Keyboard handling before dispatch

bool Win32::PreTranslateMessage(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(root));
    if (!form) return false;
    if (form->KeyPreview) {
        if (msg.message == WM_KEYDOWN && form->OnKeyDown) {
            WORD key = WORD(msg.wParam);
            form->OnKeyDown(form, key);
            if (!key) return true;
            msg.wParam = key;
        } else if (msg.message == WM_CHAR && form->OnKeyPress) {
            wchar_t key = wchar_t(msg.wParam);
            form->OnKeyPress(form, key);
            if (!key) return true;
            msg.wParam = WPARAM(key);
        }
    }
    if (msg.message == WM_SYSCHAR && form->DialogChar(wchar_t(std::towlower(wint_t(msg.wParam))))) return true;
    return IsDialogMessageW(root, &msg) != 0;
}

void Win32::DispatchOne(MSG& msg) {
    if (HandleThreadMessage(msg) || PreTranslateMessage(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace Toolkit
