#include "stacks/StackDetailsRows.h"

namespace vantrel {

std::vector<std::string> StackDetailsRows(const StackDescription& stack) {
  std::vector<std::string> rows;
  const auto row = [&](const std::string& label, const std::string& value) {
    if (!value.empty()) rows.push_back(label + "   : " + value);
  };
  if (stack.kind == "md") {
    row("Array", stack.name + " (" + stack.uuid + ")");
    row("Level", stack.level);
    if (stack.chunkBytes != 0) row("Chunk", std::to_string(stack.chunkBytes / 1024) + " KiB");
    row("Layout", stack.layout);
  } else {
    row("Logical Volume", stack.name);
    row("Volume Group", stack.volumeGroup);
    row("Mapping", stack.level);
    if (stack.chunkBytes != 0) row("Stripe", std::to_string(stack.chunkBytes / 1024) + " KiB");
  }
  for (const std::string& member : stack.members) row("Member", member);
  for (const std::string& segment : stack.segments) row("Segment", segment);
  row("State", stack.state);
  for (const std::string& left : stack.leftOut) row("Left Out", left);
  return rows;
}

}  // namespace vantrel
