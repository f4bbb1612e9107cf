// The desktop's keys beside the nine handheld keys, typed as a user types them (modifiers
// included), each followed to the message it leads to.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "app/key_actions.h"
#include "platform/system/menus.h"
#include "resources/resource_ids.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::Delivery;
using platform::testing::MessageSpy;
using platform::testing::ScopedHook;

namespace {

class DesktopKeyTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    std::string text;
    for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i) + "\r\n";
    device->writeFile(u"\\a.txt", text);
    startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
    platform::testing::pumpMessages();
  }

  // What a key led to: the pop-up menus offered (their first item), then the text view's
  // scroll, selection and copy messages, the main window's commands and those sent to the
  // menu bar.
  std::vector<std::string> outcomeOf(WORD key, UINT modifiers) {
    std::vector<std::string> seen;
    ScopedHook<platform::testing::PopupMenuResponder> popup(
        platform::testing::setPopupMenuResponder, [&](HMENU menu, int, int, HWND) {
          WCHAR text[16]{};
          GetMenuString(menu, 0, text, 16, MF_BYPOSITION);
          seen.push_back("menu " + QString::fromStdU16String(text).toStdString());
          return UINT{0};
        });
    MessageSpy spy;
    spy.watch(state->textView);
    spy.watch(state->mainWindow);
    spy.watch(state->menuBar);
    platform::testing::pressKey(key, modifiers);
    platform::testing::pumpMessages();
    for (const auto& m : spy.messages()) {
      if (m.delivery == Delivery::Default) continue;
      if (m.hwnd == state->textView && m.message == WM_VSCROLL) seen.push_back("scroll " + std::to_string(m.wParam));
      if (m.hwnd == state->textView && m.message == EM_SETSEL) {
        seen.push_back("select " + std::to_string(m.wParam) + " " + std::to_string(static_cast<int32_t>(m.lParam)));
      }
      if (m.hwnd == state->textView && m.message == WM_COPY) seen.push_back("copy");
      if (m.message == WM_COMMAND && m.hwnd == state->mainWindow) seen.push_back("command " + std::to_string(m.wParam));
      if (m.message == WM_COMMAND && m.hwnd == state->menuBar) seen.push_back("bar " + std::to_string(m.wParam));
    }
    return seen;
  }
};

TEST_F(DesktopKeyTest, EachDesktopKeyReachesItsMessage) {
  using Outcome = std::vector<std::string>;
  SendMessage(state->textView, EM_SETSEL, 0, 4);  // something to copy for the COPY menu
  struct Case {
    WORD key;
    UINT modifiers;
    Outcome expected;
  };
  const std::string top = "scroll " + std::to_string(SB_TOP);
  const std::string bottom = "scroll " + std::to_string(SB_BOTTOM);
  const std::string fileMenu = "bar " + std::to_string(res::kMenuBarFileButton);
  const Case cases[] = {
      {VK_NEXT, 0, {"scroll " + std::to_string(SB_PAGEDOWN)}},
      {VK_PRIOR, 0, {"scroll " + std::to_string(SB_PAGEUP)}},
      {VK_END, 0, {bottom}},
      {VK_HOME, 0, {top}},
      {VK_END, MOD_CONTROL, {bottom}},
      {VK_HOME, MOD_CONTROL, {top}},
      {'A', MOD_CONTROL, {"select 0 -1"}},
      {'C', MOD_CONTROL, {"copy"}},
      {'O', MOD_CONTROL, {"command " + std::to_string(res::kCommandOpen)}},
      {VK_F10, 0, {"menu OPEN...", fileMenu}},
      {'F', MOD_ALT, {"menu OPEN...", fileMenu}},
      {'T', MOD_ALT, {"menu ABOUT", "bar " + std::to_string(res::kMenuBarToolButton)}},
      {VK_APPS, 0, {"menu COPY"}},
      {VK_F10, MOD_SHIFT, {"menu COPY"}},
      // Letters without Ctrl or Alt are no desktop keys; the nine keep their bindings.
      {'A', 0, {}},
      {VK_DOWN, MOD_CONTROL, {"scroll " + std::to_string(SB_LINEDOWN)}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(outcomeOf(c.key, c.modifiers), c.expected) << "key " << c.key << " modifiers " << c.modifiers;
  }

  // With Ctrl+A the whole text became the desktop's primary selection, where there is one.
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard->supportsSelection()) {
    EXPECT_TRUE(clipboard->text(QClipboard::Selection).startsWith(QStringLiteral("line 0\nline 1\n")));
  }
  // With nothing selected the COPY menu is not offered, and TOOL's COPY is greyed.
  const auto toolCopyEnabled = [&] {
    bool enabled = false;
    ScopedHook<platform::testing::PopupMenuResponder> popup(
        platform::testing::setPopupMenuResponder, [&](HMENU menu, int, int, HWND) {
          enabled = platform::menus::isEnabledCommand(menu, res::kCommandCopy);
          return UINT{0};
        });
    platform::testing::pressKey('T', MOD_ALT);
    platform::testing::pumpMessages();
    return enabled;
  };
  EXPECT_TRUE(toolCopyEnabled());
  SendMessage(state->textView, EM_SETSEL, 0, 0);
  EXPECT_EQ(outcomeOf(VK_APPS, 0), Outcome{});
  EXPECT_FALSE(toolCopyEnabled());
}

}  // namespace
