#pragma once
// The one depth-first walk over a tree of folders: the children of a folder are visited in
// their order, each with everything below it before the next, and without recursion, so
// that a tree as deep as a damaged disk can make it cannot exhaust the stack. A folder's
// children are asked for only when the walk goes into it.

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace vantrel {

// visit(parent, child) is called for each child below a folder whose walk state is parent.
// It returns the child's own state to go into the child (then childrenOf(child) gives the
// children to visit below it), or nothing to leave everything below the child out.
// leave(state) is called when the walk is done with a folder, the top one included.
// Children is any container with size() and operator[] (a span or a vector); it is kept
// while the walk is inside its folder.
template <typename State, typename Children, typename ChildrenOf, typename Visit, typename Leave>
void WalkFoldersDepthFirst(State top, Children topChildren, ChildrenOf&& childrenOf, Visit&& visit, Leave&& leave) {
  struct Frame {
    State state;
    Children children;
    std::size_t next;
  };
  std::vector<Frame> stack;
  stack.push_back({std::move(top), std::move(topChildren), 0});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next >= frame.children.size()) {
      leave(frame.state);
      stack.pop_back();
      continue;
    }
    const auto child = frame.children[frame.next++];
    std::optional<State> inside = visit(std::as_const(frame.state), child);
    // frame may move when the stack grows: it is not used below.
    if (inside) stack.push_back({std::move(*inside), childrenOf(child), 0});
  }
}

// The same walk with nothing to do on leaving a folder.
template <typename State, typename Children, typename ChildrenOf, typename Visit>
void WalkFoldersDepthFirst(State top, Children topChildren, ChildrenOf&& childrenOf, Visit&& visit) {
  WalkFoldersDepthFirst(std::move(top), std::move(topChildren), std::forward<ChildrenOf>(childrenOf),
                        std::forward<Visit>(visit), [](const State&) {});
}

}  // namespace vantrel
