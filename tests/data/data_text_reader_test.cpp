// The reader's grammar, checks and messages, grouped by line kind.

#include "data/data_text_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "data/block_builder.h"

namespace tavlink {
namespace {

const std::string kSat = "s \"ASTRA\" 9750 10600 u 19.2 e a n n n\n";
const std::string kTp = "t 12663 22000 h 0 14 0 3/4\n";

class ReaderTest : public ::testing::Test {
 protected:
  int Read(const std::string& raw) {
    StringTextInput in(raw);
    return reader_.ReadDataText(in);
  }
  std::string Error() const { return reader_.GetErrorText(); }

  std::unique_ptr<ReceiverDataBlock> block_ = testing::MakeBlock();
  DataTextReader reader_{*block_};
};

// ---- whole file, lines and tags ---------------------------------------------

TEST_F(ReaderTest, EmptyOrCommentOnlyFileGivesAValidEmptyBlock) {
  const std::string texts[] = {"", "# comment\n\n   \n\t# more\r\n", std::string("\0\n", 2)};
  for (const std::string& text : texts) {
    block_->FinishHeader(5, 6, 7, 3);
    EXPECT_EQ(Read(text), 0) << Error();
    EXPECT_TRUE(block_->IsValid());
    EXPECT_EQ(block_->sat_count(), 0);
    EXPECT_EQ(block_->tp_count(), 0);
    EXPECT_EQ(block_->service_count(), 0);
    EXPECT_EQ(block_->antenna_config(), -1);
    EXPECT_STREQ(reader_.GetErrorText(), "");
  }
}

TEST_F(ReaderTest, TextAfterTheLastLfIsNeverInterpreted) {
  EXPECT_EQ(Read(kSat.substr(0, kSat.size() - 1)), 0);
  EXPECT_EQ(block_->sat_count(), 0);
  EXPECT_EQ(Read(kSat + "x bad tag without LF"), 0);
  EXPECT_EQ(block_->sat_count(), 1);
}

TEST_F(ReaderTest, LineOf1022CharactersIsReadAnd1023IsTooLong) {
  const std::string ok = "#" + std::string(1021, 'x');
  EXPECT_EQ(Read(ok + "\n"), 0);
  EXPECT_EQ(Read(ok + "\r\n"), 0);  // CR LF counts as one LF
  EXPECT_EQ(Read("#\n" + ok + "x\n"), 5);
  EXPECT_EQ(Error(), " * Error : line 2 is too long. size of line_buffer = 1024.\n");
  // The read that meets the end of the file uses a position as well.
  EXPECT_EQ(Read(ok + "x"), 5);
  EXPECT_EQ(Read(ok), 0);
}

TEST_F(ReaderTest, LineNumbersCountCommentAndBlankLines) {
  EXPECT_EQ(Read("# one\n\n#three\n   \nx\n"), 4);
  EXPECT_EQ(Error(), " * Error : line 5. Invalid tag 'x'.\n");
  EXPECT_EQ(Read("\r\n\r\n" + kSat + "  ?\n"), 4);
  EXPECT_EQ(Error(), " * Error : line 4. Invalid tag '?'.\n");
}

TEST_F(ReaderTest, LeadBytes1To32And128To255AreSkipped) {
  EXPECT_EQ(Read("\xA0#comment\n"), 0);
  EXPECT_EQ(Read("\x01\x1f\x80\xff \t" + kSat), 0);
  EXPECT_EQ(block_->sat_count(), 1);
  EXPECT_EQ(Read(std::string("\0x\n", 3)), 0);  // a zero byte ends the line: blank
  EXPECT_EQ(Read("\x7f\n"), 4);
  EXPECT_EQ(Error(), " * Error : line 1. Invalid tag '\x7f'.\n");
}

TEST_F(ReaderTest, UpperCaseTagsAndKeywordsAreAccepted) {
  ASSERT_EQ(Read("  \tS \"ASTRA\" 9750 10600 U 19.2 E A N N N\n"
                 "T 11000 27500 HOR 22 18 12 AUTO\n"
                 "Sat \"HOT BIRD\" 9750 10600 Universal 13 West D 0 0 14\n"
                 "tp 12000 27500 Vertical 0 14 0 7/8\n"
                 "V \"One\" 2 1 1 2 3 4 5 0 1 0\n"
                 "R \"Two\" 1 1 6 0 0 0 0 1 0 1\n"),
            0)
      << Error();
  EXPECT_EQ(block_->sat_count(), 2);
  EXPECT_EQ(block_->satellite(1).name(), "HOT BIRD");
  EXPECT_EQ(block_->satellite(1).position(), kWestBit | 130);
  EXPECT_EQ(block_->satellite(1).sat_flags(),
            sat_flag::kUniversalLnb | sat_flag::kDiseqcGiven | (3u << sat_flag::kDiseqcShift) |
                sat_flag::kToneGiven | sat_flag::kSwitch12Given | sat_flag::kVoltageGiven);
  EXPECT_EQ(block_->transponder(0).tp_flags(),
            tp_flag::kHorizontal | tp_flag::kTone22 | tp_flag::kVoltage18 | tp_flag::kSwitch12);
  EXPECT_EQ(block_->transponder(1).tp_flags(), 5 << tp_flag::kFecShift);
  EXPECT_EQ(block_->service(0).tp_word(), 1);
  EXPECT_EQ(block_->service(1).tp_word(), kRadioBit | 0);
  EXPECT_EQ(block_->service(0).service_flags(), service_flag::kFavorite);
  EXPECT_EQ(block_->service(1).service_flags(), service_flag::kScramble | service_flag::kLock);
}

// ---- antenna line ------------------------------------------------------------

TEST_F(ReaderTest, AntennaValueIsKeptAndDefaultsToMinusOne) {
  EXPECT_EQ(Read("a 0\n"), 0);
  EXPECT_EQ(block_->antenna_config(), 0);
  EXPECT_EQ(Read("antenna_config 8\n" + kSat), 0);
  EXPECT_EQ(block_->antenna_config(), 8);
  EXPECT_EQ(Read(kSat + "A -1\n"), 0);
  EXPECT_EQ(block_->antenna_config(), -1);
  EXPECT_EQ(Read(kSat), 0);
  EXPECT_EQ(block_->antenna_config(), -1);
}

TEST_F(ReaderTest, AntennaLineErrors) {
  const char* const kFormat = " * Error : line 2. Default Switch Configuation value format error.";
  const struct {
    std::string text;
    const char* message;
  } rows[] = {
      {"#\na 9\n", kFormat},
      {"#\na -2\n", kFormat},
      {"#\na\n", kFormat},
      {"#\na5\n", kFormat},  // the tag word takes the digit with it
      {"#\na x\n", kFormat},
      {"a 3\na 3\n",  // a second antenna line, even with the same value
       " * Error : line 2. Default Switch Configuation value was defined duplicatly."},
      {"a 3\nA x\n",  // the duplicate is found before the value is read
       " * Error : line 2. Default Switch Configuation value was defined duplicatly."},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Read(row.text), 6) << row.text;
    EXPECT_EQ(Error(), row.message) << row.text;
  }
}

TEST_F(ReaderTest, NothingButServicesMayFollowTheFirstService) {
  const std::string head = kSat + kTp + "v \"Z\" 1 1 1 2 3 4 5 0 0 0\n";
  EXPECT_EQ(Read(head + "a 1\n"), 7);
  EXPECT_EQ(Error(), " * Error : line 4. Program information and switch configuration mixed.");
  EXPECT_EQ(Read(head + "#\n" + kSat), 8);
  EXPECT_EQ(Error(), " * Error : line 5. Program information and satellite information mixed.");
  EXPECT_EQ(Read(head + kTp), 9);
  EXPECT_EQ(Error(), " * Error : line 4. Program information and transponder information mixed.");
  // A failing service line counts as program information too.
  EXPECT_EQ(Read(kSat + "v bad\n" + kTp), 3);
  EXPECT_EQ(Read(kSat + "v \"Z\" 1 1 1 2 3 4 5 0 0 0\na 1\n"), 3);  // -14 stops the read first
}

// ---- satellite line ----------------------------------------------------------

struct BadLine {
  std::string line;
  const char* field;
};

TEST_F(ReaderTest, SatelliteFieldErrors) {
  const BadLine rows[] = {
      {"s ASTRA 9750 10600 u 19.2 e a n n n", "   field : name\n"},
      {"s \"ASTRA 9750 10600 u 19.2 e a n n n", "   field : name\n"},
      {"s \"ABCDEFGHIJ\" 9750 10600 u 19.2 e a n n n", "   field : name\n"},
      {"s \"A\"", "   field : lnb_low\n"},
      {"s \"A\" -1 10600 u 19.2 e a n n n", "   field : lnb_low\n"},
      {"s \"A\" x 10600 u 19.2 e a n n n", "   field : lnb_low\n"},
      {"s \"A\" 9750 -1 u 19.2 e a n n n", "   field : lnb_high\n"},
      {"s \"A\" 9750 x u 19.2 e a n n n", "   field : lnb_high\n"},
      {"s \"A\" 9750 10600 x 19.2 e a n n n", "   field : universal_lnb\n"},
      {"s \"A\" 9750 10600", "   field : universal_lnb\n"},
      {"s \"A\" 9750 10600 u 180.1 e a n n n", "   field : angle\n"},
      {"s \"A\" 9750 10600 u -0.1 e a n n n", "   field : angle\n"},
      {"s \"A\" 9750 10600 u east a n n n", "   field : angle\n"},
      {"s \"A\" 9750 10600 u inf e a n n n", "   field : angle\n"},
      {"s \"A\" 9750 10600 u nan e a n n n", "   field : angle\n"},
      {"s \"A\" 9750 10600 u 1e4 e a n n n", "   field : angle\n"},
      {"s \"A\" 9750 10600 u 19.2 x a n n n", "   field : east_west\n"},
      {"s \"A\" 9750 10600 u 19.2e5 e a n n n", "   field : angle\n"},
      {"s \"A\" 9750 10600 u 19.2 e 5 n n n", "   field : DiSEqC\n"},
      {"s \"A\" 9750 10600 u 19.2 e a 12 n n", "   field : 22KHz\n"},
      {"s \"A\" 9750 10600 u 19.2 e a n 22 n", "   field : 0/12V\n"},
      {"s \"A\" 9750 10600 u 19.2 e a n n 13", "   field : 14/18V\n"},
      {"s \"A\" 9750 10600 u 19.2 e a n n", "   field : 14/18V\n"},
  };
  for (const BadLine& row : rows) {
    EXPECT_EQ(Read("#\n" + row.line + "\n"), 1) << row.line;
    EXPECT_EQ(Error(),
              std::string(" * Error : line 2. Default Satellite Data format error.\n") + row.field)
        << row.line;
  }
}

TEST_F(ReaderTest, SatelliteNamesOf0To9CharactersWithBlanks) {
  ASSERT_EQ(Read("s \"123456789\" 1 2 n 0 w n n n n\ns name \"\" 1 2 n 0 w n n n n\n"
                 "s x\"a b\"9750 10600 u 0 e n n n n trailing words\n"),
            0);
  EXPECT_EQ(block_->satellite(0).name(), "123456789");
  EXPECT_EQ(block_->satellite(1).name(), "");
  EXPECT_EQ(block_->satellite(2).name(), "a b");
}

TEST_F(ReaderTest, AngleTenthsAreExact) {
  const std::pair<const char*, int> rows[] = {
      {"19.2", 192}, {"0.7", 7}, {"180.0", 1800}, {"19.25", 192}, {"-0.05", 0}, {"42", 420},
  };
  for (const auto& [angle, tenths] : rows) {
    ASSERT_EQ(Read(std::string("s \"A\" 9750 10600 u ") + angle + " w n n n n\n"), 0) << angle;
    EXPECT_EQ(block_->satellite(0).position(), kWestBit | tenths) << angle;
  }
}

TEST_F(ReaderTest, LnbFrequenciesKeepTheirLow16Bits) {
  ASSERT_EQ(Read("s \"A\" 70000 -2 u 1 e n n n n\n"), 0);
  EXPECT_EQ(block_->satellite(0).lnb_low(), 4464);
  EXPECT_EQ(block_->satellite(0).lnb_high(), 65534);
}

TEST_F(ReaderTest, The107thSatelliteOverflows) {
  std::string text;
  for (int i = 0; i < 107; ++i) text += kSat;
  EXPECT_EQ(Read(text), 1);
  EXPECT_EQ(Error(),
            " * Error : line 107. Default Satellite Data format error.\n"
            "         : Overflow number of satellites.\n");
  EXPECT_EQ(Read(text.substr(kSat.size())), 0);
  EXPECT_EQ(block_->sat_count(), 106);
}

// ---- transponder line --------------------------------------------------------

TEST_F(ReaderTest, TransponderFieldErrors) {
  const BadLine rows[] = {
      {"t", "   field : frequency\n"},
      {"t -1 22000 h 0 14 0 3/4", "   field : frequency\n"},
      {"t12663 22000 h 0 14 0 3/4", "   field : symbolrate\n"},  // tag word takes 12663
      {"t 12663 -1 h 0 14 0 3/4", "   field : symbolrate\n"},
      {"t 12663 22000 x 0 14 0 3/4", "   field : polarization\n"},
      {"t 12663 22000 h 11 14 0 3/4", "   field : 22 KHz\n"},
      {"t 12663 22000 h x 14 0 3/4", "   field : 22 KHz\n"},
      {"t 12663 22000 h 0 13 0 3/4", "   field : 14/18 Volt\n"},
      {"t 12663 22000 h 0 14 6 3/4", "   field : 0/12 Volt\n"},
      {"t 12663 22000 h 0 14 0 4/5", "   field : FEC\n"},
      {"t 12663 22000 h 0 14 0 fec6", "   field : FEC\n"},
      {"t 12663 22000 h 0 14 0", "   field : FEC\n"},
  };
  for (const BadLine& row : rows) {
    EXPECT_EQ(Read(kSat + row.line + "\n"), 2) << row.line;
    EXPECT_EQ(Error(),
              std::string(" * Error : line 2. Default TP Data format error.\n") + row.field)
        << row.line;
  }
}

TEST_F(ReaderTest, TransponderBeforeAnySatelliteBelongsToNone) {
  ASSERT_EQ(Read(kTp + kSat + kTp), 0);
  EXPECT_EQ(block_->transponder(0).owner_sat(), kNoSatellite);
  EXPECT_EQ(block_->transponder(1).owner_sat(), 0);
  // No service can name it: sat_index 1 finds only the second transponder.
  EXPECT_EQ(Read(kTp + kSat + kTp + "v \"Z\" 1 2 1 2 3 4 5 0 0 0\n"), 3);
  EXPECT_EQ(Error(),
            " * Error : line 4. Default Service Data format error.\n"
            "         : The satellite or transponder is not valid.\n");
}

TEST_F(ReaderTest, The1025thTransponderOverflows) {
  std::string text = kSat;
  for (int i = 0; i < 1025; ++i) text += kTp;
  EXPECT_EQ(Read(text), 2);
  EXPECT_EQ(Error(),
            " * Error : line 1026. Default TP Data format error.\n"
            "         : Overflow number of tps.\n");
}

// ---- service line ------------------------------------------------------------

TEST_F(ReaderTest, ServiceFieldErrors) {
  const BadLine rows[] = {
      {"v Z 1 1 1 2 3 4 5 0 0 0", "   field : name\n"},
      {"v \"ABCDEFGHIJKLMN\" 1 1 1 2 3 4 5 0 0 0", "   field : name\n"},
      {"v \"Z\"", "   field : service_id\n"},
      {"v \"Z\" 1 1 -1 2 3 4 5 0 0 0", "   field : service_id\n"},
      {"v \"Z\" 1 1 65536 2 3 4 5 0 0 0", "   field : service_id\n"},
      {"v \"Z\" 1 1 1 8192 3 4 5 0 0 0", "   field : video_pid\n"},
      {"v \"Z\" 1 1 1 2 -1 4 5 0 0 0", "   field : audio_pid\n"},
      {"v \"Z\" 1 1 1 2 3 8192 5 0 0 0", "   field : pcr_pid\n"},
      {"v \"Z\" 1 1 1 2 3 4 x 0 0 0", "   field : txt_pid\n"},
      {"v \"Z\" 1 1 1 2 3 4 5 2 0 0", "   field : scramble\n"},
      {"v \"Z\" 1 1 1 2 3 4 5 0 -1 0", "   field : favorite\n"},
      {"v \"Z\" 1 1 1 2 3 4 5 0 0", "   field : lock\n"},
      {"v \"Z\" 0 1 1 2 3 4 5 0 0 0", "   field : sat_index\n"},
      {"v \"Z\" 129 1 1 2 3 4 5 0 0 0", "   field : sat_index\n"},
      {"v \"Z\" 1 0 1 2 3 4 5 0 0 0", "   field : tp_index\n"},
      {"v \"Z\" 1 257 1 2 3 4 5 0 0 0", "   field : tp_index\n"},
      {"v \"Z\" 1 2 1 2 3 4 5 0 0 0", "         : The satellite or transponder is not valid.\n"},
      {"r \"Z\" 2 1 1 2 3 4 5 0 0 0", "         : The satellite or transponder is not valid.\n"},
  };
  for (const BadLine& row : rows) {
    EXPECT_EQ(Read(kSat + kTp + row.line + "\n"), 3) << row.line;
    EXPECT_EQ(Error(),
              std::string(" * Error : line 3. Default Service Data format error.\n") + row.field)
        << row.line;
  }
}

TEST_F(ReaderTest, ServiceNameOf13CharactersIsAccepted) {
  ASSERT_EQ(Read(kSat + kTp + "v \"1234567890123\" 1 1 0 8191 0 8191 0 1 1 1\n"), 0);
  EXPECT_EQ(block_->service(0).name(), "1234567890123");
  EXPECT_EQ(block_->service(0).video_pid(), 8191);
}

TEST_F(ReaderTest, TpIndex257IsRefusedEvenWhenThatManyExist) {
  std::string text = kSat;
  for (int i = 0; i < 257; ++i) text += kTp;
  EXPECT_EQ(Read(text + "v \"Z\" 1 256 1 2 3 4 5 0 0 0\n"), 0);
  EXPECT_EQ(block_->service(0).tp_entry(), 255);
  EXPECT_EQ(Read(text + "v \"Z\" 1 257 1 2 3 4 5 0 0 0\n"), 3);
  EXPECT_EQ(Error(),
            " * Error : line 259. Default Service Data format error.\n   field : tp_index\n");
}

TEST_F(ReaderTest, SatIndexAndTpIndexFindTheTransponderInTableOrder) {
  const std::string sat2 = "s \"B\" 9750 10600 u 13 e n n n n\n";
  ASSERT_EQ(Read(kSat + kTp + kTp + sat2 + kTp + kTp + kTp +
                 "v \"Z\" 2 3 1 2 3 4 5 0 0 0\nv \"Y\" 1 2 1 2 3 4 5 0 0 0\n"),
            0);
  EXPECT_EQ(block_->service(0).tp_entry(), 4);
  EXPECT_EQ(block_->service(1).tp_entry(), 1);
}

TEST_F(ReaderTest, The1501stServiceOverflows) {
  std::string text = kSat + kTp;
  for (int i = 0; i < 1501; ++i) text += "v \"Z\" 1 1 1 2 3 4 5 0 0 0\n";
  EXPECT_EQ(Read(text), 3);
  EXPECT_EQ(Error(),
            " * Error : line 1503. Default Service Data format error.\n"
            "         : Overflow number of service.\n");
}

// ---- the block around a read -------------------------------------------------

TEST_F(ReaderTest, FailureLeavesHeaderButAntennaAndKeepsWrittenRecords) {
  block_->FinishHeader(9, 8, 7, 5);
  uint8_t header[32];
  std::memcpy(header, block_->bytes(), 32);
  EXPECT_EQ(Read("a 2\n" + kSat + "s \"HALF\" 9750 x\n"), 1);
  EXPECT_EQ(block_->antenna_config(), -1);
  EXPECT_EQ(std::memcmp(block_->bytes(), header, 24), 0);
  EXPECT_EQ(std::memcmp(block_->bytes() + 28, header + 28, 4), 0);
  EXPECT_EQ(block_->satellite(0).name(), "ASTRA");
  EXPECT_EQ(block_->satellite(0).lnb_low(), 9750);
  EXPECT_EQ(block_->satellite(1).name(), "HALF");  // copied before its fields failed
  EXPECT_EQ(block_->satellite(1).lnb_low(), 0);

  // A later successful read empties the message.
  EXPECT_EQ(Read(kSat), 0);
  EXPECT_STREQ(reader_.GetErrorText(), "");
}

TEST_F(ReaderTest, KeptBitsReservedBytesAndTheLastRegionAreUntouched) {
  std::memset(block_->bytes(), 0xFF, ReceiverDataBlock::kSize);
  ASSERT_EQ(Read("s \"AB\" 9750 10600 n 1 e n n n n\nt 1 2 v 0 14 0 auto\n"
                 "v \"CD\" 1 1 1 2 3 4 5 0 0 0\n"),
            0);
  const ConstSatelliteRecord sat = block_->satellite(0);
  EXPECT_EQ(sat.sat_flags(), 0xFFFFFC00u);
  EXPECT_EQ(sat.data()[6], 0xFF);
  EXPECT_EQ(sat.data()[7], 0xFF);
  EXPECT_EQ(sat.data()[12 + 3], 0xFF);  // after the name's zero byte
  EXPECT_EQ(sat.data()[22], 0xFF);
  EXPECT_EQ(sat.data()[23], 0xFF);
  EXPECT_EQ(block_->transponder(0).tp_flags(), 0xFF80);
  EXPECT_EQ(block_->transponder(0).data()[7], 0xFF);
  EXPECT_EQ(block_->service(0).service_flags(), 0xFFF8);
  EXPECT_EQ(block_->service(0).tp_word(), 0);
  EXPECT_EQ(block_->bytes()[28], 0xFF);               // reserved header bytes
  EXPECT_EQ(block_->satellite(1).lnb_low(), 0xFFFF);  // unused records
  for (size_t i = kUninterpretedOffset; i < ReceiverDataBlock::kSize; ++i) {
    ASSERT_EQ(block_->bytes()[i], 0xFF) << i;
  }
}

}  // namespace
}  // namespace tavlink
