// What the two baselines share: the command line (one file to one output,
// or many files each to its page beside it, named as prismet names pages)
// and the loop over the files, so that a baseline over a tree pays the same
// per-file costs of the file system as prismet in one process.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

namespace bench {

// The page of `source`: its extension (after the last '.' of its name)
// replaced by ".htm", or ".htm" added when it has none.
inline std::string page_path(const std::string& source) {
  const std::size_t name = source.find_last_of('/') + 1;  // npos + 1 == 0
  const std::size_t dot = source.find_last_of('.');
  const std::size_t stem = dot != std::string::npos && dot >= name ? dot : source.size();
  return source.substr(0, stem) + ".htm";
}

// Runs `convert(in, out)` on the files of the command line:
//   NAME IN OUT              one file
//   NAME --each FILE...      every file to its page beside it
//   NAME --replace FILE...   the same through a new file renamed over the
//                            page, the least a page that is never lost needs
// Returns the process's exit status: 0 when every file was converted.
template <class Convert>
int run_baseline(int argc, char** argv, Convert convert) {
  auto one = [&](const char* in_path, const std::string& out_path) {
    std::FILE* in = std::fopen(in_path, "rb");
    if (in == nullptr) return false;
    std::FILE* out = std::fopen(out_path.c_str(), "wb");
    if (out == nullptr) {
      std::fclose(in);
      return false;
    }
    convert(in, out);
    std::fclose(in);
    return std::fclose(out) == 0;
  };
  const bool replace = argc >= 2 && std::strcmp(argv[1], "--replace") == 0;
  if (argc == 3 && std::strcmp(argv[1], "--each") != 0 && !replace) return one(argv[1], argv[2]) ? 0 : 1;
  if (argc < 2 || (std::strcmp(argv[1], "--each") != 0 && !replace)) return 2;
  int status = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string page = replace ? std::string(argv[i]) + ".htm" : page_path(argv[i]);
    if (!replace) {
      if (!one(argv[i], page)) status = 1;
      continue;
    }
    const std::string fresh = page + ".new";
    if (!one(argv[i], fresh) || std::rename(fresh.c_str(), page.c_str()) != 0) status = 1;
  }
  return status;
}

}  // namespace bench
