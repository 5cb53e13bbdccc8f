#include "shell/Registry.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace shell;

namespace {

constexpr char kMachineKey[] = "SOFTWARE\\GlimmoraShellTests";
constexpr char kClassKey[] = "GlimmoraShellTests.Class";

// A key of its own below HKEY_CURRENT_USER, removed afterwards.
class RegistryTest : public ::testing::Test {
protected:
    RegistryTest()
        : base("Software\\GlimmoraShellTests\\" + std::to_string(GetCurrentProcessId())) {}
    ~RegistryTest() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\GlimmoraShellTests");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMachineKey);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey);
    }

    std::string Key(const std::string& below) const { return base + "\\" + below; }

    void SetRaw(const std::string& keyPath, const char* name, DWORD type, const void* data,
                DWORD size) {
        RegKey key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key.Receive(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    const std::string base;
};

} // namespace

TEST_F(RegistryTest, WrittenStringsReadBack) {
    const std::string key = Key("App Paths\\GLIMR32.EXE");
    EXPECT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, "", "C:\\PICS\\GLIMR32.EXE"));
    EXPECT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, "Path", "C:\\PICS"));
    EXPECT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, "Empty", ""));
    EXPECT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, "Umlaut",
                               "Gr\xF6\xDF"
                               "e"));
    const std::string longText(5000, 'L');
    EXPECT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, "Long", longText));

    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, ""), "C:\\PICS\\GLIMR32.EXE");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "Path"), "C:\\PICS");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "path"), "C:\\PICS");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "Empty"), "");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "Umlaut"), "Gr\xF6\xDF"
                                                               "e");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "Long"), longText);

    EXPECT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, "Path", "D:\\TOOLS"));
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "Path"), "D:\\TOOLS");
}

TEST_F(RegistryTest, WritesRegSzWithItsTerminatingZero) {
    const std::string key = Key("Typed");
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, "Value", "abc"));
    RegKey opened;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, opened.Receive()),
              ERROR_SUCCESS);
    DWORD type = 0;
    char data[16] = {};
    DWORD size = sizeof data;
    ASSERT_EQ(RegQueryValueExA(opened.Get(), "Value", nullptr, &type, reinterpret_cast<BYTE*>(data),
                               &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD{REG_SZ});
    EXPECT_EQ(size, 4u);
    EXPECT_STREQ(data, "abc");
}

TEST_F(RegistryTest, ReadsOnlyStringValues) {
    const std::string key = Key("Types");
    const DWORD number = 0x41424344;
    SetRaw(key, "Dword", REG_DWORD, &number, sizeof number);
    SetRaw(key, "Expand", REG_EXPAND_SZ, "%windir%", 9);
    SetRaw(key, "Multi", REG_MULTI_SZ, "a\0b\0", 5);
    SetRaw(key, "Binary", REG_BINARY, "text", 5);
    for (const char* name : {"Dword", "Expand", "Multi", "Binary", "Missing"})
        EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, name), "") << name;
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, Key("NoSuchKey"), ""), "");
}

TEST_F(RegistryTest, ReadsStringsWithoutOrWithEmbeddedZeros) {
    const std::string key = Key("Raw");
    SetRaw(key, "Unterminated", REG_SZ, "abc", 3);
    SetRaw(key, "Embedded", REG_SZ, "ab\0cd", 6);
    SetRaw(key, "ZeroSize", REG_SZ, "", 0);
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "Unterminated"), "abc");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "Embedded"), "ab");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, "ZeroSize"), "");
}

TEST_F(RegistryTest, KeyExistsAfterWritingAValueBelowIt) {
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Key("Glimmora32")));
    ASSERT_TRUE(
        WriteRegString(HKEY_CURRENT_USER, Key("Glimmora32\\shell\\open\\command"), "", "x %1"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, Key("Glimmora32")));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, Key("Glimmora32\\shell\\open")));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Key("Glimmora32\\PMGroup")));
}

TEST_F(RegistryTest, DeletesAKeyWithSubkeysAndValues) {
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, Key("Glimmora32"), "", "Glimmora Picture File"));
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, Key("Glimmora32\\EXEPath"), "", "C:\\PICS"));
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, Key("Glimmora32\\shell\\open\\command"), "",
                               "C:\\PICS\\GLIMR32.EXE %1"));
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, Key("Glimmora32\\PMGroup"), "", "Glimmora"));
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, Key("Glimmora32Other"), "", "stays"));

    EXPECT_TRUE(DeleteRegKey(HKEY_CURRENT_USER, Key("Glimmora32")));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Key("Glimmora32")));
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, Key("Glimmora32Other"), ""), "stays");
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, base));

    EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, Key("Glimmora32"))) << "already gone";
}

TEST_F(RegistryTest, DeletesALeafKey) {
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, Key(".BMP"), "", "Glimmora32"));
    EXPECT_TRUE(DeleteRegKey(HKEY_CURRENT_USER, Key(".BMP")));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Key(".BMP")));
}

TEST_F(RegistryTest, RefusesToDeleteTheRootItself) {
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, Key("Child"), "", "x"));
    EXPECT_FALSE(DeleteRegKey(HKEY_CURRENT_USER, ""));
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, Key("Child"), ""), "x");
}

TEST_F(RegistryTest, DeletesOneValue) {
    const std::string key = Key("Extensions");
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, ".BMP", "GLIMR32.EXE ^.bmp"));
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, ".GIF", "other.exe ^.gif"));
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, key, "", "default"));

    EXPECT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, key, ".BMP"));
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, ".BMP"), "");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, ".GIF"), "other.exe ^.gif");
    EXPECT_FALSE(DeleteRegValue(HKEY_CURRENT_USER, key, ".BMP")) << "already gone";

    EXPECT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, key, ""));
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, ""), "");
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, key));
    EXPECT_FALSE(DeleteRegValue(HKEY_CURRENT_USER, Key("NoSuchKey"), ".BMP"));
}

TEST_F(RegistryTest, WorksUnderTheMachineAndClassesRoots) {
    const std::string machineKey = kMachineKey;
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, machineKey + "\\Sub", "Path", "C:\\PICS"));
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, machineKey + "\\Sub", "Path"), "C:\\PICS");
    EXPECT_TRUE(DeleteRegKey(HKEY_LOCAL_MACHINE, machineKey));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, machineKey));

    const std::string classKey = kClassKey;
    ASSERT_TRUE(WriteRegString(HKEY_CLASSES_ROOT, classKey + "\\shell\\open\\command", "", "x"));
    EXPECT_EQ(ReadRegString(HKEY_CLASSES_ROOT, classKey + "\\shell\\open\\command", ""), "x");
    EXPECT_TRUE(DeleteRegKey(HKEY_CLASSES_ROOT, classKey));
    EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, classKey));
}

TEST(RegKey, ClosesItsKeyOnce) {
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &raw), ERROR_SUCCESS);
    {
        RegKey first(raw);
        RegKey second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.Get(), raw);
        RegKey third;
        third = std::move(second);
        EXPECT_EQ(third.Get(), raw);
    }
    DWORD subkeys = 0;
    EXPECT_NE(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS)
        << "the handle is still open";
}
