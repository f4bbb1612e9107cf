// A rich document streamed into the text view renders with its formatting: a bold line is wider
// than its regular twin, a centred line starts right of the margin, a red line is red, and COPY
// of the whole document gives its plain text.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/textview/richink.h"
#include "platform/textview/text_widget.h"
#include "tests/support/text_view_host.h"

namespace platform::textview {
namespace {

bool isDark(QRgb pixel) { return qGray(pixel) < 160; }

// The leftmost and rightmost dark columns of rows [top, bottom), or {-1, -1}.
std::pair<int, int> inkExtent(const QImage& image, int top, int bottom) {
  int left = -1, right = -1;
  for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!isDark(image.pixel(x, y))) continue;
      if (left < 0 || x < left) left = x;
      right = std::max(right, x);
    }
  }
  return {left, right};
}

class RichRender : public test_support::TextViewHostTest {
 protected:
  void SetUp() override { createHost(300, 300); }

  QImage streamAndRender(const std::string& bytes) {
    test_support::RecordingSource source;
    source.bytes = bytes;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, test_support::recordingCallback};
    SendMessage(view_, EM_STREAMIN, SF_PWI, reinterpret_cast<LPARAM>(&stream));
    SendMessage(view_, EM_SETPAGESTYLE, PS_NONE, 0);
    const QSizeF area = widget().control().viewportSize();
    return widget().grab().toImage().copy(0, 0, static_cast<int>(area.width()), static_cast<int>(area.height()));
  }
};

TEST_F(RichRender, FormattingShowsInTheView) {
  // Four lines of one size: regular, bold, centred, red. The size keeps every line one height.
  const std::string rtf =
      "{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs24 "
      "Sample words\\par {\\b Sample words}\\par\\qc Mid\\par\\pard\\cf1 Red words\\par}";
  const QImage image = streamAndRender(rtf);
  ASSERT_EQ(widget().control().document().lineCount(), 4);
  // Lines are as tall as the first one's ink suggests: find them from the ink rows.
  std::vector<std::pair<int, int>> lines;  // [top, bottom) of each run of rows with ink
  for (int y = 0, top = -1; y <= image.height(); ++y) {
    const bool ink = y < image.height() && inkExtent(image, y, y + 1).first >= 0;
    if (ink && top < 0) top = y;
    if (!ink && top >= 0) {
      lines.emplace_back(top, y);
      top = -1;
    }
  }
  ASSERT_GE(lines.size(), 3u);  // the red line is not dark in grey, so it may not count
  const auto regular = inkExtent(image, lines[0].first, lines[0].second);
  const auto bold = inkExtent(image, lines[1].first, lines[1].second);
  const auto centred = inkExtent(image, lines[2].first, lines[2].second);
  EXPECT_GT(bold.second, regular.second) << "a bold line is wider than its regular twin";
  EXPECT_GT(centred.first, image.width() / 3) << "a centred line starts right of the margin";
  int red = 0;
  for (int y = lines[2].second; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      red += qRed(pixel) > 200 && qGreen(pixel) < 100 && qBlue(pixel) < 100 ? 1 : 0;
    }
  }
  EXPECT_GT(red, 10) << "the red line is red";

  // COPY of everything gives the plain text, paragraphs as line ends.
  SendMessage(view_, EM_SETSEL, 0, -1);
  EXPECT_EQ(widget().control().selectedText(), u"Sample words\nSample words\nMid\nRed words"_qs);
}

}  // namespace
}  // namespace platform::textview
