#include "fuzz/line_seeds.h"

#include <string>

#include "link/frame.h"

namespace tavlink::fuzz {
namespace {

// Indexes into kLineOperations.
constexpr int kConnect = 0;
constexpr int kReadUserData = 1;
constexpr int kBackup = 2;
constexpr int kUpgrade = 3;
constexpr int kFactory = 4;
constexpr int kRestore = 5;

constexpr int kThirtySeconds = 14;  // delay code of 30,000 ms

using W = LineScriptWriter;

Bytes Text(const char* s) {
  return Bytes(s, s + std::char_traits<char>::length(s));
}

// A connect answer of 96 bytes: a model name, then hardware and software
// version texts at 32 and 64, as a receiver lays them out.
Bytes VersionAnswer() {
  Bytes answer(96, 0);
  const Bytes model = Text("ZOR-9500");
  const Bytes hardware = Text("HW 2.1");
  const Bytes software = Text("SW 1.6.0");
  std::copy(model.begin(), model.end(), answer.begin());
  std::copy(hardware.begin(), hardware.end(), answer.begin() + 32);
  std::copy(software.begin(), software.end(), answer.begin() + 64);
  return answer;
}

// `frames` data frames of `length` bytes, each answering the PC's FC_ACK.
W& DataFrames(W& w, int frames, uint16_t length) {
  for (int i = 0; i < frames; ++i) w.Data(length, {static_cast<uint8_t>(i + 1), 0x5A});
  return w;
}

W& Acks(W& w, int count) {
  for (int i = 0; i < count; ++i) w.Code(FC_ACK);
  return w;
}

}  // namespace

std::vector<LineSeed> LineSeeds() {
  using O = TransferOutcome;
  std::vector<LineSeed> seeds;
  auto add = [&seeds](std::string name, const W& w, O expected) {
    seeds.push_back({std::move(name), w.bytes(), expected});
  };

  // Connect: FC_ACK and the first data frame answer the request together,
  // since the PC reads on without writing in between.
  add("connect_ok",
      W(kConnect, 0, 0).Code(FC_ACK).Join().Data(96, VersionAnswer()).Code(FC_CONNECT_END),
      O::kSucceeded);
  add("connect_bad_crc_then_two_frames",
      W(kConnect, 0, 0)
          .Code(FC_ACK)
          .Join()
          .Damaged(48, Text("ZOR"), kFlipCrcBit, 3)
          .Data(48, Text("ZOR"))
          .Data(48, Text("SW"))
          .Code(FC_CONNECT_END),
      O::kSucceeded);
  add("connect_answer_longer_than_buffer",
      W(kConnect, 0, 0).Code(FC_ACK).Join().Data(4096, Text("long")).Code(FC_CONNECT_END),
      O::kSucceeded);
  add("connect_refused", W(kConnect, 0, 0).Code(FC_NAK), O::kFailed);
  add("connect_silent_after_first_frame",
      W(kConnect, 0, 0).Code(FC_ACK).Join().Data(40, Text("ZOR")).Silence(), O::kFailed);
  add("connect_bad_magic",
      W(kConnect, 0, 0)
          .Code(FC_ACK)
          .Join()
          .Raw({'e', 'v', 'i', 'l', 'e', 'y', 'e', 's', 0, 0x11, 0, 0}),
      O::kFailed);
  add("connect_stray_byte_before_request",
      W(kConnect, kEarlyAnswer, 0).Raw(Text("E")).Code(FC_ACK).Join().Code(FC_CONNECT_END),
      O::kFailed);
  add("connect_cancel_pressed_at_the_start", W(kConnect, kEarlyAnswer, 0).Delay(1).Cancel(),
      O::kStopped);
  add("connect_unplugged_before_the_end",
      W(kConnect, 0, 0).Code(FC_ACK).Join().Data(96, VersionAnswer()).Unplug(), O::kFailed);
  add("connect_no_answer_buffer",
      W(kConnect, 2, 0).Code(FC_ACK).Join().Data(96, VersionAnswer()).Code(FC_CONNECT_END),
      O::kSucceeded);

  // Read user data: FC_ACK answers the request; the first data frame
  // answers the PC's reopening of the line at 19200 baud.
  {
    W w(kReadUserData, 0, 0);
    w.Code(FC_ACK);
    DataFrames(w, 16, 4084).Code(FC_USERDATA_END);
    add("read_user_data_16_blocks", w, O::kSucceeded);
  }
  {
    W w(kReadUserData, 0, 0);
    w.Code(FC_ACK);
    DataFrames(w, 32, 2048).Code(FC_USERDATA_END);
    add("read_user_data_32_blocks", w, O::kSucceeded);
  }
  {
    W w(kReadUserData, 0, 0);
    w.Code(FC_ACK).Damaged(4084, {1}, kFlipAnyBit, 200);
    DataFrames(w, 16, 4084).Code(FC_USERDATA_END);
    add("read_user_data_bad_crc_first", w, O::kSucceeded);
  }
  {
    W w(kReadUserData, 0, 0);
    w.Code(FC_ACK);
    DataFrames(w, 17, 4096);
    add("read_user_data_more_than_the_block", w, O::kFailed);
  }
  add("read_user_data_cancel_after_first_block",
      W(kReadUserData, 0, 0).Code(FC_ACK).Data(4084).Cancel().Join().Data(4084), O::kStopped);
  add("read_user_data_refused", W(kReadUserData, 0, 0).Code(FC_NAK), O::kFailed);
  add("read_user_data_unplugged_after_two_blocks",
      W(kReadUserData, 0, 0).Code(FC_ACK).Data(4084).Data(4084).Unplug(), O::kFailed);
  add("read_user_data_empty_first_payload", W(kReadUserData, 0, 0).Code(FC_ACK).Data(0),
      O::kFailed);
  add("read_user_data_stalls", W(kReadUserData, 0, 0).Code(FC_ACK).Data(4084).Silence(),
      O::kFailed);
  add("read_user_data_length_field_too_big",
      W(kReadUserData, 0, 0).Code(FC_ACK).Damaged(64, {}, kSetLengthField, 0xFFFF), O::kFailed);

  // Backup: the first payload's first two bytes give the block count.
  add("backup_two_blocks",
      W(kBackup, 0, 0)
          .Code(FC_ACK)
          .Join()
          .Data(4082, {0x00, 0x02})
          .Data(4000, {7})
          .Code(FC_BACKUP_END),
      O::kSucceeded);
  add("backup_bad_crc_then_block",
      W(kBackup, 0, 0)
          .Code(FC_ACK)
          .Join()
          .Damaged(100, {0x00, 0x01}, kFlipCrcBit, 9)
          .Data(100, {0x00, 0x01})
          .Code(FC_BACKUP_END),
      O::kSucceeded);
  add("backup_first_payload_one_byte", W(kBackup, 0, 0).Code(FC_ACK).Join().Data(1, {0}),
      O::kFailed);
  add("backup_file_write_fails", W(kBackup, 1, 0).Code(FC_ACK).Join().Data(10, {0, 1}), O::kFailed);
  add("backup_request_refused", W(kBackup, 0, 0).Code(FC_ABORT), O::kFailed);
  add("backup_unplugged_while_waiting_for_data",
      W(kBackup, 0, 0).Code(FC_ACK).Join().Delay(10).Unplug(), O::kFailed);

  // Upgrade (size: the image's length): the second request gets no answer.
  add("upgrade_100_bytes_ready_at_once",
      W(kUpgrade, 0, 100).Code(FC_READY).Silence().Code(FC_ACK).Code(FC_ACK), O::kSucceeded);
  add("upgrade_8160_bytes_ready_after_30_s",
      W(kUpgrade, 0, 8160)
          .Code(FC_ACK)
          .Join()
          .Delay(kThirtySeconds)
          .Code(FC_READY)
          .Silence()
          .Code(FC_ACK)
          .Code(FC_ACK)
          .Code(FC_ACK),
      O::kSucceeded);
  add("upgrade_silent_receiver_asked_again",
      W(kUpgrade, 0, 100).Silence().Silence().Code(FC_READY).Silence().Code(FC_ACK).Code(FC_ACK),
      O::kSucceeded);
  add("upgrade_frame_refused_once",
      W(kUpgrade, 0, 5000)
          .Code(FC_READY)
          .Silence()
          .Code(FC_NAK)
          .Code(FC_ACK)
          .Code(FC_ACK)
          .Code(FC_ACK),
      O::kSucceeded);
  add("upgrade_closing_code_refused",
      W(kUpgrade, 0, 100).Code(FC_READY).Silence().Code(FC_ACK).Code(FC_NAK), O::kFailed);
  add("upgrade_never_ready", W(kUpgrade, 0, 100).Code(FC_ACK), O::kStopped);
  add("upgrade_receiver_off", W(kUpgrade, 0, 100), O::kStopped);
  // Unplugged during the second round of the request: it is the last.
  add("upgrade_receiver_off_then_unplugged",
      W(kUpgrade, 0, 100).Delay(kThirtySeconds).Unplug().Silence(), O::kFailed);
  add("upgrade_flood_of_nak",
      W(kUpgrade, 0, 100).Code(FC_READY).Silence().FloodCode(255, FC_NAK).FloodCode(255, FC_NAK),
      O::kStopped);
  add("upgrade_cancel_answered_no_goes_on",
      W(kUpgrade, 0, 100).Code(FC_READY).Silence().Cancel(true).Join().Code(FC_ACK).Code(FC_ACK),
      O::kSucceeded);
  add("upgrade_cancel_during_completion_display",
      W(kUpgrade, 0, 100)
          .Code(FC_READY)
          .Silence()
          .Code(FC_ACK)
          .Code(FC_ACK)
          .Join()
          .Delay(9)
          .Cancel(),
      O::kSucceeded);
  add("upgrade_image_unreadable", W(kUpgrade, 1, 100).Code(FC_READY).Silence(), O::kFileFailed);

  // Write factory data: 32 frames of 2048 bytes.
  {
    W w(kFactory, 0, 0);
    w.Code(FC_READY).Silence();
    Acks(w, 33);
    add("factory_32_frames", w, O::kSucceeded);
  }
  {
    W w(kFactory, 0, 0);
    w.Code(FC_ACK).Join().Code(FC_READY).Silence();
    Acks(w, 5).Code(FC_NAK);
    Acks(w, 28);
    add("factory_ack_then_ready_and_one_nak", w, O::kSucceeded);
  }
  add("factory_frame_answered_abort", W(kFactory, 0, 0).Code(FC_READY).Silence().Code(FC_ABORT),
      O::kFailed);
  add("factory_unplugged_between_frames",
      W(kFactory, 0, 0).Code(FC_READY).Silence().Code(FC_ACK).Code(FC_ACK).Unplug(), O::kFailed);
  add("factory_unplugged_waiting_for_ready",
      W(kFactory, 0, 0).Code(FC_ACK).Join().Delay(kThirtySeconds).Unplug(), O::kFailed);

  // Restore (size: the data's length; the file is its length field and the data).
  {
    W w(kRestore, 0, 5000);
    add("restore_5000_bytes", Acks(w, 4), O::kSucceeded);
  }
  add("restore_frame_refused_once",
      W(kRestore, 0, 5000).Code(FC_ACK).Code(FC_ACK).Code(FC_NAK).Code(FC_ACK).Code(FC_ACK),
      O::kSucceeded);
  add("restore_length_field_one_more", W(kRestore, 0x10, 5000).Code(FC_ACK), O::kFailed);
  add("restore_file_too_short", W(kRestore, 0x30, 2).Code(FC_ACK), O::kFailed);
  add("restore_answered_ready", W(kRestore, 0, 5000).Code(FC_READY), O::kFailed);
  add("restore_unplugged_after_the_first_frame", W(kRestore, 0, 5000).Code(FC_ACK).Unplug(),
      O::kFailed);
  add("restore_closing_code_refused", W(kRestore, 0, 100).Code(FC_ACK).Code(FC_ACK).Code(FC_NAK),
      O::kFailed);
  return seeds;
}

}  // namespace tavlink::fuzz
