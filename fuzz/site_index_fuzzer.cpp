// Fuzzes the reading of a tree index's records with arbitrary file contents.
// Checks that
// - any bytes are read without a fault, and bytes that are no index of ours
//   give no records;
// - records read back from an index written with them are the same records:
//   what a later run reads is what this one wrote.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "convert/site_index.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  prismet::PageRecords records;
  const bool ours = prismet::read_index_records(bytes, records);
  if (!ours && !records.empty()) std::abort();

  // The records as pages of an index (their keys are URLs: any bytes make a
  // name), written and read again.
  prismet::FolderIndex index;
  index.site_path = "/";
  for (const auto& [url, record] : records) index.pages.push_back({url, url, record});
  prismet::PageRecords again;
  if (!prismet::read_index_records(prismet::render_index(index), again)) std::abort();
  if (again.size() != records.size() && again.size() > records.size()) std::abort();
  for (const auto& [url, record] : records) {
    const auto found = again.find(prismet::url_of_name(url));
    if (found == again.end() || !(found->second == record)) std::abort();
  }
  return 0;
}
