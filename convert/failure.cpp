#include "convert/failure.h"

#include <cstring>
#include <string>

namespace prismet {

FileFailure failure_of(Culprit culprit, int error, std::string path) {
  FileFailure failure;
  failure.culprit = culprit;
  failure.path = std::move(path);
  failure.error = error;
  return failure;
}

std::string describe_failure(const char* source, const FileFailure& failure) {
  std::string line = source;
  switch (failure.culprit) {
    case Culprit::kSource:
      break;
    case Culprit::kPage:
      line += ": page " + failure.path;
      break;
    case Culprit::kInsertFile:
      line += ": insert file " + failure.path;
      break;
    case Culprit::kStandardOutput:
      line += ": standard output";
      break;
    case Culprit::kPageTaken:
      return line + ": page " + failure.path + " already written for " + failure.other_source;
  }
  line += ": ";
  line += failure.reason != nullptr ? failure.reason : std::strerror(failure.error);
  return line;
}

}  // namespace prismet
