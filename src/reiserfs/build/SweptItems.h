#pragma once
// The stat data and directory entries of every object of a sound tree, gathered from the
// leaves of one sweep (TreeSweep.h) and handed out as the quick build's searches from the
// root would hand them out: the stat data search from offset 0 and the directory search
// from offset 1 of an object.

#include <cstdint>
#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "reiserfs/format/ItemDispatch.h"
#include "reiserfs/format/TreeKey.h"

namespace vantrel {

class SweptItems {
 public:
  // Adds the items of one leaf; leaves come in key order.
  void AddLeaf(ByteSpan leaf);

  // False when a search could stop short of items the sweep saw: the items of one kind of
  // an object are not next to each other, or another item of the object lies between the
  // search key and the first of them. Then the searches have to be made.
  bool Complete() const { return complete_; }

  // What TreeSearch::SearchTree(search, consumer) gives for {dirId, objectId, 0, 0, stat
  // data} (the object's stat data) and for {dirId, objectId, 1, 0, directory} (the
  // entries of its directory items, "." and ".." left out); nothing for other kinds.
  void Deliver(const TreeKey& search, ItemConsumer& consumer) const;

 private:
  struct Stat {
    std::uint64_t object;  // dirId << 32 | objectId
    std::uint64_t size;
    std::uint32_t modificationTime;
    std::uint32_t mode;
    StatDetails details;
  };
  struct Entry {
    std::uint32_t objectId;
    std::uint32_t dirId;
    std::uint32_t nameAt;  // in names_
    std::uint32_t nameLength;
  };
  struct Folder {
    std::uint64_t object;
    std::uint32_t firstEntry;
    std::uint32_t entryCount;
  };
  // Whether the items of one kind of the current object seen so far could all be found by
  // a search: none yet at or past the search key, a run of them, or the run has ended.
  enum class Run { NotStarted, Open, Closed };
  class Collector;

  void CheckRun(Run& run, bool atOrPastSearchKey, bool ofTheKind);
  void AddEntry(std::uint64_t folder, std::uint32_t objectId, std::uint32_t dirId, std::string_view name);

  std::vector<Stat> stats_;
  std::vector<Entry> entries_;
  std::vector<Folder> folders_;
  std::string names_;
  bool complete_ = true;
  std::uint64_t object_ = 0;  // the object of the items being checked
  bool anyItem_ = false;
  Run statRun_ = Run::NotStarted;
  Run directoryRun_ = Run::NotStarted;
};

}  // namespace vantrel
