#include "convert/site_definitions.h"

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>

#include "convert/source_definitions.h"

namespace prismet {

namespace {

// Takes the next source until none is left, finding its definitions.
void find_some(const std::vector<DefinitionSource>& sources, const Settings& settings,
               const Vocabulary& vocabulary, std::atomic<std::size_t>& next,
               std::vector<std::vector<Definition>>& found) {
  SourceDefinitions finder(settings, vocabulary);
  for (std::size_t i = next++; i < sources.size(); i = next++) {
    std::optional<FileFailure> failure;
    if (!finder.find(sources[i].source_path.c_str(), found[i], failure)) found[i].clear();
  }
}

}  // namespace

void find_site_definitions(const std::vector<DefinitionSource>& sources, const Settings& settings,
                           const Vocabulary& vocabulary, int threads, SymbolTable& table) {
  std::vector<std::vector<Definition>> found(sources.size());
  std::atomic<std::size_t> next = 0;
  const std::size_t helpers =
      std::min<std::size_t>(threads > 1 ? static_cast<std::size_t>(threads) - 1 : 0, sources.size() / 2);
  {
    std::vector<std::jthread> workers;
    workers.reserve(helpers);
    for (std::size_t i = 0; i < helpers; ++i) {
      workers.emplace_back([&] { find_some(sources, settings, vocabulary, next, found); });
    }
    find_some(sources, settings, vocabulary, next, found);
  }  // every worker joined
  for (std::size_t i = 0; i < sources.size(); ++i) table.add_page(sources[i].page_path, std::move(found[i]));
}

}  // namespace prismet
