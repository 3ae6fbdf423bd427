// Turning a source file of unknown encoding into UTF-8, as a stream.
//
// The encoding is found from the bytes themselves:
// - a UTF-8 byte order mark: UTF-8, the mark itself dropped;
// - a UTF-16 little- or big-endian byte order mark: UTF-16, the mark dropped;
// - otherwise the bytes from the first non-ASCII byte on are held back, up to
//   kWindow of them: when they are valid UTF-8 as far as they go (a sequence
//   cut off by the window's end counts as valid), UTF-8; when an invalid
//   sequence turns up among them, or the input ends inside a sequence, code
//   page 932 (Shift_JIS, as Windows maps it);
// - no non-ASCII byte at all: ASCII, passed on as it is.
// What cannot be decoded becomes U+FFFD and nothing is dropped:
// - UTF-8: each maximal part of an ill-formed sequence (a stray continuation
//   byte, a sequence cut short, an overlong or surrogate form) is one U+FFFD,
//   and the byte that cut a sequence short is read anew;
// - UTF-16: an unpaired surrogate is one U+FFFD, and so is an odd last byte;
// - code page 932: 0x80, 0xA0 and 0xFD-0xFF are each one U+FFFD; a lead byte
//   that does not make a character with the byte after it (an unassigned
//   pair, a second byte out of range, the end of the input) is one U+FFFD and
//   the byte after it is read anew, so a line feed or letter after it stays.
//   The user-defined area 0xF040-0xF9FC becomes U+E000-U+E757, as on Windows.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "common/source_encoding.h"

namespace prismet {

// SourceEncoding (source_encoding.h) tells how a source's bytes are taken:
// as code page 932 or UTF-8 (both passed on as they are), or decoded to
// UTF-8 from what SourceDecoder finds.

enum class DetectedEncoding { kAscii, kUtf8, kShiftJis, kUtf16Le, kUtf16Be };

class SourceDecoder {
 public:
  // The most bytes held back to tell UTF-8 from code page 932.
  static constexpr std::size_t kWindow = 64 * 1024;

  SourceDecoder() = default;
  SourceDecoder(const SourceDecoder&) = delete;
  SourceDecoder& operator=(const SourceDecoder&) = delete;

  // Decodes the next `size` bytes of the source, the last ones when `last`,
  // and adds the UTF-8 to output(). Bytes that may still belong to a
  // character or to the detection window are held back until a later call
  // or the last one. Costs are linear; memory stays within a few times
  // kWindow plus `size`.
  void decode(const char* data, std::size_t size, bool last);
  // The UTF-8 gathered since the last clear_output(); valid until the next
  // call of decode() or clear_output().
  std::string_view output() const { return {output_.get(), output_size_}; }
  void clear_output() { output_size_ = 0; }

  // What the bytes were found to be so far: kAscii until a byte order mark
  // or the first non-ASCII byte is met and the window decides.
  DetectedEncoding detected() const { return detected_; }
  // True while bytes are held back in the window, undecided.
  bool deciding() const { return mode_ == Mode::kUndecided && !window_.empty(); }

 private:
  enum class Mode { kStart, kUndecided, kUtf8, kShiftJis, kUtf16Le, kUtf16Be, kDone };

  // The state of a UTF-8 sequence being read.
  struct Utf8State {
    unsigned char pending[4];
    unsigned char count = 0;                // bytes in pending
    unsigned char need = 0;                 // continuation bytes still to come
    unsigned char low = 0x80, high = 0xBF;  // the range of the next one
  };

  char* reserve(std::size_t size);
  void start(const unsigned char* data, const unsigned char* end, char*& out);
  void undecided(const unsigned char* data, const unsigned char* end, char*& out);
  void decide_utf8(char*& out);
  void decide_shift_jis(char*& out);
  void utf8(const unsigned char* data, const unsigned char* end, char*& out);
  void shift_jis(const unsigned char* data, const unsigned char* end, char*& out);
  void utf16(const unsigned char* data, const unsigned char* end, char*& out);
  void finish(char*& out);

  Mode mode_ = Mode::kStart;
  DetectedEncoding detected_ = DetectedEncoding::kAscii;
  unsigned char head_[3];  // the bytes of what may be a byte order mark
  std::size_t head_size_ = 0;
  std::string window_;  // undecided bytes from the first non-ASCII one on
  Utf8State utf8_;
  unsigned char lead_ = 0;  // a code page 932 lead byte waiting for its pair
  int odd_byte_ = -1;       // a UTF-16 byte waiting for its partner
  unsigned surrogate_ = 0;  // a UTF-16 high surrogate waiting for its low one
  std::unique_ptr<char[]> output_;
  std::size_t output_size_ = 0;
  std::size_t output_capacity_ = 0;
};

// For tests and the fuzz targets only: the UTF-8 form of a whole source held
// in memory; `detected`, when given, receives what was found.
std::string decode_source(std::string_view bytes, DetectedEncoding* detected = nullptr);

}  // namespace prismet
