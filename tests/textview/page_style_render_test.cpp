// What the text view draws: a white page with black text, the page style's lines (solid,
// dotted or none) under every text line and on down the page, and the selection.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <string>

#include "platform/textview/richink.h"
#include "platform/textview/text_widget.h"
#include "tests/support/text_view_host.h"

namespace platform::textview {
namespace {

bool isDark(QRgb pixel) { return qGray(pixel) < 160; }

class PageStyleRender : public test_support::TextViewHostTest {
 protected:
  void SetUp() override { createHost(300, 300); }

  // The text area of the view as drawn with `style`.
  QImage render(WPARAM style, const std::u16string& text) {
    SendMessage(view_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessage(view_, EM_SETPAGESTYLE, style, 0);
    const QSizeF area = widget().control().viewportSize();
    return widget().grab().toImage().copy(0, 0, static_cast<int>(area.width()), static_cast<int>(area.height()));
  }

  // The pixel row just above the bottom of text line `line` (0-based, all lines one height).
  int ruleRow(int line) {
    const double height = widget().control().defaultLineHeight();
    return static_cast<int>(std::floor(height * (line + 1))) - 1;
  }

  static int darkInRow(const QImage& image, int row, int from, int to) {
    int dark = 0;
    for (int x = from; x < to; ++x) dark += isDark(image.pixel(x, row)) ? 1 : 0;
    return dark;
  }

  // Rows of the image in which every pixel is dark.
  static int solidRows(const QImage& image) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) rows += darkInRow(image, y, 0, image.width()) == image.width() ? 1 : 0;
    return rows;
  }

  // Rows in which dark and light pixels alternate all the way across.
  static int dottedRows(const QImage& image) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
      bool alternates = true;
      for (int x = 1; x < image.width() && alternates; ++x) alternates = isDark(image.pixel(x, y)) != isDark(image.pixel(x - 1, y));
      rows += alternates ? 1 : 0;
    }
    return rows;
  }

};

TEST_F(PageStyleRender, RuledLinesRunUnderEveryTextLineAndDownThePage) {
  const QImage image = render(PS_RULEDLINES, u"first line\r\nsecond\r\nthird");
  const int lines = static_cast<int>(image.height() / widget().control().defaultLineHeight());
  ASSERT_GT(lines, 5);
  for (int line = 0; line < lines; ++line) EXPECT_EQ(darkInRow(image, ruleRow(line), 0, image.width()), image.width()) << "line " << line;
  EXPECT_EQ(solidRows(image), lines);
  // The text itself is there, above the first rule, and the page is white elsewhere.
  EXPECT_GT(darkInRow(image, ruleRow(0) - static_cast<int>(widget().control().defaultLineHeight() / 2), 0, image.width() / 2), 0);
  EXPECT_EQ(image.pixel(image.width() - 1, ruleRow(0) - 2), qRgb(255, 255, 255));
}

TEST_F(PageStyleRender, DottedLinesAlternateUnderEveryTextLine) {
  const QImage image = render(PS_DOTTEDLINES, u"first line\r\nsecond");
  const int lines = static_cast<int>(image.height() / widget().control().defaultLineHeight());
  for (int line = 0; line < lines; ++line) {
    // Right of the text the row is dots only: half of it dark, no two dark pixels together.
    const int from = image.width() / 2;
    EXPECT_EQ(darkInRow(image, ruleRow(line), from, from + 100), 50) << "line " << line;
  }
  EXPECT_GE(dottedRows(image), lines - 2);  // glyphs of the two text lines may touch their dots
  EXPECT_LE(dottedRows(image), lines);
  EXPECT_EQ(solidRows(image), 0);
}

TEST_F(PageStyleRender, NoLinesLeaveThePageBlank) {
  const QImage empty = render(PS_NONE, u"");
  for (int y = 0; y < empty.height(); ++y) ASSERT_EQ(darkInRow(empty, y, 0, empty.width()), 0) << "row " << y;
  const QImage text = render(PS_NONE, u"first line\r\nsecond");
  EXPECT_EQ(darkInRow(text, ruleRow(0), 0, text.width()), 0);
  EXPECT_EQ(solidRows(text), 0);
}

TEST_F(PageStyleRender, TheSelectionIsHighlighted) {
  render(PS_NONE, u"select me please");
  SendMessage(view_, EM_SETSEL, 0, 9);
  const QImage image = widget().grab().toImage();
  const int middle = static_cast<int>(widget().control().defaultLineHeight() / 2);
  int highlighted = 0;
  for (int x = 0; x < image.width(); ++x) highlighted += image.pixel(x, middle) == TextViewWidget::selectionBackground().rgb() ? 1 : 0;
  EXPECT_GT(highlighted, 10);
  SendMessage(view_, EM_SETSEL, 0, 0);
  const QImage cleared = widget().grab().toImage();
  for (int x = 0; x < cleared.width(); ++x) ASSERT_NE(cleared.pixel(x, middle), TextViewWidget::selectionBackground().rgb());
}

}  // namespace
}  // namespace platform::textview
