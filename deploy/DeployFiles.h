// The files that deploy Lumawipe.ocx without running its code, written from the class
// table (activex/ClassTable.h) that the library's own registration reads: the side-by-side
// assembly manifest, the manifest of an application that uses the assembly, and the
// installer's source for wixl, whose registry entries are those of the machine-wide
// registration.
#pragma once

#include <string>
#include <string_view>

namespace Deploy {

// A Windows architecture as the manifests and the installer name it.
struct TArchitecture {
    std::string_view Build;     // the build's processor: i686, x86_64
    std::string_view Manifest;  // processorArchitecture: x86, amd64
    std::string_view Package;   // the installer's platform and file name: x86, x64
    bool Win64;
    // The installer's fixed identities: never change them, or upgrades no longer find
    // the installed product and its components.
    std::string_view UpgradeCode, ControlComponent, DemoComponent, MenuComponent;
};

// The architecture of a build processor (i686, x86_64), or null.
const TArchitecture* ArchitectureOf(std::string_view build);

// The assembly manifest (Lumawipe.Control.manifest) of the library of arch.
std::string AssemblyManifest(const TArchitecture& arch);

// The manifest of an application named name that uses the assembly, for any architecture.
std::string ApplicationManifest(std::string_view name);

// What goes into the installer.
struct TPackage {
    std::string Control;  // Lumawipe.ocx, Demo.exe: paths relative to the source file
    std::string Demo;
    bool Older = false;  // an earlier version of the product (the library's major version less one)
};

// The installer's source for wixl.
std::string InstallerSource(const TArchitecture& arch, const TPackage& package);

}  // namespace Deploy
