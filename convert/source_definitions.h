// The definitions of one source, found as its page would be scanned: the
// settings' encoding and vocabulary and the engine's scanner, so that what
// the page colours as a comment or a literal defines nothing. Streaming:
// memory is bounded by a line piece, not by the file.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "convert/failure.h"
#include "engine/definition.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

// One per thread; its buffers serve every source it reads.
class SourceDefinitions {
 public:
  SourceDefinitions(const Settings& settings, const Vocabulary& vocabulary);
  ~SourceDefinitions();
  SourceDefinitions(const SourceDefinitions&) = delete;
  SourceDefinitions& operator=(const SourceDefinitions&) = delete;

  // Appends the definitions and declarations of the source at
  // `source_path` to `out`, in the order of their lines. False when the
  // source cannot be read: `failure` says why, as its page's would, and
  // nothing is appended.
  bool find(const char* source_path, std::vector<Definition>& out, std::optional<FileFailure>& failure);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace prismet
