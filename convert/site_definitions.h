// The first pass of a site with cross-references: the definitions of every
// source, found on several threads before any page is written and put into
// the symbol table in the site's order, so that the table never depends on
// which thread read what.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "convert/site_records.h"
#include "convert/symbol_table.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

struct DefinitionSource {
  std::string source_path;  // as the walk names it
  std::string page_path;    // its page from the site's root, '/'-separated
};

// Finds the definitions of `sources` on `threads` threads (the calling one
// among them), each with its own finder, and adds every source's page to
// `table` in the order of `sources`. A source whose stamp is the one
// `record` (null: none) holds for its page is not read: its recorded
// definitions are taken. Each source's stamp is taken once, before it is
// read, and every source whose definitions are known goes to `writer`
// (null: none) with it. A source that cannot be read defines nothing (its
// page's conversion tells why) and is not recorded. The names whose
// definitions the sources read change go to `names_read` (null: not
// asked): of a source the record holds, those whose definitions differ
// from the recorded ones (its entry then taken); of another, all it
// defines. Returns how many sources were read.
std::size_t find_site_definitions(const std::vector<DefinitionSource>& sources, const Settings& settings,
                                  const Vocabulary& vocabulary, int threads, SymbolTable& table,
                                  SiteRecord* record, SiteRecordWriter* writer,
                                  std::vector<std::string>* names_read = nullptr);

}  // namespace prismet
