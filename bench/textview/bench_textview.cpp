// A jump to the end of a big document and back to the top, as Ctrl+End and Ctrl+Home do it:
// the view scrolls, lays out what becomes visible and paints it into an image. Before every
// jump the wrap width changes by a pixel, so every layout is made afresh as after opening a
// document. Documents of 64 million units (a 200 MB UTF-8 file of Japanese decodes to about
// that many) of English prose and of Japanese prose, with the Japanese face and without one
// (the desktop's face, so that the glyphs come from its fallback).
//
//   QT_QPA_PLATFORM=offscreen build/bench/textview/quill_textview_bench
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>

#include "platform/textview/font_fallback.h"
#include "platform/textview/text_view_control.h"

namespace {

using platform::textview::TextViewControl;
using platform::textview::VisibleSegment;

constexpr qsizetype kUnits = 64 * 1000 * 1000;

uint32_t nextRandom(uint32_t& seed) {
  seed = seed * 1103515245u + 12345u;
  return seed >> 8;
}

// Lines of 20 to 50 kanji, kana and digits closed by a full stop, or of 40 to 100 characters of
// English words.
QString makeText(bool japanese) {
  static const char* const kWords[] = {"the ", "of ", "and ", "people ", "between ", "world ", "little ",
                                       "against ", "through ", "should ", "another ", "great "};
  QString text;
  text.reserve(kUnits + 256);
  uint32_t seed = 2024;
  while (text.size() < kUnits) {
    if (japanese) {
      const uint32_t count = 20 + nextRandom(seed) % 31;
      for (uint32_t i = 0; i < count; ++i) {
        const uint32_t r = nextRandom(seed) % 100;
        const char16_t unit = r < 45   ? char16_t(0x4E00 + nextRandom(seed) % 3000)
                              : r < 85 ? char16_t(0x3041 + nextRandom(seed) % 83)
                              : r < 95 ? char16_t(0x30A1 + nextRandom(seed) % 83)
                                       : char16_t(u'0' + nextRandom(seed) % 10);
        text += QChar(unit);
      }
      text += QChar(0x3002);
    } else {
      const uint32_t target = 40 + nextRandom(seed) % 61;
      const qsizetype start = text.size();
      while (text.size() - start < target) text += QLatin1String(kWords[nextRandom(seed) % 12]);
    }
    text += QLatin1Char('\n');
  }
  return text;
}

void paint(TextViewControl& control, QImage& image) {
  QPainter painter(&image);
  painter.fillRect(image.rect(), Qt::white);
  for (const VisibleSegment& visible : control.visibleSegments()) {
    visible.layout->draw(&painter, QPointF(control.margin(), visible.offsetY), {}, QRectF(image.rect()));
  }
}

void endAndBack(benchmark::State& state, bool japanese, bool japaneseFace, bool coldGlyphs) {
  static const QString english = makeText(false);
  static const QString japaneseText = makeText(true);
  TextViewControl control;
  QFont font;
  font.setPixelSize(16);
  if (japaneseFace) font = platform::textview::withCharacterSetFallback(font, QString(), 128);
  control.setFont(font);
  control.setPlainText(japanese ? japaneseText : english);
  QImage image(480, 600, QImage::Format_ARGB32_Premultiplied);
  int step = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ++step;
    if (coldGlyphs) {
      // A size not used before: its glyphs are neither measured nor drawn yet.
      font.setPixelSize(12 + step % 24);
      font.setWeight(QFont::Weight(100 + 100 * (step / 24 % 9)));
      control.setFont(font);
    }
    control.setViewportSize(QSizeF(480 - (step % 2), 600));
    control.lineCount();  // the estimates, made once a document is opened
    state.ResumeTiming();
    control.scrollToBottom();
    paint(control, image);
    control.scrollToTop();
    paint(control, image);
  }
}

BENCHMARK_CAPTURE(endAndBack, English, false, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(endAndBack, JapaneseDesktopFace, true, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(endAndBack, JapaneseFace, true, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(endAndBack, EnglishColdGlyphs, false, false, true)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK_CAPTURE(endAndBack, JapaneseDesktopFaceColdGlyphs, true, false, true)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK_CAPTURE(endAndBack, JapaneseFaceColdGlyphs, true, true, true)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
