// The bytes the fast paths may read or write past the end of a text, in one
// place. Each allowance names the copy or load that relies on it; the
// buffers that give the room check it with a static_assert where they are
// declared or allocated, and the paths that rely on it assert it in builds
// with assertions.
#pragma once

#include <cstddef>

namespace prismet {

// A line piece's text is followed by its NUL and then by this many bytes
// that may be read but mean nothing: the end of a word is looked for, and a
// word up to 16 bytes long is looked up among the keywords, with loads of
// 16 bytes that may begin at any byte up to the NUL.
inline constexpr std::size_t kPieceReadPadding = 16;

// Runs of at most this many bytes (tags, words, short runs of a line) are
// copied into the page's buffer with one copy of this fixed length: that
// many bytes must be readable at the source (the tags are stored followed by
// this many bytes; the line's buffer is checked) and writable at the
// destination (the writer checks its room).
inline constexpr std::size_t kShortCopyBytes = 32;

// A line of at most this many bytes is read into the caller's buffer with
// one copy of this fixed length when the reader's block and the buffer hold
// that much: the buffer then holds bytes past the line's NUL.
inline constexpr std::size_t kShortLineCopyBytes = 64;

// The escaper stores whole blocks of 16 bytes (8 without SSE2), and an
// entity as one store of 8 bytes, where it keeps fewer of them: each
// reservation of the page's buffer is this much larger than the escaped
// bytes can be.
inline constexpr std::size_t kEscapeStoreSlack = 16;

}  // namespace prismet
