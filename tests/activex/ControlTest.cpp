// The control as COM sees it, with Lumawipe.ocx loaded into the test and its class
// objects reached through DllGetClassObject (no registration): the server's class objects
// and its unload accounting, every property of ILumawipe through the vtable and through
// IDispatch with the conversions of automation types, refused values, bitmap handles
// adopted, class information, events, property pages and persistence.
#include "AxFixtures.h"

#include <algorithm>
#include <climits>
#include <map>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "support/Fixtures.h"
#include "win32/WinFixtures.h"

using namespace AxTest;
using Fixtures::Px;

namespace {

class Control : public testing::Test {
protected:
    const Ocx& ocx = SharedOcx();
    ComPtr<ILumawipe> control = ocx.NewControl();

    void SetUp() override { ASSERT_TRUE(control); }
};

// ---- the server ------------------------------------------------------------------------

TEST(Server, ClassObjectsOfBothClasses) {
    const Ocx& ocx = SharedOcx();
    const struct {
        const char* what;
        const CLSID& clsid;
        const IID& made;
    } classes[] = {{"control", CLSID_Lumawipe, IID_ILumawipe}, {"property page", CLSID_LumawipeProperties, IID_IPropertyPage}};
    for (const auto& c : classes) {
        ComPtr<IClassFactory> factory;
        ComPtr<IUnknown> unknown;
        EXPECT_EQ(ocx.GetClassObject(c.clsid, IID_IUnknown, reinterpret_cast<void**>(unknown.Put())), S_OK) << c.what;
        ASSERT_EQ(ocx.GetClassObject(c.clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK)
            << c.what;
        ComPtr<IUnknown> object;
        EXPECT_EQ(factory->CreateInstance(nullptr, c.made, reinterpret_cast<void**>(object.Put())), S_OK) << c.what;
        EXPECT_TRUE(object) << c.what;
    }
}

TEST(Server, UnknownClassesAndInterfacesAreRefused) {
    const Ocx& ocx = SharedOcx();
    // Members of the library's GUID family that are no classes, and a foreign class.
    for (const GUID* clsid : {&LIBID_Lumawipe, &IID_ILumawipe, &DIID_ILumawipeEvents, &IID_IDispatch}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(ocx.GetClassObject(*clsid, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
        EXPECT_EQ(out, nullptr);
    }
    // A class object offers IClassFactory, not the objects' interfaces.
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(ocx.GetClassObject(CLSID_Lumawipe, IID_ILumawipe, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_TRUE(FAILED(ocx.GetClassObject(CLSID_Lumawipe, IID_IClassFactory, nullptr)));
}

TEST(Server, CanUnloadOnlyWithoutObjectsAndLocks) {
    const Ocx& ocx = SharedOcx();
    EXPECT_EQ(ocx.CanUnloadNow(), S_OK);
    for (const CLSID* clsid : {&CLSID_Lumawipe, &CLSID_LumawipeProperties}) {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(ocx.GetClassObject(*clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK);
        EXPECT_EQ(ocx.CanUnloadNow(), S_OK) << "a class object alone holds nothing";
        ComPtr<IUnknown> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(object.Put())), S_OK);
        EXPECT_EQ(ocx.CanUnloadNow(), S_FALSE) << "an object lives";
        object.Reset();
        EXPECT_EQ(ocx.CanUnloadNow(), S_OK);
        EXPECT_EQ(factory->LockServer(TRUE), S_OK);
        EXPECT_EQ(ocx.CanUnloadNow(), S_FALSE) << "the server is locked";
        EXPECT_EQ(factory->LockServer(FALSE), S_OK);
        EXPECT_EQ(ocx.CanUnloadNow(), S_OK);
    }
}

// ---- properties -------------------------------------------------------------------------

constexpr std::int32_t BtnFace = std::int32_t(0x8000000F);

TEST_F(Control, Defaults) {
    const std::pair<const wchar_t*, std::int32_t> defaults[] = {
        {L"Active", 0},    {L"Color", BtnFace}, {L"Delta", 10},    {L"Interval", 100}, {L"Modifier", 0},
        {L"Operation", 0}, {L"Reverse", 0},     {L"RGBOrder", 0},  {L"UseThread", 0},  {L"Steps", 1},
        {L"Visible", -1},  {L"Enabled", -1},    {L"Cursor", 0},    {L"FromBitmap", 0}, {L"ToBitmap", 0}};
    for (const auto& [name, value] : defaults) EXPECT_EQ(Read(control.Get(), name), value) << testing::PrintToString(name);
}

// A value written and what reading gives back.
struct RoundTrip {
    const wchar_t* Name;
    std::int32_t In, Out;
};
const RoundTrip RoundTrips[] = {
    {L"Color", 0x00123456, 0x00123456},
    {L"Color", BtnFace, BtnFace},  // a system colour stays in its 0x80000000 + index form
    {L"Color", 0x0000FF, 0x0000FF},
    {L"Delta", 1, 1},
    {L"Delta", 25, 25},
    {L"Delta", INT_MAX, INT_MAX},
    {L"Interval", 7, 7},
    {L"Interval", 0, 0},
    {L"Modifier", 3, 3},
    {L"Modifier", 256 + 1, 1},  // only the low byte counts
    {L"Operation", 19, 19},
    {L"Operation", 256 + 2, 2},
    {L"Operation", 20, 20},  // beyond the operations: stored as it is
    {L"Operation", 0x1FF, 0xFF},
    {L"Operation", 0, 0},
    {L"RGBOrder", 5, 5},
    {L"RGBOrder", 0x100 + 3, 3},
    {L"Steps", 3, 3},
    {L"Steps", INT_MAX, INT_MAX},
    {L"Reverse", 1, -1},  // any non-zero value is True, which reads -1
    {L"Reverse", 0, 0},
    {L"Reverse", 2, -1},
    {L"Reverse", -1, -1},
    {L"Reverse", 0, 0},
    {L"UseThread", 1, -1},
    {L"UseThread", 0, 0},
    {L"UseThread", -1, -1},
    {L"UseThread", 0, 0},
    {L"Cursor", -21, -21},
    {L"Cursor", 0, 0},
    {L"Enabled", 0, 0},
    {L"Enabled", 5, -1},
    {L"Visible", 0, 0},
    {L"Visible", 1, -1},
    // Writing Active starts and stops a run (without pictures it never ends).
    {L"Active", 1, -1},
    {L"Active", 0, 0},
    {L"Active", -1, -1},
    {L"Active", 0, 0},
};

// Written through the vtable, read through the vtable and through IDispatch.
TEST_F(Control, RoundTripsThroughTheVtable) {
    for (const RoundTrip& c : RoundTrips) {
        const Property& p = PropertyNamed(c.Name);
        const std::string what = testing::PrintToString(c.Name) + " := " + std::to_string(c.In);
        EXPECT_EQ(p.Put(control.Get(), c.In), S_OK) << what;
        EXPECT_EQ(Read(control.Get(), p), c.Out) << what;
        Variant got;
        ASSERT_EQ(Invoke(control.Get(), p.Id, DISPATCH_PROPERTYGET, {}, got.Put()), S_OK) << what;
        EXPECT_EQ(got->vt, p.Type) << what;
        EXPECT_EQ(IntegerOf(*got), c.Out) << what;
    }
}

// Written through IDispatch with a value of the property's own automation type.
TEST_F(Control, RoundTripsThroughInvoke) {
    for (const RoundTrip& c : RoundTrips) {
        const Property& p = PropertyNamed(c.Name);
        const std::string what = testing::PrintToString(c.Name) + " := " + std::to_string(c.In);
        EXPECT_EQ(Invoke(control.Get(), p.Id, DISPATCH_PROPERTYPUT, {Value(p.Type, c.In)}, nullptr), S_OK) << what;
        EXPECT_EQ(Read(control.Get(), p), c.Out) << what;
    }
}

// The error information a refused call left for its caller.
std::wstring ErrorText() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Put()) != S_OK || !info) return L"";
    Bstr text;
    info->GetDescription(text.Put());
    return std::wstring(text.View());
}

TEST_F(Control, DeltaAndStepsBelowOneAreRefused) {
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(control.As(support), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ILumawipe), S_OK);
    for (const wchar_t* name : {L"Delta", L"Steps"}) {
        const Property& p = PropertyNamed(name);
        Write(control.Get(), name, 7);
        for (const std::int32_t bad : {0, -1, INT_MIN}) {
            const std::string what = testing::PrintToString(name) + " := " + std::to_string(bad);
            SetErrorInfo(0, nullptr);
            EXPECT_EQ(p.Put(control.Get(), bad), E_INVALIDARG) << what;
            EXPECT_FALSE(ErrorText().empty()) << what << ": no error information";
            EXPECT_EQ(Read(control.Get(), p), 7) << what;

            // A script sees an exception that carries the code and the text.
            EXCEPINFO error{};
            EXPECT_EQ(Invoke(control.Get(), p.Id, DISPATCH_PROPERTYPUT, {Value(VT_I4, bad)}, nullptr, &error),
                      DISP_E_EXCEPTION)
                << what;
            if (error.pfnDeferredFillIn) error.pfnDeferredFillIn(&error);
            EXPECT_EQ(error.scode, E_INVALIDARG) << what;
            EXPECT_GT(SysStringLen(error.bstrDescription), 0u) << what;
            SysFreeString(error.bstrSource), SysFreeString(error.bstrDescription), SysFreeString(error.bstrHelpFile);
            EXPECT_EQ(Read(control.Get(), p), 7) << what;
        }
    }
}

// ---- pictures as bitmap handles -----------------------------------------------------------

// A small picture whose top-left pixel is a known colour.
HBITMAP NewPicture(int w, int h, std::uint8_t tag) {
    Toolkit::TBitmap picture;
    Fixtures::MakeCoordPicture(picture, w, h, tag);
    return NewDib(picture);
}

COLORREF TopLeft(HBITMAP handle) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, handle);
    const COLORREF c = GetPixel(dc, 0, 0);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

TEST_F(Control, BitmapHandlesAreAdoptedAsTheyAre) {
    // A DIB section, a device-dependent bitmap and one compatible with the screen.
    const std::uint32_t ddbBits[] = {0x00A0B0C0, 0x00010203, 0x00040506, 0x00070809};
    HDC screen = GetDC(nullptr);
    HBITMAP compatible = CreateCompatibleBitmap(screen, 5, 4);
    ReleaseDC(nullptr, screen);
    const HBITMAP handles[] = {NewPicture(12, 9, Fixtures::FromTag), CreateBitmap(2, 2, 1, 32, ddbBits), compatible};
    for (const HBITMAP h : handles) {
        ASSERT_NE(h, nullptr);
        const COLORREF topLeft = TopLeft(h);
        EXPECT_EQ(PropertyNamed(L"FromBitmap").Put(control.Get(), HandleValue(h)), S_OK);
        EXPECT_EQ(Read(control.Get(), L"FromBitmap"), HandleValue(h)) << "the handle reads back as it was written";
        EXPECT_EQ(std::uint32_t(Read(control.Get(), L"Color")), topLeft) << "Color takes the top-left pixel";
    }
    // Each handle replaced by the next one is the control's to delete; so is the last one
    // when the control goes.
    EXPECT_EQ(GetObjectType(handles[0]), 0u);
    EXPECT_EQ(GetObjectType(handles[1]), 0u);
    HBITMAP to = NewPicture(6, 4, Fixtures::ToTag);
    Write(control.Get(), L"Color", 0x00112233);
    Write(control.Get(), L"ToBitmap", HandleValue(to));
    EXPECT_EQ(Read(control.Get(), L"ToBitmap"), HandleValue(to));
    EXPECT_EQ(Read(control.Get(), L"Color"), 0x00112233) << "ToBitmap leaves Color alone";
    control.Reset();
    EXPECT_EQ(GetObjectType(compatible), 0u);
    EXPECT_EQ(GetObjectType(to), 0u);
}

TEST_F(Control, SameHandleAgainAndZero) {
    HBITMAP h = NewPicture(4, 4, Fixtures::FromTag);
    Write(control.Get(), L"FromBitmap", HandleValue(h));
    Write(control.Get(), L"Color", 0x00445566);
    Write(control.Get(), L"FromBitmap", HandleValue(h));
    EXPECT_EQ(Read(control.Get(), L"Color"), 0x00445566) << "the same handle again changes nothing";
    EXPECT_EQ(GetObjectType(h), DWORD(OBJ_BITMAP));
    Write(control.Get(), L"FromBitmap", 0);
    EXPECT_EQ(Read(control.Get(), L"FromBitmap"), 0) << "0 empties the picture";
    EXPECT_EQ(GetObjectType(h), 0u);
}

TEST_F(Control, ForeignHandlesAreRefused) {
    HBITMAP picture = NewPicture(4, 4, Fixtures::FromTag);
    Write(control.Get(), L"FromBitmap", HandleValue(picture));
    Write(control.Get(), L"Color", 0x00445566);
    HBRUSH brush = CreateSolidBrush(0x00030201);
    for (const char* which : {"FromBitmap", "ToBitmap"}) {
        const Property& p = PropertyNamed(which[0] == 'F' ? L"FromBitmap" : L"ToBitmap");
        const std::int32_t before = Read(control.Get(), p);
        for (const std::int32_t bad : {HandleValue(brush), 0x1234}) {
            EXPECT_TRUE(FAILED(p.Put(control.Get(), bad))) << which << " := " << bad;
            EXPECT_EQ(Read(control.Get(), p), before) << which << " := " << bad;
            EXPECT_EQ(Read(control.Get(), L"Color"), 0x00445566) << which << " := " << bad;
        }
    }
    EXPECT_EQ(GetObjectType(brush), DWORD(OBJ_BRUSH)) << "the brush stays the caller's";
    DeleteObject(brush);
}

// ---- automation and class information ---------------------------------------------------

TEST_F(Control, NamesGiveTheIdsOfTheInterface) {
    UINT count = 0;
    EXPECT_EQ(control->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, IID_ILumawipe);
    info->ReleaseTypeAttr(attr);

    std::vector<std::pair<std::wstring, DISPID>> names = {{L"Play", 1},  {L"Stop", 2},  {L"Pause", 3},
                                                          {L"Resume", 4}, {L"Clear", 5}, {L"AboutBox", -552},
                                                          {L"interval", 11}};  // names are case-insensitive
    for (const Property& p : Properties) names.emplace_back(p.Name, p.Id);
    for (auto& [name, id] : names) {
        LPOLESTR text = name.data();
        DISPID got = 0;
        EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &text, 1, LOCALE_USER_DEFAULT, &got), S_OK)
            << testing::PrintToString(name);
        EXPECT_EQ(got, id) << testing::PrintToString(name);
    }
    std::wstring unknown = L"NoSuchMember";
    LPOLESTR text = unknown.data();
    DISPID got = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &text, 1, LOCALE_USER_DEFAULT, &got), DISP_E_UNKNOWNNAME);
}

TEST_F(Control, MethodsThroughInvoke) {
    // Play, Pause, Resume, Stop and Clear by DISPID drive the same run as the vtable.
    HBITMAP h = NewPicture(8, 8, Fixtures::FromTag);
    Write(control.Get(), L"FromBitmap", HandleValue(h));
    Write(control.Get(), L"Operation", 20);  // a run that never ends by itself
    const std::pair<DISPID, std::int32_t> steps[] = {{1, -1}, {3, -1}, {4, -1}, {5, -1}, {2, 0}};
    for (const auto& [id, active] : steps) {
        EXPECT_EQ(Invoke(control.Get(), id, DISPATCH_METHOD, {}, nullptr), S_OK) << "DISPID " << id;
        EXPECT_EQ(Read(control.Get(), L"Active"), active) << "after DISPID " << id;
    }
}

TEST_F(Control, ClassInformationNamesTheEvents) {
    ComPtr<IProvideClassInfo2> provider;
    ASSERT_EQ(control.As(provider), S_OK);
    GUID source{};
    EXPECT_EQ(provider->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_EQ(source, DIID_ILumawipeEvents);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(provider->GetClassInfo(coclass.Put()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, CLSID_Lumawipe);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    coclass->ReleaseTypeAttr(attr);
}

TEST_F(Control, OnePropertyPage) {
    ComPtr<ISpecifyPropertyPages> pages;
    ASSERT_EQ(control.As(pages), S_OK);
    CAUUID ids{};
    ASSERT_EQ(pages->GetPages(&ids), S_OK);
    ASSERT_EQ(ids.cElems, 1u);
    EXPECT_EQ(ids.pElems[0], CLSID_LumawipeProperties);
    CoTaskMemFree(ids.pElems);
}

TEST_F(Control, UnknownInterfaceIsRefused) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(control->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

// Whichever interface it is asked through, the object answers with one IUnknown; Invoke
// takes IID_NULL only, as IDispatch's rules say.
TEST_F(Control, OneIdentityAndInvokeTakesOnlyTheNullIid) {
    ComPtr<IUnknown> identity;
    ASSERT_EQ(control->QueryInterface(IID_PPV_ARGS(identity.Put())), S_OK);
    for (const IID* iid : {&IID_ILumawipe, &IID_IDispatch, &IID_IOleObject, &IID_IOleWindow, &IID_IOleInPlaceObject,
                           &IID_IOleInPlaceActiveObject, &IID_IOleControl, &IID_IViewObject, &IID_IViewObject2,
                           &IID_IPersist, &IID_IPersistStreamInit, &IID_IPersistPropertyBag, &IID_IPersistStorage,
                           &IID_IProvideClassInfo, &IID_IProvideClassInfo2, &IID_ISpecifyPropertyPages,
                           &IID_IQuickActivate, &IID_IConnectionPointContainer, &IID_ISupportErrorInfo}) {
        ComPtr<IUnknown> through, unknown;
        ASSERT_EQ(control->QueryInterface(*iid, reinterpret_cast<void**>(through.Put())), S_OK);
        ASSERT_EQ(through->QueryInterface(IID_PPV_ARGS(unknown.Put())), S_OK);
        EXPECT_EQ(unknown.Get(), identity.Get());
    }
    DISPPARAMS none{};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(control->Invoke(7, IID_IDispatch, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                              nullptr),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(control->Invoke(7, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
              S_OK);
    VariantClear(&result);
}

// ---- events -----------------------------------------------------------------------------

TEST_F(Control, ConnectionPointForTheEvents) {
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(control.As(container), S_OK);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.Put()), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(DIID_ILumawipeEvents, point.Put()), S_OK);
    IID iid{};
    EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, DIID_ILumawipeEvents);
    ComPtr<IConnectionPointContainer> back;
    EXPECT_EQ(point->GetConnectionPointContainer(back.Put()), S_OK);
    EXPECT_EQ(back.Get(), container.Get());

    DoneSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    EXPECT_GT(sink.FRefs.load(), 1u) << "the point holds the sink";
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.FRefs.load(), 1u) << "and lets it go";
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);

    // An object that is no event sink cannot connect.
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
    EXPECT_EQ(point->Advise(stream.Get(), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_TRUE(FAILED(point->Advise(nullptr, &cookie)));
}

// Runs without a container site finish and raise OnDone, in both modes.
class SitelessRun : public Control, public testing::WithParamInterface<bool> {};

TEST_P(SitelessRun, OnDoneReachesTheSink) {
    PrepareQuickRun(control.Get(), GetParam());
    DoneSink sink;
    const DWORD cookie = Advise(control.Get(), &sink);
    ASSERT_EQ(control->Play(), S_OK);
    EXPECT_TRUE(WinFixtures::PumpUntil([&] { return sink.Done > 0; }, 10000)) << "no OnDone";
    EXPECT_EQ(Read(control.Get(), L"Active"), 0);
    EXPECT_EQ(sink.Other, 0);
    Unadvise(control.Get(), cookie);

    // Without a sink the end of a run raises nothing and no error.
    const int done = sink.Done;
    ASSERT_EQ(control->Play(), S_OK);
    EXPECT_TRUE(WinFixtures::PumpUntil([&] { return Read(control.Get(), L"Active") == 0; }, 10000));
    EXPECT_EQ(sink.Done, done);
}

INSTANTIATE_TEST_SUITE_P(Modes, SitelessRun, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Thread" : "Timer"; });

// A control made on another apartment thread than the one that loaded the library runs
// entirely there: its ticks, its worker's calls and its OnDone. The loading thread does
// not handle a single message meanwhile.
class OtherApartment : public testing::TestWithParam<bool> {};

TEST_P(OtherApartment, AControlRunsOnTheThreadThatMadeIt) {
    const Ocx& ocx = SharedOcx();
    bool done = false, stopped = false;
    DWORD firedOn = 0;
    const DWORD madeOn = [&] {
        DWORD id = 0;
        std::thread apartment([&] {
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            id = GetCurrentThreadId();
            {
                ComPtr<ILumawipe> control = ocx.NewControl();
                PrepareQuickRun(control.Get(), GetParam());
                DoneSink sink;
                sink.OnDone = [&] { firedOn = GetCurrentThreadId(); };
                const DWORD cookie = Advise(control.Get(), &sink);
                control->Play();
                done = WinFixtures::PumpUntil([&] { return sink.Done > 0; }, 10000);
                stopped = Read(control.Get(), L"Active") == 0;
                Unadvise(control.Get(), cookie);
            }
            CoUninitialize();
        });
        apartment.join();
        return id;
    }();
    EXPECT_TRUE(done) << "no OnDone";
    EXPECT_TRUE(stopped);
    EXPECT_EQ(firedOn, madeOn);
}

// A host whose sink releases its last reference in OnDone and then handles no further
// message: the object is gone when OnDone returns, in both modes.
TEST_P(OtherApartment, ReleasedInItsOwnOnDoneTheObjectGoesAtOnce) {
    const Ocx& ocx = SharedOcx();
    ILumawipe* control = ocx.NewControl().Detach();
    PrepareQuickRun(control, GetParam());
    DoneSink sink;
    sink.OnDone = [&] { std::exchange(control, nullptr)->Release(); };
    Advise(control, &sink);
    ASSERT_EQ(control->Play(), S_OK);
    // One message at a time, up to the one that raised OnDone.
    const auto deadline = GetTickCount64() + 10000;
    while (sink.Done == 0 && GetTickCount64() < deadline) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ASSERT_EQ(sink.Done, 1);
    EXPECT_EQ(control, nullptr);
    EXPECT_EQ(sink.FRefs.load(), 1u) << "the object let its sink go";
    EXPECT_EQ(ocx.CanUnloadNow(), S_OK) << "no object left";
}

INSTANTIATE_TEST_SUITE_P(Modes, OtherApartment, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Thread" : "Timer"; });

// ---- persistence ------------------------------------------------------------------------

// What a control shows of its stored state: its properties (bitmaps by pixels).
struct State {
    std::map<std::wstring, std::int32_t> Values;
    Toolkit::TBitmap From, To;
};

void Capture(ILumawipe* control, State& s) {
    for (const Property& p : Properties)
        if (std::wstring_view(p.Name).find(L"Bitmap") == std::wstring_view::npos) s.Values[p.Name] = Read(control, p);
    for (auto [name, picture] : {std::pair{L"FromBitmap", &s.From}, std::pair{L"ToBitmap", &s.To}}) {
        const std::int32_t h = Read(control, name);
        if (h)
            ReadHandle(BitmapOf(h), *picture);
        else
            picture->SetSize(0, 0);
    }
}

::testing::AssertionResult SameState(ILumawipe* control, const State& expected) {
    State got;
    Capture(control, got);
    for (const auto& [name, value] : expected.Values)
        if (got.Values[name] != value)
            return ::testing::AssertionFailure()
                   << testing::PrintToString(name) << " is " << got.Values[name] << ", expected " << value;
    for (auto [name, a, b] : {std::tuple{"FromBitmap", &got.From, &expected.From},
                              std::tuple{"ToBitmap", &got.To, &expected.To}}) {
        if (a->Width() != b->Width() || a->Height() != b->Height())
            return ::testing::AssertionFailure() << name << " is " << a->Width() << "x" << a->Height() << ", expected "
                                                 << b->Width() << "x" << b->Height();
        auto same = Fixtures::FrameEquals(*a, b->Width(), b->Height(), [&](int x, int y) { return Fixtures::PixelOf(*b, x, y); });
        if (!same) return ::testing::AssertionFailure() << name << ": " << same.message();
    }
    return ::testing::AssertionSuccess();
}

// Every stored property away from its default, two pictures of their own sizes, and a
// colour that is not the from-picture's top-left pixel.
void SetEverything(ILumawipe* control) {
    Write(control, L"FromBitmap", HandleValue(NewPicture(10, 7, Fixtures::FromTag)));
    Write(control, L"ToBitmap", HandleValue(NewPicture(9, 5, Fixtures::ToTag)));
    const std::pair<const wchar_t*, std::int32_t> values[] = {
        {L"Color", 0x00123456}, {L"Delta", 7},     {L"Interval", 33},  {L"Modifier", 3}, {L"Operation", 14},
        {L"Reverse", -1},       {L"RGBOrder", 4},  {L"UseThread", -1}, {L"Steps", 5}};
    for (const auto& [name, value] : values) Write(control, name, value);
}

std::vector<std::uint8_t> Bytes(IStream* stream) {
    HGLOBAL memory = nullptr;
    EXPECT_EQ(GetHGlobalFromStream(stream, &memory), S_OK);
    STATSTG stat{};
    EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    const auto* p = static_cast<const std::uint8_t*>(GlobalLock(memory));
    std::vector<std::uint8_t> bytes(p, p + stat.cbSize.QuadPart);
    GlobalUnlock(memory);
    return bytes;
}

ComPtr<IStream> StreamOf(const std::vector<std::uint8_t>& bytes) {
    ComPtr<IStream> stream;
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), ULONG(bytes.size()), &written);
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    return stream;
}

// A compound-document storage in memory, as a container's file would give one.
ComPtr<IStorage> MemoryStorage() {
    ComPtr<ILockBytes> bytes;
    EXPECT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Put()), S_OK);
    ComPtr<IStorage> storage;
    EXPECT_EQ(StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                           storage.Put()),
              S_OK);
    return storage;
}

TEST_F(Control, StreamRestoresEveryStoredProperty) {
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(control.As(persist), S_OK);
    CLSID clsid{};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Lumawipe);
    SetEverything(control.Get());
    State saved;
    Capture(control.Get(), saved);
    ComPtr<IStream> stream = StreamOf({});
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE) << "saved with the dirty flag cleared";

    ComPtr<ILumawipe> fresh = ocx.NewControl();
    ComPtr<IPersistStreamInit> load;
    ASSERT_EQ(fresh.As(load), S_OK);
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(load->Load(stream.Get()), S_OK);
    EXPECT_TRUE(SameState(fresh.Get(), saved));
}

TEST_F(Control, TruncatedOrDamagedStreamsAreRefused) {
    SetEverything(control.Get());
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(control.As(persist), S_OK);
    ComPtr<IStream> stream = StreamOf({});
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    const std::vector<std::uint8_t> good = Bytes(stream.Get());
    ASSERT_GT(good.size(), 16u);

    // A control with a state of its own, which a failed load must leave as it is.
    ComPtr<ILumawipe> target = ocx.NewControl();
    Write(target.Get(), L"Delta", 3);
    Write(target.Get(), L"Operation", 9);
    Write(target.Get(), L"FromBitmap", HandleValue(NewPicture(3, 3, Fixtures::ToTag)));
    State before;
    Capture(target.Get(), before);
    ComPtr<IPersistStreamInit> load;
    ASSERT_EQ(target.As(load), S_OK);

    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> bad;
    for (const size_t n : {size_t(0), size_t(1), size_t(4), good.size() / 2, good.size() - 1})
        bad.emplace_back("first " + std::to_string(n) + " bytes", std::vector(good.begin(), good.begin() + long(n)));
    bad.emplace_back("all bytes 0xFF", std::vector<std::uint8_t>(good.size(), 0xFF));
    for (const auto& [what, bytes] : bad) {
        EXPECT_TRUE(FAILED(load->Load(StreamOf(bytes).Get()))) << what;
        EXPECT_TRUE(SameState(target.Get(), before)) << what;
    }
    // The same control takes the intact stream.
    State saved;
    Capture(control.Get(), saved);
    EXPECT_EQ(load->Load(StreamOf(good).Get()), S_OK);
    EXPECT_TRUE(SameState(target.Get(), saved));
}

// A stream over the bytes of another that keeps the largest read asked of it; one that
// cannot tell its length or seek, as some containers hand over, when tellsLength is false.
class WatchedStream final : public IStream {
public:
    WatchedStream(ComPtr<IStream> bytes, bool tellsLength) : Bytes(std::move(bytes)), TellsLength(tellsLength) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_ISequentialStream && iid != IID_IStream) return *out = nullptr, E_NOINTERFACE;
        *out = static_cast<IStream*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* got) override {
        LargestRead = std::max(LargestRead, size);
        return Bytes->Read(data, size, got);
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* at) override {
        return TellsLength ? Bytes->Seek(move, origin, at) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override {
        return TellsLength ? Bytes->Stat(stat, flags) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

    ComPtr<IStream> Bytes;
    bool TellsLength;
    ULONG LargestRead = 0;
};

// A size that promises far more than the stream holds is refused without reading or
// allocating for it: a stream that tells its length is not read past the size; from one
// that does not, reads stay small until the bytes arrive. The control keeps its state.
TEST_F(Control, StreamSizeBeyondItsBytesIsRefusedAtOnce) {
    Write(control.Get(), L"Delta", 3);
    State before;
    Capture(control.Get(), before);
    ComPtr<IPersistStreamInit> load;
    ASSERT_EQ(control.As(load), S_OK);
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"size alone", {0x00, 0x00, 0x21, 0x80}},
        {"size and a few bytes", {0x00, 0x00, 0x00, 0x40, 'L', 'W', 'F', 'D'}},
    };
    for (const auto& c : cases) {
        for (const bool tellsLength : {true, false}) {
            WatchedStream stream(StreamOf(c.bytes), tellsLength);
            EXPECT_TRUE(FAILED(load->Load(&stream))) << c.what;
            EXPECT_LE(stream.LargestRead, tellsLength ? 4u : 64u * 1024) << c.what << ", tells its length " << tellsLength;
            EXPECT_TRUE(SameState(control.Get(), before)) << c.what;
        }
    }

    // A state larger than the first piece arrives whole through a stream that cannot tell
    // its length.
    ComPtr<ILumawipe> large = ocx.NewControl();
    Write(large.Get(), L"FromBitmap", HandleValue(NewPicture(300, 200, Fixtures::FromTag)));
    ComPtr<IPersistStreamInit> save;
    ASSERT_EQ(large.As(save), S_OK);
    ComPtr<IStream> saved = StreamOf({});
    ASSERT_EQ(save->Save(saved.Get(), TRUE), S_OK);
    saved->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    State expected;
    Capture(large.Get(), expected);
    WatchedStream unsized(saved, false);
    ASSERT_EQ(load->Load(&unsized), S_OK);
    EXPECT_TRUE(SameState(control.Get(), expected));
}

// A property bag of the test: values by name, read back converted to the type asked for.
class Bag final : public IPropertyBag {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IPropertyBag) return *out = nullptr, E_NOINTERFACE;
        *out = static_cast<IPropertyBag*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        const auto it = Values.find(name);
        if (it == Values.end()) return E_INVALIDARG;
        const VARTYPE wanted = value->vt;
        if (wanted == VT_EMPTY) return VariantCopy(value, &*it->second);
        return VariantChangeType(value, &*it->second, 0, wanted);
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override {
        return VariantCopy(Values[name].Put(), value);
    }
    std::map<std::wstring, Variant> Values;
};

TEST_F(Control, PropertyBagRestoresEveryStoredProperty) {
    SetEverything(control.Get());
    State saved;
    Capture(control.Get(), saved);
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(control.As(persist), S_OK);
    Bag bag;
    ASSERT_EQ(persist->Save(&bag, TRUE, TRUE), S_OK);
    // The bag names the properties as scripts and pages do.
    for (const auto& [name, value] : saved.Values) {
        if (name == L"Active" || name == L"Visible" || name == L"Enabled" || name == L"Cursor") continue;
        ASSERT_TRUE(bag.Values.count(name)) << testing::PrintToString(name) << " not saved";
        Variant number;
        ASSERT_EQ(VariantChangeType(number.Put(), &*bag.Values[name], 0, VT_I4), S_OK) << testing::PrintToString(name);
        EXPECT_EQ(number->lVal, value) << testing::PrintToString(name);
    }

    ComPtr<ILumawipe> fresh = ocx.NewControl();
    ComPtr<IPersistPropertyBag> load;
    ASSERT_EQ(fresh.As(load), S_OK);
    ASSERT_EQ(load->Load(&bag, nullptr), S_OK);
    EXPECT_TRUE(SameState(fresh.Get(), saved));
}

// A page's parameters arrive as texts, and only some of them; the rest keep their defaults.
TEST_F(Control, PropertyBagOfTexts) {
    Bag bag;
    VARIANT& interval = *bag.Values[L"Interval"];
    interval.vt = VT_BSTR;
    interval.bstrVal = SysAllocString(L"20");
    *bag.Values[L"Operation"] = Value(VT_I4, 3);
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(control.As(persist), S_OK);
    ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
    EXPECT_EQ(Read(control.Get(), L"Interval"), 20);
    EXPECT_EQ(Read(control.Get(), L"Operation"), 3);
    EXPECT_EQ(Read(control.Get(), L"Delta"), 10);
    EXPECT_EQ(Read(control.Get(), L"Steps"), 1);
}

// ---- what containers ask besides persistence ------------------------------------------

// A container draws the control into its own DC while the control is not active: the
// current frame, at the rectangle's size. A new control is 65 x 65 and shows frame 0 of a
// push, the from picture.
TEST_F(Control, DrawsItsFrameIntoTheContainersDC) {
    const HBITMAP picture = NewPicture(65, 65, Fixtures::FromTag);
    const COLORREF topLeft = TopLeft(picture);
    Write(control.Get(), L"FromBitmap", HandleValue(picture));
    ComPtr<IViewObject2> view;
    ASSERT_EQ(control.As(view), S_OK);
    SIZEL extent{};
    ASSERT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
    EXPECT_GT(extent.cx, 0);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 140, 140);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ old = SelectObject(dc, target);
    const RECTL sizes[] = {{0, 0, 65, 65}, {5, 5, 135, 135}};
    for (const RECTL& r : sizes) {
        PatBlt(dc, 0, 0, 140, 140, BLACKNESS);
        ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &r, nullptr, nullptr, 0), S_OK);
        EXPECT_EQ(GetPixel(dc, r.left, r.top), topLeft) << "drawn at " << r.left;
        EXPECT_EQ(GetPixel(dc, r.right, r.bottom), 0u) << "nothing beyond the rectangle";
    }
    const RECTL r{0, 0, 10, 10};
    EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, dc, &r, nullptr, nullptr, 0), DV_E_DVASPECT);
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
}

// A load is all or nothing: a control whose run plays would ignore part of a saved state,
// so it refuses the whole state and keeps its own (and its dirty flag); once stopped it
// takes all of it. InitNew after a load is a second initialisation and refused.
TEST_F(Control, LoadIntoARunningControlChangesNothingAndInitNewComesTooLate) {
    SetEverything(control.Get());
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(control.As(persist), S_OK);
    ComPtr<IStream> stream = StreamOf({});
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    State saved;
    Capture(control.Get(), saved);

    ComPtr<ILumawipe> target = ocx.NewControl();
    ComPtr<IPersistStreamInit> load;
    ASSERT_EQ(target.As(load), S_OK);
    EXPECT_EQ(load->InitNew(), S_OK);
    EXPECT_EQ(load->InitNew(), S_OK) << "a repeated InitNew is harmless";
    Write(target.Get(), L"FromBitmap", HandleValue(NewPicture(4, 4, Fixtures::ToTag)));
    Write(target.Get(), L"Interval", 60000);  // the run stays on its first frame
    ASSERT_EQ(target->Play(), S_OK);
    State before;
    Capture(target.Get(), before);
    ASSERT_EQ(load->IsDirty(), S_OK);
    ComPtr<IPersistPropertyBag> bagSave, bagLoad;
    ASSERT_EQ(control.As(bagSave), S_OK);
    ASSERT_EQ(target.As(bagLoad), S_OK);
    Bag bag;
    ASSERT_EQ(bagSave->Save(&bag, FALSE, TRUE), S_OK);
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(load->Load(stream.Get()), E_UNEXPECTED);
    EXPECT_EQ(bagLoad->Load(&bag, nullptr), E_UNEXPECTED);
    EXPECT_TRUE(SameState(target.Get(), before));
    EXPECT_EQ(Read(target.Get(), L"Active"), -1) << "the run goes on";
    EXPECT_EQ(load->IsDirty(), S_OK) << "a refused load leaves the dirty flag";

    ASSERT_EQ(target->Stop(), S_OK);
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(load->Load(stream.Get()), S_OK);
    EXPECT_TRUE(SameState(target.Get(), saved));
    EXPECT_EQ(load->IsDirty(), S_FALSE);
    EXPECT_EQ(load->InitNew(), E_UNEXPECTED);
    ComPtr<IPersistStorage> storage;
    ASSERT_EQ(target.As(storage), S_OK);
    const ComPtr<IStorage> docfile = MemoryStorage();
    ASSERT_TRUE(docfile);
    EXPECT_EQ(storage->InitNew(docfile.Get()), CO_E_ALREADYINITIALIZED);
    EXPECT_TRUE(SameState(target.Get(), saved));
}

// Property-change sinks: OnChanged with the property's id after each write that changed
// something; a write the control ignored, or of the value it holds, is not a change.
class ChangeSink final : public IPropertyNotifySink {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyNotifySink)) {
            *out = static_cast<IPropertyNotifySink*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --FRefs; }  // lives on the test's stack
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override {
        Changed.push_back(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

    std::vector<DISPID> Changed;
    ULONG FRefs = 1;
};

TEST_F(Control, PropertyChangesAreAnnouncedAndIgnoredWritesAreNot) {
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(control.As(container), S_OK);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, point.Put()), S_OK);
    ChangeSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    DoneSink notAChangeSink;
    DWORD refused = 0;
    EXPECT_EQ(point->Advise(&notAChangeSink, &refused), CONNECT_E_CANNOTCONNECT);
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(control.As(persist), S_OK);
    ASSERT_EQ(persist->InitNew(), S_OK);

    Write(control.Get(), L"Delta", 7);
    Write(control.Get(), L"Delta", 7);  // the same value again
    Write(control.Get(), L"Color", 0x00112233);
    EXPECT_EQ(sink.Changed, (std::vector<DISPID>{PropertyNamed(L"Delta").Id, PropertyNamed(L"Color").Id}));
    EXPECT_EQ(persist->IsDirty(), S_OK);

    ComPtr<IStream> stream = StreamOf({});
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    Write(control.Get(), L"FromBitmap", HandleValue(NewPicture(4, 4, Fixtures::FromTag)));
    Write(control.Get(), L"Interval", 60000);
    ASSERT_EQ(control->Play(), S_OK);
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    sink.Changed.clear();
    // Refused by the running control: no change, nothing dirty.
    for (const wchar_t* name : {L"Color", L"Operation", L"Modifier", L"Reverse", L"RGBOrder", L"UseThread"}) {
        const std::int32_t value = Read(control.Get(), name);
        Write(control.Get(), name, name == std::wstring_view(L"Reverse") || name == std::wstring_view(L"UseThread") ? ~value : value ^ 1);
        EXPECT_EQ(Read(control.Get(), name), value) << testing::PrintToString(std::wstring(name));
    }
    EXPECT_TRUE(sink.Changed.empty());
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    Write(control.Get(), L"Steps", 3);  // taken while running
    EXPECT_EQ(sink.Changed, std::vector<DISPID>{PropertyNamed(L"Steps").Id});
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ASSERT_EQ(control->Stop(), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.FRefs, 1u);
}

// Both connection points are listed, each once, and the list can be walked in pieces,
// skipped, reset and cloned; each point lists its connections.
TEST_F(Control, ConnectionPointsAndConnectionsAreEnumerated) {
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(control.As(container), S_OK);
    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.Put()), S_OK);
    IConnectionPoint* got[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(3, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    std::vector<IID> iids;
    for (ULONG i = 0; i < fetched; ++i) {
        IID iid{};
        EXPECT_EQ(got[i]->GetConnectionInterface(&iid), S_OK);
        iids.push_back(iid);
        got[i]->Release();
    }
    EXPECT_EQ(iids, (std::vector<IID>{DIID_ILumawipeEvents, IID_IPropertyNotifySink}));
    EXPECT_EQ(points->Reset(), S_OK);
    EXPECT_EQ(points->Skip(1), S_OK);
    ComPtr<IEnumConnectionPoints> clone;
    ASSERT_EQ(points->Clone(clone.Put()), S_OK);
    ComPtr<IConnectionPoint> last;
    ASSERT_EQ(clone->Next(1, last.Put(), nullptr), S_OK);
    IID iid{};
    EXPECT_EQ(last->GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, IID_IPropertyNotifySink);
    EXPECT_EQ(clone->Skip(1), S_FALSE);

    DoneSink sink;
    const DWORD cookie = Advise(control.Get(), &sink);
    ComPtr<IConnectionPoint> events;
    ASSERT_EQ(container->FindConnectionPoint(DIID_ILumawipeEvents, events.Put()), S_OK);
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(events->EnumConnections(connections.Put()), S_OK);
    CONNECTDATA data{};
    ASSERT_EQ(connections->Next(1, &data, nullptr), S_OK);
    EXPECT_EQ(data.dwCookie, cookie);
    EXPECT_NE(data.pUnk, nullptr);
    data.pUnk->Release();
    EXPECT_EQ(connections->Next(1, &data, nullptr), S_FALSE);
    connections = {};
    Unadvise(control.Get(), cookie);
    EXPECT_EQ(sink.FRefs.load(), 1u) << "enumerators let their references go";
}

// A compound document keeps the control in a storage, in a stream of its own.
TEST_F(Control, StorageRoundTrip) {
    Write(control.Get(), L"Delta", 7);
    Write(control.Get(), L"Operation", 12);
    const ComPtr<IStorage> storage = MemoryStorage();
    ASSERT_TRUE(storage);
    ComPtr<IPersistStorage> save;
    ASSERT_EQ(control.As(save), S_OK);
    ASSERT_EQ(save->Save(storage.Get(), FALSE), S_OK);
    ASSERT_EQ(save->SaveCompleted(nullptr), S_OK);

    ComPtr<ILumawipe> fresh = ocx.NewControl();
    ComPtr<IPersistStorage> load;
    ASSERT_EQ(fresh.As(load), S_OK);
    ASSERT_EQ(load->Load(storage.Get()), S_OK);
    EXPECT_EQ(Read(fresh.Get(), L"Delta"), 7);
    EXPECT_EQ(Read(fresh.Get(), L"Operation"), 12);
}

// Quick activation hands over the site and the event sink in one call.
TEST_F(Control, QuickActivateConnectsTheEventSink) {
    ComPtr<IQuickActivate> quick;
    ASSERT_EQ(control.As(quick), S_OK);
    DoneSink sink;
    QACONTAINER container{};
    container.cbSize = sizeof container;
    container.pUnkEventSink = &sink;
    QACONTROL result{};
    result.cbSize = sizeof result;
    ASSERT_EQ(quick->QuickActivate(&container, &result), S_OK);
    EXPECT_NE(result.dwEventCookie, 0u);
    EXPECT_EQ(result.dwMiscStatus, 131473u);
    PrepareQuickRun(control.Get(), false);
    ASSERT_EQ(control->Play(), S_OK);
    EXPECT_TRUE(WinFixtures::PumpUntil([&] { return sink.Done > 0; }, 10000)) << "OnDone through the quick sink";
    Unadvise(control.Get(), result.dwEventCookie);
}

}  // namespace
