// Operations in which the PC sends: restore, upgrade, factory data.

#include <algorithm>
#include <cstdio>
#include <memory>

#include "link/frame.h"
#include "sim/operations.h"
#include "sim/receiver_content.h"

namespace tavlink::sim {
namespace {

using std::chrono::duration;
using std::chrono::milliseconds;

// Largest upgrade image kept in memory; more is counted but not stored.
constexpr size_t kMaxImageBytes = size_t{64} << 20;

// Received bytes, stored up to a limit; `total` counts all of them.
class BoundedBuffer {
 public:
  explicit BoundedBuffer(size_t limit) : limit_(limit) {}
  void Append(std::span<const uint8_t> bytes) {
    const size_t room = limit_ - std::min(limit_, data_.size());
    data_.insert(data_.end(), bytes.begin(), bytes.begin() + std::min(room, bytes.size()));
    total_ += bytes.size();
  }
  const std::vector<uint8_t>& data() const { return data_; }
  bool overflowed() const { return total_ > data_.size(); }
  size_t total() const { return total_; }

 private:
  size_t limit_;
  size_t total_ = 0;
  std::vector<uint8_t> data_;
};

// The receiver is ready; a PC that has moved on meanwhile ends the operation.
Step SendReady(Session& session) {
  if (!session.line.SendCode(FC_READY)) return SendFailed(session, "FC_READY");
  return Step{};
}

// FC_ACK now and FC_READY after the ready delay, or FC_READY alone when the
// delay is 0. A repeat of the request meanwhile needs no second answer.
Step ReadyHandshake(Session& session, int requestCode) {
  const double delay = session.options.readyDelaySeconds;
  if (delay <= 0) return SendReady(session);
  if (!session.line.SendCode(FC_ACK)) return SendFailed(session, "FC_ACK");
  const auto readyAt =
      std::chrono::steady_clock::now() +
      std::chrono::duration_cast<std::chrono::steady_clock::duration>(duration<double>(delay));
  for (;;) {
    const auto left =
        std::chrono::duration_cast<milliseconds>(readyAt - std::chrono::steady_clock::now());
    if (left <= milliseconds::zero()) break;
    const RxFrame frame = session.line.Receive(left);
    if (frame.kind == RxFrame::Kind::kTimeout) break;
    if (frame.kind == RxFrame::Kind::kCommand && frame.code == requestCode) continue;
    return Abandon(session, frame, "getting ready");
  }
  return SendReady(session);
}

bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                       &std::fclose);
  if (!file) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    return false;
  }
  return std::fflush(file.get()) == 0;
}

}  // namespace

Step RunRestore(Session& session) {
  if (!session.line.SendCode(FC_ACK)) return SendFailed(session, "FC_ACK");
  BoundedBuffer received(4 + ReceiverDataBlock::kSize);
  Step step = ReceiveUpload(session, FC_RESTORE_END, -1,
                            [&received](std::span<const uint8_t> p) { received.Append(p); });
  if (!step.ok) return step;
  if (received.overflowed()) {
    session.line.log().Report("restore rejected: " + std::to_string(received.total()) +
                              " bytes is more than a length field and a block; data kept");
    return step;
  }
  const RestoreVerdict verdict = ApplyRestoreData(received.data(), session.state.userData.get());
  session.line.log().Report(verdict.accepted
                                ? "restore accepted: new user data"
                                : "restore rejected: " + verdict.reason + "; data kept");
  return step;
}

Step RunUpgrade(Session& session) {
  Step step = ReadyHandshake(session, FC_UPGRADE);
  if (!step.ok) return step;
  BoundedBuffer received(kMaxImageBytes);
  step = ReceiveUpload(session, FC_UPGRADE_END, FC_UPGRADE,
                       [&received](std::span<const uint8_t> p) { received.Append(p); });
  if (!step.ok) return step;
  const UpgradeVerdict verdict = CheckUpgradeData(received.data());
  SimLog& log = session.line.log();
  log.Report(verdict.summary + (received.overflowed() ? " (only the first 64 MiB kept)" : ""));
  session.state.romImage.assign(verdict.image.begin(), verdict.image.end());
  const std::string& out = session.options.romOutPath;
  if (!out.empty() && !WriteFile(out, session.state.romImage)) {
    log.Report("cannot write the upgrade image to " + out);
  }
  return step;
}

Step RunFactory(Session& session) {
  Step step = ReadyHandshake(session, FC_FACTORY);
  if (!step.ok) return step;
  BoundedBuffer received(ReceiverDataBlock::kSize);
  step = ReceiveUpload(session, FC_FACTORY_END, FC_FACTORY,
                       [&received](std::span<const uint8_t> p) { received.Append(p); });
  if (!step.ok) return step;
  SimLog& log = session.line.log();
  if (received.total() != ReceiverDataBlock::kSize) {
    log.Report("factory data rejected: " + std::to_string(received.total()) +
               " bytes, not 65536; data kept");
    return step;
  }
  std::copy(received.data().begin(), received.data().end(), session.state.userData->bytes());
  if (const long at = session.options.faults.alterStored; at >= 0) {
    session.state.userData->bytes()[at] ^= 0xFF;
    log.Report("factory data stored with byte " + std::to_string(at) + " inverted");
  }
  log.Report(session.state.userData->IsValid()
                 ? "factory data taken as the new user data"
                 : "factory data taken as the new user data, but it does not start with "
                   "\"evileyes\"");
  return step;
}

}  // namespace tavlink::sim
