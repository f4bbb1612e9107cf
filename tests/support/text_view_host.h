// The fixture of the text view's window tests: a main window with a text view filling it, the
// menu bar's height left free below, as the viewer creates them, in a device sandbox of its own.
#pragma once

#include <gtest/gtest.h>

#include "platform/system/screen_metrics.h"
#include "platform/system/window_host.h"
#include "platform/testing/test_host.h"
#include "platform/textview/richink.h"
#include "platform/textview/text_widget.h"

namespace test_support {

class TextViewHostTest : public ::testing::Test {
 protected:
  // The viewer's text view style: child, visible, both scroll bars, read-only, auto scrolling.
  static constexpr DWORD kViewerStyle = 0x503008C0;
  static constexpr int kMenuBarReserve = 26;  // device pixels below the view, as the viewer leaves

  // Creates the host window, `width` x `height` device pixels just below the top bar, and the
  // view in it; then lets the posted messages of their creation run.
  void createHost(int width, int height) {
    ASSERT_TRUE(InitRichInkDLL());
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = DefWindowProc;
    windowClass.hInstance = platform::testing::testInstance();
    windowClass.lpszClassName = u"TextViewHost";
    ASSERT_NE(RegisterClass(&windowClass), 0);
    main_ = CreateWindowEx(0, u"TextViewHost", u"Host", WS_VISIBLE, 0, platform::kTopBarHeight, width, height, nullptr, nullptr,
                           platform::testing::testInstance(), nullptr);
    ASSERT_NE(main_, nullptr);
    view_ = CreateWindowEx(0, WC_RICHINK, nullptr, kViewerStyle, 0, 0, width, height - kMenuBarReserve, main_,
                           nullptr, platform::testing::testInstance(), nullptr);
    ASSERT_NE(view_, nullptr);
    platform::testing::pumpMessages();
  }

  // The Qt widget that shows the view.
  platform::textview::TextViewWidget& widget() {
    return *qobject_cast<platform::textview::TextViewWidget*>(platform::widgets::widgetOf(view_));
  }

  platform::testing::DeviceSandbox sandbox_;  // the device folder of this test
  HWND main_ = nullptr;                       // the host window
  HWND view_ = nullptr;                       // the text view, a child of main_
};

}  // namespace test_support
