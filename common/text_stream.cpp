#include "common/text_stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "common/file_system.h"
#include "common/simd.h"

namespace prismet {

namespace {
constexpr unsigned char kEndOfText = 0x1A;

// Bit i set where at[i] is an LF, for the 64 bytes at `at`.
#if PRISMET_SSE2
[[gnu::always_inline]] inline std::uint64_t line_feed_bits(const char* at) {
  const __m128i lf = _mm_set1_epi8('\n');
  std::uint64_t bits = 0;
  for (int i = 0; i < 4; ++i) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * i));
    bits |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lf))))
            << (16 * i);
  }
  return bits;
}
#else
[[gnu::always_inline]] inline std::uint64_t line_feed_bits(const char* at) {
  std::uint64_t bits = 0;
  for (int i = 0; i < 64; ++i) bits |= std::uint64_t{at[i] == '\n'} << i;
  return bits;
}
#endif

// The first `byte` in [from, to), or `to` when there is none.
const char* find_byte(const char* from, const char* to, unsigned char byte) {
  if (from >= to) return to;
  const void* hit = std::memchr(from, byte, static_cast<std::size_t>(to - from));
  return hit != nullptr ? static_cast<const char*>(hit) : to;
}

}  // namespace

bool TextReader::open(const char* path, FileStamp* stamp) {
  close();
  errno = 0;
  std::FILE* file = open_file_for_reading(path, stamp);
  if (file == nullptr) {
    error_ = errno != 0 ? errno : ENOENT;
    return false;
  }
  return start(file, true);
}

bool TextReader::open_regular(const char* path, bool& not_regular, FileStamp* stamp) {
  close();
  errno = 0;
  std::FILE* file = open_regular_file_for_reading(path, not_regular, stamp);
  if (file == nullptr) {
    error_ = errno != 0 ? errno : ENOENT;
    return false;
  }
  return start(file, true);
}

void TextReader::attach(std::FILE* file) {
  close();
  start(file, false);
}

bool TextReader::start(std::FILE* file, bool owned) {
  file_ = file;
  owns_file_ = owned;
  error_ = 0;
  buffer_ = new (std::nothrow) char[kBufferSize];
  if (buffer_ == nullptr) {
    close();
    error_ = ENOMEM;
    return false;
  }
  owns_buffer_ = true;
  pos_ = end_ = buffer_;
  forget_searches();
  at_end_ = failed_ = false;
  return true;
}

void TextReader::open_memory(const char* data, std::size_t size) {
  close();
  // The bytes are only read; the pointers are not const because the same
  // members serve the file buffer.
  buffer_ = pos_ = const_cast<char*>(data);
  end_ = pos_ + size;
  forget_searches();
  at_end_ = true;  // nothing to refill from
  failed_ = false;
  error_ = 0;
}

void TextReader::decode_as(SourceEncoding encoding) {
  encoding_ = encoding;
  if (encoding != SourceEncoding::kAutomatic || decoder_ != nullptr) return;
  decoder_ = std::make_unique<SourceDecoder>();
  if (file_ == nullptr) {
    // Memory: its bytes become the raw input, read a block at a time.
    raw_pos_ = pos_;
    raw_end_ = end_;
    at_end_ = false;
  }
  pos_ = end_ = nullptr;
  forget_searches();
}

void TextReader::replace_nuls(std::string_view replacement) {
  nul_replacement_size_ =
      replacement.size() < sizeof nul_replacement_ ? replacement.size() : sizeof nul_replacement_;
  if (nul_replacement_size_ != 0) std::memcpy(nul_replacement_, replacement.data(), nul_replacement_size_);
}

DetectedEncoding TextReader::detected() const {
  if (decoder_ != nullptr) return decoder_->detected();
  return encoding_ == SourceEncoding::kUtf8 ? DetectedEncoding::kUtf8 : DetectedEncoding::kShiftJis;
}

bool TextReader::close() {
  bool ok = false;
  if (file_ != nullptr) ok = !owns_file_ || std::fclose(file_) == 0;
  file_ = nullptr;
  owns_file_ = false;
  if (owns_buffer_) delete[] buffer_;
  owns_buffer_ = false;
  buffer_ = pos_ = end_ = nullptr;
  forget_searches();
  encoding_ = SourceEncoding::kShiftJis;
  nul_replacement_size_ = 0;
  decoder_.reset();
  raw_pos_ = raw_end_ = nullptr;
  return ok;
}

bool TextReader::refill() {
  if (decoder_ != nullptr) return refill_decoded();
  if (at_end_ || file_ == nullptr) return false;
  std::size_t got = 0;
  const bool read = read_block(file_, buffer_, kBufferSize, got);
  pos_ = buffer_;
  end_ = buffer_ + got;
  forget_searches();
  // A read stops short only at the end of the input or at an error: either
  // way nothing follows this block, and asking again would cost a call.
  if (!read) {
    failed_ = true;
    error_ = errno != 0 ? errno : EIO;
  }
  if (got < kBufferSize) at_end_ = true;
  return got != 0;
}

bool TextReader::refill_decoded() {
  if (at_end_) return false;
  decoder_->clear_output();
  // Raw blocks go in until some text comes out; while the decoder holds
  // bytes back to decide the encoding they go on, so that the first read
  // decides it (at most kWindow bytes more).
  bool last = false;
  do {
    const char* raw = buffer_;
    std::size_t got = 0;
    if (file_ != nullptr) {
      const bool read = read_block(file_, buffer_, kBufferSize, got);
      if (!read) {
        failed_ = true;
        error_ = errno != 0 ? errno : EIO;
      }
      last = got < kBufferSize;
    } else {
      raw = raw_pos_;
      got = static_cast<std::size_t>(raw_end_ - raw_pos_);
      if (got > kBufferSize) got = kBufferSize;
      raw_pos_ += got;
      last = raw_pos_ == raw_end_;
    }
    decoder_->decode(raw, got, last);
  } while (!last && (decoder_->output().empty() || decoder_->deciding()));
  if (last) at_end_ = true;
  const std::string_view text = decoder_->output();
  // The reader only reads these bytes; the members are not const because
  // they serve the file buffer too.
  pos_ = const_cast<char*>(text.data());
  end_ = pos_ + text.size();
  forget_searches();
  return !text.empty();
}

int TextReader::get_slow() {
  if (pos_ == end_ && !refill()) return kEnd;
  const unsigned char byte = static_cast<unsigned char>(*pos_);
  if (byte == kEndOfText) {
    at_end_ = true;
    pos_ = end_;
    return kEnd;
  }
  if (byte != '\r') {
    ++pos_;
    return byte;
  }
  ++pos_;
  // A CR: look at the byte after it, which may lie in the next block.
  if (pos_ == end_ && !refill()) return '\r';
  if (*pos_ == '\n') {
    ++pos_;
    return '\n';
  }
  return '\r';
}

void TextReader::find_next_translated_byte() {
  translated_ = find_byte(pos_, find_byte(pos_, end_, '\r'), kEndOfText);
}

void TextReader::find_next_nul() { nul_ = find_byte(pos_, end_, '\0'); }

void TextReader::map_line_ends(const char* from) {
  const std::size_t size = std::min(static_cast<std::size_t>(end_ - from), kLineEndWindow);
  line_ends_from_ = from;
  line_ends_to_ = from + size;
  std::size_t word = 0;
  for (; word * 64 + 64 <= size; ++word) {
    const char* at = from + word * 64;
    line_ends_[word] = line_feed_bits(at);
  }
  // The last, partial word, and a word of nothing after it for find_lf's
  // look across a word's end.
  std::uint64_t bits = 0;
  for (std::size_t i = word * 64; i < size; ++i) bits |= std::uint64_t{from[i] == '\n'} << (i - word * 64);
  line_ends_[word] = bits;
  line_ends_[word + 1] = 0;
}

std::size_t TextReader::read_line_slow(char* buffer, std::size_t max_bytes, std::size_t* before_nul) {
  std::size_t stored = 0;
  bool nul_seen = before_nul == nullptr;  // nothing to look for
  const bool replacing = before_nul != nullptr && nul_replacement_size_ != 0;
  while (stored < max_bytes) {
    // Copy the run of ordinary bytes straight from the block: it ends at the
    // first LF, CR or 0x1A (and NUL, when NULs are replaced).
    const char* run = pos_;
    const char* run_end = next_translated_byte();
    if (static_cast<std::size_t>(run_end - run) > max_bytes - stored) run_end = run + (max_bytes - stored);
    const char* p = find_byte(run, run_end, '\n');
    const bool at_nul = replacing && next_nul() < p;
    if (at_nul) p = nul_;
    const std::size_t length = static_cast<std::size_t>(p - run);
    if (!nul_seen && !replacing && length > 0 && next_nul() < p) {
      *before_nul = stored + static_cast<std::size_t>(nul_ - run);
      nul_seen = true;
    }
    if (length > 0) std::memcpy(buffer + stored, run, length);
    stored += length;
    pos_ = const_cast<char*>(p);
    if (at_nul) {
      // The NUL stays for the next piece when its replacement does not fit.
      if (max_bytes - stored < nul_replacement_size_) break;
      std::memcpy(buffer + stored, nul_replacement_, nul_replacement_size_);
      stored += nul_replacement_size_;
      ++pos_;
      continue;
    }
    if (stored == max_bytes) break;
    if (p < run_end && *p == '\n') {
      ++pos_;
      buffer[stored++] = '\n';
      break;
    }
    // A CR, 0x1A or the end of the block: one translated byte the slow way,
    // once there is room for what it may become.
    if (replacing && max_bytes - stored < nul_replacement_size_) break;
    const int byte = get_slow();
    if (byte == kEnd) break;
    if (byte == 0 && replacing) {
      std::memcpy(buffer + stored, nul_replacement_, nul_replacement_size_);
      stored += nul_replacement_size_;
      continue;
    }
    if (byte == 0 && !nul_seen) {
      *before_nul = stored;
      nul_seen = true;
    }
    buffer[stored++] = static_cast<char>(byte);
    if (byte == '\n') break;
  }
  buffer[stored] = '\0';
  if (!nul_seen) *before_nul = stored;
  return stored;
}

bool TextWriter::open(const char* path) {
  close();
  errno = 0;
  std::FILE* file = open_file_for_writing(path);
  if (file == nullptr) {
    error_ = errno != 0 ? errno : EIO;
    return false;
  }
  return start(file, true);
}

bool TextWriter::attach(std::FILE* file) {
  close();
  return start(file, false);
}

bool TextWriter::start(std::FILE* file, bool owned) {
  error_ = 0;
  buffer_ = new (std::nothrow) char[kBufferSize];
  if (buffer_ == nullptr) {
    if (owned) std::fclose(file);
    error_ = ENOMEM;
    return false;
  }
  file_ = file;
  owns_file_ = owned;
  pos_ = buffer_;
  limit_ = buffer_ + kBufferSize;
  failed_ = false;
  return true;
}

void TextWriter::fail() {
  if (!failed_) error_ = errno != 0 ? errno : EIO;
  failed_ = true;
}

void TextWriter::open_memory(std::string* sink) {
  close();
  buffer_ = new (std::nothrow) char[kBufferSize];
  if (buffer_ == nullptr) return;
  sink_ = sink;
  pos_ = buffer_;
  limit_ = buffer_ + kBufferSize;
  failed_ = false;
  error_ = 0;
}

bool TextWriter::close() {
  if (!is_open()) return false;
  flush();
  if (file_ != nullptr) {
    errno = 0;
    if ((owns_file_ ? std::fclose(file_) : std::fflush(file_)) != 0) fail();
  }
  file_ = nullptr;
  owns_file_ = false;
  sink_ = nullptr;
  delete[] buffer_;
  buffer_ = pos_ = limit_ = nullptr;
  return !failed_;
}

bool TextWriter::flush() {
  if (!is_open()) {
    errno = EBADF;
    fail();
    return false;
  }
  const std::size_t size = static_cast<std::size_t>(pos_ - buffer_);
  if (sink_ != nullptr) {
    sink_->append(buffer_, size);
  } else if (size != 0 && !failed_) {
    errno = 0;
    if (std::fwrite(buffer_, 1, size, file_) != size) fail();
  }
  pos_ = buffer_;
  return true;
}

void TextWriter::write_raw_slow(const char* data, std::size_t size) {
  while (size > 0) {
    if (pos_ == limit_ && !flush()) return;
    std::size_t chunk = static_cast<std::size_t>(limit_ - pos_);
    if (chunk > size) chunk = size;
    std::memcpy(pos_, data, chunk);
    pos_ += chunk;
    data += chunk;
    size -= chunk;
  }
}

char* TextWriter::reserve_slow(std::size_t size) {
  if (size > kBufferSize || !flush()) return nullptr;
  return pos_;
}

void TextWriter::write(const char* data, std::size_t size) {
  while (size > 0) {
    const char* lf = static_cast<const char*>(std::memchr(data, '\n', size));
    if (lf == nullptr) {
      write_raw(data, size);
      return;
    }
    const std::size_t run = static_cast<std::size_t>(lf - data);
    write_raw(data, run);
    write_raw("\r\n", 2);
    data += run + 1;
    size -= run + 1;
  }
}

}  // namespace prismet
