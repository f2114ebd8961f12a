// Registry state as the registration tests compare it: the keys below a key with their
// values, the keys registration of Lumawipe.ocx owns below a classes root, and programs
// (regsvr32, msiexec) run to their end.
#pragma once

#include "toolkit/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace AxTest {

// Keys by their path below the root read, each with its values as "name=data" (the
// default value with an empty name; a default value that is absent or empty shows none).
using Keys = std::map<std::wstring, std::vector<std::wstring>>;

// The tree below root\path, shown as shown\...; empty when the key does not exist.
Keys ReadTree(HKEY root, const std::wstring& path, const std::wstring& shown);

// The roots of classes: the merged view, the machine's and the current user's.
struct ClassesRoot {
    HKEY Root;
    const wchar_t* Path;  // of the classes key below Root
};
inline const ClassesRoot MergedClasses{HKEY_CLASSES_ROOT, L""};
inline const ClassesRoot MachineClasses{HKEY_LOCAL_MACHINE, L"Software\\Classes"};
inline const ClassesRoot UserClasses{HKEY_CURRENT_USER, L"Software\\Classes"};

// What registration of the control touches below a classes root: the classes' keys, the
// ProgID, the type library and its interfaces.
Keys Registered(const ClassesRoot& classes = MergedClasses);
// The part of keys that belongs to the classes (CLSID and ProgID keys).
Keys ClassPart(const Keys& keys);
// The keys the control's and the page's classes own, exactly, for the library at path.
Keys ExpectedClassKeys(const std::wstring& path);
// A directory path names the same folder with or without its final backslash.
Keys WithoutFinalBackslashes(Keys keys);

std::string Show(const Keys& keys);
// Whether got equals expected; when not, the keys that differ with their values on
// either side (not the whole of two large trees).
testing::AssertionResult SameKeys(const Keys& got, const Keys& expected);

// Runs a command line to its end, in folder (empty: this process's); its exit code, or -1
// with a test failure.
DWORD RunProgram(const std::wstring& commandLine, const std::wstring& folder = L"", DWORD timeoutMs = 120000);
// regsvr32 (of this process's architecture, so it writes the registry view this process
// reads) with the given options on the library at path.
DWORD Regsvr32(const std::wstring& options, const std::wstring& path);

}  // namespace AxTest
