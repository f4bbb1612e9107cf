// The EXTENSIONS dialog and the associations it keeps in the registry, driven through its
// boxes as a user drives them.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <utility>

#include "platform/system/files/device_paths.h"

#include "platform/system/registry/registry_store.h"
#include "resources/resource_ids.h"
#include "shell/extensions_dialog.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::ScopedHook;

namespace {

// A value as the registry holds it.
struct RawValue {
  DWORD type = REG_NONE;    // the value's type
  std::string bytes;        // its data, byte for byte
};

std::string textBytes(const std::u16string& text) {
  return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2);
}

std::optional<RawValue> readRaw(const char16_t* keyName, const char16_t* valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_CLASSES_ROOT, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  RawValue value;
  DWORD size = 0;
  LONG status = RegQueryValueEx(key, valueName, nullptr, &value.type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    value.bytes.resize(size);
    status = RegQueryValueEx(key, valueName, nullptr, &value.type, reinterpret_cast<BYTE*>(value.bytes.data()), &size);
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

void writeRaw(const char16_t* keyName, const char16_t* valueName, DWORD type, const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CLASSES_ROOT, keyName, 0, const_cast<LPWSTR>(u""), 1, KEY_ALL_ACCESS, nullptr, &key,
                           nullptr),
            ERROR_SUCCESS);
  RegSetValueEx(key, valueName, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

// Another program's handler for an extension, as it would write it.
void setHandler(const char16_t* extension, const std::u16string& handler) {
  writeRaw(extension, u"Default", REG_SZ, textBytes(handler));
}

std::u16string handlerOf(const char16_t* extension, const char16_t* valueName = u"Default") {
  const auto value = readRaw(extension, valueName);
  if (!value) return u"<missing>";
  if (value->bytes.size() < 2) return u"<short>";
  return std::u16string(reinterpret_cast<const char16_t*>(value->bytes.data()), value->bytes.size() / 2 - 1);
}

constexpr int kBoxes[] = {res::kExtensionTxtCheck, res::kExtensionPrcCheck, res::kExtensionPdbCheck,
                          res::kExtensionDocCheck, res::kExtensionPswCheck};

class ExtensionsDialogTest : public ViewerTest {
 protected:
  void TearDown() override {
    platform::registry::closeRegistryStore();
    ViewerTest::TearDown();
  }

  // Opens the dialog; `drive` acts on it and must close it. Returns the dialog's result.
  INT_PTR runDialog(const std::function<void(HWND)>& drive, ExtensionsDialog* object = nullptr) {
    ScopedHook<platform::testing::DialogResponder> responder(platform::testing::setDialogResponder,
                                                             [&](HWND dialog, int templateId) {
                                                               EXPECT_EQ(templateId, res::kDialogExtensions);
                                                               drive(dialog);
                                                             });
    ExtensionsDialog local;
    return (object != nullptr ? object : &local)->run(nullptr, platform::testing::testInstance());
  }
  // Opens the dialog, sets the boxes in `toggle` to the other state and presses OK.
  void toggleAndConfirm(std::initializer_list<int> toggle) {
    runDialog([&](HWND dialog) {
      for (int box : toggle) platform::testing::clickButton(GetDlgItem(dialog, box));
      platform::testing::clickButton(GetDlgItem(dialog, IDOK));
    });
  }
  // The boxes checked when the dialog opens.
  std::vector<int> checkedBoxes() {
    std::vector<int> checked;
    runDialog([&](HWND dialog) {
      for (int box : kBoxes) {
        if (SendDlgItemMessage(dialog, box, BM_GETCHECK, 0, 0) == BST_CHECKED) checked.push_back(box);
      }
      platform::testing::clickButton(GetDlgItem(dialog, IDCANCEL));
    });
    return checked;
  }
};

TEST_F(ExtensionsDialogTest, TheFirstOpeningRegistersByteForByteAndCancelKeepsIt) {
  std::u16string label;
  std::vector<int> checked;
  const INT_PTR result = runDialog([&](HWND dialog) {
    WCHAR text[64]{};
    GetWindowText(GetWindow(dialog, GW_CHILD), text, 64);
    label = text;
    for (int box : kBoxes) {
      if (SendDlgItemMessage(dialog, box, BM_GETCHECK, 0, 0) != BST_UNCHECKED) checked.push_back(box);
    }
    platform::testing::clickButton(GetDlgItem(dialog, IDCANCEL));
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(label, u"Associated file extenstions");
  EXPECT_EQ(checked, std::vector<int>{});

  const std::u16string command = u"\"\\Program Files\\Quillscope\\Quillscope.exe\" %1";
  const struct {
    const char16_t* key;
    const char16_t* value;
    std::u16string text;
    std::size_t bytes;
  } kExpected[] = {
      {u"Quillscope\\DefaultIcon", u"Default", u"\\Windows\\pword.exe, -110", 50},
      {u"Quillscope\\Shell\\Open\\Command", u"Default", command, 92},
      {u"Quillscope\\Shell\\OpenDoc\\Command", u"Default", command, 92},
      {u"Quillscope", u".txtDefault", u"", 2},
      {u"Quillscope", u".pdbDefault", u"", 2},
      {u"Quillscope", u".prcDefault", u"", 2},
      {u"Quillscope", u".pswDefault", u"", 2},
      {u"Quillscope", u".docDefault", u"", 2},
  };
  for (const auto& expected : kExpected) {
    const auto value = readRaw(expected.key, expected.value);
    ASSERT_TRUE(value.has_value()) << std::string(expected.key, expected.key + 1);
    EXPECT_EQ(value->type, REG_SZ);
    EXPECT_EQ(value->bytes.size(), expected.bytes);
    EXPECT_EQ(value->bytes, textBytes(expected.text));
  }
  // Each extension's key was created, empty; its value is never the key's unnamed one.
  for (const char16_t* extension : {u".txt", u".pdb", u".prc", u".doc", u".psw"}) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, extension, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_FALSE(readRaw(extension, u"Default").has_value());
  }
}

TEST_F(ExtensionsDialogTest, EachBoxShowsItsOwnExtensionByThePrefixTest) {
  setHandler(u".txt", u"Quillscope.Text");  // begins with the ten units: associated
  setHandler(u".pdb", u"Quillscop");        // shorter: not
  setHandler(u".prc", u"quillscope");       // another case: not
  setHandler(u".doc", u"Quillscope");
  setHandler(u".psw", u"pwfile");
  EXPECT_EQ(checkedBoxes(), (std::vector<int>{res::kExtensionTxtCheck, res::kExtensionDocCheck}));

  // The flags keep their own order, .txt .pdb .prc .doc .psw.
  ExtensionsDialog object;
  runDialog([](HWND dialog) { platform::testing::clickButton(GetDlgItem(dialog, IDCANCEL)); }, &object);
  EXPECT_EQ(std::vector<int>(object.associated, object.associated + 5), (std::vector<int>{1, 0, 0, 1, 0}));
}

TEST_F(ExtensionsDialogTest, OnlyDocAssociatedChecksOnly5103AndUncheckingUnassociates) {
  setHandler(u".doc", u"Quillscope");
  EXPECT_EQ(checkedBoxes(), std::vector<int>{res::kExtensionDocCheck});
  // The viewer's own name is never kept as the previous handler.
  EXPECT_EQ(handlerOf(u"Quillscope", u".docDefault"), u"");
  toggleAndConfirm({res::kExtensionDocCheck});
  EXPECT_EQ(handlerOf(u".doc"), u"");
  EXPECT_EQ(checkedBoxes(), std::vector<int>{});
}

TEST_F(ExtensionsDialogTest, AnEarlierHandlerIsKeptAssociatedAndHandedBack) {
  setHandler(u".txt", u"txtfile");
  EXPECT_EQ(checkedBoxes(), std::vector<int>{});
  EXPECT_EQ(readRaw(u"Quillscope", u".txtDefault").value_or(RawValue{}).bytes, textBytes(u"txtfile"));

  toggleAndConfirm({res::kExtensionTxtCheck});
  const auto associated = readRaw(u".txt", u"Default");
  ASSERT_TRUE(associated.has_value());
  EXPECT_EQ(associated->bytes.size(), 22u);
  EXPECT_EQ(associated->bytes, textBytes(u"Quillscope"));
  EXPECT_EQ(checkedBoxes(), std::vector<int>{res::kExtensionTxtCheck});

  toggleAndConfirm({res::kExtensionTxtCheck});
  EXPECT_EQ(handlerOf(u".txt"), u"txtfile");
}

TEST_F(ExtensionsDialogTest, OnlyChangedBoxesAreWrittenAndTheLatestHandlerIsHandedBack) {
  setHandler(u".psw", u"pwfile");
  checkedBoxes();  // the first opening saves "pwfile"
  // Other programs take over .txt and .psw afterwards.
  setHandler(u".txt", u"othereditor");
  setHandler(u".psw", u"newer.pwfile");

  // Checking only .doc leaves .txt to the other program.
  toggleAndConfirm({res::kExtensionDocCheck});
  EXPECT_EQ(handlerOf(u".txt"), u"othereditor");
  EXPECT_EQ(handlerOf(u".doc"), u"Quillscope");

  // Associating .psw keeps the handler it has now; unchecking gives that one back.
  toggleAndConfirm({res::kExtensionPswCheck});
  EXPECT_EQ(handlerOf(u"Quillscope", u".pswDefault"), u"newer.pwfile");
  toggleAndConfirm({res::kExtensionPswCheck});
  EXPECT_EQ(handlerOf(u".psw"), u"newer.pwfile");
  EXPECT_EQ(handlerOf(u".txt"), u"othereditor");
}

TEST_F(ExtensionsDialogTest, LongHandlersAreKeptWholeAndUnreadableValuesAreLeftAlone) {
  const std::u16string longHandler(100, u'h');
  setHandler(u".txt", longHandler);
  writeRaw(u".pdb", u"Default", REG_DWORD, std::string("\x05\x00\x00\x00", 4));
  writeRaw(u".prc", u"Default", REG_SZ, std::string("p\0r\0c\0", 6));  // no terminating zero
  checkedBoxes();
  EXPECT_EQ(handlerOf(u"Quillscope", u".txtDefault"), longHandler);
  EXPECT_EQ(handlerOf(u"Quillscope", u".pdbDefault"), u"");
  EXPECT_EQ(handlerOf(u"Quillscope", u".prcDefault"), u"");

  toggleAndConfirm({res::kExtensionTxtCheck, res::kExtensionPdbCheck, res::kExtensionPrcCheck});
  EXPECT_EQ(handlerOf(u".txt"), u"Quillscope");
  // Values that are no readable string belong to something else: never rewritten.
  EXPECT_EQ(readRaw(u".pdb", u"Default").value_or(RawValue{}).type, REG_DWORD);
  EXPECT_EQ(readRaw(u".prc", u"Default").value_or(RawValue{}).bytes, std::string("p\0r\0c\0", 6));
  EXPECT_EQ(checkedBoxes(), std::vector<int>{res::kExtensionTxtCheck});

  toggleAndConfirm({res::kExtensionTxtCheck});
  EXPECT_EQ(handlerOf(u".txt"), longHandler);
}

TEST_F(ExtensionsDialogTest, ADamagedRegistryOpensTheDialogAndLosesNothing) {
  const std::u16string database = u"\\Program Files\\Quillscope\\registry.db";
  const std::string damaged(4096, '\x5A');
  device->writeFile(database, damaged);
  std::vector<int> checked;
  const INT_PTR result = runDialog([&](HWND dialog) {
    for (int box : kBoxes) {
      if (SendDlgItemMessage(dialog, box, BM_GETCHECK, 0, 0) != BST_UNCHECKED) checked.push_back(box);
    }
    platform::testing::clickButton(GetDlgItem(dialog, res::kExtensionTxtCheck));
    platform::testing::clickButton(GetDlgItem(dialog, IDOK));
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(checked, std::vector<int>{});
  EXPECT_EQ(device->readFile(database), damaged);
}

TEST_F(ExtensionsDialogTest, TheExtensionCommandRunsTheDialog) {
  device->writeFile(u"\\a.txt", "text\n");
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  int shown = 0;
  ScopedHook<platform::testing::DialogResponder> responder(platform::testing::setDialogResponder,
                                                           [&](HWND dialog, int templateId) {
                                                             shown += templateId == res::kDialogExtensions;
                                                             platform::testing::clickButton(GetDlgItem(dialog, IDCANCEL));
                                                           });
  EXPECT_EQ(SendMessage(state->mainWindow, WM_COMMAND, res::kCommandExtension, 0), 0);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(handlerOf(u"Quillscope\\DefaultIcon"), u"\\Windows\\pword.exe, -110");
}

// The desktop's defaults, with HOME and the XDG folders inside a folder of the test's own, in
// desktop mode (where the registry, too, lives under that HOME).
class DesktopDefaultsTest : public ExtensionsDialogTest {
 protected:
  void SetUp() override {
    ExtensionsDialogTest::SetUp();
    char folder[] = "/tmp/quill-home-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    home = folder;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
      const char* value = std::getenv(name);
      saved.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
    }
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  }
  void TearDown() override {
    ExtensionsDialogTest::TearDown();
    for (const auto& [name, value] : saved) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    std::filesystem::remove_all(home);
  }
  void useDesktopMode() {
    platform::registry::closeRegistryStore();
    platform::files::setDeviceRoot("");
  }
  std::string read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  void write(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  std::string mimeApps() { return read(home + "/config/mimeapps.list"); }
  std::string entryPath() { return home + "/data/applications/quillscope.desktop"; }

  std::string home;                                                      // the test's HOME
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;  // the variables as they were
};

// Lines the viewer must keep byte for byte, one of them not even UTF-8.
const std::string kOtherLines =
    "# the user's own\n"
    "[Default Applications]\n"
    "text/plain=org.gnome.TextEditor.desktop;\n"
    "image/png=eog.desktop;\n"
    "x-scheme-handler/caf\xe9=caf\xe9.desktop;\n"
    "\n"
    "[Added Associations]\n"
    "text/plain=org.gnome.TextEditor.desktop;\n";

TEST_F(DesktopDefaultsTest, CheckedBoxesMakeTheViewerTheDefaultAndClearingThemGivesItAllBack) {
  useDesktopMode();
  // Kept elsewhere and linked, as dotfile managers do: the link stays a link.
  write(home + "/dotfiles/mimeapps.list", kOtherLines);
  std::filesystem::create_directories(home + "/config");
  std::filesystem::create_symlink("../dotfiles/mimeapps.list", home + "/config/mimeapps.list");
  toggleAndConfirm({res::kExtensionTxtCheck, res::kExtensionPdbCheck, res::kExtensionPrcCheck});
  EXPECT_EQ(mimeApps(),
            "# the user's own\n"
            "[Default Applications]\n"
            "text/plain=quillscope.desktop;\n"
            "image/png=eog.desktop;\n"
            "x-scheme-handler/caf\xe9=caf\xe9.desktop;\n"
            "application/vnd.palm=quillscope.desktop;\n"
            "application/x-aportisdoc=quillscope.desktop;\n"
            "application/x-mobipocket-ebook=quillscope.desktop;\n"
            "\n"
            "[Added Associations]\n"
            "text/plain=org.gnome.TextEditor.desktop;\n");
  EXPECT_NE(read(entryPath()).find("MimeType=text/plain;"), std::string::npos);
  if (std::system("command -v desktop-file-validate >/dev/null") == 0) {
    EXPECT_EQ(std::system(("desktop-file-validate '" + entryPath() + "'").c_str()), 0);
  }
  // The earlier defaults are the program's own, beside its registry; the registry changed too.
  EXPECT_NE(read(home + "/data/quillscope/desktop-defaults.list").find("text/plain=org.gnome.TextEditor.desktop;"),
            std::string::npos);
  EXPECT_EQ(handlerOf(u".txt"), u"Quillscope");

  // .prc handed back: the Palm types stay the viewer's for .pdb, the Mobipocket type goes.
  toggleAndConfirm({res::kExtensionPrcCheck});
  EXPECT_EQ(mimeApps().find("application/x-mobipocket-ebook"), std::string::npos);
  EXPECT_NE(mimeApps().find("application/vnd.palm=quillscope.desktop;"), std::string::npos);

  toggleAndConfirm({res::kExtensionTxtCheck, res::kExtensionPdbCheck});
  EXPECT_EQ(mimeApps(), kOtherLines);
  EXPECT_TRUE(std::filesystem::is_symlink(home + "/config/mimeapps.list"));
  EXPECT_FALSE(std::filesystem::exists(entryPath()));
}

TEST_F(DesktopDefaultsTest, ADefaultAnotherApplicationTookMeanwhileIsLeftAlone) {
  useDesktopMode();
  toggleAndConfirm({res::kExtensionDocCheck, res::kExtensionTxtCheck});
  EXPECT_EQ(mimeApps(), "[Default Applications]\ntext/plain=quillscope.desktop;\napplication/msword=quillscope.desktop;\n");
  write(home + "/config/mimeapps.list",
        "[Default Applications]\ntext/plain=quillscope.desktop;\napplication/msword=libreoffice-writer.desktop;\n");
  toggleAndConfirm({res::kExtensionDocCheck, res::kExtensionTxtCheck});
  EXPECT_EQ(mimeApps(), "[Default Applications]\napplication/msword=libreoffice-writer.desktop;\n");
  EXPECT_FALSE(std::filesystem::exists(entryPath()));
}

TEST_F(DesktopDefaultsTest, ASandboxedViewerLeavesTheDesktopAlone) {
  toggleAndConfirm({res::kExtensionTxtCheck});
  EXPECT_EQ(handlerOf(u".txt"), u"Quillscope");  // the sandbox's registry
  EXPECT_TRUE(std::filesystem::is_empty(home));
}

}  // namespace
