// DOS text on every platform: CR LF read as LF, LF written as CR LF.

#include "data/text_io.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace tavlink {
namespace {

std::string ReadAll(TextInput& in) {
  std::string text;
  for (int b = in.ReadByte(); b >= 0; b = in.ReadByte()) text.push_back(static_cast<char>(b));
  return text;
}

TEST(TextInput, FoldsCrLfAndKeepsLoneCrAndLf) {
  StringTextInput in("a\r\nb\nc\rd\r\r\ne\r");
  EXPECT_EQ(ReadAll(in), "a\nb\nc\rd\r\ne\r");
  EXPECT_EQ(in.ReadByte(), -1);
}

TEST(TextInput, PassesEveryByteValue) {
  StringTextInput in(std::string("\0\xA0\xFF", 3));
  EXPECT_EQ(in.ReadByte(), 0);
  EXPECT_EQ(in.ReadByte(), 0xA0);
  EXPECT_EQ(in.ReadByte(), 0xFF);
  EXPECT_EQ(in.ReadByte(), -1);
}

TEST(TextOutput, StoresEachLfAsCrLf) {
  StringTextOutput out;
  out.WriteString("x\n\ny");
  out.WriteString("\r\n");
  EXPECT_EQ(out.str(), "x\r\n\r\ny\r\r\n");
}

TEST(FileText, WritesAndReadsThroughAFile) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  FileTextOutput out(f);
  out.WriteString("one\ntwo\n");
  EXPECT_FALSE(out.failed());
  std::rewind(f);
  char raw[16] = {};
  ASSERT_EQ(std::fread(raw, 1, sizeof raw, f), 10u);
  EXPECT_STREQ(raw, "one\r\ntwo\r\n");
  std::rewind(f);
  FileTextInput in(f);
  EXPECT_EQ(ReadAll(in), "one\ntwo\n");
  EXPECT_FALSE(in.failed());
  std::fclose(f);
}

}  // namespace
}  // namespace tavlink
