// Window classes: RegisterClass, UnregisterClass, GetClassInfo and the layer's own system
// classes. Class names compare case-insensitively; a class is found first among those of the
// instance that CreateWindowEx names, then among the system classes.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/system/text_utils.h"
#include "platform/system/window_records.h"

namespace platform::windows {
namespace {

struct ClassTable {
  std::vector<std::shared_ptr<WindowClass>> classes;  // every registered class, oldest first
  std::map<ATOM, std::weak_ptr<WindowClass>> atoms;   // class atom -> class
  ATOM nextAtom = 0xC000;                             // atoms handed out by RegisterClass
};

ClassTable& table() {
  static ClassTable instance;
  return instance;
}

ATOM atomOf(const std::shared_ptr<WindowClass>& windowClass) {
  for (const auto& [atom, weak] : table().atoms) {
    if (weak.lock() == windowClass) return atom;
  }
  return 0;
}

ATOM registerWith(const WNDCLASS* wc, bool system) {
  if (wc == nullptr || wc->lpszClassName == nullptr || IS_INTRESOURCE(wc->lpszClassName) ||
      wc->lpszClassName[0] == 0 || wc->cbWndExtra < 0 || wc->cbWndExtra > 4096 || wc->cbClsExtra != 0) {
    return 0;
  }
  auto windowClass = std::make_shared<WindowClass>();
  windowClass->name = text::fromPointer(wc->lpszClassName);
  windowClass->folded = text::folded(windowClass->name);
  windowClass->info = *wc;
  windowClass->info.lpszClassName = windowClass->name.c_str();
  windowClass->info.lpszMenuName = nullptr;
  windowClass->system = system;
  auto& classes = table().classes;
  for (const auto& existing : classes) {
    if (existing->folded != windowClass->folded) continue;
    // A system class may be registered again (initialisation runs once per test process and
    // once per program); it replaces the old registration for new windows.
    if (system && existing->system) {
      const ATOM atom = atomOf(existing);
      classes.erase(std::find(classes.begin(), classes.end(), existing));
      classes.push_back(windowClass);
      table().atoms[atom] = windowClass;
      return atom;
    }
    if (!system && !existing->system && existing->info.hInstance == wc->hInstance) return 0;
  }
  classes.push_back(windowClass);
  const ATOM atom = table().nextAtom++;
  table().atoms[atom] = windowClass;
  return atom;
}

}  // namespace

std::shared_ptr<const WindowClass> findClass(LPCWSTR name, HINSTANCE instance) {
  if (name == nullptr) return nullptr;
  if (IS_INTRESOURCE(name)) {
    const auto it = table().atoms.find(static_cast<ATOM>(reinterpret_cast<uintptr_t>(name)));
    return it == table().atoms.end() ? nullptr : it->second.lock();
  }
  const std::u16string key = text::folded(text::fromPointer(name));
  std::shared_ptr<const WindowClass> systemMatch;
  std::shared_ptr<const WindowClass> anyMatch;
  for (const auto& candidate : table().classes) {
    if (candidate->folded != key) continue;
    if (!candidate->system && candidate->info.hInstance == instance) return candidate;
    if (candidate->system && !systemMatch) systemMatch = candidate;
    if (!anyMatch) anyMatch = candidate;
  }
  // A program class registered under another instance is still found: the desktop runs one
  // program, and tests create windows of their classes with whatever instance they have.
  return systemMatch ? systemMatch : anyMatch;
}

void unregisterProgramClasses() {
  auto& classes = table().classes;
  classes.erase(std::remove_if(classes.begin(), classes.end(), [](const auto& c) { return !c->system; }),
                classes.end());
  for (auto it = table().atoms.begin(); it != table().atoms.end();) {
    it = it->second.expired() ? table().atoms.erase(it) : std::next(it);
  }
}

}  // namespace platform::windows

namespace platform::widgets {

ATOM registerSystemClass(const WNDCLASS& wc) { return windows::registerWith(&wc, true); }

}  // namespace platform::widgets

ATOM RegisterClass(const WNDCLASS* wc) { return platform::windows::registerWith(wc, false); }

BOOL UnregisterClass(LPCWSTR className, HINSTANCE instance) {
  using namespace platform::windows;
  if (className == nullptr) return FALSE;
  auto& classes = table().classes;
  std::shared_ptr<const WindowClass> match;
  if (IS_INTRESOURCE(className)) {
    match = findClass(className, instance);
  } else {
    const std::u16string key = platform::text::folded(platform::text::fromPointer(className));
    for (const auto& candidate : classes) {
      if (!candidate->system && candidate->folded == key && candidate->info.hInstance == instance) match = candidate;
    }
  }
  if (!match || match->system) return FALSE;
  const auto it = std::find(classes.begin(), classes.end(), match);
  if (it == classes.end()) return FALSE;
  // The table holds one reference and `match` another; any more belong to live windows, and a
  // class with windows cannot be unregistered.
  if (match.use_count() > 2) return FALSE;
  classes.erase(it);
  return TRUE;
}

BOOL GetClassInfo(HINSTANCE instance, LPCWSTR className, WNDCLASS* out) {
  const auto windowClass = platform::windows::findClass(className, instance);
  if (!windowClass || out == nullptr) return FALSE;
  *out = windowClass->info;
  return TRUE;
}
