#include "common/text_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "tests/test_files.h"

namespace prismet {
namespace {

using testing::read_file;
using testing::scratch_path;
using testing::write_file;

// Everything get() delivers from a file holding `bytes`.
std::string read_all(const std::string& bytes) {
  const std::string path = scratch_path("stream-in");
  write_file(path, bytes);
  TextReader reader;
  EXPECT_TRUE(reader.open(path.c_str()));
  std::string text;
  for (int byte; (byte = reader.get()) != TextReader::kEnd;) text += static_cast<char>(byte);
  return text;
}

// The pieces read_line delivers with a limit of `max` bytes.
std::vector<std::string> read_lines(const std::string& bytes, std::size_t max) {
  const std::string path = scratch_path("stream-lines");
  write_file(path, bytes);
  TextReader reader;
  EXPECT_TRUE(reader.open(path.c_str()));
  std::vector<std::string> lines;
  std::string buffer(max + 1, '\xEE');
  while (std::size_t got = reader.read_line(buffer.data(), max)) {
    EXPECT_EQ(buffer[got], '\0');
    lines.emplace_back(buffer.data(), got);
  }
  return lines;
}

TEST(TextReader, TranslatesLikeATextModeStream) {
  struct Case {
    std::string in, out;
  } const cases[] = {
      {"a\r\nb\r\n", "a\nb\n"},
      {"a\nb", "a\nb"},
      {"a\rb", "a\rb"},        // a lone CR stays
      {"a\r\r\nb", "a\r\nb"},  // only the CR right before LF goes
      {"a\r", "a\r"},          // CR at the end of the file
      {"ab\x1A"
       "cd",
       "ab"},  // 0x1A ends the input
      {"\x1A", ""},
      {"a\r\x1A\n", "a\r"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},  // NUL is an ordinary byte here
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(read_all(c.in), c.out) << "input " << c.in;
    std::string joined;
    for (const std::string& line : read_lines(c.in, 100)) joined += line;
    EXPECT_EQ(joined, c.out) << "input " << c.in;
  }
}

TEST(TextReader, PairSplitAcrossTheInternalBufferIsOneNewline) {
  // Put the CR at every offset around the 64 KiB block boundary.
  for (std::size_t before = 65533; before <= 65537; ++before) {
    const std::string input = std::string(before, 'x') + "\r\ny\r";
    const std::string expected = std::string(before, 'x') + "\ny\r";
    EXPECT_EQ(read_all(input), expected) << before;
    const auto lines = read_lines(input, 200000);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(before, 'x') + "\n");
    EXPECT_EQ(lines[1], "y\r");
  }
}

// With a NUL replacement, read_line delivers every NUL as those bytes,
// wherever it lies (in a line, next to a CR, across a block's end), never
// cuts one, and tells that no NUL is left.
TEST(TextReader, ReadLineReplacesEveryNulWhenAsked) {
  const std::string block(65536, 'x');
  struct Case {
    std::string in;
    std::size_t max;
    std::vector<std::string> pieces;
  } const cases[] = {
      {std::string("a\0b\n\0\n", 6), 100, {"a<?>b\n", "<?>\n"}},
      {std::string("\0\r\n\r\0", 5), 100, {"<?>\n", "\r<?>"}},
      {std::string("\0\0", 2), 100, {"<?><?>"}},
      // A replacement that does not fit waits for the next piece.
      {std::string("ab\0cd\n", 6), 4, {"ab", "<?>c", "d\n"}},
      {std::string("abc\0", 4), 4, {"abc", "<?>"}},
      // The NUL first in the next block, and the block's last byte.
      {block + std::string("\0y\n", 3), 200000, {block + "<?>y\n"}},
      {block.substr(1) + std::string("\0", 1), 200000, {block.substr(1) + "<?>"}},
  };
  for (const Case& c : cases) {
    const std::string path = scratch_path("stream-nuls");
    write_file(path, c.in);
    for (const bool from_memory : {false, true}) {
      TextReader reader;
      if (from_memory)
        reader.open_memory(c.in.data(), c.in.size());
      else
        ASSERT_TRUE(reader.open(path.c_str()));
      reader.replace_nuls("<?>");
      std::vector<std::string> pieces;
      std::string buffer(c.max + 1, '\xEE');
      std::size_t before_nul = 0;
      while (std::size_t got = reader.read_line(buffer.data(), c.max, &before_nul)) {
        EXPECT_EQ(before_nul, got);
        EXPECT_EQ(buffer[got], '\0');
        pieces.emplace_back(buffer.data(), got);
      }
      EXPECT_EQ(pieces, c.pieces) << c.in.size() << (from_memory ? " bytes from memory" : " bytes");
    }
  }
}

TEST(TextReader, ReadLineStopsAfterNewlineOrAtTheLimit) {
  EXPECT_EQ(read_lines("abcdefg\nhi\n", 3), (std::vector<std::string>{"abc", "def", "g\n", "hi\n"}));
  EXPECT_EQ(read_lines("ab\r\ncd", 3), (std::vector<std::string>{"ab\n", "cd"}));
  // The translated pair counts as one byte against the limit.
  EXPECT_EQ(read_lines("abc\r\nd", 3), (std::vector<std::string>{"abc", "\n", "d"}));
}

// Pseudo-random text over several internal blocks, dense in the bytes the
// reader translates: whole lines, pieces cut at the limit and single bytes
// from get(), mixed, must deliver exactly what get() alone delivers, and
// read_line must tell where the first NUL of what it stored is.
TEST(TextReader, ReadLineAndGetAgreeOnRandomText) {
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  const char alphabet[] = {'a', 'b', '\r', '\n', '\xEE', '\0'};
  for (int round = 0; round < 8; ++round) {
    std::string input(150000 + next() % 50000, 'x');
    // Dense NULs in the first rounds, a few far apart in the others (the
    // reader remembers where the next one in its block is).
    const std::size_t letters = round < 4 ? sizeof alphabet : sizeof alphabet - 2;
    for (char& c : input) c = alphabet[next() % letters];
    if (round >= 4) {
      for (int k = 0; k < 5; ++k) input[next() % input.size()] = '\0';
    }
    if (round % 2 == 1) input[input.size() - 1 - next() % 70000] = '\x1A';
    const std::string expected = read_all(input);
    for (const std::size_t max : {std::size_t{1}, std::size_t{5}, std::size_t{100}, std::size_t{40000}}) {
      SCOPED_TRACE("round " + std::to_string(round) + ", limit " + std::to_string(max));
      const std::string path = scratch_path("stream-mixed");
      write_file(path, input);
      TextReader reader;
      ASSERT_TRUE(reader.open(path.c_str()));
      std::string text, buffer(max + 1, '\0');
      for (int call = 0;; ++call) {
        if (call % 3 == 2) {
          const int byte = reader.get();
          if (byte == TextReader::kEnd) break;
          text += static_cast<char>(byte);
          continue;
        }
        std::size_t before_nul = max + 1;
        const std::size_t got = reader.read_line(buffer.data(), max, call % 3 == 0 ? &before_nul : nullptr);
        if (got == 0) break;
        ASSERT_LE(got, max);
        if (call % 3 == 0) {
          ASSERT_EQ(before_nul, std::min(got, std::string_view(buffer.data(), got).find('\0')));
        }
        // A piece ends at its newline or at the limit, or is the last one.
        const std::size_t newline = std::string_view(buffer.data(), got).find('\n');
        ASSERT_TRUE(newline == std::string::npos || newline == got - 1);
        text.append(buffer.data(), got);
      }
      EXPECT_TRUE(text == expected);
    }
  }
}

// Lines of every length up to a few hundred bytes, with LFs at every
// place a 64-byte word, the 16 KiB line-end window and the 64 KiB block
// put them, read from a file, from memory (which ends without any bytes to
// spare after it) and through the decoder, ending in LF and in CR LF: each
// piece is what cutting the text (CR LF as LF) after each LF, and at the
// limit, gives.
TEST(TextReader, LineEndsAtEveryOffsetOfWordsWindowsAndBlocks) {
  std::uint32_t seed = 777;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
  std::string text, crlf_text;
  for (std::size_t length = 0; text.size() < 300000; length = (length + 1) % 300) {
    const std::size_t l = next() % 4 == 0 ? next() % 70 : length;
    std::string line;
    for (std::size_t i = 0; i < l; ++i) line += static_cast<char>('a' + next() % 26);
    text += line + "\n";
    crlf_text += line + "\r\n";
  }
  text += "no newline at the end";
  crlf_text += "no newline at the end";
  for (const std::size_t max : {std::size_t{63}, std::size_t{64}, std::size_t{65}, std::size_t{32766}}) {
    std::vector<std::string> expected;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t lf = text.find('\n', at);
      const std::size_t line_end = lf == std::string::npos ? text.size() : lf + 1;
      const std::size_t piece_end = std::min(line_end, at + max);
      expected.push_back(text.substr(at, piece_end - at));
      at = piece_end;
    }
    for (int source = 0; source < 6; ++source) {
      SCOPED_TRACE("limit " + std::to_string(max) + ", source " + std::to_string(source));
      const std::string& input = source < 3 ? text : crlf_text;
      const std::string path = scratch_path("stream-line-ends");
      if (source % 3 == 0) write_file(path, input);
      TextReader reader;
      if (source % 3 == 0) {
        ASSERT_TRUE(reader.open(path.c_str()));
      } else {
        reader.open_memory(input.data(), input.size());
        if (source % 3 == 2) reader.decode_as(SourceEncoding::kAutomatic);
      }
      std::vector<std::string> lines;
      std::string buffer(max + 1, '\xEE');
      while (std::size_t got = reader.read_line(buffer.data(), max)) {
        ASSERT_EQ(buffer[got], '\0');
        lines.emplace_back(buffer.data(), got);
      }
      EXPECT_TRUE(lines == expected) << lines.size() << " pieces, " << expected.size() << " expected";
    }
  }
}

TEST(TextReader, OpenFailsForMissingFilesAndFolders) {
  TextReader reader;
  EXPECT_FALSE(reader.open(scratch_path("no-such-file").c_str()));
  EXPECT_FALSE(reader.open(scratch_path("").c_str()));  // the scratch folder itself
  EXPECT_EQ(reader.get(), TextReader::kEnd);
  char buffer[4];
  EXPECT_EQ(reader.read_line(buffer, 3), 0u);
}

TEST(TextWriter, EveryLineFeedBecomesCrLf) {
  const std::string path = scratch_path("stream-out");
  TextWriter writer;
  ASSERT_TRUE(writer.open(path.c_str()));
  writer.write("a\nb\r", 4);
  writer.put('\n');
  writer.put('c');
  const std::string big(100000, 'z');  // larger than the internal buffer
  writer.write(big.data(), big.size());
  writer.write_raw("\r\n", 2);
  EXPECT_TRUE(writer.close());
  EXPECT_EQ(read_file(path), "a\r\nb\r\r\nc" + big + "\r\n");
}

// The ways of writing into the buffer directly (short copies that copy more
// than they keep, reservations) write what write_raw writes, also where the
// buffer is flushed in between, and each keeps what the others wrote.
TEST(TextWriter, ShortCopiesAndReservationsAcrossFlushes) {
  std::string sink, expected;
  TextWriter writer;
  writer.open_memory(&sink);
  std::string source(TextWriter::kShort * 2, '\0');
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<char>('a' + i % 26);
  for (int round = 0; round < 20000; ++round) {
    const std::size_t size = static_cast<std::size_t>(round) % (TextWriter::kShort + 1);
    writer.write_short(source.data() + round % TextWriter::kShort, size);
    expected.append(source, static_cast<std::size_t>(round) % TextWriter::kShort, size);
    if (round % 7 == 0) {
      char* o = writer.reserve(3 + static_cast<std::size_t>(round) % 5);
      ASSERT_NE(o, nullptr);
      o[0] = '<';
      o[1] = '>';
      writer.commit(o + 2);
      expected += "<>";
    }
  }
  EXPECT_EQ(writer.reserve(TextWriter::kMaxReserve + 1), nullptr);
  EXPECT_TRUE(writer.close());
  EXPECT_TRUE(sink == expected);
}

TEST(TextWriter, WritesToAClosedWriterFailWithoutHarm) {
  TextWriter writer;
  writer.put('a');
  writer.write("b\n", 2);
  EXPECT_FALSE(writer.ok());
  EXPECT_FALSE(writer.close());
  EXPECT_FALSE(writer.open(scratch_path("missing-folder/out").c_str()));
}

// Pages from one line to many buffers, written through every entry point
// with LFs in between: the file holds exactly the bytes the test builds by
// hand, with CR LF spelled out.
TEST(TextWriter, LargePagesKeepEveryByteInOrder) {
  struct Case {
    std::size_t lines;
    bool attach;
  } const cases[] = {
      {1, false}, {10000, false}, {16384, false}, {16385, false}, {100000, false}, {100000, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.lines) + " lines" + (c.attach ? ", attached" : ""));
    const std::string path = scratch_path("stream-large");
    std::string expected;
    {
      std::FILE* attached = c.attach ? std::fopen(path.c_str(), "wb") : nullptr;
      TextWriter writer;
      ASSERT_TRUE(c.attach ? writer.attach(attached) : writer.open(path.c_str()));
      // 64 bytes a line: a number, a short copy, a reservation, a newline.
      for (std::size_t line = 0; line < c.lines; ++line) {
        char number[24];
        std::snprintf(number, sizeof number, "%08zu", line);
        writer.write(number, 8);
        expected.append(number, 8);
        const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        writer.write_short(letters + line % 10, 22);
        expected.append(letters + line % 10, 22);
        char* room = writer.reserve(32);
        ASSERT_NE(room, nullptr);
        std::memset(room, static_cast<int>('a' + line % 26), 32);
        writer.commit(room + 32);
        expected.append(32, static_cast<char>('a' + line % 26));
        writer.put('\n');
        expected += "\r\n";
      }
      EXPECT_TRUE(writer.ok());
      EXPECT_TRUE(writer.close());
      if (attached != nullptr) std::fclose(attached);
    }
    const std::string written = read_file(path);
    ASSERT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
  }
}

TEST(TextWriter, CloseWithoutWritingLeavesAnEmptyFile) {
  const std::string path = scratch_path("stream-empty");
  write_file(path, "old");
  TextWriter writer;
  ASSERT_TRUE(writer.open(path.c_str()));
  EXPECT_TRUE(writer.close());
  EXPECT_FALSE(writer.close());  // once only
  EXPECT_EQ(read_file(path), "");
}

}  // namespace
}  // namespace prismet
