// The control's type library as COM reads it: loaded by LoadTypeLibEx from the .tlb that
// widl built and from the TYPELIB resource of this program (Lumawipe.rc, as in the
// control), each checked for its library attributes, the GUID family, the coclass, the
// dual interface's vtable layout and member types, the event interface and the
// enumerations (whose names and values must be the engine's).
#include "LumawipeTypes.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

// Releases a COM interface pointer.
template <class T>
struct Ptr {
    T* p = nullptr;
    Ptr() = default;
    Ptr(const Ptr&) = delete;
    Ptr& operator=(const Ptr&) = delete;
    ~Ptr() {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
    T** Put() { return &p; }
};

std::wstring Wide(std::string_view s) { return std::wstring(s.begin(), s.end()); }

std::string Narrow(const BSTR s) {
    std::string out;
    for (const wchar_t* c = s; c && *c; ++c) out += static_cast<char>(*c);
    return out;
}

// Name, documentation string, help context and help file of member memid (-1: the type).
struct Doc {
    std::string Name, Text, HelpFile;
    DWORD HelpContext = 0;
};
template <class T>
Doc Documentation(T* owner, MEMBERID memid) {
    BSTR name = nullptr, text = nullptr, file = nullptr;
    Doc doc;
    EXPECT_EQ(owner->GetDocumentation(memid, &name, &text, &doc.HelpContext, &file), S_OK);
    doc.Name = Narrow(name), doc.Text = Narrow(text), doc.HelpFile = Narrow(file);
    SysFreeString(name), SysFreeString(text), SysFreeString(file);
    return doc;
}

struct TypeAttr {
    ITypeInfo* info;
    TYPEATTR* attr = nullptr;
    explicit TypeAttr(ITypeInfo* i) : info(i) { EXPECT_EQ(info->GetTypeAttr(&attr), S_OK); }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() { info->ReleaseTypeAttr(attr); }
    TYPEATTR* operator->() const { return attr; }
};

struct FuncDesc {
    ITypeInfo* info;
    FUNCDESC* desc = nullptr;
    FuncDesc(ITypeInfo* i, UINT index) : info(i) { EXPECT_EQ(info->GetFuncDesc(index, &desc), S_OK); }
    FuncDesc(const FuncDesc&) = delete;
    FuncDesc& operator=(const FuncDesc&) = delete;
    ~FuncDesc() { info->ReleaseFuncDesc(desc); }
    FUNCDESC* operator->() const { return desc; }
};

// Where the type library comes from.
enum class Source { File, Resource };

class TypeLib : public testing::TestWithParam<Source> {
protected:
    void SetUp() override {
        std::wstring path;
        if (GetParam() == Source::File) {
            // The build tree's path seen through Wine's drive Z:, which maps the Unix root.
            path = L"Z:" + Wide(LUMAWIPE_TLB_PATH);
            for (wchar_t& c : path)
                if (c == L'/') c = L'\\';
        } else {
            wchar_t module[MAX_PATH];
            path.assign(module, GetModuleFileNameW(nullptr, module, MAX_PATH));
        }
        ASSERT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put()), S_OK);
    }

    // The type named name, of kind kind.
    void Find(const char* name, TYPEKIND kind, Ptr<ITypeInfo>& info) {
        for (UINT i = 0; i < library->GetTypeInfoCount(); ++i)
            if (Documentation(library.p, MEMBERID(i)).Name == name) {
                ASSERT_EQ(library->GetTypeInfo(i, info.Put()), S_OK);
                ASSERT_EQ(TypeAttr(info.p)->typekind, kind) << name;
                return;
            }
        FAIL() << name << " not in the type library";
    }

    Ptr<ITypeLib> library;
};

TEST_P(TypeLib, LibraryAttributes) {
    const Doc doc = Documentation(library.p, -1);
    EXPECT_EQ(doc.Name, "Lumawipe");
    EXPECT_EQ(doc.Text, "Lumawipe ActiveX Control");
    EXPECT_EQ(doc.HelpFile, "Lumawipe.hlp");
    EXPECT_EQ(doc.HelpContext, 1300u);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->guid, LIBID_Lumawipe);
    EXPECT_EQ(attr->wMajorVerNum, 3);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_TRUE(attr->wLibFlags & LIBFLAG_FCONTROL);
    library->ReleaseTLibAttr(attr);
}

// The seven GUIDs differ only in the last hex digit of their first group, counting 1 to 7;
// the generated GUID definitions agree with the type library.
TEST_P(TypeLib, GuidFamily) {
    struct Case {
        const char* Name;
        TYPEKIND Kind;
        const GUID* Defined;
    };
    const Case cases[] = {
        {"ILumawipe", TKIND_INTERFACE, &IID_ILumawipe},     {"ILumawipeEvents", TKIND_DISPATCH, &DIID_ILumawipeEvents},
        {"Lumawipe", TKIND_COCLASS, &CLSID_Lumawipe},        {"TxTransitionModifier", TKIND_ENUM, nullptr},
        {"TxTransitionOperation", TKIND_ENUM, nullptr},      {"TxRGBOrder", TKIND_ENUM, nullptr},
    };
    GUID expected = LIBID_Lumawipe;
    EXPECT_EQ(expected.Data1 & 0xF, 1u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ++expected.Data1;
        Ptr<ITypeInfo> info;
        // A dual interface is listed by its dispatch side; its GUID is the interface's.
        Find(c.Name, c.Kind == TKIND_INTERFACE ? TKIND_DISPATCH : c.Kind, info);
        if (!info.p) continue;
        EXPECT_EQ(TypeAttr(info.p)->guid, expected);
        if (c.Defined) {
            EXPECT_EQ(*c.Defined, expected);
        }
    }
}

TEST_P(TypeLib, Coclass) {
    Ptr<ITypeInfo> coclass;
    ASSERT_NO_FATAL_FAILURE(Find("Lumawipe", TKIND_COCLASS, coclass));
    {
        TypeAttr attr(coclass.p);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCONTROL);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
        ASSERT_EQ(attr->cImplTypes, 2);
    }
    const struct {
        const char* Name;
        INT Flags;
    } implemented[] = {{"ILumawipe", IMPLTYPEFLAG_FDEFAULT}, {"ILumawipeEvents", IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}};
    for (UINT i = 0; i < 2; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        Ptr<ITypeInfo> info;
        ASSERT_EQ(coclass->GetImplTypeFlags(i, &flags), S_OK);
        ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &ref), S_OK);
        ASSERT_EQ(coclass->GetRefTypeInfo(ref, info.Put()), S_OK);
        EXPECT_EQ(Documentation(info.p, -1).Name, implemented[i].Name);
        EXPECT_EQ(flags, implemented[i].Flags) << implemented[i].Name;
    }
}

// What a member's value is: a plain automation type or a type of its own by name.
struct ValueType {
    VARTYPE Vt;             // VT_EMPTY for a method
    const char* UserType;   // with VT_USERDEFINED: the referenced type's name ...
    TYPEKIND UserKind;      // ... and kind
    VARTYPE AliasOf;        // ... and, for an alias, the type it stands for
};
constexpr ValueType Method{VT_EMPTY, nullptr, TKIND_MAX, VT_EMPTY};
constexpr ValueType Bool{VT_BOOL, nullptr, TKIND_MAX, VT_EMPTY};
constexpr ValueType Long{VT_I4, nullptr, TKIND_MAX, VT_EMPTY};
constexpr ValueType Short{VT_I2, nullptr, TKIND_MAX, VT_EMPTY};
constexpr ValueType Color{VT_USERDEFINED, "OLE_COLOR", TKIND_ALIAS, VT_UI4};
constexpr ValueType Modifier{VT_USERDEFINED, "TxTransitionModifier", TKIND_ENUM, VT_EMPTY};
constexpr ValueType Operation{VT_USERDEFINED, "TxTransitionOperation", TKIND_ENUM, VT_EMPTY};
constexpr ValueType RGBOrder{VT_USERDEFINED, "TxRGBOrder", TKIND_ENUM, VT_EMPTY};

struct Member {
    const char* Name;
    MEMBERID Dispid;
    ValueType Type;
};
// ILumawipe's members in vtable order; a property stands for its get, then its put.
constexpr Member Members[] = {
    {"Play", 1, Method},         {"Stop", 2, Method},          {"Pause", 3, Method},       {"Resume", 4, Method},
    {"Clear", 5, Method},        {"Active", 6, Bool},          {"Color", 7, Color},        {"FromBitmap", 8, Long},
    {"ToBitmap", 9, Long},       {"Delta", 10, Long},          {"Interval", 11, Long},     {"Modifier", 12, Modifier},
    {"Operation", 13, Operation}, {"Reverse", 14, Bool},       {"RGBOrder", 15, RGBOrder}, {"UseThread", 16, Bool},
    {"Steps", 17, Long},         {"Visible", 18, Bool},        {"Enabled", 19, Bool},      {"Cursor", 20, Short},
    {"AboutBox", -552, Method},
};

void ExpectType(ITypeInfo* owner, const TYPEDESC& type, const ValueType& expected) {
    ASSERT_EQ(type.vt, expected.Vt);
    if (type.vt != VT_USERDEFINED) return;
    Ptr<ITypeInfo> info;
    ASSERT_EQ(owner->GetRefTypeInfo(type.hreftype, info.Put()), S_OK);
    EXPECT_EQ(Documentation(info.p, -1).Name, expected.UserType);
    TypeAttr attr(info.p);
    EXPECT_EQ(attr->typekind, expected.UserKind);
    if (attr->typekind == TKIND_ALIAS) {
        EXPECT_EQ(attr->tdescAlias.vt, expected.AliasOf);
        // The standard OLE_COLOR's GUID, by which containers recognise a colour.
        constexpr GUID OleColor = {0x66504301, 0xbe0f, 0x101a, {0x8b, 0xbc, 0x00, 0xaa, 0x00, 0x30, 0x0c, 0xab}};
        EXPECT_EQ(attr->guid, OleColor);
    }
}

TEST_P(TypeLib, DualInterface) {
    Ptr<ITypeInfo> dispatch, info;
    ASSERT_NO_FATAL_FAILURE(Find("ILumawipe", TKIND_DISPATCH, dispatch));
    HREFTYPE vtableSide = 0;
    ASSERT_EQ(dispatch->GetRefTypeOfImplType(UINT(-1), &vtableSide), S_OK);
    ASSERT_EQ(dispatch->GetRefTypeInfo(vtableSide, info.Put()), S_OK);

    constexpr UINT Inherited = 7;  // IUnknown's 3 entries and IDispatch's 4
    UINT functions = 0;
    for (const Member& m : Members) functions += m.Type.Vt == VT_EMPTY ? 1 : 2;
    ASSERT_EQ(functions, 36u);
    {
        TypeAttr attr(info.p);
        EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
        for (WORD flag : {TYPEFLAG_FDUAL, TYPEFLAG_FHIDDEN, TYPEFLAG_FOLEAUTOMATION})
            EXPECT_TRUE(attr->wTypeFlags & flag) << "flag " << flag;
        EXPECT_EQ(attr->wMajorVerNum, 3);
        EXPECT_EQ(attr->wMinorVerNum, 0);
        EXPECT_EQ(attr->cFuncs, functions);
        EXPECT_EQ(attr->cbSizeVft, (Inherited + functions) * sizeof(void*));
        ASSERT_EQ(attr->cImplTypes, 1);
        HREFTYPE base = 0;
        Ptr<ITypeInfo> baseInfo;
        ASSERT_EQ(info->GetRefTypeOfImplType(0, &base), S_OK);
        ASSERT_EQ(info->GetRefTypeInfo(base, baseInfo.Put()), S_OK);
        EXPECT_EQ(Documentation(baseInfo.p, -1).Name, "IDispatch");
    }

    UINT index = 0;
    for (const Member& m : Members) {
        const INVOKEKIND kinds[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT};
        const bool property = m.Type.Vt != VT_EMPTY;
        for (INVOKEKIND kind : property ? std::vector(kinds + 1, kinds + 3) : std::vector(kinds, kinds + 1)) {
            SCOPED_TRACE(std::string(m.Name) + " invoke kind " + std::to_string(kind));
            FuncDesc f(info.p, index);
            EXPECT_EQ(Documentation(info.p, f->memid).Name, m.Name);
            EXPECT_EQ(f->memid, m.Dispid);
            EXPECT_EQ(f->invkind, kind);
            EXPECT_EQ(f->oVft, SHORT((Inherited + index) * sizeof(void*)));
            EXPECT_EQ(f->callconv, CC_STDCALL);
            EXPECT_EQ(f->elemdescFunc.tdesc.vt, VT_HRESULT);
            ++index;
            ASSERT_EQ(f->cParams, property ? 1 : 0);
            if (!property) continue;
            const ELEMDESC& param = f->lprgelemdescParam[0];
            if (kind == INVOKE_PROPERTYGET) {
                EXPECT_EQ(param.paramdesc.wParamFlags, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
                ASSERT_EQ(param.tdesc.vt, VT_PTR);
                ExpectType(info.p, *param.tdesc.lptdesc, m.Type);
            } else {
                EXPECT_EQ(param.paramdesc.wParamFlags, PARAMFLAG_FIN);
                ExpectType(info.p, param.tdesc, m.Type);
            }
            // The parameter's name (GetNames finds a property's names by its DISPID alone).
            BSTR names[2] = {};
            UINT count = 0;
            ASSERT_EQ(info->GetNames(f->memid, names, 2, &count), S_OK);
            ASSERT_EQ(count, 2u);
            EXPECT_EQ(Narrow(names[1]), "Value");
            SysFreeString(names[0]), SysFreeString(names[1]);
        }
    }
}

TEST_P(TypeLib, EventInterface) {
    Ptr<ITypeInfo> events;
    ASSERT_NO_FATAL_FAILURE(Find("ILumawipeEvents", TKIND_DISPATCH, events));
    {
        TypeAttr attr(events.p);
        EXPECT_FALSE(attr->wTypeFlags & TYPEFLAG_FDUAL);
        ASSERT_EQ(attr->cFuncs, 1);
    }
    FuncDesc f(events.p, 0);
    EXPECT_EQ(Documentation(events.p, f->memid).Name, "OnDone");
    EXPECT_EQ(f->memid, 1);
    EXPECT_EQ(f->invkind, INVOKE_FUNC);
    EXPECT_EQ(f->funckind, FUNC_DISPATCH);
    EXPECT_EQ(f->cParams, 0);
    EXPECT_EQ(f->elemdescFunc.tdesc.vt, VT_VOID);
}

// Every enumeration holds the engine's identifiers with their ordinals, and nothing more.
TEST_P(TypeLib, Enumerations) {
    const struct {
        const char* Name;
        std::vector<std::string_view> Values;
    } cases[] = {
        {"TxTransitionModifier", {std::begin(Wipekit::ModifierNames), std::end(Wipekit::ModifierNames)}},
        {"TxTransitionOperation",
         {Wipekit::OperationNames, Wipekit::OperationNames + Wipekit::ControlOperationCount}},
        {"TxRGBOrder", {std::begin(Wipekit::RGBOrderNames), std::end(Wipekit::RGBOrderNames)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Ptr<ITypeInfo> info;
        ASSERT_NO_FATAL_FAILURE(Find(c.Name, TKIND_ENUM, info));
        ASSERT_EQ(TypeAttr(info.p)->cVars, c.Values.size());
        for (UINT i = 0; i < c.Values.size(); ++i) {
            VARDESC* var = nullptr;
            ASSERT_EQ(info->GetVarDesc(i, &var), S_OK);
            EXPECT_EQ(Documentation(info.p, var->memid).Name, c.Values[i]);
            EXPECT_EQ(var->varkind, VAR_CONST);
            ASSERT_EQ(V_VT(var->lpvarValue), VT_I4);
            EXPECT_EQ(V_I4(var->lpvarValue), LONG(i)) << c.Values[i];
            info->ReleaseVarDesc(var);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(, TypeLib, testing::Values(Source::File, Source::Resource),
                         [](const testing::TestParamInfo<Source>& p) {
                             return p.param == Source::File ? "TlbFile" : "Resource";
                         });

}  // namespace
