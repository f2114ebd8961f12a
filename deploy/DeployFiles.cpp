#include "deploy/DeployFiles.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "activex/ClassTable.h"
#include "engine/Maker.h"

namespace Deploy {

namespace {

using ClassTable::TClass;

const TArchitecture Architectures[] = {
    {"i686", "x86", "x86", false, "{1F1E6042-F706-485F-82F9-386FC166197E}", "{F687EF5B-A9EE-4ACD-BC10-B6823E690331}",
     "{6C9819A9-941C-4FEE-9EF4-ACBD9E8489AB}", "{B1C755E9-8E23-47B7-8B70-F1516D7DFFB8}"},
    {"x86_64", "amd64", "x64", true, "{7B2F2196-4BE3-4E13-AD8F-84993EA2413D}", "{ACCF3F1D-86CC-4B9E-8514-873465F9B150}",
     "{6DA5DD09-0DF4-4E15-9922-A532CAA80326}", "{E47685DE-E423-44EC-92D2-851A117DBABF}"},
};

// The keywords of status flags in a manifest's miscStatus attributes (OLEMISC_*), by bit.
constexpr std::string_view MiscStatusNames[] = {
    "recomposeonresize", "onlyiconic",       "insertnotreplace", "static",
    "cantlinkinside",    "canlinkbyole1",    "islinkobject",     "insideout",
    "activatewhenvisible", "renderingisdeviceindependent", "invisibleatruntime", "alwaysrun",
    "actslikebutton",    "actslikelabel",    "nouiactivate",     "alignable",
    "simpleframe",       "setclientsitefirst", "imemode",        "ignoreactivatewhenvisible",
    "wantstomenumerge",  "supportsmultilevelundo",
};

std::string MiscStatusText(std::uint32_t flags) {
    std::string text;
    for (std::size_t bit = 0; bit < 32; ++bit) {
        if (!(flags & (std::uint32_t(1) << bit))) continue;
        if (bit >= std::size(MiscStatusNames)) throw std::invalid_argument("a status flag has no manifest keyword");
        text += (text.empty() ? "" : ",") + std::string(MiscStatusNames[bit]);
    }
    return text;
}

// Text as an XML attribute value.
std::string Xml(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Attribute(std::string_view name, std::string_view value) {
    return " " + std::string(name) + "=\"" + Xml(value) + "\"";
}

std::string Version() { return std::string(ClassTable::AssemblyVersion); }

std::string AssemblyIdentity(std::string_view name, std::string_view version, std::string_view arch) {
    return "<assemblyIdentity" + Attribute("type", "win32") + Attribute("name", name) + Attribute("version", version) +
           Attribute("processorArchitecture", arch) + "/>";
}

std::string ComClass(const TClass& c) {
    std::string element = "<comClass" + Attribute("clsid", c.Clsid.Text());
    if (!c.ProgId.empty()) element += Attribute("progid", c.ProgId);
    element += Attribute("threadingModel", c.ThreadingModel);
    if (c.Control) element += Attribute("tlbid", ClassTable::TypeLibrary.Libid.Text());
    element += Attribute("description", c.Description);
    if (c.Control) {
        if (c.MiscStatus) element += Attribute("miscStatus", MiscStatusText(c.MiscStatus));
        element += Attribute("miscStatusContent", MiscStatusText(ClassTable::ContentMiscStatus(c)));
    }
    return element + "/>";
}

// Registry text for the installer (an MSI formatted string): brackets stand for themselves.
std::string Formatted(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '[') out += "[\\[]";
        else if (c == ']') out += "[\\]]";
        else out += c;
    }
    return out;
}

// A GUID that the name alone decides (two 64-bit FNV-1a hashes, marked as a name-based
// GUID): the product code of a version and architecture. A package rebuilt with the same
// version is then the same product to the installer, never a second one beside it.
std::string NameGuid(std::string_view name) {
    auto hash = [&](std::uint64_t h) {
        for (unsigned char c : name) h = (h ^ c) * 0x100000001b3u;
        return h;
    };
    const std::uint64_t high = hash(0xcbf29ce484222325u), low = hash(0x84222325cbf29ce4u);
    ClassTable::TGuid guid{std::uint32_t(high >> 32), std::uint16_t(high >> 16),
                           std::uint16_t((high & 0x0FFF) | 0x5000), {}};
    for (int i = 0; i < 8; ++i) guid.Data4[i] = std::uint8_t(low >> (56 - 8 * i));
    guid.Data4[0] = std::uint8_t((guid.Data4[0] & 0x3F) | 0x80);
    return guid.Text();
}

// Replaces every occurrence of from in text by to.
std::string Replace(std::string text, std::string_view from, std::string_view to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

const TArchitecture* ArchitectureOf(std::string_view build) {
    for (const TArchitecture& arch : Architectures)
        if (arch.Build == build) return &arch;
    return nullptr;
}

std::string AssemblyManifest(const TArchitecture& arch) {
    std::string m = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n  " +
                    AssemblyIdentity(ClassTable::AssemblyName, Version(), arch.Manifest) + "\n" + "  <file" +
                    Attribute("name", ClassTable::ServerFile) + ">\n";
    for (const TClass* c : ClassTable::Classes) m += "    " + ComClass(*c) + "\n";
    m += "    <typelib" + Attribute("tlbid", ClassTable::TypeLibrary.Libid.Text()) +
         Attribute("version", ClassTable::TypeLibraryVersion()) + Attribute("helpdir", "") +
         (ClassTable::TypeLibrary.Control ? Attribute("flags", "CONTROL") : "") + "/>\n";
    m += "  </file>\n";
    for (const ClassTable::TInterface& i : ClassTable::Interfaces)
        m += "  <comInterfaceExternalProxyStub" + Attribute("name", i.Name) + Attribute("iid", i.Iid.Text()) +
             Attribute("tlbid", ClassTable::TypeLibrary.Libid.Text()) +
             Attribute("proxyStubClsid32", (i.Dual ? ClassTable::AutomationProxy : ClassTable::DispatchProxy).Text()) +
             "/>\n";
    return m + "</assembly>\n";
}

std::string ApplicationManifest(std::string_view name) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n  " +
           AssemblyIdentity(name, "1.0.0.0", "*") +
           "\n  <dependency>\n    <dependentAssembly>\n      " +
           AssemblyIdentity(ClassTable::AssemblyName, Version(), "*") +
           "\n    </dependentAssembly>\n  </dependency>\n</assembly>\n";
}

std::string InstallerSource(const TArchitecture& arch, const TPackage& package) {
    static_assert(ClassTable::TypeLibrary.Major >= 1, "an older version needs a major version above 0");
    const std::string version = package.Older ? std::to_string(ClassTable::TypeLibrary.Major - 1) + "." +
                                                    std::to_string(ClassTable::TypeLibrary.Minor) + ".0.0"
                                              : Version();
    const std::string product(ClassTable::TypeLibrary.Description);
    const std::string win64 = arch.Win64 ? Attribute("Win64", "yes") : "";
    // Registration from the installer's own registry table, never by running the library:
    // the entries of the machine-wide registration and of the type library's, with the
    // installed file's path and folder in place of the marks.
    const std::string pathMark = "\x01", folderMark = "\x02";
    std::string registry;
    auto add = [&](const std::string& key, const std::string& name, const std::string& value) {
        const std::string text = Replace(Replace(Formatted(value), pathMark, "[#LumawipeOcx]"), folderMark, "[INSTALLDIR]");
        registry += "            <RegistryValue" + Attribute("Root", "HKLM") +
                    Attribute("Key", Formatted("Software\\Classes\\" + key)) +
                    (name.empty() ? "" : Attribute("Name", Formatted(name))) + Attribute("Type", "string") +
                    Attribute("Value", text) + "/>\n";
    };
    for (const std::vector<ClassTable::TEntry>& entries : ClassTable::RegistryEntries(pathMark))
        for (const ClassTable::TEntry& e : entries) add(e.Key, "", e.Value);
    for (const ClassTable::TValue& v : ClassTable::TypeLibraryEntries(arch.Win64, pathMark, folderMark))
        add(v.Key, v.Name, v.Value);

    std::string s = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                    "<!-- Lumawipe.ocx and Demo.exe for " + std::string(arch.Package) +
                    ", written from activex/ClassTable.h by the deployment files' generator. -->\n"
                    "<Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">\n";
    const std::string productCode =
        NameGuid(std::string(ClassTable::AssemblyName) + " " + std::string(arch.Package) + " " + version);
    s += "  <Product" + Attribute("Id", productCode) + Attribute("Name", product) + Attribute("Language", "1033") +
         Attribute("Version", version) + Attribute("Manufacturer", Wipekit::MakerName) +
         Attribute("UpgradeCode", arch.UpgradeCode) + ">\n";
    s += "    <Package" + Attribute("InstallerVersion", "200") + Attribute("Compressed", "yes") +
         Attribute("InstallScope", "perMachine") + Attribute("Manufacturer", Wipekit::MakerName) +
         Attribute("Description", product + " " + version + " (" + std::string(arch.Package) + ")") + "/>\n";
    s += "    <MajorUpgrade" + Attribute("DowngradeErrorMessage", "A newer version of " + product + " is installed.") +
         "/>\n";
    s += "    <Media Id=\"1\" Cabinet=\"lumawipe.cab\" EmbedCab=\"yes\"/>\n";
    s += "    <Directory Id=\"TARGETDIR\" Name=\"SourceDir\">\n";
    s += "      <Directory" + Attribute("Id", arch.Win64 ? "ProgramFiles64Folder" : "ProgramFilesFolder") + ">\n";
    s += "        <Directory Id=\"INSTALLDIR\" Name=\"Lumawipe\">\n";
    s += "          <Component Id=\"Control\"" + Attribute("Guid", arch.ControlComponent) + win64 + ">\n";
    s += "            <File Id=\"LumawipeOcx\"" + Attribute("Name", ClassTable::ServerFile) +
         Attribute("Source", package.Control) + " KeyPath=\"yes\"/>\n";
    s += registry;
    s += "          </Component>\n";
    s += "          <Component Id=\"Demo\"" + Attribute("Guid", arch.DemoComponent) + win64 + ">\n";
    s += "            <File Id=\"DemoExe\" Name=\"Demo.exe\"" + Attribute("Source", package.Demo) + " KeyPath=\"yes\"/>\n";
    s += "          </Component>\n";
    s += "        </Directory>\n      </Directory>\n";
    s += "      <Directory Id=\"ProgramMenuFolder\">\n        <Directory Id=\"MenuFolder\" Name=\"Lumawipe\">\n";
    s += "          <Component Id=\"Menu\"" + Attribute("Guid", arch.MenuComponent) + win64 + ">\n";
    s += "            <Shortcut Id=\"DemoShortcut\" Name=\"Lumawipe Demo\"" +
         Attribute("Description", "Plays transitions of the Lumawipe engine") +
         " Target=\"[#DemoExe]\" WorkingDirectory=\"INSTALLDIR\"/>\n";
    s += "            <RemoveFolder Id=\"MenuFolder\" On=\"uninstall\"/>\n";
    s += "          </Component>\n        </Directory>\n      </Directory>\n";
    s += "    </Directory>\n";
    s += "    <Feature Id=\"Complete\" Level=\"1\"" + Attribute("Title", product) + ">\n";
    s += "      <ComponentRef Id=\"Control\"/>\n      <ComponentRef Id=\"Demo\"/>\n      <ComponentRef Id=\"Menu\"/>\n";
    s += "    </Feature>\n  </Product>\n</Wix>\n";
    return s;
}

}  // namespace Deploy
