// The library in process, on every host: the output buffer and the directory adapter.
#include <gtest/gtest.h>

#include <string>

#include "core/SO.h"
#include "platform/Platform.h"

namespace {

// The output buffer starts empty, aligns fields both ways and drops what its array cannot hold,
// terminator included; the bytes beyond the array it was bound to stay as they were.
TEST(Unit, OutputBuffer) {
  std::string s(12, '#');
  SO::TBuffer b;
  SO::Init(b, {s.data(), 10});
  EXPECT_EQ(s[0], '\0');
  SO::WrStrAdj(b, "ab", 4), SO::WrStrAdj(b, "c", -2), SO::WrLngCard(b, 4294967295, 1);
  EXPECT_EQ(s, "  abc 4294##");
  SO::Clear(b), SO::WrStrAdj(b, "abc", -2), SO::WrStrAdj(b, "d", 0), SO::WrLn(b);
  EXPECT_EQ(s, std::string("abcd\r\n") + '\0' + "294##");
}

// The directory adapter at its buffer's boundary: a buffer of the path's length plus one holds
// the path and its terminator; one character less asks for that size.
TEST(Unit, CurrentDirectoryAtTheBufferBoundary) {
  std::string path(4096, '\0'), got(4096, '?');
  const std::uint32_t len = GetCurrentDirectoryA(4096, path.data());
  ASSERT_GT(len, 0u);
  EXPECT_EQ(GetCurrentDirectoryA(len + 1, got.data()), len);
  EXPECT_EQ(got.substr(0, len + 2), path.substr(0, len + 1) + '?');
  EXPECT_EQ(GetCurrentDirectoryA(len, got.data()), len + 1);
}

}  // namespace
