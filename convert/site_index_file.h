// A folder's index file on disk: reading what an existing index records,
// and writing an index in one piece through a replacement.
#pragma once

#include <string>

#include "convert/site_index.h"

namespace prismet {

// What a folder's existing index holds.
struct PreviousIndex {
  std::string bytes;        // the whole index, when ours and not too large
  PageRecords records;      // its pages' records
  bool in_the_way = false;  // an index.html this program did not make
};

// Reads the index at `path`: anyone else's file is not read further than
// its head, however large it is; ours is kept whole unless larger than
// kMaxIndexSize (then made anew, without records).
void read_previous_index(const std::string& path, PreviousIndex& previous);

// Writes `bytes` as the index at `path`, replacing it only when complete and
// never through a symbolic link. False, with `error` set, when it could not.
bool write_index_file(const std::string& path, const std::string& bytes, int& error);

}  // namespace prismet
