// The one depth-first folder walk: its order, what it leaves out, and depth it survives.

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "reiserfs/catalogue/FolderWalk.h"

namespace vantrel::test {
namespace {

// A tree by its children lists: node n's children are children[n]; node 0 is the top.
struct Tree {
  std::vector<std::vector<int>> children;
  std::span<const int> Of(int node) const { return children[static_cast<std::size_t>(node)]; }
};

TEST(FolderWalk, VisitsEachFolderBeforeWhatIsBelowItAndLeavesAfterIt) {
  //        0
  //     1     2
  //    3 4    5
  const Tree tree{{{1, 2}, {3, 4}, {5}, {}, {}, {}}};
  std::string trace;
  WalkFoldersDepthFirst(
      0, tree.Of(0), [&](int node) { return tree.Of(node); },
      [&](int parent, int child) -> std::optional<int> {
        trace += std::to_string(parent) + ">" + std::to_string(child) + " ";
        return child;
      },
      [&](int node) { trace += "^" + std::to_string(node) + " "; });
  EXPECT_EQ(trace, "0>1 1>3 ^3 1>4 ^4 ^1 0>2 2>5 ^5 ^2 ^0 ");
}

TEST(FolderWalk, AFolderLeftOutIsNeitherEnteredNorAskedForItsChildren) {
  const Tree tree{{{1, 2}, {3}, {4}, {}, {}}};
  std::vector<int> visited, asked;
  WalkFoldersDepthFirst(
      0, tree.Of(0),
      [&](int node) {
        asked.push_back(node);
        return tree.Of(node);
      },
      [&](int, int child) -> std::optional<int> {
        visited.push_back(child);
        if (child == 1) return std::nullopt;
        return child;
      });
  EXPECT_EQ(visited, (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(asked, (std::vector<int>{2, 4}));
}

TEST(FolderWalk, TheParentsStateReachesEachChildAndAChildMayBeVisitedAgainUnderAnother) {
  // A damaged catalogue can show one folder under two parents: the walk itself visits it
  // under both, and the visit decides (here with a set of its own) to go in only once.
  const Tree tree{{{1, 2}, {3}, {3}, {}}};
  std::vector<std::string> paths;
  std::vector<bool> entered(4);
  WalkFoldersDepthFirst(
      std::string(), tree.Of(0), [&](int node) { return tree.Of(node); },
      [&](const std::string& parent, int child) -> std::optional<std::string> {
        std::string path = parent + "/" + std::to_string(child);
        paths.push_back(path);
        if (entered[static_cast<std::size_t>(child)]) return std::nullopt;
        entered[static_cast<std::size_t>(child)] = true;
        return path;
      });
  EXPECT_EQ(paths, (std::vector<std::string>{"/1", "/1/3", "/2", "/2/3"}));
}

TEST(FolderWalk, AChainDeeperThanAnyStackIsWalkedWhole) {
  constexpr int kDepth = 1'000'000;
  const std::vector<int> none;
  std::vector<int> next(kDepth);
  for (int i = 0; i < kDepth; ++i) next[static_cast<std::size_t>(i)] = i + 1;
  int deepest = -1;
  int leaves = 0;
  WalkFoldersDepthFirst(
      0, std::span<const int>(&next[0], 1),
      [&](int node) {
        return node < kDepth ? std::span<const int>(&next[static_cast<std::size_t>(node)], 1)
                             : std::span<const int>(none);
      },
      [&](int, int child) -> std::optional<int> {
        deepest = child;
        return child;
      },
      [&](int) { ++leaves; });
  EXPECT_EQ(deepest, kDepth);
  EXPECT_EQ(leaves, kDepth + 1);
}

}  // namespace
}  // namespace vantrel::test
