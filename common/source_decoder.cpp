#include "common/source_decoder.h"

#include <cstdint>
#include <cstring>

#include "common/character_encoding.h"
#include "common/cp932.h"
#include "common/cp932_table.h"

namespace prismet {

namespace {

constexpr unsigned kReplacement = 0xFFFD;

void put_code_point(unsigned code, char*& out) {
  if (code < 0x80) {
    *out++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *out++ = static_cast<char>(0xC0 | code >> 6);
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out++ = static_cast<char>(0xE0 | code >> 12);
    *out++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | code >> 18);
    *out++ = static_cast<char>(0x80 | (code >> 12 & 0x3F));
    *out++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Eight bytes at a time while none has its high bit set: this and the
// valid-UTF-8 run below took the automatic mode from 63 to 51 ms on the
// benchmark's 10 MB UTF-8 corpus (its html5 rows).
bool eight_ascii_bytes(const unsigned char* from) {
  std::uint64_t word;
  std::memcpy(&word, from, sizeof word);
  return (word & 0x8080808080808080u) == 0;
}

// The end of the run of ASCII bytes that starts at `from`.
const unsigned char* ascii_run_end(const unsigned char* from, const unsigned char* end) {
  while (end - from >= 8 && eight_ascii_bytes(from)) from += 8;
  while (from < end && *from < 0x80) ++from;
  return from;
}

// The end of the run of well-formed UTF-8 that starts at `from`: it stops
// before an invalid byte and before a sequence that `end` cuts short, which
// the byte-by-byte steps then take.
const unsigned char* valid_utf8_end(const unsigned char* from, const unsigned char* end) {
  while (from < end) {
    if (end - from >= 8 && eight_ascii_bytes(from)) {
      from += 8;
    } else if (*from < 0x80) {
      ++from;
    } else {
      const std::size_t length =
          utf8_sequence_length(reinterpret_cast<const char*>(from), reinterpret_cast<const char*>(end));
      if (length == 1) return from;
      from += length;
    }
  }
  return from;
}

void copy_run(const unsigned char* from, const unsigned char* to, char*& out) {
  const std::size_t size = static_cast<std::size_t>(to - from);
  if (size == 0) return;
  std::memcpy(out, from, size);
  out += size;
}

enum class Utf8Step { kTaken, kComplete, kInvalid, kInvalidReadAgain };

// One byte of UTF-8 into `state`: kTaken while a sequence goes on, kComplete
// when `byte` ends one (or is ASCII), kInvalid when `byte` can begin nothing,
// kInvalidReadAgain when it cut the pending sequence short (the state is then
// empty and `byte` must be stepped again).
Utf8Step step_utf8(unsigned char byte, unsigned char (&pending)[4], unsigned char& count, unsigned char& need,
                   unsigned char& low, unsigned char& high) {
  if (need != 0) {
    if (byte < low || byte > high) {
      count = need = 0;
      return Utf8Step::kInvalidReadAgain;
    }
    pending[count++] = byte;
    low = 0x80;
    high = 0xBF;
    return --need == 0 ? Utf8Step::kComplete : Utf8Step::kTaken;
  }
  count = 0;
  if (byte < 0x80) return Utf8Step::kComplete;
  // The second byte's range excludes overlong forms, surrogates and code
  // points above U+10FFFF.
  if (byte >= 0xC2 && byte <= 0xDF) {
    need = 1;
  } else if (byte >= 0xE0 && byte <= 0xEF) {
    need = 2;
    if (byte == 0xE0) low = 0xA0;
    if (byte == 0xED) high = 0x9F;
  } else if (byte >= 0xF0 && byte <= 0xF4) {
    need = 3;
    if (byte == 0xF0) low = 0x90;
    if (byte == 0xF4) high = 0x8F;
  } else {
    return Utf8Step::kInvalid;
  }
  pending[count++] = byte;
  return Utf8Step::kTaken;
}

}  // namespace

char* SourceDecoder::reserve(std::size_t size) {
  const std::size_t wanted = output_size_ + size;
  if (wanted > output_capacity_) {
    std::size_t capacity = output_capacity_ < 4096 ? 4096 : output_capacity_;
    while (capacity < wanted) capacity *= 2;
    std::unique_ptr<char[]> grown(new char[capacity]);
    if (output_size_ != 0) std::memcpy(grown.get(), output_.get(), output_size_);
    output_ = std::move(grown);
    output_capacity_ = capacity;
  }
  return output_.get() + output_size_;
}

void SourceDecoder::decode(const char* data, std::size_t size, bool last) {
  // Every byte, held back or new, becomes at most three bytes of output (a
  // U+FFFD, a half-width katakana); four bytes of UTF-8 or UTF-16 become four.
  const std::size_t held = head_size_ + window_.size() + 8;
  char* out = reserve(3 * (size + held));
  char* const first = out;
  const auto* from = reinterpret_cast<const unsigned char*>(data);
  const unsigned char* end = from + size;
  switch (mode_) {
    case Mode::kStart:
      start(from, end, out);
      break;
    case Mode::kUndecided:
      undecided(from, end, out);
      break;
    case Mode::kUtf8:
      utf8(from, end, out);
      break;
    case Mode::kShiftJis:
      shift_jis(from, end, out);
      break;
    case Mode::kUtf16Le:
    case Mode::kUtf16Be:
      utf16(from, end, out);
      break;
    case Mode::kDone:
      break;
  }
  if (last) finish(out);
  output_size_ += static_cast<std::size_t>(out - first);
}

void SourceDecoder::start(const unsigned char* data, const unsigned char* end, char*& out) {
  static constexpr unsigned char kMarks[3][3] = {{0xEF, 0xBB, 0xBF}, {0xFF, 0xFE, 0}, {0xFE, 0xFF, 0}};
  static constexpr std::size_t kMarkSizes[3] = {3, 2, 2};
  while (data < end) {
    head_[head_size_++] = *data++;
    bool prefix = false;
    for (int mark = 0; mark < 3; ++mark) {
      if (head_size_ > kMarkSizes[mark] || std::memcmp(head_, kMarks[mark], head_size_) != 0) continue;
      if (head_size_ < kMarkSizes[mark]) {
        prefix = true;
        continue;
      }
      head_size_ = 0;
      if (mark == 0) {
        mode_ = Mode::kUtf8;
        detected_ = DetectedEncoding::kUtf8;
        utf8(data, end, out);
      } else {
        mode_ = mark == 1 ? Mode::kUtf16Le : Mode::kUtf16Be;
        detected_ = mark == 1 ? DetectedEncoding::kUtf16Le : DetectedEncoding::kUtf16Be;
        utf16(data, end, out);
      }
      return;
    }
    if (!prefix) {
      // No mark: the bytes looked at are the start of the text.
      mode_ = Mode::kUndecided;
      const unsigned char head[3] = {head_[0], head_[1], head_[2]};
      const std::size_t head_size = head_size_;
      head_size_ = 0;
      undecided(head, head + head_size, out);
      // The head may already have decided the encoding.
      switch (mode_) {
        case Mode::kUndecided:
          undecided(data, end, out);
          break;
        case Mode::kUtf8:
          utf8(data, end, out);
          break;
        default:
          shift_jis(data, end, out);
          break;
      }
      return;
    }
  }
}

void SourceDecoder::undecided(const unsigned char* data, const unsigned char* end, char*& out) {
  while (data < end) {
    if (window_.empty()) {
      const unsigned char* run_end = ascii_run_end(data, end);
      copy_run(data, run_end, out);
      data = run_end;
      if (data == end) return;
      window_.reserve(kWindow);
    }
    // Hold the bytes back while they go on as valid UTF-8.
    const unsigned char* taken = data;
    while (taken < end && window_.size() + static_cast<std::size_t>(taken - data) < kWindow) {
      const Utf8Step step = step_utf8(*taken, utf8_.pending, utf8_.count, utf8_.need, utf8_.low, utf8_.high);
      if (step == Utf8Step::kInvalid || step == Utf8Step::kInvalidReadAgain) {
        window_.append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(taken - data));
        decide_shift_jis(out);
        shift_jis(taken, end, out);
        return;
      }
      if (step == Utf8Step::kComplete) utf8_.count = 0;
      ++taken;
    }
    window_.append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(taken - data));
    data = taken;
    if (window_.size() == kWindow) {
      decide_utf8(out);
      utf8(data, end, out);
      return;
    }
  }
}

void SourceDecoder::decide_utf8(char*& out) {
  // The window is valid UTF-8 but for the sequence still pending at its end,
  // which the UTF-8 state carries on.
  mode_ = Mode::kUtf8;
  detected_ = DetectedEncoding::kUtf8;
  const std::size_t whole = window_.size() - utf8_.count;
  std::memcpy(out, window_.data(), whole);
  out += whole;
  std::string().swap(window_);
}

void SourceDecoder::decide_shift_jis(char*& out) {
  mode_ = Mode::kShiftJis;
  detected_ = DetectedEncoding::kShiftJis;
  utf8_ = Utf8State();
  const auto* window = reinterpret_cast<const unsigned char*>(window_.data());
  shift_jis(window, window + window_.size(), out);
  std::string().swap(window_);
}

void SourceDecoder::utf8(const unsigned char* data, const unsigned char* end, char*& out) {
  while (data < end) {
    if (utf8_.need == 0) {
      const unsigned char* run_end = valid_utf8_end(data, end);
      copy_run(data, run_end, out);
      data = run_end;
      if (data == end) return;
    }
    switch (step_utf8(*data, utf8_.pending, utf8_.count, utf8_.need, utf8_.low, utf8_.high)) {
      case Utf8Step::kTaken:
        ++data;
        break;
      case Utf8Step::kComplete:
        std::memcpy(out, utf8_.pending, utf8_.count);
        out += utf8_.count;
        utf8_.count = 0;
        ++data;
        break;
      case Utf8Step::kInvalid:
        put_code_point(kReplacement, out);
        ++data;
        break;
      case Utf8Step::kInvalidReadAgain:
        put_code_point(kReplacement, out);
        utf8_ = Utf8State();
        break;
    }
  }
}

void SourceDecoder::shift_jis(const unsigned char* data, const unsigned char* end, char*& out) {
  while (data < end) {
    if (lead_ != 0) {
      const unsigned code = decode_cp932_pair(lead_, *data);
      lead_ = 0;
      if (code != 0) {
        put_code_point(code, out);
        ++data;
        continue;
      }
      // The lead byte makes nothing with this byte, which is read anew.
      put_code_point(kReplacement, out);
    }
    const unsigned char* run_end = ascii_run_end(data, end);
    copy_run(data, run_end, out);
    data = run_end;
    if (data == end) return;
    const unsigned char byte = *data++;
    if (is_lead_byte(byte)) {
      lead_ = byte;
    } else {
      const int code = decode_cp932_single(byte);
      put_code_point(code >= 0 ? static_cast<unsigned>(code) : kReplacement, out);
    }
  }
}

void SourceDecoder::utf16(const unsigned char* data, const unsigned char* end, char*& out) {
  const bool little = mode_ == Mode::kUtf16Le;
  while (data < end) {
    if (odd_byte_ < 0) {
      odd_byte_ = *data++;
      continue;
    }
    const unsigned first = static_cast<unsigned>(odd_byte_);
    const unsigned second = *data++;
    odd_byte_ = -1;
    const unsigned unit = little ? (second << 8 | first) : (first << 8 | second);
    if (surrogate_ != 0) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        put_code_point(0x10000 + ((surrogate_ - 0xD800) << 10) + (unit - 0xDC00), out);
        surrogate_ = 0;
        continue;
      }
      put_code_point(kReplacement, out);
      surrogate_ = 0;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      surrogate_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      put_code_point(kReplacement, out);
    } else {
      put_code_point(unit, out);
    }
  }
}

void SourceDecoder::finish(char*& out) {
  if (mode_ == Mode::kStart && head_size_ != 0) {
    // Too short for a byte order mark: the bytes are text.
    mode_ = Mode::kUndecided;
    const unsigned char head[3] = {head_[0], head_[1], head_[2]};
    const std::size_t head_size = head_size_;
    head_size_ = 0;
    undecided(head, head + head_size, out);
  }
  if (mode_ == Mode::kUndecided && !window_.empty()) {
    // A sequence cut off by the end of the input is no valid UTF-8.
    if (utf8_.need != 0) {
      decide_shift_jis(out);
    } else {
      decide_utf8(out);
    }
  }
  if (utf8_.need != 0) put_code_point(kReplacement, out);
  if (lead_ != 0) put_code_point(kReplacement, out);
  if (surrogate_ != 0) put_code_point(kReplacement, out);
  if (odd_byte_ >= 0) put_code_point(kReplacement, out);
  utf8_ = Utf8State();
  lead_ = 0;
  surrogate_ = 0;
  odd_byte_ = -1;
  mode_ = Mode::kDone;
}

std::string decode_source(std::string_view bytes, DetectedEncoding* detected) {
  SourceDecoder decoder;
  std::string text;
  constexpr std::size_t kBlock = 64 * 1024;
  std::size_t at = 0;
  do {
    const std::size_t size = bytes.size() - at < kBlock ? bytes.size() - at : kBlock;
    decoder.decode(bytes.data() + at, size, at + size == bytes.size());
    at += size;
    text.append(decoder.output());
    decoder.clear_output();
  } while (at < bytes.size());
  if (detected != nullptr) *detected = decoder.detected();
  return text;
}

}  // namespace prismet
