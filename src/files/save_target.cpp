// What SaveTarget does the same way on every system: reaching its guard.
#include "files/save_target.h"

namespace tavlink {

void SaveTarget::Track(const std::string& path) const {
  if (guard_ != nullptr) guard_->Track(path);
}

void SaveTarget::Untrack() const {
  if (guard_ != nullptr) guard_->Untrack();
}

void SaveTarget::Atomically(const std::function<void()>& task) const {
  if (guard_ != nullptr)
    guard_->Atomically(task);
  else
    task();
}

}  // namespace tavlink
