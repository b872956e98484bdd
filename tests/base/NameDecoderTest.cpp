// Names decoded from the character sets old servers wrote, UTF-8 checks and base64.

#include "base/NameDecoder.h"

#include <gtest/gtest.h>

#include "base/Base64.h"

namespace vantrel {
namespace {

TEST(NameDecoder, LegacyCharacterSetsDecodeIntoUtf8) {
  const auto latin1 = NameDecoder::For("ISO-8859-1");
  ASSERT_TRUE(latin1);
  EXPECT_TRUE(latin1->Converts());
  EXPECT_EQ(latin1->Decode("r\xe9ponse.txt"), "r\xc3\xa9ponse.txt");
  const auto eucJp = NameDecoder::For("EUC-JP");
  ASSERT_TRUE(eucJp);
  EXPECT_EQ(eucJp->Decode("\xc6\xfc\xcb\xdc\xb8\xec.txt"), "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.txt");  // 日本語
  const auto koi8r = NameDecoder::For("KOI8-R");
  ASSERT_TRUE(koi8r);
  EXPECT_EQ(koi8r->Decode("\xf0\xd2\xc9\xd7\xc5\xd4"), "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82");  // Привет
  // A copy shares the converter and gives the same answers.
  const NameDecoder copy = *latin1;
  EXPECT_EQ(copy.Decode("caf\xe9"), "caf\xc3\xa9");
  EXPECT_EQ(copy.Decode(""), "");
}

TEST(NameDecoder, BytesThatAreNoCharacterOfTheSetAreKeptAndTheRestDecoded) {
  const auto eucJp = NameDecoder::For("EUC-JP");
  ASSERT_TRUE(eucJp);
  // 0xFF starts no EUC-JP character; a lead byte at the very end is cut off.
  EXPECT_EQ(eucJp->Decode("a\xff\xc6\xfc"
                          "b\xc6"),
            "a\xff\xe6\x97\xa5"
            "b\xc6");
  // A long name decodes whole (the output buffer grows as needed).
  std::string many;
  for (int i = 0; i < 300; ++i) many += "\xc6\xfc";
  std::string expected;
  for (int i = 0; i < 300; ++i) expected += "\xe6\x97\xa5";
  EXPECT_EQ(eucJp->Decode(many), expected);
}

TEST(NameDecoder, Utf8IsTakenAsItIsAndUnknownSetsAreRefused) {
  for (const char* utf8 : {"", "UTF-8", "utf8", "Utf_8"}) {
    const auto decoder = NameDecoder::For(utf8);
    ASSERT_TRUE(decoder) << utf8;
    EXPECT_FALSE(decoder->Converts());
    EXPECT_EQ(decoder->Decode("r\xe9ponse"), "r\xe9ponse");
  }
  EXPECT_EQ(NameDecoder().Decode("a:b"), "a:b");
  EXPECT_FALSE(NameDecoder::For("NO-SUCH-CHARSET-42"));
}

TEST(NameDecoder, OnlyWellFormedUtf8IsUtf8) {
  EXPECT_TRUE(IsUtf8("plain"));
  EXPECT_TRUE(IsUtf8("r\xc3\xa9ponse \xe6\x97\xa5 \xf0\x9f\x93\xa7"));
  EXPECT_FALSE(IsUtf8("r\xe9ponse"));        // ISO-8859-1
  EXPECT_FALSE(IsUtf8("\xc0\xaf"));          // overlong "/"
  EXPECT_FALSE(IsUtf8("\xed\xa0\x80"));      // a surrogate
  EXPECT_FALSE(IsUtf8("\xf4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(IsUtf8("\xe6\x97"));          // cut short
  EXPECT_EQ(Utf8CharacterLength("\xe6\x97\xa5", 0), 3u);
  EXPECT_EQ(Utf8CharacterLength("\xe6\x97\xa5", 1), 0u);
  EXPECT_EQ(Utf8CharacterLength("a", 1), 0u);
}

TEST(Base64, EncodesAsRfc4648) {
  EXPECT_EQ(Base64(""), "");
  EXPECT_EQ(Base64("f"), "Zg==");
  EXPECT_EQ(Base64("fo"), "Zm8=");
  EXPECT_EQ(Base64("foo"), "Zm9v");
  EXPECT_EQ(Base64("foob"), "Zm9vYg==");
  EXPECT_EQ(Base64("fooba"), "Zm9vYmE=");
  EXPECT_EQ(Base64("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64("latin1/r\xe9ponse.txt"), "bGF0aW4xL3LpcG9uc2UudHh0");
  EXPECT_EQ(Base64(std::string("\xff\xfe\x00", 3)), "//4A");
}

}  // namespace
}  // namespace vantrel
