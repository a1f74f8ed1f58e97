#include "cli/output_file.h"

#include <map>
#include <mutex>

#include "cli/interrupts.h"
#include "files/file_error.h"

namespace tavlink::cli {
namespace {

// What a save makes is removed if an interrupt ends the program at once;
// several saves (one for each receiver) may be under way together.
class InterruptGuard final : public SaveTarget::Guard {
 public:
  void Track(const std::string& path) override {
    const int ticket = RemoveOnInterrupt(path);
    const std::lock_guard lock(mutex_);
    tickets_.emplace(path, ticket);
  }
  void Untrack(const std::string& path) override {
    const std::lock_guard lock(mutex_);
    const auto it = tickets_.find(path);
    if (it == tickets_.end()) return;
    KeepOnInterrupt(it->second);
    tickets_.erase(it);
  }
  void Atomically(const std::function<void()>& task) override { WithInterruptsDeferred(task); }

 private:
  std::mutex mutex_;
  std::multimap<std::string, int> tickets_;  // each tracked path's ticket
};

InterruptGuard& Guard() {
  static InterruptGuard guard;
  return guard;
}

bool ReportCannotWrite(const std::string& path, int error) {
  std::fprintf(stderr, "tavlink-cli: cannot write %s: %s\n", path.c_str(),
               DescribeFileError(error).c_str());
  return false;
}

}  // namespace

std::unique_ptr<SaveTarget> PrepareOutput(const std::string& path, const std::string& input) {
  int error = 0;
  std::unique_ptr<SaveTarget> target =
      SaveTarget::Prepare(path, input, {&Guard(), /*waitForReader=*/true}, &error);
  if (!target) {
    if (error == kErrorIsTheInput)
      std::fprintf(stderr, "tavlink-cli: %s is the input file %s; give another output file.\n",
                   path.c_str(), input.c_str());
    else
      ReportCannotWrite(path, error);
  }
  return target;
}

bool CommitOutput(SaveTarget& target, const std::string& path) {
  int error = 0;
  return target.Commit(&error) || ReportCannotWrite(path, error);
}

}  // namespace tavlink::cli
