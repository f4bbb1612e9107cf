#include "settings/key_action_names.h"

namespace {

constexpr WCHAR kKeyActionNames[kKeyActionCount][kKeyActionNameUnits] = {
    u"None",    u"File Open", u"Minimize", u"Exit",      u"View Option", u"Key Option",
    u"Page Up", u"Page Down", u"Line Up",  u"Line Down", u"3 Line Up",   u"3 Line Down",
};

}  // namespace

const WCHAR* keyActionName(int action) {
  return (action >= 0 && action < kKeyActionCount) ? kKeyActionNames[action] : nullptr;
}
