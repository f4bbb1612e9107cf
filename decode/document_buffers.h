// The two growable buffers of a loaded document: the file's bytes and the decoded text.
// Storage is reused from one document to the next while it fits, and replaced when the next
// document needs much less, so that memory is given back after a big document.
#pragma once

#include <cstddef>
#include <cstdint>

// Storage of at least `bytes` bytes, 64-byte aligned, or nullptr when there is no memory for
// it. Blocks of 2 MiB and more are mapped on their own, on 2 MiB boundaries, and advised as
// huge pages: first touching 200 MB of ordinary pages costs about half a second, of huge
// pages a few hundredths. Such a block goes back to the system when it is given back.
void* obtainDocumentStorage(size_t bytes);
// Gives back storage from obtainDocumentStorage (nullptr is ignored).
void releaseDocumentStorage(void* storage);

// Storage larger than this that holds more than twice what the next document needs is
// replaced by storage of the needed size.
inline constexpr size_t kKeptSlackBytes = size_t{1} << 20;

// The raw bytes of the loaded file, always followed by one zero byte.
struct ByteBuffer {
  uint8_t* data = nullptr;  // owned (obtainDocumentStorage): capacity + 1 bytes, or none
  uint32_t capacity = 0;    // bytes of content the storage holds; 0 while there is no storage

  ByteBuffer() = default;
  ~ByteBuffer();
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  // Makes room for n bytes plus the zero byte. Storage of capacity >= n is reused unchanged,
  // unless it is larger than kKeptSlackBytes and more than twice n; otherwise it is replaced
  // (content neither kept nor cleared). Returns false when storage could not be obtained; the
  // buffer then has none.
  bool ensureCapacity(uint32_t n);
  // Gives the storage back (teardown).
  void release();
};

// The decoded text: UTF-16 code units ended by a zero unit.
struct WideBuffer {
  char16_t* data = nullptr;  // owned (obtainDocumentStorage): capacity + 1 units, or none
  uint32_t capacity = 0;     // code units of content the storage holds; 0 without storage

  WideBuffer() = default;
  ~WideBuffer();
  WideBuffer(const WideBuffer&) = delete;
  WideBuffer& operator=(const WideBuffer&) = delete;

  // Same rule as ByteBuffer::ensureCapacity, counted in code units.
  bool ensureCapacity(uint32_t n);
  void release();
  // Hands the storage to a new owner, who gives it back with releaseDocumentStorage; the
  // buffer is left without storage. Returns nullptr when there was none.
  char16_t* handOver();
  // The text; a buffer without storage counts as the empty text.
  const char16_t* text() const { return data ? data : u""; }
};
