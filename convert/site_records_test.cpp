// The site's record for the next run: what it keeps comes back as it was
// written, and any bytes that are not a whole record of the same
// fingerprint read as none, never a crash.
#include "convert/site_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace prismet {
namespace {

constexpr std::uint64_t kFingerprint = 0x1234567890ABCDEFull;

Definition definition(const char* name, std::uint32_t line, bool declaration_only = false) {
  Definition d;
  d.name = name;
  d.scope = "ns";
  d.text = std::string("int ") + name + "();";
  d.line = line;
  d.kind = SymbolKind::Function;
  d.declaration_only = declaration_only;
  return d;
}

FileStamp stamp(std::uint64_t n) { return {1, n, 100 + n, 1000 + n, 2000 + n}; }

// A table of two pages: "a.h.html" declares area and defines Shape,
// "a.cpp.html" defines area and helper.
SymbolTable table() {
  SymbolTable symbols;
  symbols.add_page("a.h.html", {definition("area", 3, true), definition("Shape", 1)});
  symbols.add_page("a.cpp.html", {definition("area", 1), definition("helper", 4)});
  symbols.finish(".html");
  return symbols;
}

// A record of both sources and of one page, "main.cpp.html", that used
// area on line 2 and helper on lines 2 and 5 and looked up a name no page
// defines.
std::string record_bytes(const SymbolTable& symbols, std::uint64_t fingerprint = kFingerprint) {
  SiteRecordWriter writer(fingerprint);
  const std::vector<Definition> header{definition("area", 3, true), definition("Shape", 1)};
  writer.add_source("a.h.html", stamp(1), header);
  writer.add_source("a.cpp.html", stamp(2), std::vector<Definition>{definition("area", 1)});
  writer.end_sources();
  writer.add_signatures(symbols.link_signatures());
  PageUses uses;
  uses.texts = {"return area() + helper();", "helper();"};
  uses.uses = {{symbols.find("area"), 2, 0}, {symbols.find("helper"), 2, 0}, {symbols.find("helper"), 5, 1}};
  for (const char* name : {"helper", "area", "undefined", "helper"})
    uses.looked_up.push_back(static_cast<std::uint32_t>(SymbolTable::name_hash(name)));
  writer.add_page("main.cpp.html", stamp(3), stamp(4), uses, symbols);
  std::vector<std::pair<std::uint64_t, std::uint32_t>> counts{{SymbolTable::name_hash("area"), 1},
                                                              {SymbolTable::name_hash("helper"), 2}};
  std::sort(counts.begin(), counts.end());
  return writer.finish(77, stamp(5), counts);
}

TEST(SiteRecordTest, WhatIsWrittenComesBack) {
  const SymbolTable symbols = table();
  SiteRecord record;
  ASSERT_TRUE(record.load(record_bytes(symbols), kFingerprint));
  std::vector<DefinitionView> found;
  std::string_view entry;
  EXPECT_FALSE(record.take_definitions("a.h.html", stamp(9), found, entry));  // another stamp: read again
  ASSERT_TRUE(record.take_definitions("a.h.html", stamp(1), found, entry));
  ASSERT_EQ(found.size(), 2u);
  // Views of the record's own bytes, not copies.
  for (const DefinitionView& taken : found) {
    for (const std::string_view field : {taken.name, taken.scope, taken.text})
      EXPECT_TRUE(field.data() >= record.bytes().data() &&
                  field.data() < record.bytes().data() + record.bytes().size());
  }
  EXPECT_EQ(found[0].name, "area");
  EXPECT_EQ(found[0].scope, "ns");
  EXPECT_EQ(found[0].text, "int area();");
  EXPECT_EQ(found[0].line, 3u);
  EXPECT_TRUE(found[0].declaration_only);
  EXPECT_EQ(found[1].name, "Shape");
  EXPECT_FALSE(found[1].declaration_only);
  EXPECT_FALSE(record.take_definitions("b.h.html", stamp(1), found, entry));
  EXPECT_EQ(record.signatures().size(), 3u);  // Shape, area, helper
  EXPECT_EQ(record.symbol_style(), 77u);
  EXPECT_EQ(record.symbol_records(), stamp(5));
  EXPECT_EQ(record.use_count(SymbolTable::name_hash("helper")), 2u);
  EXPECT_EQ(record.use_count(SymbolTable::name_hash("Shape")), SiteRecord::kNoCount);
  // What was not taken: a.cpp's definitions.
  EXPECT_EQ(record.names_not_taken(), std::vector<std::string_view>{"area"});

  EXPECT_EQ(record.page("a.h.html"), nullptr);
  const RecordedPage* page = record.page("main.cpp.html");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->source, stamp(3));
  EXPECT_EQ(page->page, stamp(4));
  EXPECT_EQ(page->looked_up.size(), 3u);  // each name once
  PageUses uses;
  ASSERT_TRUE(SiteRecord::uses_of(*page, symbols, uses));
  ASSERT_EQ(uses.uses.size(), 3u);
  EXPECT_EQ(symbols.name(uses.uses[0].name), "area");
  EXPECT_EQ(symbols.name(uses.uses[2].name), "helper");
  EXPECT_EQ(uses.uses[2].line, 5u);
  EXPECT_EQ(uses.texts.at(uses.uses[2].text), "helper();");
  EXPECT_EQ(uses.texts.at(uses.uses[0].text), "return area() + helper();");
  EXPECT_EQ(SiteRecord::names_of(page->uses), (std::vector<std::string_view>{"area", "helper"}));
  // helper's uses alone, with the texts of their lines.
  std::vector<char> wanted(symbols.name_count(), 0);
  wanted[symbols.find("helper")] = 1;
  std::vector<RecordedUse> helper;
  ASSERT_TRUE(SiteRecord::wanted_uses(page->uses, symbols, wanted, helper));
  ASSERT_EQ(helper.size(), 2u);
  EXPECT_EQ(helper[0].name, symbols.find("helper"));
  EXPECT_EQ(helper[0].line, 2u);
  EXPECT_EQ(helper[0].text, "return area() + helper();");
  EXPECT_EQ(helper[1].line, 5u);
  EXPECT_EQ(helper[1].text, "helper();");
  wanted.assign(wanted.size(), 0);
  EXPECT_FALSE(SiteRecord::wanted_uses(page->uses, symbols, wanted, helper));

  // A source and a page left as they were are copied into the next record
  // as they stand.
  SiteRecordWriter next(kFingerprint);
  next.add_recorded_source(entry);
  next.end_sources();
  next.add_signatures({});
  next.add_recorded_page(*page);
  next.add_page("b.cpp.html", stamp(6), stamp(7), uses, symbols);
  std::vector<std::string_view> paths;
  EXPECT_TRUE(next.for_each_page(
      [&](std::string_view path, std::string_view page_uses, std::span<const std::uint32_t> looked_up) {
        paths.push_back(path);
        EXPECT_EQ(SiteRecord::names_of(page_uses).size(), 2u);
        // Sorted, each once, and every name it uses among them.
        EXPECT_TRUE(std::is_sorted(looked_up.begin(), looked_up.end()));
        EXPECT_EQ(std::adjacent_find(looked_up.begin(), looked_up.end()), looked_up.end());
        for (const char* name : {"area", "helper"}) {
          EXPECT_TRUE(std::binary_search(looked_up.begin(), looked_up.end(),
                                         static_cast<std::uint32_t>(SymbolTable::name_hash(name))))
              << path << " " << name;
        }
      }));
  EXPECT_EQ(paths, (std::vector<std::string_view>{"main.cpp.html", "b.cpp.html"}));
  next.seal(0, FileStamp(), {});
  // The entries left as they were are the record's own bytes, not copies.
  const auto in_record = [&record](std::string_view piece) {
    return piece.data() >= record.bytes().data() &&
           piece.data() < record.bytes().data() + record.bytes().size();
  };
  std::string joined;
  std::size_t viewed = 0;
  for (const std::string_view piece : next.pieces()) {
    joined += piece;
    if (in_record(piece)) viewed += piece.size();
  }
  EXPECT_EQ(viewed, entry.size() + page->entry.size());
  SiteRecord again;
  ASSERT_TRUE(again.load(joined, kFingerprint));
  ASSERT_NE(again.page("main.cpp.html"), nullptr);
  ASSERT_TRUE(again.take_definitions("a.h.html", stamp(1), found, entry));
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[1].text, "int Shape();");
  EXPECT_EQ(again.page("main.cpp.html")->page, stamp(4));
}

// Little-endian bytes, spelt out for the expected entries.
std::string le(std::uint64_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// An entry made on a worker thread is the bytes the record holds: every
// number little-endian, every text after its length.
TEST(SiteRecordTest, EntriesAreMadeByteForByte) {
  const FileStamp odd{0x0102030405060708ull, 0x1112131415161718ull, 0xF0, 0xA1B2C3D4E5F60718ull, 9};
  std::string expected_stamp;
  for (const char* field : {"\x08\x07\x06\x05\x04\x03\x02\x01", "\x18\x17\x16\x15\x14\x13\x12\x11",
                            "\xF0\0\0\0\0\0\0\0", "\x18\x07\xF6\xE5\xD4\xC3\xB2\xA1", "\x09\0\0\0\0\0\0\0"})
    expected_stamp.append(field, 8);

  Definition made = definition("f", 0x01020304, true);
  made.kind = SymbolKind::Macro;
  std::string source = "kept";  // appended to, not replaced
  append_source_entry(source, "a/b.h", odd, std::vector<Definition>{made});
  std::string expected = "kept";
  expected += std::string("\5\0\0\0a/b.h", 9) + expected_stamp + std::string("\1\0\0\0", 4);
  expected +=
      std::string("\1\0\0\0f", 5) + std::string("\2\0\0\0ns", 6) + std::string("\x08\0\0\0int f();", 12);
  expected += std::string("\x04\x03\x02\x01", 4) + static_cast<char>(SymbolKind::Macro) + '\1';
  EXPECT_EQ(source, expected);

  // A page: the looked-up hashes sorted, each once, with those of the names
  // it uses (helper 0x4C7E5874, area 0xDFE5AEBC); its names by their numbers
  // (area before helper), each once; its uses by those names.
  const SymbolTable symbols = table();
  PageUses uses;
  uses.texts = {"helper(area);"};
  uses.uses = {{symbols.find("helper"), 0x105, 0}, {symbols.find("area"), 0x105, 0}};
  uses.looked_up = {0xC0000030, 0x10, 0xC0000030};
  std::string page;
  append_page_entry(page, "p.html", stamp(3), odd, uses, symbols);
  expected = std::string("\6\0\0\0p.html", 10) + le(1, 8) + le(3, 8) + le(103, 8) + le(1003, 8) + le(2003, 8);
  expected += expected_stamp;
  expected += le(4, 4) + le(0x10, 4) + le(0x4C7E5874, 4) + std::string("\x30\0\0\xC0", 4) + le(0xDFE5AEBC, 4);
  expected += le(2, 4) + le(4, 4) + "area" + le(6, 4) + "helper";
  expected += le(1, 4) + le(13, 4) + "helper(area);";
  expected += le(2, 4) + le(1, 4) + std::string("\x05\x01\0\0", 4) + le(0, 4);
  expected += le(0, 4) + std::string("\x05\x01\0\0", 4) + le(0, 4);
  EXPECT_EQ(page, expected);
  EXPECT_EQ(uses.looked_up, (std::vector<std::uint32_t>{0x10, 0x4C7E5874, 0xC0000030, 0xDFE5AEBC}));

  // And the writer holds them as it is given them.
  SiteRecordWriter writer(kFingerprint);
  writer.add_source_entry(source.substr(4));
  writer.end_sources();
  writer.add_signatures({});
  writer.add_page_entry(page);
  std::size_t pages = 0;
  EXPECT_TRUE(
      writer.for_each_page([&](std::string_view path, std::string_view, std::span<const std::uint32_t>) {
        EXPECT_EQ(path, "p.html");
        ++pages;
      }));
  EXPECT_EQ(pages, 1u);
  SiteRecord record;
  ASSERT_TRUE(record.load(writer.finish(0, FileStamp(), {}), kFingerprint));
  std::vector<DefinitionView> found;
  std::string_view entry;
  ASSERT_TRUE(record.take_definitions("a/b.h", odd, found, entry));
  EXPECT_EQ(entry, source.substr(4));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].line, 0x01020304u);
  EXPECT_EQ(found[0].kind, SymbolKind::Macro);
  ASSERT_NE(record.page("p.html"), nullptr);
  EXPECT_EQ(record.page("p.html")->entry, page);
}

TEST(SiteRecordTest, UsesOfANameNoLongerDefinedAreRefused) {
  const SymbolTable before = table();
  SiteRecord record;
  ASSERT_TRUE(record.load(record_bytes(before), kFingerprint));
  SymbolTable now;
  now.add_page("a.cpp.html", {definition("area", 1)});
  now.finish(".html");
  PageUses uses;
  EXPECT_FALSE(SiteRecord::uses_of(*record.page("main.cpp.html"), now, uses));
}

// A use whose numbers point past its page's names or texts passes the
// loading (which reads no use) and fails whatever decodes it: no page is
// read outside its bytes, none of its uses counted.
TEST(SiteRecordTest, AUseOutOfItsPageIsRefusedWhenDecoded) {
  const SymbolTable symbols = table();
  PageUses uses;
  uses.texts = {"helper();"};
  uses.uses = {{symbols.find("helper"), 3, 0}};
  for (const std::size_t field : {std::size_t{12}, std::size_t{4}}) {  // the use's name, then its text
    std::string entry;
    append_page_entry(entry, "p.html", stamp(1), stamp(2), uses, symbols);
    entry[entry.size() - field] = 0x63;
    SiteRecordWriter writer(kFingerprint);
    writer.end_sources();
    writer.add_signatures(symbols.link_signatures());
    writer.add_page_entry(entry);
    SiteRecord record;
    ASSERT_TRUE(record.load(writer.finish(0, FileStamp(), {}), kFingerprint)) << field;
    const RecordedPage* page = record.page("p.html");
    ASSERT_NE(page, nullptr);
    PageUses decoded;
    EXPECT_FALSE(SiteRecord::uses_of(*page, symbols, decoded)) << field;
    std::vector<RecordedUse> wanted;
    EXPECT_FALSE(
        SiteRecord::wanted_uses(page->uses, symbols, std::vector<char>(symbols.name_count(), 1), wanted))
        << field;
    EXPECT_TRUE(wanted.empty()) << field;
  }
}

TEST(SiteRecordTest, AnyOtherBytesAreNoRecord) {
  const std::string good = record_bytes(table());
  std::vector<std::pair<const char*, std::string>> cases = {
      {"empty", ""},
      {"the head alone", good.substr(0, 23)},
      {"foreign", std::string(good.size(), 'x')},
      {"cut short by one byte", good.substr(0, good.size() - 1)},
      {"cut in the middle", good.substr(0, good.size() / 2)},
      {"a byte more", good + '\n'},
  };
  std::string flipped = good;
  flipped[good.size() / 2] ^= 0x01;
  cases.emplace_back("a bit flipped", flipped);
  std::string version = good;
  version[21] = '2';
  cases.emplace_back("another version", version);
  for (const auto& [what, bytes] : cases) {
    SiteRecord record;
    EXPECT_FALSE(record.load(bytes, kFingerprint)) << what;
    EXPECT_FALSE(record.loaded()) << what;
    EXPECT_EQ(record.page("main.cpp.html"), nullptr) << what;
    EXPECT_TRUE(record.signatures().empty()) << what;
    std::vector<DefinitionView> found;
    std::string_view entry;
    EXPECT_FALSE(record.take_definitions("a.h.html", stamp(1), found, entry)) << what;
  }
  SiteRecord other;
  EXPECT_FALSE(other.load(record_bytes(table(), kFingerprint + 1), kFingerprint));
}

// A record of megabytes is written in chunks of the writer's own and views
// of the record read; the checksum over its pieces is the checksum of its
// bytes, wherever the pieces end, and every page comes back in its order.
TEST(SiteRecordTest, ARecordInManyPiecesIsOneRecord) {
  const SymbolTable symbols = table();
  SiteRecord first;
  ASSERT_TRUE(first.load(record_bytes(symbols), kFingerprint));
  const RecordedPage& kept = *first.page("main.cpp.html");
  SiteRecordWriter writer(kFingerprint);
  writer.end_sources();
  writer.add_signatures({});
  PageUses uses;
  uses.uses = {{symbols.find("area"), 1, 0}};
  std::vector<std::string> expected;
  // Lines of odd lengths, one longer than a chunk, and a recorded page.
  for (int i = 0; i < 300; ++i) {
    const std::size_t length =
        i == 150 ? (std::size_t{3} << 20) + 5 : 7000 + 13 * static_cast<std::size_t>(i);
    uses.texts = {std::string(length, static_cast<char>('a' + i % 26))};
    const std::string path = "p" + std::to_string(i) + ".html";
    writer.add_page(path, stamp(i), stamp(i + 1), uses, symbols);
    expected.push_back(path);
    if (i == 100) {  // a page's path is in a record once
      writer.add_recorded_page(kept);
      expected.push_back("main.cpp.html");
    }
  }
  std::vector<std::string> seen;
  EXPECT_TRUE(writer.for_each_page([&](std::string_view path, std::string_view,
                                       std::span<const std::uint32_t>) { seen.emplace_back(path); }));
  EXPECT_EQ(seen, expected);
  const std::string bytes = writer.finish(3, stamp(8), {});
  EXPECT_GT(writer.pieces().size(), 4u);
  SiteRecord again;
  ASSERT_TRUE(again.load(bytes, kFingerprint));
  EXPECT_EQ(again.symbol_style(), 3u);
  EXPECT_EQ(again.symbol_records(), stamp(8));
  EXPECT_EQ(again.pages().size(), 301u);
  ASSERT_NE(again.page("p150.html"), nullptr);
  EXPECT_EQ(again.page("p150.html")->source, stamp(150));
}

TEST(SiteRecordTest, PiecesAreTheSameBytesOnlyWhenTheyMakeThemAll) {
  const std::string bytes = "0123456789";
  const std::string copy = bytes;
  const std::string_view all = bytes;
  using Pieces = std::vector<std::string_view>;
  const std::vector<std::tuple<const char*, Pieces, bool>> cases = {
      {"the bytes themselves", {all}, true},
      {"views of them, cut", {all.substr(0, 3), all.substr(3, 1), all.substr(4)}, true},
      {"a copy, cut", {std::string_view(copy).substr(0, 5), std::string_view(copy).substr(5)}, true},
      {"an empty piece between", {all.substr(0, 5), std::string_view(), all.substr(5)}, true},
      {"one byte short", {all.substr(0, 9)}, false},
      {"one byte more", {all, std::string_view("x")}, false},
      {"out of order", {all.substr(5), all.substr(0, 5)}, false},
      {"a view of other bytes", {all.substr(0, 5), std::string_view("56780")}, false},
      {"none", {}, false},
  };
  for (const auto& [what, pieces, same] : cases) EXPECT_EQ(same_bytes(pieces, bytes), same) << what;
  EXPECT_TRUE(same_bytes({}, std::string_view()));
}

// Random bytes behind a valid head and checksum reach the parser: whatever
// it makes of them, it reads nothing outside them (the sanitizers' build)
// and what it accepts can be used.
TEST(SiteRecordTest, RandomBodiesAreReadSafely) {
  std::mt19937 random(7);
  const SymbolTable symbols = table();
  const std::string good = record_bytes(symbols);
  int refused = 0;
  for (int round = 0; round < 2000; ++round) {
    std::string bytes = good.substr(0, good.size() - 8);
    const int changes = 1 + round % 8;
    for (int i = 0; i < changes; ++i) {
      const std::size_t at = 31 + random() % (bytes.size() - 31);  // past the head and the fingerprint
      bytes[at] = static_cast<char>(random());
    }
    if (round % 5 == 0) bytes.resize(31 + random() % (bytes.size() - 31));
    std::uint64_t sum = site_records_checksum(bytes);
    for (int i = 0; i < 8; ++i, sum >>= 8) bytes += static_cast<char>(sum & 0xFF);
    SiteRecord record;
    if (!record.load(bytes, kFingerprint)) {
      ++refused;
      continue;
    }
    if (const RecordedPage* page = record.page("main.cpp.html")) {
      PageUses uses;
      if (SiteRecord::uses_of(*page, symbols, uses)) {
        for (const PageUses::Use& use : uses.uses) {
          EXPECT_LT(use.name, symbols.name_count());
          EXPECT_LT(use.text, uses.texts.size());
        }
      }
    }
  }
  EXPECT_GT(refused, 1000);
}

// A source read again: only the names whose definitions there differ from
// the recorded ones ("a.h.html" recorded area's declaration on line 3 and
// Shape on line 1).
TEST(SiteRecordTest, ASourceReadAgainChangesOnlyTheNamesWhoseDefinitionsDiffer) {
  const SymbolTable symbols = table();
  const auto changed_with = [&](std::vector<Definition> now) {
    SiteRecord record;
    EXPECT_TRUE(record.load(record_bytes(symbols), kFingerprint));
    std::vector<std::string> names;
    EXPECT_TRUE(record.changed_definitions("a.h.html", now, names));
    // Its entry is taken: its names are no longer among those not taken.
    for (const std::string_view name : record.names_not_taken()) EXPECT_NE(name, "Shape");
    std::sort(names.begin(), names.end());
    return names;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(changed_with({definition("area", 3, true), definition("Shape", 1)}), Names{});
  EXPECT_EQ(changed_with({definition("Shape", 1), definition("area", 3, true)}), Names{});
  EXPECT_EQ(changed_with({definition("area", 4, true), definition("Shape", 2)}), (Names{"Shape", "area"}));
  EXPECT_EQ(changed_with({definition("area", 3), definition("Shape", 1)}), Names{"area"});
  Definition other_text = definition("Shape", 1);
  other_text.text = "struct Shape {";
  EXPECT_EQ(changed_with({definition("area", 3, true), other_text}), Names{"Shape"});
  Definition other_scope = definition("Shape", 1);
  other_scope.scope = "geo";
  EXPECT_EQ(changed_with({definition("area", 3, true), other_scope}), Names{"Shape"});
  Definition other_kind = definition("Shape", 1);
  other_kind.kind = SymbolKind::Struct;
  EXPECT_EQ(changed_with({definition("area", 3, true), other_kind}), Names{"Shape"});
  EXPECT_EQ(changed_with({definition("area", 3, true)}), Names{"Shape"});
  EXPECT_EQ(changed_with({definition("area", 3, true), definition("Shape", 1), definition("Shape", 9)}),
            Names{"Shape"});
  EXPECT_EQ(changed_with({definition("area", 3, true), definition("Shape", 1), definition("Circle", 5)}),
            Names{"Circle"});
  EXPECT_EQ(changed_with({}), (Names{"Shape", "area"}));
  // A page the record has no source for: nothing compared.
  SiteRecord record;
  ASSERT_TRUE(record.load(record_bytes(symbols), kFingerprint));
  std::vector<std::string> names;
  EXPECT_FALSE(record.changed_definitions("new.h.html", std::vector<Definition>{definition("x", 1)}, names));
  EXPECT_TRUE(names.empty());
}

TEST(SiteRecordTest, ChangedNamesAreThoseWhoseSignatureDiffersOrThatComeOrGo) {
  const LinkSignatures before{{0x100000001ull, 1}, {0x2ull, 2}, {0x3ull, 3}, {0x5ull, 5}};
  const LinkSignatures now{{0x100000001ull, 1}, {0x2ull, 20}, {0x4ull, 4}, {0x5ull, 5}};
  EXPECT_EQ(changed_names(before, now), (std::vector<std::uint32_t>{2, 3, 4}));
  EXPECT_TRUE(changed_names(now, now).empty());
  EXPECT_EQ(changed_names({}, now).size(), 4u);
  EXPECT_EQ(changed_names(before, {}).size(), 4u);

  const std::vector<std::uint32_t> changed{3, 9, 40};
  const struct {
    std::vector<std::uint32_t> looked_up;
    bool expected;
  } cases[] = {
      {{}, false}, {{1, 2, 4}, false}, {{9}, true}, {{1, 2, 4, 5, 6, 7, 8, 40}, true}, {{41}, false}};
  for (const auto& c : cases) EXPECT_EQ(looked_up_any(c.looked_up, changed), c.expected);
  EXPECT_FALSE(looked_up_any(std::vector<std::uint32_t>{3}, {}));
}

// A name's signature follows what a link to it reads, and only that.
TEST(SiteRecordTest, ASignatureChangesWithWhereTheNameLeads) {
  auto signature_of = [](const std::vector<std::pair<const char*, std::vector<Definition>>>& pages,
                         const char* name) {
    SymbolTable symbols;
    for (const auto& [path, definitions] : pages) symbols.add_page(path, definitions);
    symbols.finish(".html");
    for (const auto& [hash, signature] : symbols.link_signatures()) {
      if (hash == SymbolTable::name_hash(name)) return signature;
    }
    return std::uint64_t{0};
  };
  const auto base =
      signature_of({{"a.h.html", {definition("f", 3)}}, {"b.h.html", {definition("g", 1)}}}, "f");
  ASSERT_NE(base, 0u);
  // Another name's change, another text of the same line, a declaration
  // elsewhere (no use leads to it while a definition is there): the same.
  EXPECT_EQ(base,
            signature_of({{"a.h.html", {definition("f", 3)}}, {"b.h.html", {definition("g", 7)}}}, "f"));
  Definition other_text = definition("f", 3);
  other_text.text = "long f();";
  EXPECT_EQ(base, signature_of({{"a.h.html", {other_text}}}, "f"));
  EXPECT_EQ(base, signature_of({{"a.h.html", {definition("f", 3)}}, {"b.h.html", {definition("f", 1, true)}}},
                               "f"));
  // Several definitions lead to the symbol page, however many and wherever.
  EXPECT_EQ(
      signature_of({{"a.h.html", {definition("f", 3)}}, {"b.h.html", {definition("f", 9)}}}, "f"),
      signature_of(
          {{"c.h.html", {definition("f", 1), definition("f", 5)}}, {"d.h.html", {definition("f", 2)}}}, "f"));
  // Its line, its page, a second definition, a declaration's place taken: another.
  const std::vector<std::vector<std::pair<const char*, std::vector<Definition>>>> others = {
      {{"a.h.html", {definition("f", 4)}}},
      {{"c.h.html", {definition("f", 3)}}},
      {{"a.h.html", {definition("f", 3)}}, {"b.h.html", {definition("f", 9)}}},
      {{"a.h.html", {definition("f", 3, true)}}, {"b.h.html", {definition("f", 9)}}},
  };
  for (std::size_t i = 0; i < others.size(); ++i) EXPECT_NE(base, signature_of(others[i], "f")) << i;
}

}  // namespace
}  // namespace prismet
