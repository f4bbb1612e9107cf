// The desktop's keys for the handheld's: the cursor keys are the cursor keys, Enter (main or
// keypad) is the centre key VK_RETURN, and F1 to F4 are the four application keys 193 to 196.
// Other keys keep their usual virtual-key codes.
#include "platform/system/key_mapping.h"

#include <array>
#include <utility>

#include "platform/system/window_host.h"

namespace platform::widgets {
namespace {

// Keys whose codes do not follow from a range; the first entry for a virtual key is the one
// that qtKeyFromVirtualKey gives back.
constexpr std::array<std::pair<int, WORD>, 27> kKeys{{
    {Qt::Key_Left, VK_LEFT},       {Qt::Key_Up, VK_UP},          {Qt::Key_Right, VK_RIGHT},
    {Qt::Key_Down, VK_DOWN},       {Qt::Key_Return, VK_RETURN},  {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_F1, VK_APP1},         {Qt::Key_F2, VK_APP2},        {Qt::Key_F3, VK_APP3},
    {Qt::Key_F4, VK_APP4},         {Qt::Key_Escape, VK_ESCAPE},  {Qt::Key_PageUp, VK_PRIOR},
    {Qt::Key_PageDown, VK_NEXT},   {Qt::Key_Home, VK_HOME},      {Qt::Key_End, VK_END},
    {Qt::Key_Space, VK_SPACE},     {Qt::Key_Tab, VK_TAB},        {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Backspace, VK_BACK},  {Qt::Key_Delete, VK_DELETE},  {Qt::Key_Insert, 0x2D},
    {Qt::Key_Shift, 0x10},         {Qt::Key_Control, 0x11},      {Qt::Key_Alt, 0x12},
    {Qt::Key_Pause, 0x13},         {Qt::Key_CapsLock, 0x14},     {Qt::Key_Menu, VK_APPS},
}};

}  // namespace

WORD virtualKeyFromQtKey(int qtKey) {
  for (const auto& [key, vk] : kKeys) {
    if (key == qtKey) return vk;
  }
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return static_cast<WORD>('A' + (qtKey - Qt::Key_A));
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return static_cast<WORD>('0' + (qtKey - Qt::Key_0));
  // F5..F12 keep their own codes (F1..F4 are the application keys).
  if (qtKey >= Qt::Key_F5 && qtKey <= Qt::Key_F12) return static_cast<WORD>(VK_F1 + 4 + (qtKey - Qt::Key_F5));
  return 0;
}

int qtKeyFromVirtualKey(WORD vk) {
  for (const auto& [key, code] : kKeys) {
    if (code == vk) return key;
  }
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
  if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
  if (vk >= VK_F1 + 4 && vk <= VK_F1 + 11) return Qt::Key_F5 + (vk - (VK_F1 + 4));
  return Qt::Key_unknown;
}

UINT modifiersFromQt(Qt::KeyboardModifiers modifiers) {
  UINT out = 0;
  if (modifiers & Qt::AltModifier) out |= MOD_ALT;
  if (modifiers & Qt::ControlModifier) out |= MOD_CONTROL;
  if (modifiers & Qt::ShiftModifier) out |= MOD_SHIFT;
  return out;
}

}  // namespace platform::widgets
