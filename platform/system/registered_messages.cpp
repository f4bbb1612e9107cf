// RegisterWindowMessage: message numbers known by name (the find dialog's report, for one),
// handed out from 0xC000 on, the same number for the same name for the program's life.
#include <map>

#include "platform/system/commdlg.h"
#include "platform/system/text_utils.h"

namespace {

constexpr UINT kFirstRegisteredMessage = 0xC000;
constexpr UINT kLastRegisteredMessage = 0xFFFF;

// Names compared without regard to case, as the platform does.
struct NoCaseLess {
  bool operator()(const std::u16string& a, const std::u16string& b) const { return lstrcmpi(a.c_str(), b.c_str()) < 0; }
};

std::map<std::u16string, UINT, NoCaseLess>& registered() {
  static std::map<std::u16string, UINT, NoCaseLess> numbers;
  return numbers;
}

}  // namespace

UINT RegisterWindowMessage(LPCWSTR name) {
  if (name == nullptr || name[0] == 0) return 0;
  auto& numbers = registered();
  const std::u16string key = platform::text::fromPointer(name);
  if (const auto it = numbers.find(key); it != numbers.end()) return it->second;
  const UINT number = kFirstRegisteredMessage + static_cast<UINT>(numbers.size());
  if (number > kLastRegisteredMessage) return 0;
  numbers.emplace(key, number);
  return number;
}
