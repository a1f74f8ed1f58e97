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

bool ReportCannotWrite(Terminal& terminal, const std::string& path, int error) {
  terminal.Err("tavlink-cli: cannot write " + path + ": " + DescribeFileError(error) + "\n");
  return false;
}

}  // namespace

std::unique_ptr<SaveTarget> PrepareOutput(Terminal& terminal, const std::string& path,
                                          const std::string& input) {
  int error = 0;
  std::unique_ptr<SaveTarget> target =
      SaveTarget::Prepare(path, input, {&Guard(), /*waitForReader=*/true}, &error);
  if (!target) {
    if (error == kErrorIsTheInput)
      terminal.Err("tavlink-cli: " + path + " is the input file " + input +
                   "; give another output file.\n");
    else
      ReportCannotWrite(terminal, path, error);
  }
  return target;
}

bool CommitOutput(Terminal& terminal, SaveTarget& target, const std::string& path) {
  int error = 0;
  return target.Commit(&error) || ReportCannotWrite(terminal, path, error);
}

}  // namespace tavlink::cli
