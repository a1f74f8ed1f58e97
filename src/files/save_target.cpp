// What SaveTarget does the same way on every system: preparing, rewriting
// the file in place, reaching its guard.
#include "files/save_target.h"

#include <cerrno>

namespace tavlink {

std::unique_ptr<SaveTarget> SaveTarget::Prepare(const std::string& path, const std::string& input,
                                                Options options, int* error) {
  auto target = std::make_unique<SaveTarget>(Key{});
  target->guard_ = options.guard;
  bool opened = false;
  // What is made here is named for removal before a signal or an interrupt
  // can end the program.
  target->Atomically([&] { opened = target->Open(path, input, options.waitForReader, error); });
  if (!opened) return nullptr;  // the destructor removes what was made
  return target;
}

std::FILE* SaveTarget::stream() const {
  return replacement_ ? replacement_->get() : memoryStream_;
}

bool SaveTarget::RewriteInPlace(std::string_view contents, int* error) {
  // The file itself is rewritten: a signal or an interrupt must not cut
  // that half way.
  bool done = false;
  Atomically([&] {
    done = OverwriteInPlace(targetFd_, contents);
    *error = errno;
    if (done) {
      created_ = false;  // a file made here now holds the contents: it stays
      Untrack();
    }
  });
  return done;
}

void SaveTarget::Track(const std::string& path) {
  tracked_ = path;
  if (guard_ != nullptr) guard_->Track(path);
}

void SaveTarget::Untrack() {
  if (guard_ != nullptr && !tracked_.empty()) guard_->Untrack(tracked_);
  tracked_.clear();
}

void SaveTarget::Atomically(const std::function<void()>& task) const {
  if (guard_ != nullptr)
    guard_->Atomically(task);
  else
    task();
}

}  // namespace tavlink
