// The two growable buffers of a loaded document: the file's bytes and the decoded text.
// Both only grow and are reused from one document to the next; neither is ever shrunk.
#pragma once

#include <cstdint>

// The raw bytes of the loaded file, always followed by one zero byte.
struct ByteBuffer {
  uint8_t* data = nullptr;  // owned: storage of capacity + 1 bytes, or none
  uint32_t capacity = 0;    // bytes of content the storage holds; 0 while there is no storage

  ByteBuffer() = default;
  ~ByteBuffer();
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  // Makes room for n bytes plus the zero byte. Storage of capacity >= n is reused unchanged;
  // otherwise it is replaced (content neither kept nor cleared). Returns false when storage
  // could not be obtained; the buffer then has none.
  bool ensureCapacity(uint32_t n);
  // Gives the storage back (teardown).
  void release();
};

// The decoded text: UTF-16 code units ended by a zero unit.
struct WideBuffer {
  char16_t* data = nullptr;  // owned: storage of capacity + 1 code units, or none
  uint32_t capacity = 0;     // code units of content the storage holds; 0 without storage

  WideBuffer() = default;
  ~WideBuffer();
  WideBuffer(const WideBuffer&) = delete;
  WideBuffer& operator=(const WideBuffer&) = delete;

  // Same rule as ByteBuffer::ensureCapacity, counted in code units.
  bool ensureCapacity(uint32_t n);
  void release();
  // The text; a buffer without storage counts as the empty text.
  const char16_t* text() const { return data ? data : u""; }
};
