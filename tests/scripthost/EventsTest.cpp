// Events of an object reaching script procedures through the script host. The event
// source is the test's own: its class information comes from the type library built from
// TestSource.idl (next to this program), and it fires OnValue(value, text) at once (Fire)
// or from a posted message, a message sent by another thread or a timer (FireLater), which
// reach it only while the script's Sleep pumps the thread's messages.
#include "Com.h"
#include "ScriptHost.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace scripthost;

namespace {

// DTestSourceEvents in TestSource.idl.
constexpr IID kEventsIid = {0x975448be, 0x4c29, 0x4717, {0xbf, 0x86, 0x5f, 0x16, 0xea, 0x77, 0x8c, 0x19}};

ComPtr<ITypeInfo> LoadCoclass() {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path(buffer, n);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"scripthost_test.tlb";
    ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put()))) return {};
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        TYPEKIND kind{};
        ComPtr<ITypeInfo> info;
        if (SUCCEEDED(library->GetTypeInfoType(i, &kind)) && kind == TKIND_COCLASS &&
            SUCCEEDED(library->GetTypeInfo(i, info.Put())))
            return info;
    }
    return {};
}

class TestSource final : public DispatchObject,
                         public IProvideClassInfo,
                         public IConnectionPointContainer,
                         public IConnectionPoint {
public:
    explicit TestSource(ComPtr<ITypeInfo> coclass) : DispatchObject(kMembers), coclass_(std::move(coclass)) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ScriptHostTestSource";
        RegisterClassW(&wc);  // fails harmlessly when an earlier test registered it
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    size_t SinkCount() const { return sinks_.size(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == __uuidof(IProvideClassInfo))
            *out = static_cast<IProvideClassInfo*>(this);
        else if (iid == __uuidof(IConnectionPointContainer))
            *out = static_cast<IConnectionPointContainer*>(this);
        else if (iid == __uuidof(IConnectionPoint))
            *out = static_cast<IConnectionPoint*>(this);
        else
            return DispatchObject::QueryInterface(iid, out);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DispatchObject::Release(); }

    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override {
        *out = ComPtr<ITypeInfo>(coclass_).Detach();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
        *out = nullptr;
        if (iid != kEventsIid) return CONNECT_E_NOCONNECTION;
        *out = ComPtr<IConnectionPoint>(this).Detach();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        *iid = kEventsIid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
        *out = ComPtr<IConnectionPointContainer>(this).Detach();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        ComPtr<IDispatch> events;
        if (!sink || FAILED(sink->QueryInterface(kEventsIid, reinterpret_cast<void**>(events.Put()))))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = ++lastCookie_;
        sinks_.emplace_back(*cookie, events);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        return std::erase_if(sinks_, [cookie](const auto& s) { return s.first == cookie; }) ? S_OK
                                                                                             : CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

protected:
    HRESULT Call(DISPID id, WORD, const DISPPARAMS& params, VARIANT* result, EXCEPINFO*) override {
        const Args args(params);
        Variant a, b;
        switch (id) {
        case kFire:
            if (FAILED(args.Get(0, VT_I4, a)) || FAILED(args.Get(1, VT_BSTR, b))) return DISP_E_TYPEMISMATCH;
            FireOnValue(a->lVal, b->bstrVal);
            return S_OK;
        case kFireLater:
            if (FAILED(args.Get(0, VT_BSTR, a)) || FAILED(args.Get(1, VT_I4, b))) return DISP_E_TYPEMISMATCH;
            return FireLater(a->bstrVal, b->lVal);
        case kSinks:
            if (result) {
                result->vt = VT_I4;
                result->lVal = LONG(sinks_.size());
            }
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    enum : DISPID { kFire = 1, kFireLater, kSinks };
    static constexpr Member kMembers[] = {{L"Fire", kFire}, {L"FireLater", kFireLater}, {L"Sinks", kSinks}};
    static constexpr UINT kFireMessage = WM_APP;
    static constexpr const wchar_t* kHows[] = {L"post", L"send", L"timer"};

    ~TestSource() override {
        if (sender_.joinable()) sender_.join();
        DestroyWindow(window_);
    }

    void FireOnValue(LONG value, const wchar_t* text) {
        VARIANT args[2];
        args[0].vt = VT_BSTR;  // last argument first
        args[0].bstrVal = SysAllocString(text);
        args[1].vt = VT_I4;
        args[1].lVal = value;
        DISPPARAMS params{args, nullptr, 2, 0};
        const auto sinks = sinks_;  // a procedure may disconnect
        for (const auto& sink : sinks)
            sink.second->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        VariantClear(&args[0]);
    }

    HRESULT FireLater(std::wstring_view how, LONG value) {
        if (how == kHows[0]) return PostMessageW(window_, kFireMessage, WPARAM(value), 0) ? S_OK : E_FAIL;
        if (how == kHows[1]) {
            if (sender_.joinable()) sender_.join();
            // Bounded, so that a host that never pumps fails the test instead of hanging it.
            sender_ = std::thread([window = window_, value] {
                SendMessageTimeoutW(window, kFireMessage, WPARAM(value), 1, SMTO_NORMAL, 5000, nullptr);
            });
            return S_OK;
        }
        if (how == kHows[2]) {
            timerValue_ = value;
            return SetTimer(window_, 1, 10, nullptr) ? S_OK : E_FAIL;
        }
        return E_INVALIDARG;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<TestSource*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == kFireMessage) {
            self->FireOnValue(LONG(wParam), kHows[lParam]);
            return 0;
        }
        if (self && message == WM_TIMER) {
            KillTimer(window, wParam);
            self->FireOnValue(self->timerValue_, kHows[2]);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    ComPtr<ITypeInfo> coclass_;
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
    DWORD lastCookie_ = 0;
    HWND window_ = nullptr;
    std::thread sender_;
    LONG timerValue_ = 0;
};

struct Case {
    const char* name;
    Language language;
    const wchar_t* body;     // runs after connecting Source's events to the prefix Src_
    const wchar_t* handler;  // the body of Src_OnValue(value, text); null: it echoes them
    const wchar_t* out;
    int exit;
    const wchar_t* errorStart;  // how the error told begins; null: no error told
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::wstring ScriptOf(const Case& c) {
    if (c.language == Language::VBScript)
        return std::wstring(L"WScript.ConnectObject Source, \"Src_\"\n") + c.body + L"\nSub Src_OnValue(value, text)\n  " +
               (c.handler ? c.handler : L"WScript.Echo \"OnValue\", value, text") + L"\nEnd Sub\n";
    return std::wstring(L"WScript.ConnectObject(Source, \"Src_\");\n") + c.body +
           L"\nfunction Src_OnValue(value, text) {\n  " +
           (c.handler ? c.handler : L"WScript.Echo(\"OnValue\", value, text);") + L"\n}\n";
}

constexpr auto VB = Language::VBScript;
constexpr auto JS = Language::JScript;

// Each script sees the source as the global `Source`.
const Case kCases[] = {
    {"ImmediateVBScript", VB, LR"(Source.Fire 7, "seven"
WScript.Echo "end")", nullptr, L"OnValue 7 seven\nend\n", 0, nullptr},
    {"ImmediateJScript", JS, LR"(Source.Fire(7, "seven");
WScript.Echo("end");)", nullptr, L"OnValue 7 seven\nend\n", 0, nullptr},
    {"PostedMessageDuringSleep", VB, LR"(Source.FireLater "post", 3
WScript.Echo "asked"
WScript.Sleep 100
WScript.Echo "end")", nullptr, L"asked\nOnValue 3 post\nend\n", 0, nullptr},
    {"TimerDuringSleep", VB, LR"(Source.FireLater "timer", 4
WScript.Echo "asked"
WScript.Sleep 300
WScript.Echo "end")", nullptr, L"asked\nOnValue 4 timer\nend\n", 0, nullptr},
    {"SentFromAnotherThreadDuringSleep", JS, LR"(Source.FireLater("send", 5);
WScript.Echo("asked");
WScript.Sleep(300);
WScript.Echo("end");)", nullptr, L"asked\nOnValue 5 send\nend\n", 0, nullptr},
    {"MissingProcedureIgnored", VB, LR"(WScript.DisconnectObject Source
WScript.ConnectObject Source, "None_"
Source.Fire 1, "a"
WScript.Echo "end")", nullptr, L"end\n", 0, nullptr},
    // The handler's line is the script's sixth.
    {"ErrorInProcedureEndsScript", VB, LR"(Source.FireLater "post", 1
WScript.Sleep 100
WScript.Echo "after")", L"x = 1 / 0", L"", 1, L"test(6, 3): "},
    {"QuitInProcedure", JS, LR"(Source.FireLater("post", 1);
WScript.Sleep(100);
WScript.Echo("after");)", L"WScript.Quit(4);", L"", 4, nullptr},
    {"DisconnectObject", VB, LR"(Source.Fire 1, "a"
WScript.DisconnectObject Source
Source.Fire 2, "b"
WScript.Echo Source.Sinks)", nullptr, L"OnValue 1 a\n0\n", 0, nullptr},
    {"DisconnectInsideProcedure", JS, LR"(Source.Fire(1, "a");
Source.Fire(2, "b");)", L"WScript.Echo(\"OnValue\", value, text); WScript.DisconnectObject(Source);", L"OnValue 1 a\n", 0,
     nullptr},
};

class ScriptEvents : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        const ComPtr<ITypeInfo> coclass = LoadCoclass();
        ASSERT_TRUE(coclass) << "scripthost_test.tlb is not next to the test program";
        source_ = MakeCom<TestSource>(coclass);
    }
    void TearDown() override {
        source_.Reset();
        CoUninitialize();
    }
    ComPtr<TestSource> source_;
};

TEST_P(ScriptEvents, Runs) {
    const Case& c = GetParam();
    std::wstring out, err;
    RunOptions options;
    options.scriptName = L"test";
    options.out = [&out](std::wstring_view line) { (out += line) += L'\n'; };
    options.err = [&err](std::wstring_view line) { (err += line) += L'\n'; };
    options.globals = {{L"Source", static_cast<IDispatch*>(source_.Get())}};
    EXPECT_EQ(RunScript(c.language, ScriptOf(c), options), c.exit) << std::string(err.begin(), err.end());
    EXPECT_EQ(out, c.out);
    if (c.errorStart)
        EXPECT_EQ(err.rfind(c.errorStart, 0), 0u) << "error told: " << std::string(err.begin(), err.end());
    else
        EXPECT_EQ(err, L"");
    // The host unadvises what it connected when the script ends.
    EXPECT_EQ(source_->SinkCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Host, ScriptEvents, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
