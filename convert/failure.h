// Failures of a conversion and the lines that tell them: why a file (or a
// folder) was not converted and what was at fault, and the reasons of our own
// for what the system has no error number.
#pragma once

#include <string>

namespace prismet {

// Why a file was not converted, and what was at fault: the source itself,
// its page, an insert file or standard output.
struct FileFailure {
  enum class Culprit { kSource, kPage, kInsertFile, kStandardOutput, kPageTaken };
  Culprit culprit = Culprit::kSource;
  std::string path;              // the page or the insert file; empty otherwise
  std::string other_source;      // kPageTaken: the source the page was written for
  int error = 0;                 // the system's error number (errno)...
  const char* reason = nullptr;  // ...or, where none fits, a reason of our own
};

using Culprit = FileFailure::Culprit;

// A failure of `culprit` with the system's error number `error` (0 where a
// reason of our own is set after) at `path`.
FileFailure failure_of(Culprit culprit, int error, std::string path = std::string());

// One line that tells a failure: "SOURCE: reason", "SOURCE: page PAGE:
// reason", "SOURCE: insert file PATH: reason" or "SOURCE: standard output:
// reason", the reason being the system's text for the error number; or
// "SOURCE: page PAGE already written for OTHER".
std::string describe_failure(const char* source, const FileFailure& failure);

// Why a page of a site or an output folder was refused.
inline constexpr char kPageNameIsALink[] = "the page's name is a symbolic link";

}  // namespace prismet
