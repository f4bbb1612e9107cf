// The registry: keys and values round trip through the database, names compare without regard
// to case, the calls' buffer rules hold, and a damaged database is reported and left alone.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/system/files/device_paths.h"
#include "platform/system/registry/registry_store.h"
#include "platform/system/windows.h"
#include "tests/platform_files/device_folder.h"

namespace {

using quill_test::DeviceFolderTest;

const BYTE* bytes(const char16_t* text) { return reinterpret_cast<const BYTE*>(text); }
DWORD textBytes(const char16_t* text) { return static_cast<DWORD>((std::char_traits<char16_t>::length(text) + 1) * 2); }

class RegistryTest : public DeviceFolderTest {
 protected:
  void TearDown() override {
    platform::registry::closeRegistryStore();
    DeviceFolderTest::TearDown();
  }
  HKEY create(HKEY parent, const char16_t* path, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(parent, path, 0, const_cast<LPWSTR>(u""), 1, KEY_ALL_ACCESS, nullptr, &key, disposition),
              ERROR_SUCCESS);
    return key;
  }
  std::u16string readText(HKEY key, const char16_t* name, LONG* status = nullptr) {
    char16_t buffer[64] = {};
    DWORD size = sizeof(buffer);
    DWORD type = REG_SZ;
    const LONG result = RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (status != nullptr) *status = result;
    return result == ERROR_SUCCESS ? std::u16string(buffer) : u"<failed>";
  }
};

TEST_F(RegistryTest, TheFileAssociationLayoutRoundTrips) {
  DWORD disposition = 0;
  HKEY viewer = create(HKEY_CLASSES_ROOT, u"Quillscope", &disposition);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  RegCloseKey(viewer);
  viewer = create(HKEY_CLASSES_ROOT, u"Quillscope", &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  RegCloseKey(viewer);

  const char16_t* command = u"\"\\Program Files\\Quillscope\\Quillscope.exe\" %1";
  ASSERT_EQ(std::char_traits<char16_t>::length(command), 45u);
  HKEY open = create(HKEY_CLASSES_ROOT, u"Quillscope\\Shell\\Open\\Command", &disposition);  // parents made too
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  EXPECT_EQ(RegSetValueEx(open, u"Default", 0, REG_SZ, bytes(command), textBytes(command)), ERROR_SUCCESS);
  RegCloseKey(open);

  // Read back after the store was closed: the value came from the database file.
  platform::registry::closeRegistryStore();
  EXPECT_TRUE(std::filesystem::exists(host("Program Files/Quillscope/registry.db")));
  HKEY again = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, u"quillscope\\SHELL\\open\\command", 0, 0, &again), ERROR_SUCCESS);
  char16_t buffer[64] = {};
  DWORD size = 128;
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueEx(again, u"DEFAULT", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 92u);
  EXPECT_EQ(std::u16string(buffer), command);
  RegCloseKey(again);
}

TEST_F(RegistryTest, ValuesKeepTheirTypesAndBytes) {
  HKEY key = create(HKEY_LOCAL_MACHINE, u"Software\\Test");
  const DWORD number = 0xCAFEF00D;
  const BYTE blob[5] = {0, 1, 0xFF, 0, 7};
  ASSERT_EQ(RegSetValueEx(key, u"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, u"Blob", 0, REG_BINARY, blob, 5), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, u"Empty", 0, REG_SZ, bytes(u""), 2), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, nullptr, 0, REG_SZ, bytes(u"unnamed"), textBytes(u"unnamed")), ERROR_SUCCESS);

  DWORD type = 0, size = 4, readNumber = 0;
  EXPECT_EQ(RegQueryValueEx(key, u"number", nullptr, &type, reinterpret_cast<BYTE*>(&readNumber), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(readNumber, number);
  BYTE readBlob[8] = {};
  size = sizeof(readBlob);
  EXPECT_EQ(RegQueryValueEx(key, u"Blob", nullptr, &type, readBlob, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  ASSERT_EQ(size, 5u);
  EXPECT_EQ(std::memcmp(readBlob, blob, 5), 0);
  EXPECT_EQ(readText(key, u"Empty"), u"");
  // The unnamed value answers to nullptr and to the empty name alike.
  EXPECT_EQ(readText(key, nullptr), u"unnamed");
  EXPECT_EQ(readText(key, u""), u"unnamed");
  // A value written again is replaced, type and all.
  ASSERT_EQ(RegSetValueEx(key, u"NUMBER", 0, REG_SZ, bytes(u"now text"), textBytes(u"now text")), ERROR_SUCCESS);
  EXPECT_EQ(readText(key, u"Number"), u"now text");
  RegCloseKey(key);
}

TEST_F(RegistryTest, TooSmallBuffersGetTheNeededSizeAndStayUntouched) {
  HKEY key = create(HKEY_CLASSES_ROOT, u".txt");
  // 64 units and the zero: 130 bytes, one more than the 128 that the association code reads.
  const std::u16string longValue(64, u'x');
  ASSERT_EQ(RegSetValueEx(key, u"Default", 0, REG_SZ, bytes(longValue.c_str()), 130), ERROR_SUCCESS);
  char16_t buffer[64];
  buffer[0] = 0;
  buffer[63] = u'#';
  DWORD size = 128;
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueEx(key, u"Default", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 130u);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[63], u'#');
  // Size alone: no data buffer.
  size = 0;
  EXPECT_EQ(RegQueryValueEx(key, u"Default", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 130u);
  // A data buffer without a size is refused rather than written blindly.
  EXPECT_EQ(RegQueryValueEx(key, u"Default", nullptr, &type, reinterpret_cast<BYTE*>(buffer), nullptr),
            static_cast<LONG>(ERROR_INVALID_PARAMETER));
  RegCloseKey(key);
}

TEST_F(RegistryTest, MissingKeysAndValuesAndBadHandles) {
  HKEY key = reinterpret_cast<HKEY>(uintptr_t{0x1234});
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, u"Nothing\\Here", 0, 0, &key), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(key, nullptr);
  HKEY real = create(HKEY_CLASSES_ROOT, u"Present");
  LONG status = 0;
  readText(real, u"absent", &status);
  EXPECT_EQ(status, static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(RegDeleteValue(real, u"absent"), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(RegCloseKey(real), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(real), static_cast<LONG>(ERROR_INVALID_HANDLE));
  readText(real, u"x", &status);
  EXPECT_EQ(status, static_cast<LONG>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, u"\\Leading", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            static_cast<LONG>(ERROR_BAD_PATHNAME));
  EXPECT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, u"a\\\\b", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            static_cast<LONG>(ERROR_BAD_PATHNAME));
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, u"Present", 0, 0, nullptr), static_cast<LONG>(ERROR_INVALID_PARAMETER));
}

TEST_F(RegistryTest, KeysAreDeletedOnlyWithoutSubkeys) {
  HKEY leaf = create(HKEY_CURRENT_USER, u"Parent\\Child");
  ASSERT_EQ(RegSetValueEx(leaf, u"v", 0, REG_SZ, bytes(u"x"), 4), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, u"Parent"), static_cast<LONG>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, u"PARENT\\child"), ERROR_SUCCESS);
  // The open handle on the deleted key answers that it is gone.
  LONG status = 0;
  readText(leaf, u"v", &status);
  EXPECT_EQ(status, static_cast<LONG>(ERROR_KEY_DELETED));
  RegCloseKey(leaf);
  // Created again, the key is empty: its old values went with it.
  HKEY reborn = create(HKEY_CURRENT_USER, u"Parent\\Child");
  readText(reborn, u"v", &status);
  EXPECT_EQ(status, static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  RegCloseKey(reborn);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, u"Parent\\Missing"), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  // The roots are separate trees.
  HKEY other = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, u"Parent", 0, 0, &other), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
}

TEST_F(RegistryTest, SubkeysEnumerateInNameOrder) {
  HKEY parent = create(HKEY_CLASSES_ROOT, u"Enum");
  for (const char16_t* name : {u"beta", u"Alpha", u"gamma"}) RegCloseKey(create(parent, name));
  std::vector<std::u16string> names;
  char16_t name[16];
  DWORD count = 16;
  FILETIME written{};
  for (DWORD i = 0; RegEnumKeyEx(parent, i, name, &count, nullptr, nullptr, nullptr, &written) == ERROR_SUCCESS; ++i) {
    EXPECT_EQ(count, std::char_traits<char16_t>::length(name));
    EXPECT_NE(written.dwHighDateTime, 0u);
    names.emplace_back(name);
    count = 16;
  }
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Alpha", u"beta", u"gamma"}));
  EXPECT_EQ(RegEnumKeyEx(parent, 3, name, &count, nullptr, nullptr, nullptr, nullptr),
            static_cast<LONG>(ERROR_NO_MORE_ITEMS));
  count = 5;  // "Alpha" needs 6 with its zero
  EXPECT_EQ(RegEnumKeyEx(parent, 0, name, &count, nullptr, nullptr, nullptr, nullptr), static_cast<LONG>(ERROR_MORE_DATA));
  RegCloseKey(parent);
}

TEST_F(RegistryTest, ADamagedDatabaseIsReportedAndLeftAsItWas) {
  const std::string garbage(3000, '\x5A');
  writeHostFile("Program Files/Quillscope/registry.db", garbage);
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, u"Quillscope", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            static_cast<LONG>(ERROR_REGISTRY_CORRUPT));
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, u"Quillscope", 0, 0, &key), static_cast<LONG>(ERROR_REGISTRY_CORRUPT));
  EXPECT_EQ(readHostFile("Program Files/Quillscope/registry.db"), garbage);
}

// The database is never made outside the device: not through a program folder that leads out,
// nor through a link at its own name.
TEST_F(RegistryTest, LinksOutOfTheDeviceAreNotFollowed) {
  char outsideTemplate[] = "/tmp/quill-outside-XXXXXX";
  ASSERT_NE(::mkdtemp(outsideTemplate), nullptr);
  const std::string outside = outsideTemplate;
  std::filesystem::create_directories(host("Program Files"));
  std::filesystem::create_directory_symlink(outside, host("Program Files/Quillscope"));
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, u".txt", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            static_cast<LONG>(ERROR_REGISTRY_IO_FAILED));
  std::filesystem::remove(host("Program Files/Quillscope"));
  std::filesystem::create_directories(host("Program Files/Quillscope"));
  std::filesystem::create_symlink(outside + "/registry.db", host("Program Files/Quillscope/registry.db"));
  EXPECT_NE(RegCreateKeyEx(HKEY_CLASSES_ROOT, u".txt", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            static_cast<LONG>(ERROR_SUCCESS));
  EXPECT_TRUE(std::filesystem::is_empty(outside));
  std::filesystem::remove_all(outside);
}

TEST_F(RegistryTest, AnotherProgramsDatabaseIsNotTakenOver) {
  const std::string path = host("Program Files/Quillscope/registry.db");
  std::filesystem::create_directories(host("Program Files/Quillscope"));
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE photos(id); INSERT INTO photos VALUES(42);", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  const std::string before = readHostFile("Program Files/Quillscope/registry.db");
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, u".txt", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            static_cast<LONG>(ERROR_REGISTRY_CORRUPT));
  EXPECT_EQ(readHostFile("Program Files/Quillscope/registry.db"), before);
}

TEST_F(RegistryTest, ADatabaseDamagedAfterOpeningIsNotOverwritten) {
  RegCloseKey(create(HKEY_CLASSES_ROOT, u"Before"));
  platform::registry::closeRegistryStore();
  // Wreck the middle of the file, past the header, where the tables live.
  const std::string path = "Program Files/Quillscope/registry.db";
  std::string image = readHostFile(path);
  ASSERT_GT(image.size(), 2048u);
  for (std::size_t i = 1024; i < image.size(); ++i) image[i] = static_cast<char>(0xA5);
  writeHostFile(path, image);
  HKEY key = nullptr;
  const LONG status = RegCreateKeyEx(HKEY_CLASSES_ROOT, u"After", 0, nullptr, 0, 0, nullptr, &key, nullptr);
  EXPECT_EQ(status, static_cast<LONG>(ERROR_REGISTRY_CORRUPT));
  EXPECT_EQ(readHostFile(path), image);
}

TEST_F(RegistryTest, AnUnreadableDatabaseIsAnErrorNotACrash) {
  std::filesystem::create_directories(host("Program Files/Quillscope/registry.db"));  // a folder in its place
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, u"x", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            static_cast<LONG>(ERROR_REGISTRY_IO_FAILED));
  EXPECT_TRUE(std::filesystem::is_directory(host("Program Files/Quillscope/registry.db")));
}

TEST_F(RegistryTest, AWriterThatDiesMidTransactionLosesNothing) {
  HKEY key = create(HKEY_CLASSES_ROOT, u".txt");
  ASSERT_EQ(RegSetValueEx(key, u"Default", 0, REG_SZ, bytes(u"before"), textBytes(u"before")), ERROR_SUCCESS);
  platform::registry::closeRegistryStore();
  const std::string path = host("Program Files/Quillscope/registry.db");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {  // a writer that stops dead between its change and its commit
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "BEGIN; DELETE FROM registry_values; DELETE FROM registry_keys WHERE id > 4;", nullptr, nullptr,
                 nullptr);
    sqlite3_db_cacheflush(db);  // the half-made change reaches the file itself
    ::_exit(0);
  }
  int childStatus = 0;
  ::waitpid(child, &childStatus, 0);
  EXPECT_EQ(readText(key, u"Default"), u"before");
  RegCloseKey(key);
}

TEST_F(RegistryTest, HandlesDoNotCarryOverToAnotherDevice) {
  HKEY key = create(HKEY_CLASSES_ROOT, u"OnFirstDevice");
  const std::string firstRoot = root();
  std::string other = firstRoot + "-second";
  std::filesystem::create_directories(other);
  platform::files::setDeviceRoot(other);
  LONG status = 0;
  readText(key, u"x", &status);
  EXPECT_EQ(status, static_cast<LONG>(ERROR_INVALID_HANDLE));
  HKEY missing = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, u"OnFirstDevice", 0, 0, &missing), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  platform::registry::closeRegistryStore();
  platform::files::setDeviceRoot(firstRoot);
  std::filesystem::remove_all(other);
  RegCloseKey(key);
}

}  // namespace
