#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/Process.h"
#include "support/TempDir.h"

namespace varnoket {
namespace {

TEST(Process, ADetachedProgramRunsAndAMissingOneIsReported) {
  test::TempDir tmp;
  const std::string fifo = tmp / "done";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_TRUE(StartDetached("/bin/sh", {"-c", "echo started > '" + fifo + "'"}));
  // Opening a fifo for reading waits for its writer: no sleep is needed.
  std::ifstream in(fifo);
  std::string word;
  in >> word;
  EXPECT_EQ(word, "started");
  EXPECT_FALSE(StartDetached(tmp / "no-such-program"));
}

}  // namespace
}  // namespace varnoket
