// The viewer as the desktop starts it, with a stopwatch: bench/viewer-open.sh runs it headless
// on generated documents. It is the real program (the same entry point, launcher and
// resources) plus three things a person would otherwise do: it answers the 64 KB advice with
// OK, it goes to the end of the document and back once the document is on screen, and it then
// opens a small document the way the open command opens a chosen one. It prints one line:
//
//   first_ms=  start of the process (QUILL_PROBE_T0_NS, the script's clock before exec) to the
//              end of the first paint that shows the document
//   cpu_ms=    processor time (user and system) the process had used by then; on a busy
//              machine a steadier figure than the wall-clock time
//   whole_ms=  start to the whole document in the view (a big document's first screen shows
//              while a thread of its own reads and decodes the rest); the moves below wait
//              for it, as a key would
//   peak_kb=   the peak resident memory of the whole run up to that point
//   end_ms=    SB_BOTTOM sent to the text view and the view painted at the end
//   top_ms=    SB_TOP sent and the view painted at the top
//   end_ok=    1 when the document's last line was on screen after SB_BOTTOM
//   lines=     EM_GETLINECOUNT after the end was reached
//   next_kb=   resident memory once the small document was painted
//
// Usage: quill_open_probe --next DEVICE_PATH [launcher options] [--] DOCUMENT
#include <sys/resource.h>

#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "app/background_load.h"
#include "app/decode_document.h"
#include "app/document_loader.h"
#include "app/viewer_state.h"
#include "app/win_main.h"
#include "platform/host/launcher.h"
#include "platform/system/responders.h"
#include "platform/textview/text_widget.h"
#include "resources/quillscope_resources.h"

namespace {

using platform::textview::TextViewControl;
using platform::textview::TextViewWidget;

enum class Phase { WaitingForDocument, Moving, WaitingForNext, Done };

struct Run {
  int64_t startNs = 0;          // the process's start on the realtime clock
  std::u16string next;          // device path of the small document opened afterwards
  Phase phase = Phase::WaitingForDocument;  // where the scripted sequence is
  double firstMs = 0, wholeMs = 0, endMs = 0, topMs = 0;  // the measured times
  double cpuMs = 0;             // processor time used up to the first paint
  long peakKb = 0;              // peak resident memory after the big document
  bool endShown = false;        // the last line was on screen after SB_BOTTOM
  bool topShown = false;        // the first line was on screen after SB_TOP
  long long lines = 0;          // EM_GETLINECOUNT at the end
};
Run run;

int64_t nowNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double msSince(int64_t startNs) { return static_cast<double>(nowNs() - startNs) / 1e6; }

long residentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

double processorMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

long peakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Whether the document's last wrapped line is among those painted.
bool lastLineShown(TextViewControl& control) {
  const auto segments = control.visibleSegments();
  if (segments.empty()) return false;
  const auto& last = segments.back();
  return last.segment == control.document().segmentCount() - 1 && last.lastLine == last.layout->lineCount() - 1;
}

void moveAndOpenNext(TextViewWidget* view) {
  const HWND hwnd = view->window();
  ViewerState* state = viewerStateOf(GetParent(hwnd));
  if (state != nullptr && backgroundLoadPending(*state)) {
    QTimer::singleShot(1, [view] { moveAndOpenNext(view); });
    return;
  }
  run.wholeMs = msSince(run.startNs);
  int64_t start = nowNs();
  SendMessage(hwnd, WM_VSCROLL, SB_BOTTOM, 0);
  view->repaint();
  run.endMs = msSince(start);
  run.endShown = lastLineShown(view->control());
  run.lines = static_cast<long long>(SendMessage(hwnd, EM_GETLINECOUNT, 0, 0));

  start = nowNs();
  SendMessage(hwnd, WM_VSCROLL, SB_TOP, 0);
  view->repaint();
  run.topMs = msSince(start);
  run.topShown = SendMessage(hwnd, EM_GETFIRSTVISIBLELINE, 0, 0) == 0;
  run.peakKb = peakResidentKb();

  // The small document, opened as the open command opens the one the user chose.
  if (state == nullptr || run.next.size() >= kPathUnits) {
    std::fprintf(stderr, "quill_open_probe: no viewer state or path too long\n");
    std::exit(1);
  }
  std::memset(state->path, 0, sizeof state->path);
  std::memcpy(state->path, run.next.data(), run.next.size() * sizeof(char16_t));
  state->richDocument = documentModeOf(state->path);
  run.phase = Phase::WaitingForNext;
  loadDocument(*state, state->mainWindow);
  decodeDocument(*state);
  PostMessage(state->mainWindow, WM_PAINT, 0, 0);
}

void observePaint(TextViewWidget& view) {
  const qsizetype length = view.control().document().length();
  if (run.phase == Phase::WaitingForDocument && length > 0) {
    run.firstMs = msSince(run.startNs);
    run.cpuMs = processorMs();
    run.phase = Phase::Moving;
    TextViewWidget* target = &view;
    QTimer::singleShot(0, [target] { moveAndOpenNext(target); });
  } else if (run.phase == Phase::WaitingForNext && length > 0 && length < 4096) {
    run.phase = Phase::Done;
    std::printf("first_ms=%.1f cpu_ms=%.1f whole_ms=%.1f peak_kb=%ld end_ms=%.1f top_ms=%.1f end_ok=%d top_ok=%d lines=%lld next_kb=%ld\n",
                run.firstMs, run.cpuMs, run.wholeMs, run.peakKb, run.endMs, run.topMs, run.endShown ? 1 : 0, run.topShown ? 1 : 0,
                run.lines, residentKb());
    std::fflush(stdout);
    PostQuitMessage(0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const char* t0 = std::getenv("QUILL_PROBE_T0_NS");
  run.startNs = t0 != nullptr ? std::strtoll(t0, nullptr, 10) : nowNs();
  std::vector<char*> arguments{argv[0]};
  static char noScreenshot[] = "--no-screenshot";
  arguments.push_back(noScreenshot);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--next") == 0 && i + 1 < argc) {
      const std::string next = argv[++i];
      run.next.assign(next.begin(), next.end());  // an ASCII device path
    } else {
      arguments.push_back(argv[i]);
    }
  }
  if (run.next.empty()) {
    std::fprintf(stderr, "usage: %s --next DEVICE_PATH [launcher options] [--] DOCUMENT\n", argv[0]);
    return 2;
  }
  platform::responders::setMessageBoxResponder([](const platform::responders::MessageBoxCall&) { return IDOK; });
  platform::textview::setPaintObserver(observePaint);
  return platform::host::runDesktopProgram(static_cast<int>(arguments.size()), arguments.data(), WinMain,
                                           &quillscopeResources());
}
