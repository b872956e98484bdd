#include "saving/SafeName.h"

namespace vantrel {

std::string SafeName(std::string_view name) {
  if (name.empty() || name == ".") return "_";
  if (name == "..") return "__";
  std::string safe(name);
  for (char& c : safe)
    if (c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|' || c == '/' ||
        c == '\\' || c == '\0')
      c = '_';
  return safe;
}

}  // namespace vantrel
