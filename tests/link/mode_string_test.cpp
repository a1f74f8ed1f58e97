#include "link/mode_string.h"

#include <gtest/gtest.h>

namespace tavlink {
namespace {

TEST(ModeString, ShortFormOfTheTransferDialog) {
  auto m = ParseModeString("96,n,8,1");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->baudRate, 9600u);
  EXPECT_EQ(m->parity, 'n');
  EXPECT_EQ(m->dataBits, 8);
  EXPECT_EQ(m->stopBits, 1);
}

TEST(ModeString, AbbreviatedAndLiteralRates) {
  EXPECT_EQ(ParseModeString("19")->baudRate, 19200u);
  EXPECT_EQ(ParseModeString("11")->baudRate, 110u);
  EXPECT_EQ(ParseModeString("115200,N,8,1")->baudRate, 115200u);
  EXPECT_EQ(ParseModeString("COM1: 96,e,7,2")->parity, 'e');
  EXPECT_EQ(ParseModeString("96,,,1.5")->stopBits, 1.5);
}

TEST(ModeString, KeywordForm) {
  auto m = ParseModeString("baud=96 parity=n data=8 stop=1 xon=off dtr=off rts=hs to=on");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->baudRate, 9600u);
  EXPECT_EQ(m->dataBits, 8);
}

TEST(ModeString, RefusesWhatModeRefuses) {
  for (const char* bad : {"", "   ", "x", "96,q,8,1", "96,n,9,1", "96,n,4,1", "96,n,8,3",
                          "96,n,8,1,p,extra", "0,n,8,1", "baud=96 baud=96", "baud=96 parity=x",
                          "baud=96 color=red", "baud", "COM1 96,n,8,1", "96;n;8;1"}) {
    EXPECT_FALSE(ParseModeString(bad)) << '"' << bad << '"';
  }
}

}  // namespace
}  // namespace tavlink
