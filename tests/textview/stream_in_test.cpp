// Pulling a stream through the caller's callback: the chunk sizes asked and delivered, the
// end at the first empty delivery, and callbacks that misbehave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/textview/stream_in.h"

namespace platform::textview {
namespace {

// A source in the manner of the viewer's: start, current and limit over a byte array, every
// call logged.
struct RecordingSource {
  std::string bytes;                 // what the source delivers, in full
  size_t current = 0;                // next byte to deliver
  std::vector<LONG> requested;       // each call's requested count
  std::vector<LONG> delivered;       // each call's delivered count
  int callsAfterEnd = 0;             // calls made after a 0-byte delivery
};

DWORD recordingCallback(DWORD_PTR cookie, BYTE* buffer, LONG requested, LONG* delivered) {
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
