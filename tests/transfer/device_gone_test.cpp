// A line whose device goes away during a session (an unplugged USB adapter:
// every read and write fails with EIO from then on): the user sees one
// device error, and the session ends as failed instead of going round
// again. A receiver that is merely silent still gets the request again, as
// long as it stays silent (upload_worker_test.cpp).

#include <cerrno>
#include <cstring>

#include "session_fixture.h"

namespace tavlink {
namespace {

using testing::Bytes;
using testing::MemoryFile;
using testing::ScriptedReceiver;
using testing::SeenFrame;

class DeviceGoneTest : public testing::SessionTest {
 protected:
  // The one box the session showed for the device, with the system's words.
  void ExpectOneDeviceError() {
    ASSERT_EQ(reporter.Boxes().size(), 1u);
    EXPECT_EQ(reporter.Boxes()[0].caption, "Serial Communication Device Error");
    EXPECT_EQ(reporter.Boxes()[0].text, std::strerror(EIO));
  }
};

// A ROM image file of `imageLength` body bytes, positioned after its header.
MemoryFile RomFile(size_t imageLength) {
  Bytes content(42, 'H');
  const Bytes body = testing::Pattern(imageLength, 9);
  content.insert(content.end(), body.begin(), body.end());
  return MemoryFile(content, 42);
}

// A restore file: its length field, then that many bytes.
MemoryFile RestoreFile(uint32_t n) {
  Bytes content = {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                   static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
  const Bytes data = testing::Pattern(n, 5);
  content.insert(content.end(), data.begin(), data.end());
  return MemoryFile(content);
}

struct Operation {
  const char* name;
  int code;
};
void PrintTo(const Operation& operation, std::ostream* out) { *out << operation.name; }

class GoneAfterTheRequestTest : public DeviceGoneTest,
                                public ::testing::WithParamInterface<Operation> {};

// The device goes just as the request has gone out, so the receive for its
// answer is the first call to find it gone. Every operation ends there;
// the uploads' handshake, which sends its request again on a silent line,
// does not go round again.
TEST_P(GoneAfterTheRequestTest, EndsAsFailedAfterOneDeviceError) {
  const int request = GetParam().code;
  receiver.SetScript([](const SeenFrame&, ScriptedReceiver& rx) { rx.Line().GoAway(); });
  MemoryFile rom = RomFile(100);
  MemoryFile restore = RestoreFile(5000);
  MemoryFile backup;
  ReceiverDataBlock block;
  std::vector<uint8_t> answer(100, 0);
  TransferFile* file = request == OP_UPGRADE   ? &rom
                       : request == OP_RESTORE ? &restore
                       : request == OP_BACKUP  ? &backup
                                               : nullptr;
  EXPECT_EQ(Run(request, file, &block, answer), TransferOutcome::kFailed);
  ExpectOneDeviceError();
  EXPECT_EQ(Codes(), std::vector<int>{request});                // nothing went out after it
  EXPECT_EQ(line->callsWhileGone, 1);                           // the device was left alone
  EXPECT_LT(clock.ElapsedMs(), 1000);                           // no time-out was waited out
  EXPECT_EQ(line->BaudRates(), std::vector<uint32_t>{115200});  // no reopen
}

INSTANTIATE_TEST_SUITE_P(Operations, GoneAfterTheRequestTest,
                         ::testing::Values(Operation{"Connect", OP_CONNECT},
                                           Operation{"Upgrade", OP_UPGRADE},
                                           Operation{"Backup", OP_BACKUP},
                                           Operation{"Restore", OP_RESTORE},
                                           Operation{"WriteFactory", OP_WRITE_FACTORY},
                                           Operation{"ReadUserData", OP_READ_USER_DATA}),
                         [](const auto& info) { return std::string(info.param.name); });

// A receiver that is switched off gets the upgrade request once per
// time-out; when the adapter is pulled meanwhile, the round under way is
// the last.
TEST_F(DeviceGoneTest, UpgradeStopsRepeatingItsRequestWhenTheDeviceGoes) {
  line->GoAway(25000);  // during the second round's wait
  MemoryFile rom = RomFile(100);
  EXPECT_EQ(Run(OP_UPGRADE, &rom), TransferOutcome::kFailed);
  ExpectOneDeviceError();
  EXPECT_EQ(Codes(), (std::vector<int>{FC_UPGRADE, FC_UPGRADE}));
  EXPECT_LT(clock.ElapsedMs(), 25000 + 1000);
  ASSERT_EQ(view.boxes.size(), 1u);  // and the operation's own failure report
  EXPECT_EQ(view.boxes[0].text, "Software upgrade error!");
}

// The factory write's receiver acknowledged the request and never became
// ready: the wait for FC_READY ends when the device goes, too.
TEST_F(DeviceGoneTest, FactoryWriteStopsWaitingForReadinessWhenTheDeviceGoes) {
  receiver.SetScript([](const SeenFrame& f, ScriptedReceiver& rx) {
    if (f.code == FC_FACTORY) rx.ReplyCode(FC_ACK);
  });
  line->GoAway(45000);  // during the third wait
  ReceiverDataBlock block;
  EXPECT_EQ(Run(OP_WRITE_FACTORY, nullptr, &block), TransferOutcome::kFailed);
  ExpectOneDeviceError();
  EXPECT_EQ(Codes(), std::vector<int>{FC_FACTORY});
  EXPECT_LT(clock.ElapsedMs(), 45000 + 1000);
  ASSERT_EQ(view.boxes.size(), 1u);  // and the operation's own failure report
  EXPECT_EQ(view.boxes[0].text, "Factory data write error!");
}

// Gone in the middle of the data: the answer to the third frame never
// comes, and the abort that follows is not another box per byte.
TEST_F(DeviceGoneTest, FactoryWriteEndsWhenTheDeviceGoesBetweenFrames) {
  int requests = 0;
  int dataSeen = 0;
  receiver.SetScript([&requests, &dataSeen](const SeenFrame& f, ScriptedReceiver& rx) {
    if (f.code == FC_FACTORY && ++requests == 1) rx.ReplyCode(FC_READY);
    if (f.code != FC_DATA) return;
    if (++dataSeen == 3) return rx.Line().GoAway();
    rx.ReplyCode(FC_ACK);
  });
  ReceiverDataBlock block;
  EXPECT_EQ(Run(OP_WRITE_FACTORY, nullptr, &block), TransferOutcome::kFailed);
  ExpectOneDeviceError();
  EXPECT_EQ(Codes(), (std::vector<int>{FC_FACTORY, FC_FACTORY, FC_DATA, FC_DATA, FC_DATA}));
  EXPECT_EQ(view.LastStatus(), "Uploading...   block 2/32   error 0");
}

// Reading user data at 19200 baud when the device goes: the device box says
// what happened; the communication error box that a time-out shows would
// only say it again.
TEST_F(DeviceGoneTest, ReadUserDataEndsWithTheDeviceBoxAloneWhenTheDeviceGoes) {
  int acks = 0;
  line->OnConfigure([this](uint32_t baud) {
    if (baud == 19200) receiver.ReplyData(testing::Pattern(2048, 1));
  });
  receiver.SetScript([&acks](const SeenFrame& f, ScriptedReceiver& rx) {
    if (f.code == FC_USERDATA) return rx.ReplyCode(FC_ACK);
    if (f.code != FC_ACK) return;
    if (++acks == 2) return rx.Line().GoAway();
    rx.ReplyData(testing::Pattern(2048, 2));
  });
  ReceiverDataBlock block;
  EXPECT_EQ(Run(OP_READ_USER_DATA, nullptr, &block), TransferOutcome::kFailed);
  ExpectOneDeviceError();
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_EQ(Codes(), (std::vector<int>{FC_USERDATA, FC_ACK, FC_ACK}));
  EXPECT_EQ(view.LastStatus(), "Downloading...   block 2/32   error 0");
}

// A backup whose device goes after its first block ends as failed too.
TEST_F(DeviceGoneTest, BackupEndsWhenTheDeviceGoesAfterItsFirstBlock) {
  receiver.SetScript([](const SeenFrame& f, ScriptedReceiver& rx) {
    if (f.code == FC_BACKUP) {
      rx.ReplyCode(FC_ACK);
      rx.ReplyData(Bytes{0x00, 0x02, 'a', 'b'});
    }
    if (f.code == FC_ACK) rx.Line().GoAway();
  });
  MemoryFile file;
  EXPECT_EQ(Run(OP_BACKUP, &file), TransferOutcome::kFailed);
  ExpectOneDeviceError();
  EXPECT_EQ(Codes(), (std::vector<int>{FC_BACKUP, FC_ACK}));
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text, "User data backup error!");
}

}  // namespace
}  // namespace tavlink
