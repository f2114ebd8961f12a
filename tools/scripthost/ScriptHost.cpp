#include "ScriptHost.h"

#include "Com.h"
#include "Events.h"

#include <activscp.h>

#include <algorithm>
#include <memory>

namespace scripthost {

std::optional<Language> LanguageOf(std::wstring_view path) {
    const size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring_view::npos || path.find_first_of(L"\\/", dot) != std::wstring_view::npos) return {};
    const std::wstring extension(path.substr(dot + 1));
    if (_wcsicmp(extension.c_str(), L"vbs") == 0) return Language::VBScript;
    if (_wcsicmp(extension.c_str(), L"js") == 0) return Language::JScript;
    return {};
}

namespace {

// Raised from a call into WScript to unwind the script after Quit, or after an error in an
// event procedure; it is never told as an error itself.
constexpr HRESULT kStopScript = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x5C01);

std::wstring TextOf(const Variant& v) { return {v->bstrVal, SysStringLen(v->bstrVal)}; }

// Arguments(index): the argument as text, or an error when the index is out of range.
HRESULT ArgumentAt(const std::vector<std::wstring>& arguments, const Args& args, VARIANT* result, EXCEPINFO* info) {
    Variant index;
    if (FAILED(args.Get(0, VT_I4, index)) || index->lVal < 0 || size_t(index->lVal) >= arguments.size())
        return RaiseError(info, DISP_E_BADINDEX,
                          L"Arguments: the index must be a number from 0 to the count of arguments - 1");
    if (result) {
        result->vt = VT_BSTR;
        const std::wstring& a = arguments[size_t(index->lVal)];
        result->bstrVal = SysAllocStringLen(a.data(), UINT(a.size()));
    }
    return S_OK;
}

// WScript.Arguments: Item(i) (the default member), Count and length.
class ArgumentsObject final : public DispatchObject {
public:
    explicit ArgumentsObject(std::vector<std::wstring> arguments)
        : DispatchObject(kMembers), arguments_(std::move(arguments)) {}

protected:
    HRESULT Call(DISPID id, WORD, const DISPPARAMS& params, VARIANT* result, EXCEPINFO* info) override {
        if (id == DISPID_VALUE) return ArgumentAt(arguments_, Args(params), result, info);
        if (id != kCount) return DISP_E_MEMBERNOTFOUND;
        if (result) {
            result->vt = VT_I4;
            result->lVal = LONG(arguments_.size());
        }
        return S_OK;
    }

private:
    static constexpr DISPID kCount = 1;
    static constexpr Member kMembers[] = {{L"Item", DISPID_VALUE}, {L"Count", kCount}, {L"length", kCount}};
    std::vector<std::wstring> arguments_;
};

class WScriptObject;
class Site;

// One run of one script: the engine, the site, WScript and the event connections.
class Host {
public:
    explicit Host(const RunOptions& options) : options_(options) {}
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    ~Host() { Close(); }

    int Run(Language language, std::wstring_view code);

    // A Quit or an event procedure's error ends the script at its next call into WScript.
    bool Stopping() const { return quit_ || failed_; }
    HRESULT Stop(EXCEPINFO* info) const { return RaiseError(info, kStopScript, L"the script was ended"); }

    void Echo(std::wstring_view line) const {
        if (options_.out) options_.out(line);
    }
    HRESULT Sleep(double milliseconds, EXCEPINFO* info);
    HRESULT Quit(int code, EXCEPINFO* info) {
        quit_ = true;
        quitCode_ = code;
        return Stop(info);
    }
    HRESULT CreateObject(const std::wstring& progId, const std::wstring& prefix, VARIANT* result, EXCEPINFO* info);
    HRESULT Connect(IUnknown* object, const std::wstring& prefix, std::wstring& why);
    void Disconnect(IUnknown* object);
    const std::vector<std::wstring>& Arguments() const { return options_.arguments; }

    HRESULT GetItem(LPCOLESTR name, DWORD mask, IUnknown** unknown, ITypeInfo** typeInfo);
    void OnError(IActiveScriptError* error);

private:
    struct Position {
        ULONG line;
        LONG column;
    };
    void Tell(std::wstring_view message) const {
        if (options_.err) options_.err(message);
    }
    void Report(const Position* where, std::wstring_view description);
    void RunEvent(const std::wstring& procedure, DISPPARAMS& args, VARIANT* result);
    void Close();

    const RunOptions& options_;
    ComPtr<IActiveScript> engine_;
    ComPtr<Site> site_;
    ComPtr<WScriptObject> wscript_;
    std::vector<std::unique_ptr<EventConnection>> connections_;
    bool quit_ = false;
    int quitCode_ = 0;
    bool failed_ = false;
};

class WScriptObject final : public DispatchObject {
public:
    explicit WScriptObject(Host& host) : DispatchObject(kMembers), host_(&host) {}
    void Detach() { host_ = nullptr; }

protected:
    HRESULT Call(DISPID id, WORD flags, const DISPPARAMS& params, VARIANT* result, EXCEPINFO* info) override;

private:
    enum : DISPID { kEcho = 1, kSleep, kCreateObject, kConnectObject, kDisconnectObject, kQuit, kArguments, kLoadPicture };
    static constexpr Member kMembers[] = {
        {L"Echo", kEcho},
        {L"Sleep", kSleep},
        {L"CreateObject", kCreateObject},
        {L"ConnectObject", kConnectObject},
        {L"DisconnectObject", kDisconnectObject},
        {L"Quit", kQuit},
        {L"Arguments", kArguments},
        {L"LoadPicture", kLoadPicture},
    };
    Host* host_;
};

HRESULT WScriptObject::Call(DISPID id, WORD, const DISPPARAMS& params, VARIANT* result, EXCEPINFO* info) {
    if (!host_) return E_UNEXPECTED;
    if (host_->Stopping()) return host_->Stop(info);
    const Args args(params);
    switch (id) {
    case kEcho: {
        std::wstring line, text;
        for (UINT i = 0; i < args.Count(); ++i) {
            if (!args.Text(i, text))
                return RaiseError(info, DISP_E_TYPEMISMATCH,
                                  L"Echo: argument " + std::to_wstring(i + 1) + L" has no text form");
            if (i) line += L' ';
            line += text;
        }
        host_->Echo(line);
        return S_OK;
    }
    case kSleep: {
        Variant ms;
        if (FAILED(args.Get(0, VT_R8, ms)))
            return RaiseError(info, DISP_E_TYPEMISMATCH, L"Sleep: the time must be a number of milliseconds");
        return host_->Sleep(ms->dblVal, info);
    }
    case kCreateObject: {
        Variant progId, prefix;
        if (FAILED(args.Get(0, VT_BSTR, progId)))
            return RaiseError(info, DISP_E_TYPEMISMATCH, L"CreateObject: the first argument must be a ProgID");
        if (args.Present(1) && FAILED(args.Get(1, VT_BSTR, prefix)))
            return RaiseError(info, DISP_E_TYPEMISMATCH, L"CreateObject: the event prefix must be a text");
        return host_->CreateObject(TextOf(progId), args.Present(1) ? TextOf(prefix) : std::wstring(), result, info);
    }
    case kConnectObject: {
        Variant object, prefix;
        if (FAILED(args.Get(0, VT_UNKNOWN, object)) || !object->punkVal)
            return RaiseError(info, DISP_E_TYPEMISMATCH, L"ConnectObject: the first argument must be an object");
        if (FAILED(args.Get(1, VT_BSTR, prefix)) || SysStringLen(prefix->bstrVal) == 0)
            return RaiseError(info, DISP_E_TYPEMISMATCH, L"ConnectObject: the event prefix must be a text, not empty");
        std::wstring why;
        const HRESULT hr = host_->Connect(object->punkVal, TextOf(prefix), why);
        return FAILED(hr) ? RaiseError(info, hr, L"ConnectObject: cannot connect the object's events: " + why) : S_OK;
    }
    case kDisconnectObject: {
        Variant object;
        if (FAILED(args.Get(0, VT_UNKNOWN, object)) || !object->punkVal)
            return RaiseError(info, DISP_E_TYPEMISMATCH, L"DisconnectObject: the argument must be an object");
        host_->Disconnect(object->punkVal);
        return S_OK;
    }
    case kQuit: {
        Variant code;
        if (args.Present(0) && FAILED(args.Get(0, VT_I4, code)))
            return RaiseError(info, DISP_E_TYPEMISMATCH, L"Quit: the exit code must be a whole number");
        return host_->Quit(args.Present(0) ? int(code->lVal) : 0, info);
    }
    case kLoadPicture: {
        Variant path;
        if (FAILED(args.Get(0, VT_BSTR, path)))
            return RaiseError(info, DISP_E_TYPEMISMATCH, L"LoadPicture: the argument must be a file name");
        const HANDLE picture =
            LoadImageW(nullptr, path->bstrVal, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        // A file that is no bitmap may leave no error code behind.
        const DWORD error = GetLastError();
        if (!picture)
            return RaiseError(info, error ? HRESULT_FROM_WIN32(error) : E_FAIL,
                              L"LoadPicture: " + TextOf(path) + L" is no readable BMP file");
        // Bitmap handles are 32-bit values on 64-bit Windows too.
        if (result) result->vt = VT_I4, result->lVal = LONG(reinterpret_cast<INT_PTR>(picture));
        return S_OK;
    }
    case kArguments:
        if (args.Present(0)) return ArgumentAt(host_->Arguments(), args, result, info);
        if (result) {
            result->vt = VT_DISPATCH;
            result->pdispVal = MakeCom<ArgumentsObject>(host_->Arguments()).Detach();
        }
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

// The engine's view of the host. It has no window of its own to offer.
class Site final : public IActiveScriptSite, public IActiveScriptSiteWindow {
public:
    explicit Site(Host& host) : host_(&host) {}
    void Detach() { host_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == __uuidof(IActiveScriptSite))
            *out = static_cast<IActiveScriptSite*>(this);
        else if (iid == __uuidof(IActiveScriptSiteWindow))
            *out = static_cast<IActiveScriptSiteWindow*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    HRESULT STDMETHODCALLTYPE GetLCID(LCID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** unknown, ITypeInfo** typeInfo) override {
        return host_ ? host_->GetItem(name, mask, unknown, typeInfo) : E_UNEXPECTED;
    }
    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override {
        if (host_ && error) host_->OnError(error);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnEnterScript() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override { return S_OK; }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return S_OK; }

private:
    ~Site() = default;
    Host* host_;
    std::atomic<ULONG> refs_{1};
};

int Host::Run(Language language, std::wstring_view code) {
    const wchar_t* const progId = language == Language::VBScript ? L"VBScript" : L"JScript";
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (SUCCEEDED(hr)) hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(engine_.Put()));
    ComPtr<IActiveScriptParse> parser;
    if (SUCCEEDED(hr)) hr = engine_.As(parser);
    site_ = MakeCom<Site>(*this);
    wscript_ = MakeCom<WScriptObject>(*this);
    if (SUCCEEDED(hr)) hr = engine_->SetScriptSite(site_.Get());
    if (SUCCEEDED(hr)) hr = parser->InitNew();
    if (SUCCEEDED(hr)) hr = engine_->AddNamedItem(L"WScript", SCRIPTITEM_ISVISIBLE);
    for (const auto& global : options_.globals)
        if (SUCCEEDED(hr)) hr = engine_->AddNamedItem(global.first.c_str(), SCRIPTITEM_ISVISIBLE);
    // Started first, so that the text below runs as soon as it is parsed.
    if (SUCCEEDED(hr)) hr = engine_->SetScriptState(SCRIPTSTATE_STARTED);
    if (FAILED(hr)) {
        Tell(options_.scriptName + L": cannot start the " + progId + L" engine: " + HresultText(hr));
        return kExitCannotRun;
    }

    const std::wstring text(code);
    ExcepInfo info;
    hr = parser->ParseScriptText(text.c_str(), nullptr, nullptr, nullptr, 0, 0, SCRIPTTEXT_ISVISIBLE, nullptr,
                                 info.Put());
    // An engine that failed without telling the site still fails the run.
    if (FAILED(hr) && !Stopping()) {
        Report(nullptr, info.Text(hr));
    }
    Close();
    return quit_ ? quitCode_ : failed_ ? kExitScriptError : kExitOk;
}

void Host::Close() {
    connections_.clear();
    if (engine_) engine_->Close();
    engine_.Reset();
    if (wscript_) wscript_->Detach();
    if (site_) site_->Detach();
}

void Host::Report(const Position* where, std::wstring_view description) {
    failed_ = true;
    std::wstring message = options_.scriptName;
    if (where)
        message += L"(" + std::to_wstring(where->line + 1) + L", " + std::to_wstring(where->column + 1) + L")";
    message += L": ";
    message += description;
    Tell(message);
}

void Host::OnError(IActiveScriptError* error) {
    // Only the first error is told: the script is ending after it, as after Quit.
    if (Stopping()) return;
    ExcepInfo info;
    const HRESULT hr = error->GetExceptionInfo(info.Put());
    const std::wstring description = SUCCEEDED(hr) ? info.Text(E_FAIL) : HresultText(hr);
    DWORD context = 0;
    Position where{};
    const bool placed = SUCCEEDED(error->GetSourcePosition(&context, &where.line, &where.column));
    Report(placed ? &where : nullptr, description);
}

HRESULT Host::GetItem(LPCOLESTR name, DWORD mask, IUnknown** unknown, ITypeInfo** typeInfo) {
    if (unknown) *unknown = nullptr;
    if (typeInfo) *typeInfo = nullptr;
    if (!name) return E_INVALIDARG;
    IDispatch* item = _wcsicmp(name, L"WScript") == 0 ? wscript_.Get() : nullptr;
    for (const auto& global : options_.globals)
        if (!item && _wcsicmp(name, global.first.c_str()) == 0) item = global.second;
    if (!item) return TYPE_E_ELEMENTNOTFOUND;
    if (mask & SCRIPTINFO_ITYPEINFO) {
        if (!typeInfo) return E_POINTER;
        UINT count = 0;
        if (SUCCEEDED(item->GetTypeInfoCount(&count)) && count) item->GetTypeInfo(0, LOCALE_USER_DEFAULT, typeInfo);
        if (!*typeInfo && !(mask & SCRIPTINFO_IUNKNOWN)) return TYPE_E_ELEMENTNOTFOUND;
    }
    if (mask & SCRIPTINFO_IUNKNOWN) {
        if (!unknown) return E_POINTER;
        item->AddRef();
        *unknown = item;
    }
    return S_OK;
}

HRESULT Host::Sleep(double milliseconds, EXCEPINFO* info) {
    // About 31,000 years: longer is forever in practice, and this keeps the deadline exact.
    // Not a number and negative times wait nothing.
    constexpr double kLongest = 1e15;
    const ULONGLONG wait = milliseconds > 0 ? ULONGLONG(std::min(milliseconds, kLongest)) : 0;
    const ULONGLONG end = GetTickCount64() + wait;
    for (;;) {
        MSG msg;
        while (!Stopping() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // A posted WM_QUIT asks a message loop to end; the script, not the loop, decides here.
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (Stopping()) return Stop(info);
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return S_OK;
        MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(std::min<ULONGLONG>(end - now, 0x7FFFFFFF)), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

HRESULT Host::CreateObject(const std::wstring& progId, const std::wstring& prefix, VARIANT* result, EXCEPINFO* info) {
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
    ComPtr<IDispatch> object;
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(object.Put()));
    if (FAILED(hr))
        return RaiseError(info, hr, L"CreateObject: cannot create \"" + progId + L"\": " + HresultText(hr));
    if (!prefix.empty()) {
        std::wstring why;
        hr = Connect(object.Get(), prefix, why);
        if (FAILED(hr))
            return RaiseError(info, hr, L"CreateObject: cannot connect the events of \"" + progId + L"\": " + why);
    }
    if (result) {
        result->vt = VT_DISPATCH;
        result->pdispVal = object.Detach();
    }
    return S_OK;
}

HRESULT Host::Connect(IUnknown* object, const std::wstring& prefix, std::wstring& why) {
    std::unique_ptr<EventConnection> connection;
    const HRESULT hr = EventConnection::Open(
        object,
        [this, prefix](const std::wstring& event, DISPPARAMS& args, VARIANT* result) {
            RunEvent(prefix + event, args, result);
        },
        connection, why);
    if (SUCCEEDED(hr)) connections_.push_back(std::move(connection));
    return hr;
}

void Host::Disconnect(IUnknown* object) {
    std::erase_if(connections_, [object](const auto& c) { return c->IsOf(object); });
}

void Host::RunEvent(const std::wstring& procedure, DISPPARAMS& args, VARIANT* result) {
    if (Stopping() || !engine_) return;
    ComPtr<IDispatch> script;
    if (FAILED(engine_->GetScriptDispatch(nullptr, script.Put())) || !script) return;
    std::wstring name = procedure;
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    // A script without the procedure does not want the event.
    if (FAILED(script->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return;
    DISPPARAMS positional{args.rgvarg, nullptr, args.cArgs, 0};
    ExcepInfo info;
    UINT argError = 0;
    const HRESULT hr =
        script->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &positional, result, info.Put(), &argError);
    // An engine that told the site already made the host stop.
    if (FAILED(hr) && !Stopping()) {
        Report(nullptr, procedure + L": " + info.Text(hr));
    }
}

}  // namespace

int RunScript(Language language, std::wstring_view code, const RunOptions& options) {
    Host host(options);
    return host.Run(language, code);
}

}  // namespace scripthost
