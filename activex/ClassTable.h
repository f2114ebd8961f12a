/* The classes Lumawipe.ocx serves and its type library, written once. The IDL takes the
   identifiers and descriptions from the macros below and gives them to the type library;
   registration (machine-wide and per user), the side-by-side manifests and the installer
   read the table of the C++ part. A plain C header above that part, as the IDL compiler
   reads it too. Never change an identifier: containers store them. */
#pragma once

#include "activex/Version.h"

/* One family, identical but for the last hex digit of the first group: 1 library,
   2 ILumawipe, 3 ILumawipeEvents, 4 the control (5..7, the enumerations, are the IDL's). */
#define LUMAWIPE_LIBID f91df8f1-3616-4a7d-b880-733892f7b7ac
#define LUMAWIPE_IID_ILUMAWIPE f91df8f2-3616-4a7d-b880-733892f7b7ac
#define LUMAWIPE_IID_EVENTS f91df8f3-3616-4a7d-b880-733892f7b7ac
#define LUMAWIPE_CLSID_CONTROL f91df8f4-3616-4a7d-b880-733892f7b7ac
/* The property page belongs to no family. */
#define LUMAWIPE_CLSID_PAGE 6c0a9d52-8e1b-4f37-a2c4-5b9e13d7f086

#define LUMAWIPE_LIBRARY_DESCRIPTION "Lumawipe ActiveX Control"
#define LUMAWIPE_CONTROL_DESCRIPTION "Lumawipe Control"

#ifdef __cplusplus

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ClassTable {

// A GUID as plain numbers, read from its text at compile time.
struct TGuid {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0, Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};

    // As the platform's GUID structure (CLSID, IID), which has the same four fields.
    template <class Guid>
    constexpr Guid As() const {
        return Guid{Data1, Data2, Data3, {Data4[0], Data4[1], Data4[2], Data4[3], Data4[4], Data4[5], Data4[6], Data4[7]}};
    }
    // "{F91DF8F4-3616-4A7D-B880-733892F7B7AC}", as the registry and manifests write it.
    std::string Text() const {
        constexpr char digits[] = "0123456789ABCDEF";
        std::string text = "{";
        auto put = [&](std::uint64_t value, int count) {
            for (int i = count - 1; i >= 0; --i) text += digits[(value >> (4 * i)) & 0xF];
        };
        put(Data1, 8), text += '-', put(Data2, 4), text += '-', put(Data3, 4), text += '-';
        for (int i = 0; i < 8; ++i) put(Data4[i], 2), text += i == 1 ? "-" : "";
        return text + "}";
    }
    friend constexpr bool operator==(const TGuid&, const TGuid&) = default;
};

namespace Detail {
constexpr std::uint64_t Hex(std::string_view text) {
    std::uint64_t value = 0;
    for (char c : text) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10 : throw "not a hexadecimal digit";
        value = value * 16 + std::uint64_t(digit);
    }
    return value;
}
}  // namespace Detail

// "f91df8f4-3616-4a7d-b880-733892f7b7ac"; anything else does not compile as a constant.
constexpr TGuid Guid(std::string_view text) {
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        throw "not a GUID";
    TGuid guid{std::uint32_t(Detail::Hex(text.substr(0, 8))), std::uint16_t(Detail::Hex(text.substr(9, 4))),
               std::uint16_t(Detail::Hex(text.substr(14, 4))), {}};
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = std::uint8_t(Detail::Hex(text.substr(i < 2 ? 19 + 2 * i : 24 + 2 * (i - 2), 2)));
    return guid;
}

#define LUMAWIPE_GUID_TEXT(x) #x
#define LUMAWIPE_GUID(x) ::ClassTable::Guid(LUMAWIPE_GUID_TEXT(x))

// The library's file, and the name of the side-by-side assembly that holds it.
constexpr std::string_view ServerFile = "Lumawipe.ocx";
constexpr std::string_view AssemblyName = "Lumawipe.Control";
constexpr std::string_view AssemblyVersion = LUMAWIPE_VERSION_TEXT;

// The type library, embedded in the server as resource TYPELIB 1.
struct TTypeLibrary {
    TGuid Libid;
    unsigned Major, Minor;
    std::string_view Description;
    bool Control;  // describes controls (LIBFLAG_FCONTROL)
};
constexpr TTypeLibrary TypeLibrary{LUMAWIPE_GUID(LUMAWIPE_LIBID), LUMAWIPE_VERSION_MAJOR, LUMAWIPE_VERSION_MINOR,
                                   LUMAWIPE_LIBRARY_DESCRIPTION, true};

// "3.0", and TypeLib\{LIBID}\3.0, the type library's version key.
inline std::string TypeLibraryVersion() {
    return std::to_string(TypeLibrary.Major) + "." + std::to_string(TypeLibrary.Minor);
}
inline std::string TypeLibraryKey() { return "TypeLib\\" + TypeLibrary.Libid.Text() + "\\" + TypeLibraryVersion(); }

// The interfaces the type library describes for automation, marshalled from it.
struct TInterface {
    std::string_view Name;
    TGuid Iid;
    bool Dual;  // a dual interface (else a dispatch interface)
};
constexpr TInterface Interfaces[] = {
    {"ILumawipe", LUMAWIPE_GUID(LUMAWIPE_IID_ILUMAWIPE), true},
    {"ILumawipeEvents", LUMAWIPE_GUID(LUMAWIPE_IID_EVENTS), false},
};

// A verb a container offers for a control: "name,menu flags,attributes" under Verb\<number>.
struct TVerb {
    int Number;
    std::string_view Name;
    unsigned MenuFlags, Attributes;
};

// One class the server makes.
struct TClass {
    TGuid Clsid;
    std::string_view Description;  // the class key's default value
    std::string_view ProgId;       // empty: none
    // The threading model the side-by-side manifest states. The registry entries leave it
    // out, as the machine-wide registration always has: COM then makes the objects in the
    // container's main apartment.
    std::string_view ThreadingModel;
    bool Control;  // an ActiveX control: the entries below, in its class key
    // Control only: its own status flags, its toolbox bitmap resource, its verbs.
    std::uint32_t MiscStatus = 0;
    int ToolboxBitmap = 0;
    std::span<const TVerb> Verbs = {};
};

// The status flags every control of the framework adds to its own (Com::ControlMiscStatus:
// OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
// OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST).
constexpr std::uint32_t FrameworkMiscStatus = 0x20191;
// A control's status flags for its content aspect (MiscStatus\1).
constexpr std::uint32_t ContentMiscStatus(const TClass& c) { return c.MiscStatus | FrameworkMiscStatus; }

constexpr TVerb ControlVerbs[] = {{0, "Properties", 0, 2}};
constexpr TClass Control{LUMAWIPE_GUID(LUMAWIPE_CLSID_CONTROL), LUMAWIPE_CONTROL_DESCRIPTION, "Lumawipe.Lumawipe",
                         "Apartment", true, 0, 1, ControlVerbs};
constexpr TClass PropertyPage{LUMAWIPE_GUID(LUMAWIPE_CLSID_PAGE), "TLumawipeProperties property page", "",
                              "Apartment", false};
constexpr const TClass* Classes[] = {&Control, &PropertyPage};

// One registry entry: a key below the classes root and its default value.
struct TEntry {
    std::string Key;
    std::string Value;
};

// A registry value: a key below the classes root, the value's name (empty: the key's
// default value) and its text.
struct TValue {
    std::string Key, Name, Value;
};

// The proxy-stub classes of automation: interfaces a type library describes are
// marshalled from it, dual ones as OLE Automation interfaces, dispatch-only ones as IDispatch.
constexpr TGuid AutomationProxy = Guid("00020424-0000-0000-c000-000000000046");
constexpr TGuid DispatchProxy = Guid("00020420-0000-0000-c000-000000000046");

// The entries of each class, parents before children (removal takes them backwards),
// for the server file at path.
inline std::vector<std::vector<TEntry>> RegistryEntries(const std::string& path) {
    const std::string version = TypeLibraryVersion();
    std::vector<std::vector<TEntry>> classes;
    for (const TClass* c : Classes) {
        const std::string key = "CLSID\\" + c->Clsid.Text();
        const std::string progId(c->ProgId);
        std::vector<TEntry> entries = {{key, std::string(c->Description)}, {key + "\\InprocServer32", path}};
        if (!progId.empty()) {
            entries.push_back({key + "\\ProgID", progId});
            entries.push_back({progId, std::string(c->Description)});
            entries.push_back({progId + "\\Clsid", c->Clsid.Text()});
        }
        if (c->Control) {
            entries.push_back({key + "\\Version", version});
            entries.push_back({key + "\\TypeLib", TypeLibrary.Libid.Text()});
            entries.push_back({key + "\\MiscStatus", std::to_string(c->MiscStatus)});
            entries.push_back({key + "\\MiscStatus\\1", std::to_string(ContentMiscStatus(*c))});
            entries.push_back({key + "\\ToolboxBitmap32", path + "," + std::to_string(c->ToolboxBitmap)});
            entries.push_back({key + "\\Control", ""});
            entries.push_back({key + "\\Verb", ""});
            for (const TVerb& verb : c->Verbs)
                entries.push_back({key + "\\Verb\\" + std::to_string(verb.Number),
                                   std::string(verb.Name) + "," + std::to_string(verb.MenuFlags) + "," +
                                       std::to_string(verb.Attributes)});
        }
        classes.push_back(std::move(entries));
    }
    return classes;
}

// What registering the type library of the server file at path in folder writes, as
// RegisterTypeLib does it: the version key with the file for the architecture (win32 or
// win64), the flags and the help folder, and the key of each interface with its proxy and
// library; parents before children.
inline std::vector<TValue> TypeLibraryEntries(bool win64, const std::string& path, const std::string& folder) {
    const std::string key = TypeLibraryKey();
    // LIBFLAG_FCONTROL, and LIBFLAG_FHASDISKIMAGE: the library is a file (a resource of one).
    const unsigned flags = (TypeLibrary.Control ? 2u : 0u) | 8u;
    std::vector<TValue> values = {
        {key, "", std::string(TypeLibrary.Description)},
        {key + "\\0\\" + (win64 ? "win64" : "win32"), "", path},
        {key + "\\FLAGS", "", std::to_string(flags)},
        {key + "\\HELPDIR", "", folder},
    };
    for (const TInterface& i : Interfaces) {
        const std::string iface = "Interface\\" + i.Iid.Text();
        const std::string proxy = (i.Dual ? AutomationProxy : DispatchProxy).Text();
        values.push_back({iface, "", std::string(i.Name)});
        values.push_back({iface + "\\ProxyStubClsid", "", proxy});
        values.push_back({iface + "\\ProxyStubClsid32", "", proxy});
        values.push_back({iface + "\\TypeLib", "", TypeLibrary.Libid.Text()});
        values.push_back({iface + "\\TypeLib", "Version", TypeLibraryVersion()});
    }
    return values;
}

}  // namespace ClassTable

#endif
