// The line fuzzer's harness in the ordinary build: its input format against
// hand-built frames, its seeds, and every input of the committed corpus
// (seeds and the inputs of past findings) replayed twice.

#include "fuzz/line_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/line_script.h"
#include "fuzz/line_seeds.h"
#include "link/frame.h"

namespace tavlink::fuzz {
namespace {

const Bytes kMagic = {'E', 'v', 'i', 'l', 'E', 'y', 'E', 's'};

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

LineScript Decode(const Bytes& input) {
  return DecodeLineScript(input.data(), input.size());
}

std::filesystem::path CorpusFolder() {
  return TAVLINK_LINE_CORPUS;
}

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Violations(const LineSessionResult& r) {
  std::string all;
  for (const auto& v : r.violations) all += v + "; ";
  return all;
}

TEST(LineScriptTest, PreambleAndCommandItemGiveTheOperationAndACommandFrame) {
  const LineScript s = Decode({9, 0x85, 0x12, 0x34, 0x01, 0x00, 0x04});
  EXPECT_EQ(s.operation, 18);  // 9 mod 6 = 3
  EXPECT_EQ(s.variant, 0x85);
  EXPECT_TRUE(s.EarlyAnswer());
  EXPECT_EQ(s.size, 0x1234);
  ASSERT_EQ(s.answers.size(), 1u);
  ASSERT_EQ(s.answers[0].size(), 1u);
  EXPECT_EQ(s.answers[0][0].bytes, Cat(kMagic, {0x00, 0x04, 0x00, 0x00}));
  EXPECT_EQ(s.answers[0][0].delayMs, 0u);
}

TEST(LineScriptTest, DataItemRepeatsItsFillAndEndsWithTheCrc) {
  const LineScript s =
      Decode({0, 0, 0, 0, 0x02, 0x00, 0x03, 0x01, 0xAB, 0x02, 0x00, 0x05, 0x02, 0x01, 0x02});
  ASSERT_EQ(s.answers.size(), 2u);
  ASSERT_EQ(s.answers[0].size(), 1u);
  EXPECT_EQ(s.answers[0][0].bytes,
            Cat(kMagic, {0x00, 0x30, 0x00, 0x07, 0xAB, 0xAB, 0xAB, 0x26, 0x9B, 0x74, 0xD1}));
  ASSERT_EQ(s.answers[1].size(), 1u);
  EXPECT_EQ(s.answers[1][0].bytes,
            Cat(kMagic, {0x00, 0x30, 0x00, 0x09, 1, 2, 1, 2, 1, 0x15, 0xB8, 0x2E, 0x05}));
}

TEST(LineScriptTest, JoinedItemsShareAnAnswerEachWithItsDelay) {
  // FC_ACK; FC_READY joined, 20,000 ms later; then a new answer of raw
  // "hi" 1,000 ms after the PC's next frame.
  const LineScript s =
      Decode({1, 0, 0, 0, 0x01, 0x00, 0x00, 0xE9, 0x00, 0x04, 0x48, 0x00, 0x02, 'h', 'i'});
  EXPECT_EQ(s.operation, 32);
  ASSERT_EQ(s.answers.size(), 2u);
  ASSERT_EQ(s.answers[0].size(), 2u);
  EXPECT_EQ(s.answers[0][1].bytes, Cat(kMagic, {0x00, 0x04, 0x00, 0x00}));
  EXPECT_EQ(s.answers[0][1].delayMs, 20000u);
  ASSERT_EQ(s.answers[1].size(), 1u);
  EXPECT_EQ(s.answers[1][0].bytes, (Bytes{'h', 'i'}));
  EXPECT_EQ(s.answers[1][0].delayMs, 1000u);
  EXPECT_EQ(s.TotalDelayMs(), 21000u);
}

TEST(LineScriptTest, DamagesChangeTheBuiltFrame) {
  // A data frame of one zero byte: CRC-32 of 0x00 is 0xD202EF8D.
  const Bytes frame = Cat(kMagic, {0x00, 0x30, 0x00, 0x05, 0x00, 0xD2, 0x02, 0xEF, 0x8D});
  const LineScript s =
      Decode({0,    0,    0,    0,    0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x03, 0,
              0x01, 0x00, 0x01, 0xFF, 0xFF, 0x03, 0x00, 0x01, 0x00, 0x02, 0x00, 0x05});
  ASSERT_EQ(s.answers.size(), 3u);
  Bytes flipped = frame;
  flipped[13] ^= 0x01;  // bit 0 of the CRC's first byte
  EXPECT_EQ(s.answers[0][0].bytes, flipped);
  Bytes lengthField = frame;
  lengthField[10] = lengthField[11] = 0xFF;
  EXPECT_EQ(s.answers[1][0].bytes, lengthField);
  EXPECT_EQ(s.answers[2][0].bytes, Bytes(frame.begin(), frame.begin() + 5));
}

TEST(LineScriptTest, FloodRepeatsItsFrameAndInputCutShortEndsTheRawItem) {
  const LineScript s = Decode({0, 0, 0, 0, 0x04, 0x02, 0x01, 0x00, 0x11, 0x00, 0x00, 0x05, 'a'});
  ASSERT_EQ(s.answers.size(), 2u);
  const Bytes end = Cat(kMagic, {0x00, 0x11, 0x00, 0x00});
  EXPECT_EQ(s.answers[0][0].bytes, Cat(Cat(end, end), end));
  EXPECT_EQ(s.answers[1][0].bytes, Bytes{'a'});
}

TEST(LineScriptTest, CancelItemIsAPressWithItsAnswerNotBytes) {
  const LineScript s = Decode({0, 0, 0, 0, 0x05, 0x01, 0x85, 0x00});
  ASSERT_EQ(s.answers.size(), 1u);
  ASSERT_EQ(s.answers[0].size(), 2u);
  EXPECT_TRUE(s.answers[0][0].cancel);
  EXPECT_TRUE(s.answers[0][0].answerNo);
  EXPECT_TRUE(s.answers[0][0].bytes.empty());
  EXPECT_TRUE(s.answers[0][1].cancel);
  EXPECT_FALSE(s.answers[0][1].answerNo);
}

TEST(LineScriptTest, UnplugItemHasNoBodyAndTakesItsDelay) {
  // An unplug 3,000 ms after the PC's frame, then FC_ACK as the next answer.
  const LineScript s = Decode({0, 0, 0, 0, 0x56, 0x01, 0x00, 0x00});
  ASSERT_EQ(s.answers.size(), 2u);
  ASSERT_EQ(s.answers[0].size(), 1u);
  EXPECT_TRUE(s.answers[0][0].unplug);
  EXPECT_FALSE(s.answers[0][0].cancel);
  EXPECT_TRUE(s.answers[0][0].bytes.empty());
  EXPECT_EQ(s.answers[0][0].delayMs, 3000u);
  EXPECT_EQ(s.answers[1][0].bytes, Cat(kMagic, {0x00, 0x00, 0x00, 0x00}));
}

TEST(LineScriptTest, EmptyInputIsAConnectWithNoAnswers) {
  const LineScript s = DecodeLineScript(nullptr, 0);
  EXPECT_EQ(s.operation, 16);
  EXPECT_TRUE(s.answers.empty());
}

TEST(LineSessionTest, EverySeedEndsAsNamedWithinItsBounds) {
  for (const auto& seed : LineSeeds()) {
    const LineSessionResult r = RunLineSession(Decode(seed.input));
    EXPECT_EQ(r.outcome, seed.expected) << seed.name;
    EXPECT_TRUE(r.violations.empty()) << seed.name << ": " << Violations(r);
  }
}

TEST(LineSessionTest, ReceiverNeverReadyIsCancelledAfterTheSilentWait) {
  const LineSessionResult r =
      RunLineSession(Decode(LineScriptWriter(3, 0, 100).Code(FC_ACK).bytes()));
  EXPECT_EQ(r.outcome, TransferOutcome::kStopped);
  EXPECT_EQ(r.pcCodes, (std::vector<int>{FC_UPGRADE, FC_ABORT}));
  // Cancel after the silent wait; the receive under way ends first.
  EXPECT_GE(r.cancelAtMs, kSilentWaitMs);
  EXPECT_LE(r.elapsedMs - r.cancelAtMs, kAfterCancelBoundMs);
  ASSERT_FALSE(r.statuses.empty());
  EXPECT_EQ(r.statuses.back(), "Closing Connection...");
}

TEST(LineSessionTest, UsedUpInputEndsTheRepeatedRequestWithACancel) {
  const LineSessionResult r =
      RunLineSession(Decode(LineScriptWriter(4, 0, 0).Silence().Silence().bytes()));
  EXPECT_EQ(r.outcome, TransferOutcome::kStopped);
  // Two silent answers, then the third request finds the input used up.
  EXPECT_EQ(r.pcCodes, (std::vector<int>{FC_FACTORY, FC_FACTORY, FC_FACTORY, FC_ABORT}));
  EXPECT_TRUE(r.violations.empty()) << Violations(r);
}

// A receiver that is switched off gets the factory request once per
// time-out until the adapter is pulled, 30 s after the first: the request
// under way then is the last, with one device error and a failure.
TEST(LineSessionTest, UnplugEndsTheRepeatedRequestAsAFailureWithOneDeviceError) {
  const LineSessionResult r =
      RunLineSession(Decode(LineScriptWriter(4, 0, 0).Delay(14).Unplug().Silence().bytes()));
  EXPECT_EQ(r.outcome, TransferOutcome::kFailed);
  EXPECT_EQ(r.deviceErrors, 1u);
  EXPECT_EQ(r.unplugAtMs, 30000);
  EXPECT_EQ(r.pcCodes, (std::vector<int>{FC_FACTORY, FC_FACTORY}));
  EXPECT_LE(r.elapsedMs - r.unplugAtMs, 100);  // the next poll finds it
  EXPECT_EQ(r.cancelAtMs, -1);
  EXPECT_TRUE(r.violations.empty()) << Violations(r);
}

TEST(LineCorpusTest, TheCommittedCorpusHoldsEverySeed) {
  for (const auto& seed : LineSeeds())
    EXPECT_EQ(ReadFile(CorpusFolder() / seed.name), seed.input)
        << seed.name << ": run write_line_corpus " << CorpusFolder();
}

TEST(LineCorpusTest, EveryCorpusInputReplaysAlikeWithinItsBounds) {
  size_t inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusFolder())) {
    const Bytes input = ReadFile(entry.path());
    const std::string name = entry.path().filename().string();
    const LineScript script = Decode(input);
    const LineSessionResult first = RunLineSession(script);
    const LineSessionResult again = RunLineSession(script);
    EXPECT_TRUE(first.violations.empty()) << name << ": " << Violations(first);
    EXPECT_EQ(first.outcome, again.outcome) << name;
    EXPECT_EQ(first.elapsedMs, again.elapsedMs) << name;
    EXPECT_EQ(first.cancelAtMs, again.cancelAtMs) << name;
    EXPECT_EQ(first.pcCodes, again.pcCodes) << name;
    EXPECT_EQ(first.statuses, again.statuses) << name;
    EXPECT_EQ(first.boxes, again.boxes) << name;
    ++inputs;
  }
  EXPECT_GE(inputs, LineSeeds().size());
}

}  // namespace
}  // namespace tavlink::fuzz
