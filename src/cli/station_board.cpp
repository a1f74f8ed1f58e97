#include "cli/station_board.h"

#include <algorithm>

#include "cli/progress_meter.h"

namespace tavlink::cli {
namespace {

// "block 12/32" out of a status line, or the whole status when it has none.
std::string ProgressOf(std::string_view status) {
  const size_t at = status.find("block ");
  if (at == std::string_view::npos) return std::string(status);
  const size_t end = status.find(' ', at + 6);
  return std::string(status.substr(at, end == std::string_view::npos ? end : end - at));
}

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

}  // namespace

// A receiver's display and output: its session's progress goes to its row.
// A quiet one only notes the status in the row and drops every line.
class StationBoard::RowOutput final : public RunOutput, public SessionDisplay {
 public:
  RowOutput(StationBoard& board, size_t index, bool quiet)
      : board_(board), index_(index), quiet_(quiet) {}

  void Result(std::string_view text) override {
    if (!quiet_) board_.PrintAbove(index_, text, true);
  }
  void Message(std::string_view text) override { Note(text); }
  SessionDisplay& Display() override { return *this; }

  void Progress(std::string_view status, int, int, int errors,
                std::chrono::seconds elapsed) override {
    if (quiet_)
      board_.NoteStatus(index_, status);
    else
      board_.UpdateRow(index_, status, errors, elapsed);
  }
  void Tick(std::string_view status, int position, int upper, int errors,
            std::chrono::seconds elapsed) override {
    Progress(status, position, upper, errors, elapsed);
  }
  void Note(std::string_view text) override {
    if (!quiet_) board_.PrintAbove(index_, text, false);
  }
  void End() override {}
  bool Live() const override { return board_.live_; }

 private:
  StationBoard& board_;
  size_t index_;
  bool quiet_;
};

StationBoard::StationBoard(Terminal& terminal, std::vector<Receiver> receivers,
                           std::string operation, bool live)
    : terminal_(terminal), operation_(std::move(operation)), live_(live) {
  for (size_t i = 0; i < receivers.size(); ++i) {
    Row row;
    row.name = receivers[i].name;
    row.device = receivers[i].device;
    row.operation = operation_;
    row.status = "waiting";
    rows_.push_back(row);
    outputs_.push_back(std::make_unique<RowOutput>(*this, i, false));
    quietOutputs_.push_back(std::make_unique<RowOutput>(*this, i, true));
  }
  std::lock_guard lock(mutex_);
  if (live_) Draw();
}

StationBoard::~StationBoard() {
  Close();
}

RunOutput& StationBoard::Output(size_t index) {
  return *outputs_.at(index);
}

RunOutput& StationBoard::QuietOutput(size_t index) {
  return *quietOutputs_.at(index);
}

void StationBoard::Start(size_t index) {
  std::lock_guard lock(mutex_);
  Row& row = rows_.at(index);
  row.status.clear();
  row.errors = 0;
  row.elapsed = std::chrono::seconds(0);
  row.outcome.clear();
  if (live_) {
    Erase();
    Draw();
  }
}

std::string StationBoard::FormatRow(const Row& row, int width) {
  const size_t limit = static_cast<size_t>(std::max(width, 2) - 1);
  const std::string state = row.outcome.empty() ? ProgressOf(row.status) : row.outcome;
  const std::string tail =
      "  err " + std::to_string(row.errors) + "  " + FormatDuration(row.elapsed);
  // Widest first: name, device, operation, state and the counts; then
  // without the operation, then without the device; the state is cut last.
  const std::string shapes[] = {
      Padded(row.name, 6) + " " + Padded(row.device, 14) + " " + Padded(row.operation, 18) + " " +
          Padded(state, 16) + tail,
      Padded(row.name, 6) + " " + Padded(row.device, 14) + " " + Padded(state, 16) + tail,
      Padded(row.name, 6) + " " + Padded(state, 16) + tail,
      Padded(row.name, 6) + " " + state,
  };
  for (const std::string& shape : shapes)
    if (shape.size() <= limit) return shape;
  return shapes[3].substr(0, limit);
}

void StationBoard::UpdateRow(size_t index, std::string_view status, int errors,
                             std::chrono::seconds elapsed) {
  std::lock_guard lock(mutex_);
  Row& row = rows_.at(index);
  const bool changed = status != row.status;
  row.status = status;
  row.errors = errors;
  row.elapsed = elapsed;
  if (live_) {
    Erase();
    Draw();
  } else if (changed && !status.empty()) {
    terminal_.Err("[" + row.name + "] " + std::string(status) + "\n");
  }
}

void StationBoard::NoteStatus(size_t index, std::string_view status) {
  std::lock_guard lock(mutex_);
  rows_.at(index).status = status;
}

void StationBoard::Finish(size_t index, std::string_view outcome) {
  std::lock_guard lock(mutex_);
  rows_.at(index).outcome = outcome;
  if (live_) {
    Erase();
    Draw();
  }
}

void StationBoard::PrintAbove(size_t index, std::string_view text, bool result) {
  std::lock_guard lock(mutex_);
  if (live_) Erase();
  const std::string prefixed = "[" + rows_.at(index).name + "] " + std::string(text) + "\n";
  if (result)
    terminal_.Out(prefixed);
  else
    terminal_.Err(prefixed);
  if (live_) Draw();
}

void StationBoard::Paint() {
  std::lock_guard lock(mutex_);
  if (!live_) return;
  Erase();
  Draw();
}

void StationBoard::Close() {
  std::lock_guard lock(mutex_);
  closed_ = true;  // the table stays as it was last drawn
  drawn_ = 0;
}

void StationBoard::Erase() {
  // Up to the table's first row, and clear everything below.
  if (drawn_ > 0) terminal_.Err("\r\033[" + std::to_string(drawn_) + "A\033[J");
  drawn_ = 0;
}

void StationBoard::Draw() {
  if (closed_) return;
  const int width = terminal_.ErrColumns();
  std::string table;
  for (const Row& row : rows_) table += FormatRow(row, width) + "\n";
  terminal_.Err(table);
  drawn_ = static_cast<int>(rows_.size());
}

}  // namespace tavlink::cli
