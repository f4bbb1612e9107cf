#include "shell/associations.h"

#include <vector>

#include "platform/system/windows.h"
#include "resources/resource_ids.h"

const AssociatedExtension kAssociatedExtensions[kAssociatedExtensionCount] = {
    {u".txt", u".txtDefault", res::kExtensionTxtCheck, 0},
    {u".pdb", u".pdbDefault", res::kExtensionPdbCheck, 1},
    {u".prc", u".prcDefault", res::kExtensionPrcCheck, 2},
    {u".psw", u".pswDefault", res::kExtensionPswCheck, 4},
    {u".doc", u".docDefault", res::kExtensionDocCheck, 3},
};

namespace {

constexpr char16_t kViewerName[] = u"Quillscope";
constexpr std::size_t kViewerNameUnits = 10;
constexpr DWORD kKeyOptions = 1;

// What reading a string value found.
enum class ReadOutcome {
  Text,        // a string with its terminating zero, now in `text`
  Missing,     // no key or no such value
  Unreadable,  // a value of another kind, without its terminating zero, or a failed read
};

// An open key, closed when it goes.
class Key {
 public:
  explicit Key(const char16_t* name) {
    if (RegCreateKeyEx(HKEY_CLASSES_ROOT, name, 0, const_cast<LPWSTR>(u""), kKeyOptions, KEY_ALL_ACCESS, nullptr,
                       &key_, &disposition_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~Key() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  bool opened() const { return key_ != nullptr; }
  bool created() const { return key_ != nullptr && disposition_ == REG_CREATED_NEW_KEY; }

  // Reads a string value whole: its size is asked first, so no length is too long and no
  // buffer is overrun.
  ReadOutcome read(const char16_t* valueName, std::u16string& text) const {
    text.clear();
    if (key_ == nullptr) return ReadOutcome::Missing;
    DWORD type = REG_SZ;
    DWORD size = 0;
    const LONG asked = RegQueryValueEx(key_, valueName, nullptr, &type, nullptr, &size);
    if (asked == static_cast<LONG>(ERROR_FILE_NOT_FOUND)) return ReadOutcome::Missing;
    if (asked != ERROR_SUCCESS || type != REG_SZ || size < 2 || size % 2 != 0) return ReadOutcome::Unreadable;
    std::vector<char16_t> units(size / 2);
    DWORD read = size;
    if (RegQueryValueEx(key_, valueName, nullptr, &type, reinterpret_cast<BYTE*>(units.data()), &read) !=
            ERROR_SUCCESS ||
        type != REG_SZ || read != size || units.back() != 0) {
      return ReadOutcome::Unreadable;
    }
    text.assign(units.data());  // up to the first zero
    return ReadOutcome::Text;
  }

  bool write(const char16_t* valueName, const std::u16string& text) const {
    if (key_ == nullptr) return false;
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(char16_t));
    return RegSetValueEx(key_, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
           ERROR_SUCCESS;
  }

 private:
  HKEY key_ = nullptr;     // owned: the open key, or none when creating it failed
  DWORD disposition_ = 0;  // whether the key was created by this open
};

// The prefix test: the first ten units are "Quillscope", whatever follows.
bool namesViewer(const std::u16string& value) { return value.compare(0, kViewerNameUnits, kViewerName) == 0; }

const AssociatedExtension* entryFor(const char16_t* extension) {
  for (const AssociatedExtension& entry : kAssociatedExtensions) {
    if (std::u16string_view(entry.extension) == extension) return &entry;
  }
  return nullptr;
}

std::u16string savedValueNameOf(const char16_t* extension) {
  const AssociatedExtension* entry = entryFor(extension);
  return entry != nullptr ? std::u16string(entry->savedValueName) : std::u16string(extension) + kDefaultValueName;
}

}  // namespace

bool isAssociated(const char16_t* extension) {
  const Key key(extension);
  if (!key.opened() || key.created()) return false;  // a new key stays, empty
  std::u16string value;
  return key.read(kDefaultValueName, value) == ReadOutcome::Text && namesViewer(value);
}

std::u16string readPreviousHandler(const char16_t* extension) {
  const Key key(extension);
  if (!key.opened() || key.created()) return {};
  std::u16string value;
  if (key.read(kDefaultValueName, value) != ReadOutcome::Text || namesViewer(value)) return {};
  return value;
}

bool saveValue(const char16_t* valueName, const std::u16string& text) {
  return Key(kDocumentTypeKey).write(valueName, text);
}

void registerDocumentType() {
  Key(u"Quillscope\\DefaultIcon").write(kDefaultValueName, kDocumentIcon);
  Key(u"Quillscope\\Shell\\Open\\Command").write(kDefaultValueName, kOpenCommand);
  Key(u"Quillscope\\Shell\\OpenDoc\\Command").write(kDefaultValueName, kOpenCommand);
  std::u16string previous[kAssociatedExtensionCount];
  for (int i = 0; i < kAssociatedExtensionCount; ++i) previous[i] = readPreviousHandler(kAssociatedExtensions[i].extension);
  for (int i = 0; i < kAssociatedExtensionCount; ++i) saveValue(kAssociatedExtensions[i].savedValueName, previous[i]);
}

bool associate(const char16_t* extension) {
  const Key key(extension);
  if (!key.opened()) return false;
  std::u16string current;
  switch (key.read(kDefaultValueName, current)) {
    case ReadOutcome::Unreadable:
      return false;  // not a handler this program can give back: left as it is
    case ReadOutcome::Missing:
    case ReadOutcome::Text:
      // The latest handler is the one to give back; the viewer's own name is never kept.
      if (!namesViewer(current) && !saveValue(savedValueNameOf(extension).c_str(), current)) return false;
      break;
  }
  return key.write(kDefaultValueName, kViewerName);
}

bool restorePreviousHandler(const char16_t* extension) {
  std::u16string saved;
  {
    const Key viewer(kDocumentTypeKey);
    if (viewer.read(savedValueNameOf(extension).c_str(), saved) != ReadOutcome::Text || namesViewer(saved)) saved.clear();
  }
  return Key(extension).write(kDefaultValueName, saved);
}
