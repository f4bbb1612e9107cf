// The grow-only document buffers: reuse, replacement, the zero-count rule, failed allocation.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>

#include "decode/document_buffers.h"

namespace {

template <typename Buffer>
class DocumentBufferTest : public ::testing::Test {};

using BufferTypes = ::testing::Types<ByteBuffer, WideBuffer>;
TYPED_TEST_SUITE(DocumentBufferTest, BufferTypes);

TYPED_TEST(DocumentBufferTest, GrowsOnlyAndReusesStorage) {
  TypeParam buffer;
  ASSERT_TRUE(buffer.ensureCapacity(50'000));
  ASSERT_NE(buffer.data, nullptr);
  EXPECT_EQ(buffer.capacity, 50'000u);
  buffer.data[50'000] = 7;  // n + 1 elements: the slot for the ending zero exists
  const auto* storage = buffer.data;

  // A smaller document reuses the storage as it is: same storage, same capacity, content kept.
  ASSERT_TRUE(buffer.ensureCapacity(1'000));
  EXPECT_EQ(buffer.data, storage);
  EXPECT_EQ(buffer.capacity, 50'000u);
  EXPECT_EQ(buffer.data[50'000], 7);
  ASSERT_TRUE(buffer.ensureCapacity(50'000));
  EXPECT_EQ(buffer.data, storage);

  // A larger one replaces it; the capacity becomes exactly the count asked for.
  ASSERT_TRUE(buffer.ensureCapacity(50'001));
  EXPECT_EQ(buffer.capacity, 50'001u);
  buffer.data[50'001] = 1;
}

TYPED_TEST(DocumentBufferTest, ZeroCountChangesNothing) {
  TypeParam empty;
  EXPECT_TRUE(empty.ensureCapacity(0));
  EXPECT_EQ(empty.data, nullptr);
  EXPECT_EQ(empty.capacity, 0u);

  TypeParam held;
  ASSERT_TRUE(held.ensureCapacity(16));
  const auto* storage = held.data;
  EXPECT_TRUE(held.ensureCapacity(0));
  EXPECT_EQ(held.data, storage);
  EXPECT_EQ(held.capacity, 16u);

  held.release();
  EXPECT_EQ(held.data, nullptr);
  EXPECT_EQ(held.capacity, 0u);
}

TEST(WideBufferTest, WithoutStorageTheTextIsEmpty) {
  WideBuffer text;
  ASSERT_NE(text.text(), nullptr);
  EXPECT_EQ(text.text()[0], u'\0');
}

#if defined(__SANITIZE_ADDRESS__)
#define QUILL_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILL_UNDER_ASAN 1
#endif
#endif

// Storage that cannot be had leaves an empty buffer and a false result, not a crash. The
// address space of a child process is capped so that the allocation really fails.
TEST(DocumentBufferDeathTest, FailedAllocationLeavesNoStorage) {
#ifdef QUILL_UNDER_ASAN
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the cap allows";
#else
  auto allocateUnderCap = [] {
    const rlimit cap{1u << 30, 1u << 30};  // 1 GiB of address space
    if (setrlimit(RLIMIT_AS, &cap) != 0) std::exit(3);
    ByteBuffer bytes;
    if (!bytes.ensureCapacity(64)) std::exit(4);
    if (bytes.ensureCapacity(0xFFFF'FFFFu)) std::exit(5);  // 4 GiB cannot fit under the cap
    if (bytes.data != nullptr || bytes.capacity != 0) std::exit(6);
    WideBuffer text;
    if (text.ensureCapacity(0xFFFF'FFFFu) || text.data != nullptr || text.capacity != 0) std::exit(7);
    std::exit(0);
  };
  EXPECT_EXIT(allocateUnderCap(), ::testing::ExitedWithCode(0), "");
#endif
}

}  // namespace
