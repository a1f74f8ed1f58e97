// SHA-256 against the published vectors and, for the lengths where the
// padding changes (55, 56, 63 and 64 bytes modulo 64), digests written down
// from the system's sha256sum; and the same of files, which are hashed in
// pieces.

#include "cli/sha256.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace tavlink::cli {
namespace {

const std::string kMillionA = "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";

TEST(Sha256, PublishedVectors) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  // 56 bytes: the length no longer fits the first block.
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(
      Sha256Hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmn"
                "opqklmnopqrlmnopqrsmnopqrstnopqrstu"),
      "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
  EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')), kMillionA);
}

// The end marker and the 8-byte length: 55 bytes leave room for both in
// the last block, 56 and 63 for the marker alone, 64 for neither.
TEST(Sha256, LengthsWhereThePaddingChanges) {
  EXPECT_EQ(Sha256Hex(std::string(55, 'a')),
            "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
  EXPECT_EQ(Sha256Hex(std::string(56, 'a')),
            "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
  EXPECT_EQ(Sha256Hex(std::string(63, 'a')),
            "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34");
  EXPECT_EQ(Sha256Hex(std::string(64, 'a')),
            "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
  EXPECT_EQ(Sha256Hex(std::string(119, 'a')),
            "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb");
}

// A file is read in pieces of 64 KiB: one piece exactly, a short piece
// after whole ones, and many pieces give the digest of the whole.
TEST(Sha256, FilesHashedInPiecesGiveTheDigestOfTheWhole) {
  const testing::TempFolder folder;
  const std::string path = folder.File("data.bin");
  testing::WriteBytes(path, "");
  EXPECT_EQ(Sha256OfFile(path), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  testing::WriteBytes(path, std::string(65536, 'a'));
  EXPECT_EQ(Sha256OfFile(path), "bf718b6f653bebc184e1479f1935b8da974d701b893afcf49e701f3e2f9f9c5a");
  testing::WriteBytes(path, std::string(65536 + 55, 'a'));
  EXPECT_EQ(Sha256OfFile(path), "e0f2b9805f09f599cb88d49a00e6339e713cdce8d58818b4b5a66272d9c6fde6");
  testing::WriteBytes(path, std::string(1000000, 'a'));
  EXPECT_EQ(Sha256OfFile(path), kMillionA);

  EXPECT_FALSE(Sha256OfFile(folder.File("absent.bin")).has_value());
}

}  // namespace
}  // namespace tavlink::cli
