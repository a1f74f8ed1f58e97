// The built executable: device path, link, clean stop, and refusal of
// unreadable user data.

#include "support/sim_process.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "test_pc.h"

namespace tavlink::testing {
namespace {

std::string BlockImage() {
  const std::string path =
      ::testing::TempDir() + "sim_block_" + std::to_string(::getpid()) + ".bin";
  std::string block(65536, '\0');
  block.replace(0, 8, "evileyes");
  std::ofstream(path, std::ios::binary) << block;
  return path;
}

TEST(SimProcessTest, ServesOnItsDeviceAndLinkAndStopsCleanly) {
  const std::string link = ::testing::TempDir() + "sim_link_" + std::to_string(::getpid());
  SimProcess sim({"--user-data", BlockImage(), "--link", link, "--log"});
  ASSERT_FALSE(sim.DevicePath().empty());
  char target[64] = {};
  ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(sim.DevicePath(), target);

  sim::testing::TestPc pc(link, B115200);
  pc.SendCode(FC_CONNECT);
  EXPECT_EQ(pc.Receive().code, FC_ACK) << sim.Stderr();
  pc.SendCode(FC_ABORT);

  const int status = sim.Stop();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_NE(sim.Stderr().find("PC -> RX  FC_CONNECT"), std::string::npos) << sim.Stderr();
  struct stat st {};
  EXPECT_NE(::lstat(link.c_str(), &st), 0) << "link left behind";
}

TEST(SimProcessTest, UnreadableUserDataEndsWithStatus2) {
  const std::string bad = ::testing::TempDir() + "sim_bad_" + std::to_string(::getpid()) + ".txt";
  std::ofstream(bad) << "this is not a data text file\n";
  for (const std::string& file : {bad, ::testing::TempDir() + "no_such_file.txt"}) {
    const std::string command = SimProgramPath() + " --user-data " + file + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << file;
  }
}

}  // namespace
}  // namespace tavlink::testing
