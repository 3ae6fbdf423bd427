#include "settings/ini_document.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace prismet::ini {
namespace {

std::string rewrite(std::string_view bytes) { return write_document(parse_document(bytes)); }

// How a file is written back after being read: the normal form every write
// produces.
TEST(IniDocument, WritesTheNormalForm) {
  struct Case {
    const char* name;
    std::string input;
    std::string written;
  };
  const Case cases[] = {
      {"empty", "", ""},
      {"blank lines and outer blanks go", "\r\n  [a]  \r\n\r\n\tk = v \t\r\n\r\n", "[a]\r\nk=v\r\n"},
      {"lone CR and LF end lines", "[a]\rk=1\nj=2", "[a]\r\nk=1\r\nj=2\r\n"},
      {"keys before any section", "x=1\r\n[a]\r\ny=2\r\n", "x=1\r\n[a]\r\ny=2\r\n"},
      {"comments and bare names stay", "[a]\r\n; note\r\nbare\r\n", "[a]\r\n; note\r\nbare\r\n"},
      {"duplicates stay", "[a]\r\nk=1\r\nk=2\r\n[A]\r\nk=3\r\n", "[a]\r\nk=1\r\nk=2\r\n[A]\r\nk=3\r\n"},
      {"section name to the last bracket, trimmed", "[ a]b ]tail\r\nk=1\r\n", "[a]b]\r\nk=1\r\n"},
      {"no closing bracket: a key", "[open\r\n", "[open\r\n"},
      {"an empty section name loses its header", "k=1\r\n[]\r\nj=2\r\n", "k=1\r\nj=2\r\n"},
      {"0x1A counts as blank", "\x1a[a]\x1a\r\nk=\x1av\x1a\r\n", "[a]\r\nk=v\r\n"},
      {"a NUL ends a name or value", std::string("[a]\r\nk=v\0w\r\nn\0x=1\r\n", 19), "[a]\r\nk=v\r\nn=1\r\n"},
      {"a name lost to a NUL leaves a blank line", std::string("[a]\r\n\0x\r\n", 9), "[a]\r\n\r\n"},
      // A NUL behind the blank keeps it from the line's end, so the value
      // keeps it; written back without the NUL it ends the line, and the
      // next read drops it.
      {"a blank before a NUL stays in the value once", std::string("[a]\r\nk=v \0x\r\n", 13),
       "[a]\r\nk=v \r\n"},
      {"second nameless key in a row dropped", "[a]\r\n=1\r\n=2\r\nk=3\r\n=4\r\n",
       "[a]\r\n=1\r\nk=3\r\n=4\r\n"},
      // A lead byte takes the next byte along, whatever it is.
      {"lead byte swallows LF", "[a]\r\nk=\x81\nj=1\r\n", "[a]\r\nk=\x81\nj=1\r\n"},
      {"lead byte swallows =", "[a]\r\n\x81=k=1\r\n", "[a]\r\n\x81=k=1\r\n"},
      {"lead byte swallows ]", "[\x81]\r\n", "[\x81]\r\n"},
      {"blank second byte is no blank", "[a]\r\nk=v\x81 \r\n", "[a]\r\nk=v\x81 \r\n"},
      {"lead byte before NUL stands alone", std::string("[a]\r\nk=v\x81\0z\r\n", 13),
       "[a]\r\nk=v\x81\x45\r\n"},
      {"lead byte at the end stands alone", "[a]\r\nk=v\x81", "[a]\r\nk=v\x81\x45\r\n"},
      {"cp932 bytes untouched", "[表]\r\nｷｰ=\x95\x5c\xed\x40\x87\x90\r\n",
       "[表]\r\nｷｰ=\x95\x5c\xed\x40\x87\x90\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(rewrite(c.input), c.written) << c.name;
}

TEST(IniDocument, FindsTheFirstMatchIgnoringAsciiCase) {
  Document document = parse_document(
      "top=0\r\n[Mode]\r\nKey=1\r\nkey=2\r\nbare\r\n[mode]\r\nother=3\r\n[ア]\r\nx=4\r\n[\x83\x61]\r\nx="
      "5\r\n");
  struct Case {
    const char* section;
    const char* key;
    const char* value;  // null: not found or without value
  };
  const Case cases[] = {
      {"mode", "KEY", "1"}, {" MODE\t", " key ", "1"}, {"mode", "other", nullptr}, {"mode", "bare", nullptr},
      {"", "top", "0"},     {"ア", "x", "4"},          {"\x83\x61", "x", "5"},     {"nothing", "x", nullptr},
  };
  for (const Case& c : cases) {
    Section* section = find_section(document, c.section);
    const Key* key = section != nullptr ? find_key(*section, c.key) : nullptr;
    const char* value = key != nullptr && key->value ? key->value->c_str() : nullptr;
    if (c.value == nullptr) {
      EXPECT_EQ(value, nullptr) << c.section << "/" << c.key;
    } else {
      EXPECT_STREQ(value, c.value) << c.section << "/" << c.key;
    }
  }
  // The second byte of ア is "A"; it is not folded to "a" (which would be チ).
  EXPECT_FALSE(names_match("ア", "\x83\x61"));
}

TEST(IniDocument, SettingAValueAppendsWhatIsMissing) {
  Document document;
  EXPECT_TRUE(set_value(document, "prismet", "a", "1"));
  EXPECT_TRUE(set_value(document, "web", "b", "  lead and trail  "));
  EXPECT_TRUE(set_value(document, "PRISMET", "A", "5"));  // the existing key keeps its spelling
  EXPECT_TRUE(set_value(document, "prismet", "c", ""));
  EXPECT_TRUE(set_value(document, " new ", "\tk ", "v"));  // names lose leading blanks only
  EXPECT_EQ(write_document(document),
            "[prismet]\r\na=5\r\nc=\r\n[web]\r\nb=lead and trail  \r\n[new ]\r\nk =v\r\n");
  EXPECT_FALSE(set_value(document, "prismet", "a", " 5")) << "same value: no change";
  // A lone lead byte would take the line end as its second byte.
  EXPECT_TRUE(set_value(document, "web", "b", "x\x81"));
  EXPECT_NE(write_document(document).find("b=x\x81\x45\r\n"), std::string::npos);
  EXPECT_TRUE(set_value(document, "", "top", "1")) << "the nameless section takes it";
  EXPECT_EQ(write_document(document).substr(0, 7), "top=1\r\n");
}

TEST(IniDocument, BareNameGetsAValue) {
  Document document = parse_document("[a]\r\nbare\r\n");
  EXPECT_TRUE(set_value(document, "a", "bare", "v"));
  EXPECT_EQ(write_document(document), "[a]\r\nbare=v\r\n");
}

// Arbitrary bytes: parsing never fails, and writing back settles after two
// rounds (the first drops headers of empty name, the second blank lines of
// names lost to a NUL).
TEST(IniDocument, ArbitraryBytesSettle) {
  std::mt19937 random(12345);
  const char alphabet[] = "[]=; \t\r\n\x1a\x81\x9f\xe0\xfc\x40\x5c\x7f\x80\xa0\xfdkK";
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 64, '\0');
    for (char& byte : bytes) {
      byte = random() % 4 == 0 ? static_cast<char>(random()) : alphabet[random() % (sizeof alphabet - 1)];
    }
    const std::string twice = rewrite(rewrite(bytes));
    ASSERT_EQ(rewrite(twice), twice) << ::testing::PrintToString(bytes);
  }
}

// In UTF-8 text the last byte of a character may be a code page 932 lead
// byte ("ブ" ends in 0x96): stepped as code page 932 it would swallow the
// "=", "]" or line end behind it.
TEST(IniDocument, Utf8TextIsSteppedAByteAtATime) {
  const std::u8string_view text = u8"[タブ]\nタブ=ブ\nKey=1\n";
  const std::string bytes(text.begin(), text.end());
  Document document = parse_document(bytes, TextEncoding::kUtf8);
  ASSERT_EQ(document.sections.size(), 2u);
  const std::u8string_view tab = u8"タブ";
  const std::u8string_view bu = u8"ブ";
  EXPECT_EQ(document.sections[1].name, std::string(tab.begin(), tab.end()));
  ASSERT_EQ(document.sections[1].keys.size(), 2u);
  EXPECT_EQ(document.sections[1].keys[0].name, std::string(tab.begin(), tab.end()));
  EXPECT_EQ(document.sections[1].keys[0].value, std::string(bu.begin(), bu.end()));
  EXPECT_EQ(document.sections[1].keys[0].line, 2u);
  EXPECT_EQ(document.sections[1].keys[1].line, 3u);
  Section* section = find_section(document, std::string(tab.begin(), tab.end()));
  ASSERT_NE(section, nullptr);
  EXPECT_NE(find_key(*section, "KEY", TextEncoding::kUtf8), nullptr);
  const std::u8string_view written = u8"[タブ]\r\nタブ=ブ\r\nKey=1\r\n";
  EXPECT_EQ(write_document(document), std::string(written.begin(), written.end()));
  // The same bytes as code page 932 run together: no section, one key.
  EXPECT_EQ(parse_document(bytes).sections.size(), 1u);
}

}  // namespace
}  // namespace prismet::ini
