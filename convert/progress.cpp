#include "convert/progress.h"

#include <cstdio>
#include <string>

namespace prismet {

std::string tree_summary_text(const TreeSummary& summary) {
  char text[160];
  std::snprintf(text, sizeof text, "converted %llu file%s, %.1f MB, in %.1f s",
                static_cast<unsigned long long>(summary.converted), summary.converted == 1 ? "" : "s",
                static_cast<double>(summary.bytes) / 1e6, summary.seconds);
  std::string line = text;
  if (summary.unchanged > 0) line += "; " + std::to_string(summary.unchanged) + " unchanged";
  if (summary.failed > 0) line += "; " + std::to_string(summary.failed) + " not converted";
  if (summary.skipped > 0) line += "; " + std::to_string(summary.skipped) + " skipped: " + kSkippedReason;
  return line;
}

}  // namespace prismet
