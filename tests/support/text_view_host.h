// The fixture of the text view's window tests: a main window with a text view filling it, the
// menu bar's height left free below, as the viewer creates them, in a device sandbox of its own.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "platform/shellext/aygshell.h"
#include "platform/system/screen_metrics.h"
#include "platform/system/window_host.h"
#include "platform/testing/test_host.h"
#include "platform/textview/richink.h"
#include "platform/textview/text_widget.h"

namespace test_support {

// A stream-in source in the manner of the viewer's: start, current and limit over a byte array,
// every call logged.
struct RecordingSource {
  std::string bytes;            // what the source delivers, in full (the zero byte included)
  size_t current = 0;           // next byte to deliver
  std::vector<LONG> requested;  // each call's requested count
  std::vector<LONG> delivered;  // each call's delivered count
  int callsAfterEnd = 0;        // calls made after a 0-byte delivery
};

// The EDITSTREAM callback of a RecordingSource (the cookie).
inline DWORD recordingCallback(DWORD_PTR cookie, BYTE* buffer, LONG requested, LONG* delivered) {
  auto* source = reinterpret_cast<RecordingSource*>(cookie);
  if (!source->delivered.empty() && source->delivered.back() == 0) ++source->callsAfterEnd;
  const size_t available = source->bytes.size() - source->current;
  const LONG count = static_cast<LONG>(std::min<size_t>(available, static_cast<size_t>(requested)));
  std::copy_n(source->bytes.data() + source->current, count, buffer);
  source->current += static_cast<size_t>(count);
  *delivered = count;
  source->requested.push_back(requested);
  source->delivered.push_back(count);
  return 0;
}

class TextViewHostTest : public ::testing::Test {
 protected:
  // The viewer's text view style: child, visible, both scroll bars, read-only, auto scrolling.
  static constexpr DWORD kViewerStyle = 0x503008C0;
  static constexpr int kMenuBarReserve = kMenuBarHeight;  // device pixels below the view, as the viewer leaves

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
