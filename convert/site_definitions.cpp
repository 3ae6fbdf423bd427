#include "convert/site_definitions.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include "common/file_system.h"
#include "convert/source_definitions.h"

namespace prismet {

namespace {

// What became of one source in the first pass.
enum class Found : unsigned char { kNotRead, kRead, kRecorded, kUnreadable };

// Runs `work` on `threads` threads at once (the calling one among them),
// each taking the next index below `count` until none is left.
void on_threads(std::size_t count, int threads, const std::function<void(std::atomic<std::size_t>&)>& work) {
  std::atomic<std::size_t> next = 0;
  const std::size_t helpers =
      std::min<std::size_t>(threads > 1 ? static_cast<std::size_t>(threads) - 1 : 0, count / 2);
  std::vector<std::jthread> workers;
  workers.reserve(helpers);
  for (std::size_t i = 0; i < helpers; ++i) workers.emplace_back([&] { work(next); });
  work(next);
}  // every worker joined

}  // namespace

std::size_t find_site_definitions(const std::vector<DefinitionSource>& sources, const Settings& settings,
                                  const Vocabulary& vocabulary, int threads, SymbolTable& table,
                                  SiteRecord* record, SiteRecordWriter* writer,
                                  std::vector<std::string>* names_read) {
  std::vector<std::vector<Definition>> found(sources.size());
  std::vector<std::vector<DefinitionView>> recorded(sources.size());  // views of the record's bytes
  std::vector<FileStamp> stamps(sources.size());
  std::vector<Found> state(sources.size(), Found::kNotRead);
  std::vector<char> stamped(sources.size(), 0);
  std::vector<std::string_view> entries(sources.size());
  if (record != nullptr && record->loaded()) {
    // The stamps first, on every thread; the recorded definitions are taken
    // on this one.
    on_threads(sources.size(), threads, [&](std::atomic<std::size_t>& next) {
      for (std::size_t i = next++; i < sources.size(); i = next++)
        stamped[i] = file_stamp(sources[i].source_path.c_str(), stamps[i]);
    });
    for (std::size_t i = 0; i < sources.size(); ++i) {
      if (stamped[i] && record->take_definitions(sources[i].page_path, stamps[i], recorded[i], entries[i]))
        state[i] = Found::kRecorded;
    }
  }
  std::size_t read = 0;
  for (const Found s : state) read += s == Found::kNotRead;
  // Each source read has its record's entry made on the thread that read
  // it: this one only appends them in the site's order.
  std::vector<std::string> made(writer != nullptr ? sources.size() : 0);
  on_threads(read, threads, [&](std::atomic<std::size_t>& next) {
    SourceDefinitions finder(settings, vocabulary);
    for (std::size_t i = next++; i < sources.size(); i = next++) {
      if (state[i] != Found::kNotRead) continue;
      if (!stamped[i]) stamped[i] = file_stamp(sources[i].source_path.c_str(), stamps[i]);
      std::optional<FileFailure> failure;
      if (finder.find(sources[i].source_path.c_str(), found[i], failure)) {
        state[i] = Found::kRead;
        if (writer != nullptr && stamped[i])
          append_source_entry(made[i], sources[i].page_path, stamps[i], found[i]);
      } else {
        found[i].clear();
        state[i] = Found::kUnreadable;
      }
    }
  });
  std::size_t definitions = 0;
  std::size_t pages = 0;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    definitions += found[i].size() + recorded[i].size();
    pages += !found[i].empty() || !recorded[i].empty();
  }
  table.reserve(pages, definitions);
  for (std::size_t i = 0; i < sources.size(); ++i) {
    if (writer != nullptr && state[i] == Found::kRecorded) {
      writer->add_recorded_source(entries[i]);
    } else if (writer != nullptr && !made[i].empty()) {
      writer->add_source_entry(made[i]);
      std::string().swap(made[i]);
    }
    if (names_read != nullptr && state[i] == Found::kRead &&
        (record == nullptr || !record->changed_definitions(sources[i].page_path, found[i], *names_read))) {
      for (const Definition& definition : found[i]) names_read->push_back(definition.name);
    }
    if (state[i] == Found::kRecorded) {
      table.add_viewed_page(sources[i].page_path, recorded[i]);
    } else {
      table.add_page(sources[i].page_path, std::move(found[i]));
    }
  }
  return read;
}

}  // namespace prismet
