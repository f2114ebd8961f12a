// Registration for the current user: regsvr32 /n /i:user writes below
// HKEY_CURRENT_USER\Software\Classes the entries the machine-wide registration writes
// below the machine's classes, type library included, and nothing machine-wide;
// regsvr32 /u /n /i:user leaves the user's classes as they were. DllInstall refuses a
// command line it does not know.
#include "AxFixtures.h"
#include "RegistryKeys.h"

#include <string>

using namespace AxTest;

namespace {

// Everything below a classes key. (The user's classes key itself is left when it is empty:
// Windows always has it, a new Wine prefix not until something is registered there.)
Keys Tree(const ClassesRoot& classes) {
    Keys keys = ReadTree(classes.Root, classes.Path, L"");
    keys.erase(L"");
    return keys;
}

TEST(PerUser, WritesTheMachineWideEntriesForTheUserOnlyAndRemovesThem) {
    ASSERT_EQ(Registered(MachineClasses), Keys{}) << "registered machine-wide:\n" << Show(Registered(MachineClasses));
    ASSERT_EQ(Registered(UserClasses), Keys{}) << "registered for the user:\n" << Show(Registered(UserClasses));
    const Keys machine = Tree(MachineClasses), user = Tree(UserClasses);

    ASSERT_EQ(Regsvr32(L"/s /n /i:user", OcxPath()), 0u);
    const Keys forUser = Registered(UserClasses);
    EXPECT_TRUE(SameKeys(ClassPart(forUser), ExpectedClassKeys(OcxPath()))) << "for the user";
    EXPECT_TRUE(SameKeys(Tree(MachineClasses), machine)) << "machine-wide keys changed";
    ASSERT_EQ(Regsvr32(L"/s /n /i:user", OcxPath()), 0u);
    EXPECT_TRUE(SameKeys(Registered(UserClasses), forUser)) << "registering again changes the registry";

    ASSERT_EQ(Regsvr32(L"/u /s /n /i:user", OcxPath()), 0u);
    EXPECT_TRUE(SameKeys(Tree(UserClasses), user)) << "the user's classes differ from before";
    EXPECT_TRUE(SameKeys(Tree(MachineClasses), machine)) << "machine-wide keys changed";
    EXPECT_EQ(Regsvr32(L"/u /s /n /i:user", OcxPath()), 0u) << "unregistering twice fails";

    // The same entries as the machine-wide registration, type library and interfaces too.
    ASSERT_EQ(Regsvr32(L"/s", OcxPath()), 0u);
    const Keys machineWide = Registered(MachineClasses);
    ASSERT_EQ(Regsvr32(L"/u /s", OcxPath()), 0u);
    EXPECT_TRUE(SameKeys(forUser, machineWide)) << "for the user (got) and machine-wide (expected)";
    EXPECT_TRUE(SameKeys(Tree(MachineClasses), machine)) << "machine-wide registration left keys";
}

// DllInstall called as regsvr32 calls it: "user" in any case registers for the user, an
// empty command line asks for nothing beyond DllRegisterServer, anything else is refused.
TEST(PerUser, DllInstallTakesUserOnly) {
    const Ocx ocx;
    const auto install = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(BOOL, PCWSTR)>(
        reinterpret_cast<void*>(GetProcAddress(ocx.Module(), "DllInstall")));
    ASSERT_NE(install, nullptr);
    const Keys user = Tree(UserClasses), machine = Tree(MachineClasses);
    for (const wchar_t* refused : {L"machine", L"users", L"user ", L"/i:user"}) {
        EXPECT_EQ(install(TRUE, refused), E_INVALIDARG) << testing::PrintToString(std::wstring(refused));
        EXPECT_EQ(install(FALSE, refused), E_INVALIDARG) << testing::PrintToString(std::wstring(refused));
    }
    for (const wchar_t* nothing : {L"", static_cast<const wchar_t*>(nullptr)}) {
        EXPECT_EQ(install(TRUE, nothing), S_OK);
        EXPECT_EQ(install(FALSE, nothing), S_OK);
    }
    EXPECT_TRUE(SameKeys(Tree(UserClasses), user));
    EXPECT_TRUE(SameKeys(Tree(MachineClasses), machine));

    ASSERT_EQ(install(TRUE, L"USER"), S_OK);
    EXPECT_TRUE(SameKeys(ClassPart(Registered(UserClasses)), ExpectedClassKeys(OcxPath())));
    ASSERT_EQ(install(FALSE, L"User"), S_OK);
    EXPECT_TRUE(SameKeys(Tree(UserClasses), user));
    EXPECT_TRUE(SameKeys(Tree(MachineClasses), machine));
}

}  // namespace
