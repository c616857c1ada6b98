// Work in a child process: its answer comes back, its crash does not
// reach us.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <string>

#include "platform/xls/isolated.h"

namespace {

TEST(Isolated, ReturnsTheChildsBytes) {
  std::string big(3 << 20, 'x');  // more than a pipe holds at once
  big[12345] = '\0';
  auto r = xls::runIsolated([&] { return big; }, "crashed");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(*r, big);
  // The child has its own memory: what it changes stays there.
  int counter = 1;
  auto s = xls::runIsolated([&] { return std::to_string(++counter); }, "crashed");
  ASSERT_TRUE(s.ok());
  EXPECT_EQ(*s, "2");
  EXPECT_EQ(counter, 1);
}

TEST(Isolated, TurnsACrashIntoAnError) {
  auto r = xls::runIsolated(
      []() -> std::string {
        ::raise(SIGSEGV);
        return "never";
      },
      "the file is damaged");
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.status().code(), xls::Status::Code::kInvalidFormat);
  EXPECT_EQ(r.status().message(), "the file is damaged");
  auto aborted = xls::runIsolated([]() -> std::string { std::abort(); }, "aborted");
  EXPECT_FALSE(aborted.ok());
}

TEST(Isolated, StopsAChildThatHangs) {
  auto r = xls::runIsolated(
      []() -> std::string {
        for (;;) ::pause();
      },
      "it hung", /*silenceSeconds=*/1);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.status().message(), "it hung");
}

}  // namespace
