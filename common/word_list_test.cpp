#include "common/word_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace prismet {
namespace {

using List = WordList<std::string>;

std::vector<std::string> forward(const List& list) {
  std::vector<std::string> items;
  for (auto* node = list.first(); node != nullptr; node = node->next()) items.push_back(node->item());
  return items;
}

std::vector<std::string> backward(const List& list) {
  std::vector<std::string> items;
  for (auto* node = list.last(); node != nullptr; node = node->prev()) items.push_back(node->item());
  return items;
}

TEST(WordList, InsertsAtBothEndsAndKeepsOrder) {
  List list;
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.push_back("b"), 1);
  EXPECT_EQ(list.push_front("a"), 2);
  EXPECT_EQ(list.push_back("c"), 3);
  EXPECT_EQ(list.push_back("b"), 4);  // duplicates allowed
  EXPECT_EQ(forward(list), (std::vector<std::string>{"a", "b", "c", "b"}));
  EXPECT_EQ(backward(list), (std::vector<std::string>{"b", "c", "b", "a"}));
  EXPECT_EQ(list.at(0), "a");
  EXPECT_EQ(list.at(3), "b");
}

TEST(WordList, FindsFromEitherEndWithPositionAndContext) {
  List list;
  for (const char* s : {"x", "y", "x", "z"}) list.push_back(s);
  std::vector<int> seen;
  auto is = [&](const std::string& item, int position, const std::string& wanted) {
    seen.push_back(position);
    return item == wanted;
  };
  const std::string* found = list.find_forward(is, std::string("x"));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found, &list.at(0));
  seen.clear();
  found = list.find_backward(is, std::string("x"));
  EXPECT_EQ(found, &list.at(2));
  EXPECT_EQ(seen, (std::vector<int>{3, 2}));
  EXPECT_EQ(list.find_forward(is, std::string("w")), nullptr);
}

TEST(WordList, RemovalWalkOffersCurrentPositions) {
  struct Case {
    bool from_front;
    std::vector<int> positions;
  } const cases[] = {{true, {0, 1, 1, 2, 2}}, {false, {4, 3, 2, 1, 0}}};
  for (const Case& c : cases) {
    List list;
    for (const char* s : {"keep", "drop", "keep", "drop", "keep"}) list.push_back(s);
    std::vector<int> positions;
    auto take = [&](const std::string& item, int position, int) {
      positions.push_back(position);
      return item == "drop";
    };
    const int remaining = c.from_front ? list.remove_forward(take, 0) : list.remove_backward(take, 0);
    EXPECT_EQ(remaining, 3);
    EXPECT_EQ(positions, c.positions);
    EXPECT_EQ(forward(list), (std::vector<std::string>{"keep", "keep", "keep"}));
    EXPECT_EQ(backward(list), (std::vector<std::string>{"keep", "keep", "keep"}));
  }
}

TEST(WordList, RemovingEverythingLeavesAUsableList) {
  List list;
  for (const char* s : {"a", "b", "c"}) list.push_back(s);
  EXPECT_EQ(list.remove_forward([](const std::string&, int, int) { return true; }, 0), 0);
  EXPECT_EQ(list.first(), nullptr);
  EXPECT_EQ(list.last(), nullptr);
  EXPECT_EQ(list.push_front("d"), 1);
  list.clear();
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.push_back("e"), 1);
  EXPECT_EQ(forward(list), std::vector<std::string>{"e"});
}

}  // namespace
}  // namespace prismet
