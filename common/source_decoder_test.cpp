#include "common/source_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/text_stream.h"

namespace prismet {
namespace {

struct Case {
  const char* name;
  std::string source;
  std::string expected;
  DetectedEncoding detected;
};

std::string bytes(const char* data, std::size_t size) { return std::string(data, size); }

TEST(SourceDecoder, DecodesEachEncodingAndReplacesWhatIsNoCharacter) {
  const Case cases[] = {
      {"ascii", "int a;\n", "int a;\n", DetectedEncoding::kAscii},
      {"empty", "", "", DetectedEncoding::kAscii},
      {"sjis backslash", "\x81\x5F", "\xEF\xBC\xBC", DetectedEncoding::kShiftJis},
      {"sjis wave dash", "\x81\x60", "\xEF\xBD\x9E", DetectedEncoding::kShiftJis},
      {"sjis parallel", "\x81\x61", "\xE2\x88\xA5", DetectedEncoding::kShiftJis},
      {"sjis minus", "\x81\x7C", "\xEF\xBC\x8D", DetectedEncoding::kShiftJis},
      {"sjis cent pound not", "\x81\x91\x81\x92\x81\xCA", "\xEF\xBF\xA0\xEF\xBF\xA1\xEF\xBF\xA2",
       DetectedEncoding::kShiftJis},
      {"sjis nec row 13", "\x87\x40", "\xE2\x91\xA0", DetectedEncoding::kShiftJis},
      {"sjis nec ibm ext", "\xED\x40", "\xE7\xBA\x8A", DetectedEncoding::kShiftJis},
      {"sjis ibm ext", "\xFA\x40", "\xE2\x85\xB0", DetectedEncoding::kShiftJis},
      {"sjis user area", "\xF0\x40\xF9\xFC", "\xEE\x80\x80\xEE\x9D\x97", DetectedEncoding::kShiftJis},
      {"sjis kanji and ascii", "\x88\x9F\\~", "\xE4\xBA\x9C\\~", DetectedEncoding::kShiftJis},
      {"half-width katakana", "\xA1\xDF", "\xEF\xBD\xA1\xEF\xBE\x9F", DetectedEncoding::kShiftJis},
      {"no character bytes", "\x80\xA0\xFD\xFE\xFF",
       "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", DetectedEncoding::kShiftJis},
      {"lead then line feed",
       "\x88\x0A"
       "a",
       "\xEF\xBF\xBD\x0A"
       "a",
       DetectedEncoding::kShiftJis},
      {"unassigned pair keeps letter", "\x85\x41",
       "\xEF\xBF\xBD"
       "A",
       DetectedEncoding::kShiftJis},
      {"lone lead at end", "a\x88", "a\xEF\xBF\xBD", DetectedEncoding::kShiftJis},
      {"utf8", "a\xE3\x81\x82\n", "a\xE3\x81\x82\n", DetectedEncoding::kUtf8},
      {"utf8 bom dropped", "\xEF\xBB\xBFx\xC3\xA9", "x\xC3\xA9", DetectedEncoding::kUtf8},
      {"utf8 bom then invalid", "\xEF\xBB\xBF\xC3(\x80", "\xEF\xBF\xBD(\xEF\xBF\xBD",
       DetectedEncoding::kUtf8},
      {"bom prefix only", "\xEF\xBB", "\xEF\xBF\xBD\xEF\xBD\xBB", DetectedEncoding::kShiftJis},
      {"utf16le",
       bytes("\xFF\xFE"
             "a\0\x42\x30\x3D\xD8\x00\xDE",
             10),
       "a\xE3\x81\x82\xF0\x9F\x98\x80", DetectedEncoding::kUtf16Le},
      {"utf16be", bytes("\xFE\xFF\0a\x30\x42\xD8\x3D\xDE\x00", 10), "a\xE3\x81\x82\xF0\x9F\x98\x80",
       DetectedEncoding::kUtf16Be},
      {"utf16 unpaired",
       bytes("\xFF\xFE\x00\xDC"
             "a\0\x00\xD8"
             "b\0\x00\xD8",
             12),
       "\xEF\xBF\xBD"
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD",
       DetectedEncoding::kUtf16Le},
      {"utf16 odd byte", bytes("\xFE\xFF\0a\0", 5), "a\xEF\xBF\xBD", DetectedEncoding::kUtf16Be},
  };
  for (const Case& c : cases) {
    DetectedEncoding detected = DetectedEncoding::kAscii;
    EXPECT_TRUE(decode_source(c.source, &detected) == c.expected) << c.name;
    EXPECT_EQ(detected, c.detected) << c.name;
  }
}

TEST(SourceDecoder, CutOffUtf8IsShiftJisWhenTheWindowHoldsIt) {
  // E3 81 at the end: no UTF-8, so code page 932: E3 81 is a kanji pair.
  DetectedEncoding detected = DetectedEncoding::kAscii;
  EXPECT_TRUE(decode_source("\xE3\x81", &detected) == "\xE7\xB8\xBA");
  EXPECT_EQ(detected, DetectedEncoding::kShiftJis);
}

TEST(SourceDecoder, DetectionLooksAtTheWindowAfterTheFirstNonAsciiByte) {
  // ASCII for longer than a block, then UTF-8: UTF-8.
  std::string source(100000, 'a');
  source += "\xC3\xA9";
  DetectedEncoding detected = DetectedEncoding::kAscii;
  EXPECT_TRUE(decode_source(source, &detected) == source);
  EXPECT_EQ(detected, DetectedEncoding::kUtf8);

  // Valid UTF-8 for the whole window, then an invalid byte: still UTF-8, the
  // byte replaced.
  std::string late = "\xC3\xA9";
  late += std::string(SourceDecoder::kWindow, 'b');
  late += "\x82z";
  std::string expected = late.substr(0, late.size() - 2) + "\xEF\xBF\xBDz";
  EXPECT_TRUE(decode_source(late, &detected) == expected);
  EXPECT_EQ(detected, DetectedEncoding::kUtf8);

  // An invalid byte inside the window: code page 932 from the start.
  std::string early = "\xC3\xA9";
  early += std::string(1000, 'b');
  early += "\x82\xA0";
  std::string early_expected = "\xEF\xBE\x83\xEF\xBD\xA9";  // two half-width katakana
  early_expected += std::string(1000, 'b');
  early_expected += "\xE3\x81\x82";
  EXPECT_TRUE(decode_source(early, &detected) == early_expected);
  EXPECT_EQ(detected, DetectedEncoding::kShiftJis);
}

std::string read_all(TextReader& reader) {
  std::string text;
  for (int byte = reader.get(); byte != TextReader::kEnd; byte = reader.get())
    text += static_cast<char>(byte);
  return text;
}

TEST(SourceDecoder, ReaderTranslatesLineEndsAfterDecoding) {
  const std::string source = bytes(
      "\xFF\xFE"
      "a\0\r\0\n\0b\0\x1A\0"
      "c\0",
      14);
  TextReader reader;
  reader.open_memory(source.data(), source.size());
  reader.decode_as(SourceEncoding::kAutomatic);
  EXPECT_TRUE(read_all(reader) == "a\nb");
  EXPECT_EQ(reader.detected(), DetectedEncoding::kUtf16Le);
}

TEST(SourceDecoder, ReaderWithoutDecodingPassesBytesOn) {
  const std::string source = "\xEF\xBB\xBF\x88\x9F\r\n";
  for (SourceEncoding encoding : {SourceEncoding::kShiftJis, SourceEncoding::kUtf8}) {
    TextReader reader;
    reader.open_memory(source.data(), source.size());
    reader.decode_as(encoding);
    EXPECT_TRUE(read_all(reader) == "\xEF\xBB\xBF\x88\x9F\n");
  }
}

TEST(SourceDecoder, ReaderJoinsSequencesSplitAcrossBlocksFromFileAndMemory) {
  // A kanji pair, a UTF-16 surrogate pair and a CR LF each across the 64 KiB
  // block boundary of the reader.
  std::string sjis(65535, 'x');
  sjis += "\x88\x9F\r";
  std::string sjis_expected(65535, 'x');
  sjis_expected += "\xE4\xBA\x9C\r";
  std::string utf16 = "\xFF\xFE";
  for (int i = 0; i < 32766; ++i) utf16 += std::string("y\0", 2);
  utf16 += bytes("\x3D\xD8\x00\xDE\r\0\n\0", 8);
  std::string utf16_expected(32766, 'y');
  utf16_expected += "\xF0\x9F\x98\x80\n";
  const struct {
    std::string source, expected;
    DetectedEncoding detected;
  } cases[] = {{sjis, sjis_expected, DetectedEncoding::kShiftJis},
               {utf16, utf16_expected, DetectedEncoding::kUtf16Le}};
  for (const auto& c : cases) {
    TextReader memory;
    memory.open_memory(c.source.data(), c.source.size());
    memory.decode_as(SourceEncoding::kAutomatic);
    EXPECT_TRUE(read_all(memory) == c.expected);
    EXPECT_EQ(memory.detected(), c.detected);

    const std::string path = ::testing::TempDir() + "source_decoder_test.txt";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(c.source.data(), 1, c.source.size(), file);
    std::fclose(file);
    TextReader reader;
    ASSERT_TRUE(reader.open(path.c_str()));
    reader.decode_as(SourceEncoding::kAutomatic);
    char line[200000];
    std::string text;
    while (std::size_t got = reader.read_line(line, sizeof line - 1)) text.append(line, got);
    EXPECT_TRUE(text == c.expected);
    EXPECT_EQ(reader.detected(), c.detected);
    EXPECT_FALSE(reader.failed());
    reader.close();
    std::remove(path.c_str());
  }
}

// The UTF-8 of a code point, written out by hand.
std::string utf8_of(unsigned code) {
  std::string text;
  if (code < 0x800) {
    text += static_cast<char>(0xC0 | code >> 6);
  } else {
    text += static_cast<char>(0xE0 | code >> 12);
    text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
  }
  text += static_cast<char>(0x80 | (code & 0x3F));
  return text;
}

// Decodes `source` in pieces of `piece` bytes, the way a reader hands them
// on, and checks it against the decoding in one go.
std::string decoded_in_pieces(const std::string& source, std::size_t piece, DetectedEncoding& detected) {
  SourceDecoder decoder;
  std::string text;
  std::size_t at = 0;
  do {
    const std::size_t size = std::min(piece, source.size() - at);
    decoder.decode(source.data() + at, size, at + size == source.size());
    at += size;
    text.append(decoder.output());
    decoder.clear_output();
  } while (at < source.size());
  detected = decoder.detected();
  return text;
}

void expect_decoded(const std::string& source, const std::string& expected, DetectedEncoding encoding,
                    const std::string& name) {
  for (const std::size_t piece : {source.size() + 1, std::size_t{1}, std::size_t{3}, std::size_t{4096}}) {
    DetectedEncoding detected = DetectedEncoding::kAscii;
    const std::string got = decoded_in_pieces(source, piece, detected);
    EXPECT_TRUE(got == expected) << name << " in pieces of " << piece;
    EXPECT_EQ(detected, encoding) << name << " in pieces of " << piece;
  }
}

const std::string kFffd = "\xEF\xBF\xBD";

// F4 90 to F4 BF would be above U+10FFFF: no UTF-8. Undecided, the text is
// code page 932, where F4 is a lead byte of the user-defined area (row 4 of
// 188 characters from U+E000); after a UTF-8 mark, F4 and the byte after it
// are each a U+FFFD, as are the two continuation bytes. F4 8F BF BF is the
// last code point.
TEST(SourceDecoder, LeadByteF4AboveTheLastCodePoint) {
  for (unsigned second = 0x90; second <= 0xBF; ++second) {
    const std::string name = "F4 " + std::to_string(second);
    const std::string pair = {'\xF4', static_cast<char>(second)};
    expect_decoded("a" + pair + "\x80\x80", "a" + utf8_of(0xE000 + 4 * 188 + (second - 0x41)) + kFffd + kFffd,
                   DetectedEncoding::kShiftJis, name);
    expect_decoded("\xEF\xBB\xBF" + pair + "\x80\x80z", kFffd + kFffd + kFffd + kFffd + "z",
                   DetectedEncoding::kUtf8, name + " after a mark");
  }
  expect_decoded("\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF", DetectedEncoding::kUtf8, "U+10FFFF");
}

// The first non-ASCII character after 0 to 16 ASCII bytes, on either side
// of the eight-byte steps over ASCII, in every reading.
TEST(SourceDecoder, ANonAsciiCharacterAfterAnyNumberOfAsciiBytes) {
  for (std::size_t ascii = 0; ascii <= 16; ++ascii) {
    const std::string run(ascii, 'a');
    const std::string name = std::to_string(ascii) + " ASCII bytes";
    expect_decoded(run + "\xC3\xA9" + run, run + "\xC3\xA9" + run, DetectedEncoding::kUtf8, name + ", UTF-8");
    expect_decoded(run + "\x82\xA0" + run, run + "\xE3\x81\x82" + run, DetectedEncoding::kShiftJis,
                   name + ", code page 932");
    expect_decoded("\xEF\xBB\xBF" + run + "\x80" + run, run + kFffd + run, DetectedEncoding::kUtf8,
                   name + ", UTF-8 then a stray byte");
    expect_decoded("\x82\xA0" + run + "\xB1" + run, "\xE3\x81\x82" + run + "\xEF\xBD\xB1" + run,
                   DetectedEncoding::kShiftJis, name + ", code page 932 then katakana");
  }
}

// The detection window ends 1, 2 or 3 bytes into a character: a sequence it
// cuts counts as valid, so the text is UTF-8; the character is kept whole
// when the rest follows, and is one U+FFFD (the byte after it kept) when it
// does not.
TEST(SourceDecoder, TheDetectionWindowEndingInsideACharacter) {
  for (const std::string character : {"\xC3\xA9", "\xE3\x81\x82", "\xF0\x9F\x98\x80"}) {
    for (std::size_t inside = 0; inside < character.size(); ++inside) {
      const std::string name = std::to_string(character.size()) + "-byte character, window ending " +
                               std::to_string(inside) + " bytes into it";
      const std::string head = "ab\xC3\xA9" + std::string(SourceDecoder::kWindow - 2 - inside, 'x');
      const std::string whole = head + character + "yz";
      expect_decoded(whole, whole, DetectedEncoding::kUtf8, name);
      if (inside == 0) continue;
      const std::string cut = head + character.substr(0, inside) + "yz";
      expect_decoded(cut, head + kFffd + "yz", DetectedEncoding::kUtf8, name + ", cut");
    }
  }
}

}  // namespace
}  // namespace prismet
