// The built executable: device paths, links, clean stop, faults for one
// receiver of several, idle cost, and refusal of unreadable user data.

#include "support/sim_process.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>

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

// CPU time (user and system, in clock ticks) the process has used so far.
long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  // Fields 14 and 15 (utime, stime) follow the command name in parentheses.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  for (int i = 3; i < 14; ++i) fields >> field;
  long user = 0, system = 0;
  fields >> user >> system;
  return user + system;
}

TEST(SimProcessTest, CountServesEachReceiverOnItsOwnDeviceAndLink) {
  const std::string links = ::testing::TempDir() + "sim_rx" + std::to_string(::getpid()) + "_";
  SimProcess sim({"--count", "3", "--link", links + "{n}", "--silent-on", "2", "--log"});
  const std::vector<std::string> paths = sim.DevicePaths();
  ASSERT_EQ(paths.size(), 3u);
  EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()).size(), 3u);
  for (int n = 1; n <= 3; ++n) {
    char target[64] = {};
    ASSERT_GT(::readlink((links + std::to_string(n)).c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(paths[n - 1], target);
  }

  for (int n : {3, 2, 1}) {
    sim::testing::TestPc pc(paths[n - 1], B115200);
    pc.SendCode(FC_CONNECT);
    EXPECT_EQ(pc.Receive(std::chrono::milliseconds(n == 2 ? 300 : 5000)).code, n == 2 ? -1 : FC_ACK)
        << "receiver " << n << "\n"
        << sim.Stderr();
    pc.SendCode(FC_ABORT);
  }

  const int status = sim.Stop();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  const std::string log = sim.Stderr();
  EXPECT_NE(log.find("] #3 PC -> RX  FC_CONNECT"), std::string::npos) << log;
  EXPECT_NE(log.find("] #1 PC -> RX  FC_CONNECT"), std::string::npos) << log;
  EXPECT_EQ(log.find("] #2 PC -> RX"), std::string::npos) << log;
  struct stat st {};
  for (int n = 1; n <= 3; ++n) {
    EXPECT_NE(::lstat((links + std::to_string(n)).c_str(), &st), 0) << "link " << n << " left";
  }
}

// Idle receivers sleep until the PC or the stop wakes them: a spinning one
// would take a whole core.
TEST(SimProcessTest, IdleReceiversTakeAlmostNoCpu) {
  SimProcess sim({"--count", "16"});
  ASSERT_EQ(sim.DevicePaths().size(), 16u);
  const long before = CpuTicks(sim.pid());
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const long used = CpuTicks(sim.pid()) - before;
  EXPECT_LT(used, ::sysconf(_SC_CLK_TCK) / 10) << "CPU ticks in 1 s: " << used;
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
