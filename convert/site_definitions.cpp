#include "convert/site_definitions.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

#include "common/file_system.h"
#include "common/fnv1a.h"
#include "convert/source_definitions.h"

namespace prismet {

namespace {

// Takes the next source until none is left, finding its definitions.
void find_some(const std::vector<DefinitionSource>& sources, const Settings& settings,
               const Vocabulary& vocabulary, std::atomic<std::size_t>& next,
               std::vector<std::vector<Definition>>& found, std::vector<FileStamp>& stamps) {
  SourceDefinitions finder(settings, vocabulary);
  for (std::size_t i = next++; i < sources.size(); i = next++) {
    std::optional<FileFailure> failure;
    if (!file_stamp(sources[i].source_path.c_str(), stamps[i])) stamps[i] = FileStamp();
    if (!finder.find(sources[i].source_path.c_str(), found[i], failure)) found[i].clear();
  }
}

std::uint64_t digest_of(const std::vector<DefinitionSource>& sources, const std::vector<FileStamp>& stamps) {
  std::uint64_t hash = kFnv1aBasis;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    const FileStamp& stamp = stamps[i];
    for (const std::uint64_t field : {static_cast<std::uint64_t>(sources[i].page_path.size()), stamp.device,
                                      stamp.index, stamp.size, stamp.modified, stamp.changed})
      hash = fnv1a_number(hash, field);
    hash = fnv1a(hash, sources[i].page_path);
  }
  return hash;
}

}  // namespace

std::uint64_t find_site_definitions(const std::vector<DefinitionSource>& sources, const Settings& settings,
                                    const Vocabulary& vocabulary, int threads, SymbolTable& table) {
  std::vector<std::vector<Definition>> found(sources.size());
  std::vector<FileStamp> stamps(sources.size());
  std::atomic<std::size_t> next = 0;
  const std::size_t helpers =
      std::min<std::size_t>(threads > 1 ? static_cast<std::size_t>(threads) - 1 : 0, sources.size() / 2);
  {
    std::vector<std::jthread> workers;
    workers.reserve(helpers);
    for (std::size_t i = 0; i < helpers; ++i) {
      workers.emplace_back([&] { find_some(sources, settings, vocabulary, next, found, stamps); });
    }
    find_some(sources, settings, vocabulary, next, found, stamps);
  }  // every worker joined
  for (std::size_t i = 0; i < sources.size(); ++i) table.add_page(sources[i].page_path, std::move(found[i]));
  return digest_of(sources, stamps);
}

}  // namespace prismet
