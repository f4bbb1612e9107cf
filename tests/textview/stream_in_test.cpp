// Pulling a stream through the caller's callback: the chunk sizes asked and delivered, the
// end at the first empty delivery, and callbacks that misbehave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/textview/stream_in.h"
#include "tests/support/text_view_host.h"

namespace platform::textview {
namespace {

using test_support::recordingCallback;
using test_support::RecordingSource;

TEST(StreamIn, PullsFourKilobyteChunksUntilAnEmptyDelivery) {
  RecordingSource source;
  source.bytes.assign(10000, 'x');
  source.bytes.push_back('\0');  // the viewer delivers the file's bytes and one zero byte
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, recordingCallback};
  const std::vector<uint8_t> bytes = pullStream(stream);
  EXPECT_EQ(source.requested, (std::vector<LONG>{4096, 4096, 4096, 4096}));
  EXPECT_EQ(source.delivered, (std::vector<LONG>{4096, 4096, 1809, 0}));
  EXPECT_EQ(source.callsAfterEnd, 0);
  EXPECT_EQ(bytes.size(), 10001u);
  EXPECT_EQ(bytes.back(), 0);
  EXPECT_EQ(stream.dwError, 0u);
}

TEST(StreamIn, AnEmptySourceIsCalledOnce) {
  RecordingSource source;
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, recordingCallback};
  EXPECT_TRUE(pullStream(stream).empty());
  EXPECT_EQ(source.delivered, std::vector<LONG>{0});
}

DWORD failingCallback(DWORD_PTR cookie, BYTE* buffer, LONG, LONG* delivered) {
  int& calls = *reinterpret_cast<int*>(cookie);
  ++calls;
  buffer[0] = 'a';
  *delivered = 1;
  return calls == 3 ? 7 : 0;  // the third call fails
}

DWORD overclaimingCallback(DWORD_PTR cookie, BYTE*, LONG requested, LONG* delivered) {
  ++*reinterpret_cast<int*>(cookie);
  *delivered = requested + 1;  // claims more than there was room for
  return 0;
}

DWORD negativeCallback(DWORD_PTR cookie, BYTE*, LONG, LONG* delivered) {
  ++*reinterpret_cast<int*>(cookie);
  *delivered = -5;
  return 0;
}

TEST(StreamIn, AFailingOrLyingCallbackEndsTheStream) {
  int calls = 0;
  EDITSTREAM failing{reinterpret_cast<DWORD_PTR>(&calls), 0, failingCallback};
  EXPECT_EQ(pullStream(failing).size(), 2u);  // the failing call's byte is not taken
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(failing.dwError, 7u);

  calls = 0;
  EDITSTREAM overclaiming{reinterpret_cast<DWORD_PTR>(&calls), 0, overclaimingCallback};
  EXPECT_TRUE(pullStream(overclaiming).empty());
  EXPECT_EQ(calls, 1);
  EXPECT_NE(overclaiming.dwError, 0u);

  calls = 0;
  EDITSTREAM negative{reinterpret_cast<DWORD_PTR>(&calls), 0, negativeCallback};
  EXPECT_TRUE(pullStream(negative).empty());
  EXPECT_EQ(calls, 1);

  EDITSTREAM none{0, 0, nullptr};
  EXPECT_TRUE(pullStream(none).empty());
  EXPECT_NE(none.dwError, 0u);
}

}  // namespace
}  // namespace platform::textview
