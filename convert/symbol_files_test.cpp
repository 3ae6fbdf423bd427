// A symbol file given in pieces is the bytes the pieces make in order:
// compared and written across every boundary between them.
#include "convert/symbol_files.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/file_system.h"
#include "convert/symbol_records.h"
#include "tests/test_files.h"

namespace prismet {
namespace {

// The records file's opening marks the file as ours.
std::string ours(std::size_t size) {
  std::string bytes = "prismet-symbol-records 1\n";
  while (bytes.size() < size) bytes += static_cast<char>('a' + bytes.size() % 26);
  return bytes;
}

// The bytes cut into pieces at `cuts` (offsets, in order).
std::vector<std::string_view> cut(std::string_view bytes, std::vector<std::size_t> cuts) {
  std::vector<std::string_view> pieces;
  std::size_t at = 0;
  cuts.push_back(bytes.size());
  for (const std::size_t end : cuts) {
    pieces.push_back(bytes.substr(at, end - at));
    at = end;
  }
  return pieces;
}

TEST(SymbolFilesTest, PiecesAreComparedAndWrittenAsTheirBytes) {
  const std::string folder = testing::scratch_path("symbol-files-pieces");
  testing::make_folder(folder);
  const std::string path = folder + "/+records.txt";
  // Larger than a block read of the file, so that pieces and blocks cross.
  const std::string bytes = ours(40000);
  const std::vector<std::vector<std::size_t>> cuttings = {
      {}, {1}, {30, 30, 31}, {16383, 16384, 16385}, {7, 20000, 39999}, {0, 40000}};
  for (const auto& cuts : cuttings) {
    SCOPED_TRACE(cuts.size());
    std::remove(path.c_str());
    const std::vector<std::string_view> pieces = cut(bytes, cuts);
    EXPECT_EQ(compare_symbol_file(path, pieces), SymbolFile::kNone);
    EXPECT_FALSE(write_symbol_file(path, pieces).has_value());
    EXPECT_EQ(testing::read_file(path), bytes);
    EXPECT_EQ(compare_symbol_file(path, pieces), SymbolFile::kSame);
    EXPECT_EQ(compare_symbol_file(path, std::string_view(bytes)), SymbolFile::kSame);
  }
  // One byte other anywhere, or one more or less, is another file.
  for (const std::size_t at : {std::size_t{30}, std::size_t{16384}, std::size_t{39999}}) {
    std::string other = bytes;
    other[at] = '#';
    EXPECT_EQ(compare_symbol_file(path, cut(other, {at, at + 1})), SymbolFile::kDiffers) << at;
  }
  const std::string longer = bytes + "z";
  EXPECT_EQ(compare_symbol_file(path, cut(longer, {20000})), SymbolFile::kDiffers);
  EXPECT_EQ(compare_symbol_file(path, cut(std::string_view(bytes).substr(0, 39999), {20000})),
            SymbolFile::kDiffers);
  // Anyone else's file is not written over, whatever the pieces.
  testing::write_file(path, "not ours at all, longer than the head of a symbol file");
  EXPECT_EQ(compare_symbol_file(path, cut(bytes, {5})), SymbolFile::kOthers);
  EXPECT_TRUE(write_symbol_file(path, cut(bytes, {5})).has_value());
  EXPECT_EQ(testing::read_file(path), "not ours at all, longer than the head of a symbol file");
}

}  // namespace
}  // namespace prismet
