// The read back after a factory write: asked first, repeated while the
// receiver is silent, and compared byte for byte and record by record.

#include "operations/factory_verification.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "data/receiver_data_block.h"

namespace tavlink {
namespace {

class ReadBackHost final : public OperationHost {
 public:
  bool Ask(Question question, std::string_view) override {
    questions.push_back(question);
    return answer;
  }
  void Tell(const Notice&) override {}
  void FileFailed(FileAction, const std::string&, int) override {}
  TransferOutcome RunSession(const TransferRequest& request) override {
    operations.push_back(request.operation);
    if (silentReads > 0) {
      --silentReads;
      return TransferOutcome::kNoAnswer;
    }
    *request.block = held;
    return outcome;
  }

  bool answer = true;
  int silentReads = 0;
  TransferOutcome outcome = TransferOutcome::kSucceeded;
  ReceiverDataBlock held;
  std::vector<Question> questions;
  std::vector<int> operations;
};

// A block with one satellite, one transponder and one service.
void MakeList(ReceiverDataBlock& block) {
  std::memcpy(block.bytes(), "evileyes", 8);
  block.FinishHeader(1, 1, 1, -1);
  block.satellite(0).set_name("ASTRA");
  block.satellite(0).set_lnb_low(9750);
  block.transponder(0).set_frequency(12663);
  block.transponder(0).set_owner_sat(0);
  block.service(0).set_name("ZDF");
  block.service(0).set_service_id(28006);
}

TEST(FactoryVerificationTest, ReadIsAskedForThenRepeatedWhileTheReceiverIsSilent) {
  ReadBackHost host;
  MakeList(host.held);
  host.silentReads = 2;
  const Verification result = VerifyFactoryData(host, host.held);
  EXPECT_EQ(host.questions, std::vector<Question>{Question::kRestartReceiver});
  EXPECT_EQ(host.operations, (std::vector<int>{OP_READ_USER_DATA, OP_READ_USER_DATA,
                                               OP_READ_USER_DATA}));
  EXPECT_TRUE(result.verified);
  EXPECT_EQ(result.bytesDiffering, 0u);
  EXPECT_EQ(result.summary, "Verified: the receiver holds what was written.");
}

TEST(FactoryVerificationTest, DeclinedOrUnfinishedReadVerifiesNothing) {
  ReadBackHost host;
  MakeList(host.held);
  host.answer = false;
  Verification result = VerifyFactoryData(host, host.held);
  EXPECT_EQ(result.outcome, TransferOutcome::kNotRun);
  EXPECT_FALSE(result.verified);
  EXPECT_TRUE(host.operations.empty());

  host.answer = true;
  host.outcome = TransferOutcome::kStopped;  // --timeout, Ctrl-C or Cancel
  result = VerifyFactoryData(host, host.held);
  EXPECT_EQ(result.outcome, TransferOutcome::kStopped);
  EXPECT_FALSE(result.verified);
  EXPECT_EQ(result.held, nullptr);
  EXPECT_EQ(result.summary, "Not verified: the read back did not finish.");
}

TEST(FactoryVerificationTest, ChangedRecordIsListedAndAByteOutsideTheRecordsCounted) {
  ReceiverDataBlock sent;
  MakeList(sent);
  ReadBackHost host;
  host.held = sent;
  host.held.service(0).set_name("ZDF HD");
  Verification result = VerifyFactoryData(host, sent);
  EXPECT_FALSE(result.verified);
  EXPECT_NE(result.listing.find("\"ZDF\""), std::string::npos) << result.listing;
  EXPECT_NE(result.listing.find("ZDF HD"), std::string::npos) << result.listing;
  EXPECT_EQ(result.summary.rfind("Not verified: the receiver holds something else: ", 0), 0u)
      << result.summary;

  host.held = sent;
  host.held.bytes()[0xF123] ^= 1;
  result = VerifyFactoryData(host, sent);
  EXPECT_FALSE(result.verified);
  EXPECT_EQ(result.bytesDiffering, 1u);
  EXPECT_TRUE(result.differences.empty());
  EXPECT_EQ(result.summary,
            "Not verified: the receiver holds something else: 1 byte differs outside the "
            "records, the first at 0xF123.");
}

}  // namespace
}  // namespace tavlink
