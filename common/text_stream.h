// Buffered text-mode streams over binary files, identical on every platform.
//
// Reading: a CR LF pair arrives as one LF (also when the pair is split across
// an internal buffer boundary), a CR not followed by LF arrives unchanged, and
// the byte 0x1A ends the input. A read error ends the input; failed() then tells it.
// A source may first be decoded to UTF-8 (decode_as); the translation then
// applies to the decoded text, so a UTF-16 source reads as its UTF-8 form.
// Writing: every LF written becomes CR LF; other bytes pass unchanged.
#pragma once

#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "common/file_system.h"
#include "common/source_decoder.h"
#include "common/text_padding.h"

namespace prismet {

class TextReader {
 public:
  static constexpr int kEnd = -1;

  TextReader() = default;
  ~TextReader() { close(); }
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // Opens a file for reading. Fails for a folder or a file that cannot be
  // opened; error() then tells why. With `stamp`, it also receives the
  // opened file's stamp.
  bool open(const char* path, FileStamp* stamp = nullptr);
  // open() for a plain file only: a device, pipe or socket is not opened
  // and `not_regular` tells so (see open_regular_file_for_reading).
  bool open_regular(const char* path, bool& not_regular, FileStamp* stamp = nullptr);
  // Reads from a stream that stays open after close() (standard input).
  void attach(std::FILE* file);
  // Reads `size` bytes of memory, which must outlive the reader, as if they
  // were a file's contents.
  void open_memory(const char* data, std::size_t size);
  // How the bytes are taken, to be called after open, attach or
  // open_memory and before the first read (a later open forgets it).
  // kShiftJis and kUtf8 pass the bytes on as they are, as without a call;
  // kAutomatic decodes them to UTF-8 with a SourceDecoder.
  void decode_as(SourceEncoding encoding);
  // What the source was found to be: for kAutomatic what the decoder has
  // found so far, which the first read makes final unless the first
  // non-ASCII byte lies beyond the first 64 KiB; otherwise the encoding
  // asked for (kShiftJis when none was).
  DetectedEncoding detected() const;
  // From now on read_line, when given `before_nul`, delivers each NUL byte
  // as `replacement` (at most 3 bytes, none of them NUL or LF; empty: NULs
  // arrive as they are). A piece then ends before a NUL whose replacement
  // would not fit, and may end up to 2 bytes short of `max_bytes` where a
  // block ends. get() is not affected.
  void replace_nuls(std::string_view replacement);
  // Closes the file; true when it was open and closed cleanly.
  bool close();
  bool is_open() const { return file_ != nullptr; }

  // The next byte after translation, or kEnd.
  int get() {
    if (pos_ < end_ && static_cast<unsigned char>(*pos_) != '\r' &&
        static_cast<unsigned char>(*pos_) != 0x1A) {
      return static_cast<unsigned char>(*pos_++);
    }
    return get_slow();
  }

  // Reads bytes up to and including the next LF, but at most `max_bytes`,
  // into `buffer`, which must hold max_bytes + 1; terminates them with a NUL
  // (bytes read may themselves include NULs). Returns the number of bytes
  // stored; 0 at the end of the input. When `before_nul` is given it receives
  // how many of the stored bytes stand before the first NUL among them (all
  // of them when there is none), so that a caller needs no strlen.
  std::size_t read_line(char* buffer, std::size_t max_bytes, std::size_t* before_nul = nullptr) {
    // Most lines lie whole in the block and end before its next CR or 0x1A,
    // or at that CR when an LF follows it: one search for the LF and one
    // copy.
    if (pos_ < end_ && max_bytes > 0) {
      const char* const translated = next_translated_byte();
      const char* limit = translated;
      if (static_cast<std::size_t>(limit - pos_) > max_bytes) limit = pos_ + max_bytes;
      const char* lf = find_lf(limit);
      std::size_t line_end_bytes = 1;
      if (lf == nullptr && limit == translated && static_cast<std::size_t>(translated - pos_) < max_bytes &&
          end_ - translated >= 2 && translated[0] == '\r' && translated[1] == '\n') {
        lf = translated;  // the CR of a CR LF pair, which arrives as one LF
        line_end_bytes = 2;
      }
      if (lf != nullptr) {
        const std::size_t stored = static_cast<std::size_t>(lf - pos_) + 1;
        if (before_nul != nullptr) {
          const char* nul = next_nul();
          if (nul >= lf) {
            *before_nul = stored;
          } else {
            if (nul_replacement_size_ != 0) return read_line_slow(buffer, max_bytes, before_nul);
            *before_nul = static_cast<std::size_t>(nul - pos_);
          }
        }
        // A short line is copied with one fixed-length copy where the block
        // holds that much (the buffer holds max_bytes + 1).
        if (stored <= kShortLine && max_bytes >= kShortLine &&
            static_cast<std::size_t>(end_ - pos_) >= kShortLine) {
          std::memcpy(buffer, pos_, kShortLine);
        } else {
          std::memcpy(buffer, pos_, stored);
        }
        buffer[stored - 1] = '\n';
        buffer[stored] = '\0';
        pos_ += stored - 1 + line_end_bytes;
        return stored;
      }
    }
    return read_line_slow(buffer, max_bytes, before_nul);
  }

  bool failed() const { return failed_; }
  // The system's error number (errno) of a failed open or read; 0 if none.
  int error() const { return error_; }

 private:
  bool start(std::FILE* file, bool owned);
  int get_slow();
  bool refill();
  bool refill_decoded();
  std::size_t read_line_slow(char* buffer, std::size_t max_bytes, std::size_t* before_nul);
  const char* next_translated_byte() {
    if (translated_ == nullptr || translated_ < pos_) find_next_translated_byte();
    return translated_;
  }
  const char* next_nul() {
    if (nul_ == nullptr || nul_ < pos_) find_next_nul();
    return nul_;
  }
  void find_next_translated_byte();
  void find_next_nul();
  void forget_searches() {
    translated_ = nul_ = nullptr;
    line_ends_from_ = line_ends_to_ = pos_;
  }
  // The first LF in [pos_, limit), or nullptr; limit lies in the block.
  // WARNING: performance-critical (every line's end is found here).
  // A bit per byte of the block, made sixteen bytes at a time, instead of a
  // search call per line, and lines of up to 64 bytes (nine in ten) copied
  // with one fixed-length copy: 4% fewer mispredicted branches for 5% more
  // instructions, and 5-6% less time (bench/engine_rows.py, default and
  // full rows, 10 MB corpus).
  const char* find_lf(const char* limit) {
    const char* p = pos_;
    while (p < limit) {
      if (p < line_ends_from_ || p >= line_ends_to_) map_line_ends(p);
      const std::size_t offset = static_cast<std::size_t>(p - line_ends_from_);
      const std::size_t word = offset / 64;
      const unsigned shift = offset % 64;
      // The 64 bits from p on, across the word's end (no shift by 64).
      const std::uint64_t ahead = line_ends_[word] >> shift | (line_ends_[word + 1] << 1) << (63 - shift);
      if (ahead != 0) {
        const char* lf = p + std::countr_zero(ahead);
        return lf < limit ? lf : nullptr;
      }
      p = line_ends_to_ - p > 64 ? p + 64 : line_ends_to_;
    }
    return nullptr;
  }
  // Maps the LFs of up to kLineEndWindow bytes of the block from `from` on.
  void map_line_ends(const char* from);

  static constexpr std::size_t kBufferSize = 64 * 1024;
  static constexpr std::size_t kLineEndWindow = 16 * 1024;
  static constexpr std::size_t kShortLine = kShortLineCopyBytes;
  static_assert(kShortLine <= kBufferSize, "a block holds a short line's copy");
  std::FILE* file_ = nullptr;
  bool owns_file_ = false;
  char* buffer_ = nullptr;  // owned, unless reading memory
  bool owns_buffer_ = false;
  char* pos_ = nullptr;
  char* end_ = nullptr;
  // The first CR or 0x1A at or after pos_ in the block (end_ when there is
  // none); nullptr or behind pos_ when it must be looked for again. Cached so
  // that a line costs one search for its LF, not three searches.
  const char* translated_ = nullptr;
  // The same for the first NUL at or after pos_, searched only for callers
  // that ask where the first NUL of a line is.
  const char* nul_ = nullptr;
  // Bit i of the word i / 64 is set where line_ends_from_[i] is an LF, for
  // the bytes before line_ends_to_; the words after them hold nothing.
  const char* line_ends_from_ = nullptr;
  const char* line_ends_to_ = nullptr;
  // One word more than the window's bits, for find_lf's look across a
  // word's end, and one for the partial word map_line_ends leaves.
  std::uint64_t line_ends_[kLineEndWindow / 64 + 2];
  bool at_end_ = false;  // raw end of file, 0x1A or a read error was met
  // When decoding: pos_ and end_ lie in the decoder's output, the raw bytes
  // come from the file through buffer_ or from memory at raw_pos_.
  SourceEncoding encoding_ = SourceEncoding::kShiftJis;
  std::unique_ptr<SourceDecoder> decoder_;
  const char* raw_pos_ = nullptr;
  const char* raw_end_ = nullptr;
  bool failed_ = false;
  int error_ = 0;
  char nul_replacement_[3] = {};
  std::size_t nul_replacement_size_ = 0;
};

class TextWriter {
 public:
  TextWriter() = default;
  ~TextWriter() { close(); }
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  // Creates or empties the file and opens it for writing.
  bool open(const char* path);
  // Writes to a stream that stays open after close(), which flushes it.
  bool attach(std::FILE* file);
  // Appends everything written to `sink` instead of a file.
  void open_memory(std::string* sink);
  // Flushes and closes; true only when every write and the close succeeded.
  bool close();
  bool is_open() const { return file_ != nullptr || sink_ != nullptr; }
  // False once any write has failed.
  bool ok() const { return !failed_; }
  // The system's error number (errno) of the first failed write; 0 if none.
  int error() const { return error_; }

  void put(char byte) {
    if (byte == '\n') {
      write_raw("\r\n", 2);
    } else {
      if (pos_ == limit_ && !flush()) return;
      *pos_++ = byte;
    }
  }
  // Writes `size` bytes, translating each LF.
  void write(const char* data, std::size_t size);
  // Writes a run known to hold no LF.
  void write_raw(const char* data, std::size_t size) {
    if (static_cast<std::size_t>(limit_ - pos_) >= size) {
      std::memcpy(pos_, data, size);
      pos_ += size;
    } else {
      write_raw_slow(data, size);
    }
  }

  // The most write_short writes.
  static constexpr std::size_t kShort = kShortCopyBytes;
  // Writes `size` bytes (at most kShort) known to hold no LF, like
  // write_raw, with one copy of fixed length instead of a call: kShort bytes
  // must be readable at `data`.
  void write_short(const char* data, std::size_t size) {
    assert(size <= kShort);
    if (static_cast<std::size_t>(limit_ - pos_) >= kShort) {
      std::memcpy(pos_, data, kShort);
      pos_ += size;
    } else {
      write_raw_slow(data, size);
    }
  }

  // The most a caller may reserve at once.
  static constexpr std::size_t kMaxReserve = 64 * 1024;
  // Room for `size` (at most kMaxReserve) bytes at the write position, for a
  // caller that fills the buffer itself; flushes first when the room is not
  // there. The bytes placed there count as written raw (no LF translation)
  // once `commit` is given the end of what was placed. nullptr when nothing
  // is open or `size` is too large.
  char* reserve(std::size_t size) {
    if (static_cast<std::size_t>(limit_ - pos_) >= size && pos_ != nullptr) return pos_;
    return reserve_slow(size);
  }
  // Ends a reservation: the bytes from the reserved position to `end` are
  // written.
  void commit(char* end) {
    // A caller that wrote past its reservation wrote past the buffer.
    assert(end >= pos_ && end <= limit_);
    pos_ = end;
  }

 private:
  bool start(std::FILE* file, bool owned);
  // Empties the buffer into the file; false when nothing is open.
  bool flush();
  void fail();
  void write_raw_slow(const char* data, std::size_t size);
  char* reserve_slow(std::size_t size);

  static constexpr std::size_t kBufferSize = kMaxReserve;
  static_assert(kShort <= kBufferSize, "a short copy fits the buffer");
  std::FILE* file_ = nullptr;
  bool owns_file_ = false;
  std::string* sink_ = nullptr;
  char* buffer_ = nullptr;
  char* pos_ = nullptr;
  char* limit_ = nullptr;
  bool failed_ = false;
  int error_ = 0;
};

}  // namespace prismet
