// lumawipe-deployfiles: writes the files that deploy Lumawipe.ocx, at build time, on the
// build machine.
//
//   lumawipe-deployfiles assembly ARCH OUT              the side-by-side assembly manifest
//   lumawipe-deployfiles application NAME OUT           an application's manifest using it
//   lumawipe-deployfiles installer ARCH CONTROL DEMO OUT [--older]
//                                                       the installer's source for wixl
//
// ARCH is the build's processor (i686, x86_64); CONTROL and DEMO are the paths of
// Lumawipe.ocx and Demo.exe relative to OUT's folder; --older makes the source of an
// earlier version of the product, for testing upgrades.
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "deploy/DeployFiles.h"

namespace {

int Usage() {
    std::fputs("usage: lumawipe-deployfiles assembly ARCH OUT\n"
               "       lumawipe-deployfiles application NAME OUT\n"
               "       lumawipe-deployfiles installer ARCH CONTROL DEMO OUT [--older]\n",
               stderr);
    return 2;
}

// Writes text to path, replacing the file only when it changes (the build then leaves
// what depends on it alone).
bool Write(const std::string& path, const std::string& text) {
    std::ifstream old(path, std::ios::binary);
    if (old) {
        const std::string current((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
        if (current == text) return true;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "lumawipe-deployfiles: cannot write %s\n", path.c_str());
    return bool(out);
}

const Deploy::TArchitecture* Architecture(const std::string& name) {
    const Deploy::TArchitecture* arch = Deploy::ArchitectureOf(name);
    if (!arch) std::fprintf(stderr, "lumawipe-deployfiles: unknown architecture '%s' (i686, x86_64)\n", name.c_str());
    return arch;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 3 && args[0] == "assembly") {
            const Deploy::TArchitecture* arch = Architecture(args[1]);
            return arch && Write(args[2], Deploy::AssemblyManifest(*arch)) ? 0 : 1;
        }
        if (args.size() == 3 && args[0] == "application")
            return Write(args[2], Deploy::ApplicationManifest(args[1])) ? 0 : 1;
        if ((args.size() == 5 || (args.size() == 6 && args[5] == "--older")) && args[0] == "installer") {
            const Deploy::TArchitecture* arch = Architecture(args[1]);
            const Deploy::TPackage package{args[2], args[3], args.size() == 6};
            return arch && Write(args[4], Deploy::InstallerSource(*arch, package)) ? 0 : 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumawipe-deployfiles: %s\n", e.what());
        return 1;
    }
    return Usage();
}
