// The file side every front end shares: reading a data text into a block,
// opening inputs and preparing outputs. The same cases
// run on Linux and on Windows (under Wine); the few that need what only one
// system has (FIFOs, permission bits, attributes) say so.

#include "files/data_text_file.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "support/deep_folder.h"
#endif

#include <cerrno>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "data/receiver_data_block.h"
#include "files/file_error.h"
#include "files/input_file.h"
#include "files/save_target.h"
#include "support/temp_folder.h"

namespace tavlink {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class FileSideTest : public ::testing::Test {
 protected:
  StreamPtr Open(const std::string& path) { return StreamPtr(std::fopen(path.c_str(), "rb")); }
  TempFolder folder;
};

// A guard that only records what saves name for removal.
class RecordingGuard final : public SaveTarget::Guard {
 public:
  void Track(const std::string& path) override {
    live.insert(path);
    tracked = path;
  }
  void Untrack(const std::string& path) override {
    EXPECT_EQ(live.erase(path), 1u) << path << " was not tracked";
    if (path == tracked) tracked.clear();
  }
  void Atomically(const std::function<void()>& task) override { task(); }
  std::set<std::string> live;  // every path to be removed now
  std::string tracked;         // the last path tracked, while it is
};

// A text that cannot be read is a file error, not a reader's result. A
// folder opened as a stream fails its reads.
TEST_F(FileSideTest, UnreadableStreamsGiveTheFileError) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows opens no folder as a stream";
#else
  auto block = std::make_unique<ReceiverDataBlock>();
  StreamPtr text = Open(folder.path().string());
  EXPECT_EQ(ReadDataTextFrom(text.get(), *block).error, EISDIR);
#endif
}

TEST_F(FileSideTest, DataTextIsReadWithTheReadersResult) {
  auto block = std::make_unique<ReceiverDataBlock>();
  const std::string good = folder.File("good.txt");
  WriteBytes(good, "# nothing but a comment\r\na 3\r\n");
  StreamPtr text = Open(good);
  DataTextRead read = ReadDataTextFrom(text.get(), *block);
  EXPECT_EQ(read.error, 0);
  EXPECT_EQ(read.result, 0);
  EXPECT_EQ(block->antenna_config(), 3);

  const std::string bad = folder.File("bad.txt");
  WriteBytes(bad, "a 1\na 1\n");
  text = Open(bad);
  read = ReadDataTextFrom(text.get(), *block);
  EXPECT_EQ(read.result, 6);
  EXPECT_EQ(read.message,
            " * Error : line 2. Default Switch Configuation value was defined duplicatly.");
}

TEST_F(FileSideTest, OnlyAValidBlockGivesATextToSave) {
  auto block = std::make_unique<ReceiverDataBlock>();
  EXPECT_FALSE(DataTextToSave(*block).has_value());
  block->FinishHeader(0, 0, 0, -1);
  const std::optional<std::string> text = DataTextToSave(*block);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->substr(0, 2), "##");
  EXPECT_NE(text->find("\r\n"), std::string::npos);
}

// Readers share a file; a program writing it (with its lock) keeps them out.
TEST_F(FileSideTest, InputFilesAreSharedByReadersButNotWithAWriter) {
  const std::string path = folder.File("factory.txt");
  WriteBytes(path, "a 1\n");
  int error = 0;
  std::optional<InputFile> first = OpenInputFile(path, &error);
  std::optional<InputFile> second = OpenInputFile(path, &error);
  ASSERT_TRUE(first && second) << DescribeFileError(error);
  EXPECT_EQ(first->length, 4u);
  char bytes[8] = {};
  EXPECT_EQ(std::fread(bytes, 1, sizeof bytes, first->stream.get()), 4u);  // binary: LF stays
  EXPECT_STREQ(bytes, "a 1\n");

  const std::string held = folder.File("held.txt");
  WriteBytes(held, "x");
  testing::ForeignLock writer(held);
  EXPECT_FALSE(OpenInputFile(held, &error));
  EXPECT_EQ(error, kErrorInUse);
  EXPECT_EQ(DescribeFileError(error), "another program is using it");

  EXPECT_FALSE(OpenInputFile(folder.path().string(), &error));
  EXPECT_EQ(error, EISDIR);
  EXPECT_FALSE(OpenInputFile(folder.File("missing"), &error));
  EXPECT_EQ(error, ENOENT);
  EXPECT_FALSE(OpenInputFile(folder.File("no-folder/missing"), &error));
  EXPECT_EQ(error, ENOENT);
}

// What this tool reads, it holds against its own saves, and the other way
// round: a file is never saved while a command sends it.
TEST_F(FileSideTest, AnInputAndAnOutputOfTheSameFileKeepEachOtherOut) {
  const std::string path = folder.File("user.bak");
  WriteBytes(path, "backup");
  int error = 0;
  {
    std::optional<InputFile> input = OpenInputFile(path, &error);
    ASSERT_TRUE(input) << DescribeFileError(error);
    EXPECT_EQ(SaveTarget::Prepare(path, {}, {}, &error), nullptr);
    EXPECT_EQ(error, kErrorInUse);
  }
  auto output = SaveTarget::Prepare(path, {}, {}, &error);
  ASSERT_NE(output, nullptr) << DescribeFileError(error);
  EXPECT_FALSE(OpenInputFile(path, &error));
  EXPECT_EQ(error, kErrorInUse);
  output.reset();
  EXPECT_TRUE(OpenInputFile(path, &error));
  EXPECT_EQ(ReadBytes(path), "backup");
}

TEST_F(FileSideTest, InputFifoIsRefusedWithoutWaitingForAWriter) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no FIFOs in its file system";
#else
  const std::string fifo = folder.File("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  int error = 0;
  EXPECT_FALSE(OpenInputFile(fifo, &error));  // and it did not wait for a writer
  EXPECT_EQ(error, kErrorNotPlainFile);
#endif
}

TEST_F(FileSideTest, SaveTargetRefusesWhatItMustNotReplace) {
  int error = 0;
  const std::string input = folder.File("in.txt");
  WriteBytes(input, "input");
  // The input named another way is still the input.
  const std::string sameFile = (folder.path() / "." / "in.txt").string();
  EXPECT_EQ(SaveTarget::Prepare(sameFile, input, {}, &error), nullptr);
  EXPECT_EQ(error, kErrorIsTheInput);

  const std::string held = folder.File("held.txt");
  WriteBytes(held, "kept");
  {
    testing::ForeignLock writer(held);
    EXPECT_EQ(SaveTarget::Prepare(held, {}, {}, &error), nullptr);
    EXPECT_EQ(error, kErrorInUse);
  }
  EXPECT_EQ(SaveTarget::Prepare(folder.path().string(), {}, {}, &error), nullptr);
  EXPECT_EQ(error, EISDIR);
  EXPECT_EQ(SaveTarget::Prepare(folder.File("no-folder/out.txt"), {}, {}, &error), nullptr);
  EXPECT_EQ(error, ENOENT);

  EXPECT_EQ(ReadBytes(input), "input");
  EXPECT_EQ(ReadBytes(held), "kept");
  EXPECT_EQ(folder.Count(), 2u);  // nothing made beside them
}

TEST_F(FileSideTest, SaveTargetRefusesAFileThisUserMayNotWrite) {
  int error = 0;
  const std::string readOnly = folder.File("read-only.txt");
  WriteBytes(readOnly, "mine");
#ifdef _WIN32
  ASSERT_TRUE(::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  const HANDLE probe = ::CreateFileA(readOnly.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool writable = probe != INVALID_HANDLE_VALUE;
  if (writable) ::CloseHandle(probe);
  auto target = writable ? nullptr : SaveTarget::Prepare(readOnly, {}, {}, &error);
  ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that it can be removed
  if (writable) GTEST_SKIP() << "this user writes read-only files (Wine run as root)";
#else
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  if (::geteuid() == 0) GTEST_SKIP() << "root may write anything";
  auto target = SaveTarget::Prepare(readOnly, {}, {}, &error);
#endif
  EXPECT_EQ(target, nullptr);
  EXPECT_EQ(error, EACCES);
  EXPECT_EQ(ReadBytes(readOnly), "mine");
  EXPECT_EQ(folder.Count(), 1u);
}

TEST_F(FileSideTest, SaveTargetChangesTheFileOnlyOnCommit) {
  const std::string path = folder.File("out.txt");
  WriteBytes(path, "old");
  int error = 0;
  {
    auto target = SaveTarget::Prepare(path, {}, {}, &error);
    ASSERT_NE(target, nullptr);
    std::fputs("abandoned", target->stream());
  }
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(folder.Count(), 1u);  // no temporary file left

  auto target = SaveTarget::Prepare(path, {}, {}, &error);
  ASSERT_NE(target, nullptr);
  std::fputs("new\n", target->stream());
  EXPECT_EQ(ReadBytes(path), "old");
  ASSERT_TRUE(target->Commit(&error)) << DescribeFileError(error);
  EXPECT_EQ(ReadBytes(path), "new\n");  // binary: no CR added
  EXPECT_EQ(folder.Count(), 1u);

  const std::string fresh = folder.File("fresh.txt");
  target = SaveTarget::Prepare(fresh, {}, {}, &error);
  ASSERT_NE(target, nullptr);
  EXPECT_FALSE(std::filesystem::exists(fresh));
  std::fputs("made", target->stream());
  ASSERT_TRUE(target->Commit(&error)) << DescribeFileError(error);
  EXPECT_EQ(ReadBytes(fresh), "made");
}

// What shows how a file is kept stays: its permission bits on POSIX, its
// hidden attribute on Windows.
TEST_F(FileSideTest, SavedFileKeepsItsModeOrAttributes) {
  const std::string path = folder.File("out.txt");
  WriteBytes(path, "old");
#ifdef _WIN32
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
  if ((::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0)
    GTEST_SKIP() << "this file system keeps no hidden attribute";
#else
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
#endif
  int error = 0;
  auto target = SaveTarget::Prepare(path, {}, {}, &error);
  ASSERT_NE(target, nullptr);
  std::fputs("new", target->stream());
  ASSERT_TRUE(target->Commit(&error)) << DescribeFileError(error);
  EXPECT_EQ(ReadBytes(path), "new");
#ifdef _WIN32
  EXPECT_NE(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
#else
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
#endif
}

// Leaving at once removes the temporary file the guard was told of, while
// the save still has it open; the file to save stays as it was.
TEST_F(FileSideTest, TemporaryFileCanBeRemovedWhileTheSaveHoldsIt) {
  const std::string path = folder.File("out.txt");
  WriteBytes(path, "old");
  RecordingGuard guard;
  int error = 0;
  auto target = SaveTarget::Prepare(path, {}, {&guard}, &error);
  ASSERT_NE(target, nullptr);
  ASSERT_FALSE(guard.tracked.empty());
  EXPECT_NE(guard.tracked, path);
  std::fputs("new", target->stream());
  std::error_code removal;
  EXPECT_TRUE(std::filesystem::remove(guard.tracked, removal)) << removal.message();
  EXPECT_FALSE(target->Commit(&error));
  EXPECT_TRUE(guard.tracked.empty());
  target.reset();
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(folder.Count(), 1u);
}

// Saves under way together (one for each receiver) are tracked apart: one
// put in place or dropped leaves the others' files to be removed.
TEST_F(FileSideTest, SavesUnderOneGuardEachForgetOnlyTheirOwnFile) {
  RecordingGuard guard;
  int error = 0;
  auto first = SaveTarget::Prepare(folder.File("a.txt"), {}, {&guard}, &error);
  auto second = SaveTarget::Prepare(folder.File("b.txt"), {}, {&guard}, &error);
  auto third = SaveTarget::Prepare(folder.File("c.txt"), {}, {&guard}, &error);
  ASSERT_TRUE(first && second && third);
  ASSERT_EQ(guard.live.size(), 3u);
  std::fputs("a", first->stream());
  ASSERT_TRUE(first->Commit(&error));
  third.reset();
  ASSERT_EQ(guard.live.size(), 1u);
  const std::string left = *guard.live.begin();
  EXPECT_TRUE(std::filesystem::exists(left)) << left;
  EXPECT_NE(left, folder.File("b.txt"));
  second.reset();
  EXPECT_TRUE(guard.live.empty());
  EXPECT_EQ(ReadBytes(folder.File("a.txt")), "a");
  EXPECT_EQ(folder.Count(), 1u);
}

// A device is written to, never replaced by a plain file.
TEST_F(FileSideTest, ADeviceIsWrittenToInPlace) {
#ifdef _WIN32
  const std::string device = "NUL";
#else
  const std::string device = "/dev/null";
#endif
  int error = 0;
  auto target = SaveTarget::Prepare(device, {}, {}, &error);
  ASSERT_NE(target, nullptr) << DescribeFileError(error);
  std::fputs("into the device", target->stream());
  EXPECT_TRUE(target->Commit(&error)) << DescribeFileError(error);
#ifndef _WIN32
  struct stat info {};
  ASSERT_EQ(::stat(device.c_str(), &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
#endif
}

TEST_F(FileSideTest, SaveThroughASymbolicLinkChangesTheFileItNames) {
  const std::string file = folder.File("file.txt");
  const std::string link = folder.File("link.txt");
  WriteBytes(file, "old");
#ifdef _WIN32
  // Unprivileged where the system allows it (developer mode); Wine says
  // it made one and makes none.
  auto isLink = [&] {
    const DWORD attributes = ::GetFileAttributesA(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  };
  if (!::CreateSymbolicLinkA(link.c_str(), file.c_str(), 0x2) || !isLink())
    GTEST_SKIP() << "this system makes no symbolic link here";
#else
  auto isLink = [&] { return std::filesystem::is_symlink(link); };
  ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
#endif
  int error = 0;
  EXPECT_EQ(SaveTarget::Prepare(link, file, {}, &error), nullptr);
  EXPECT_EQ(error, kErrorIsTheInput);

  auto target = SaveTarget::Prepare(link, {}, {}, &error);
  ASSERT_NE(target, nullptr) << DescribeFileError(error);
  std::fputs("new", target->stream());
  ASSERT_TRUE(target->Commit(&error)) << DescribeFileError(error);
  EXPECT_EQ(ReadBytes(file), "new");
  EXPECT_TRUE(isLink());
  EXPECT_EQ(folder.Count(), 2u);
}

#ifndef _WIN32
// Keeps this process from making any file longer than `bytes` while it
// lives (a full disk as far as a save can tell: its writes fail with EFBIG
// instead of raising SIGXFSZ).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &before_);
    signalBefore_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = before_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &before_);
    std::signal(SIGXFSZ, signalBefore_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit before_{};
  void (*signalBefore_)(int) = SIG_DFL;
};

// A save to a file that did not exist leaves nothing behind when it is
// never committed or its Commit fails: no temporary file, and not the file
// itself, which the save makes at once where no temporary file fits beside
// it (a folder at the system's length limit).
TEST_F(FileSideTest, FailedSaveOfANewFileLeavesNothingBehind) {
  const std::string plain = folder.File("plain");
  ASSERT_TRUE(std::filesystem::create_directory(plain));
  const std::string deep = testing::MakeFolderOfLength(folder.path().string(), 4085);
  ASSERT_FALSE(deep.empty());
  auto entries = [](const std::string& where) {
    return std::distance(std::filesystem::directory_iterator(where), {});
  };
  const std::string bytes(8192, 'x');
  for (const std::string& where : {plain, deep}) {
    SCOPED_TRACE(where.size() > 1000 ? "in a folder at the length limit" : "in a plain folder");
    const std::string path = where + "/new.txt";
    int error = 0;
    {
      auto target = SaveTarget::Prepare(path, {}, {}, &error);
      ASSERT_NE(target, nullptr) << DescribeFileError(error);
      std::fwrite(bytes.data(), 1, bytes.size(), target->stream());
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(entries(where), 0);

    {
      auto target = SaveTarget::Prepare(path, {}, {}, &error);
      ASSERT_NE(target, nullptr) << DescribeFileError(error);
      const FileSizeLimit full(4096);
      std::fwrite(bytes.data(), 1, bytes.size(), target->stream());
      EXPECT_FALSE(target->Commit(&error));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(entries(where), 0);
  }
}
#endif

}  // namespace
}  // namespace tavlink
