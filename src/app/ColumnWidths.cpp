#include "app/ColumnWidths.h"

#include <algorithm>
#include <numeric>

namespace vantrel {

std::vector<int> FitColumnWidths(const std::vector<int>& preferred, const std::vector<int>& needed, int room) {
  room = std::max(room, 0);
  const std::size_t count = preferred.size();
  const long long asked = std::accumulate(preferred.begin(), preferred.end(), 0LL);
  if (asked <= room) return preferred;

  // Each column's floor: what its texts need, never more than it asked for.
  std::vector<int> widths(count);
  long long floors = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const int need = i < needed.size() ? needed[i] : 0;
    widths[i] = std::clamp(need, 0, std::max(preferred[i], 0));
    floors += widths[i];
  }
  if (floors >= room) {
    // Not even the needs fit: every column gives up the same share.
    for (int& width : widths) width = floors == 0 ? 0 : static_cast<int>(width * static_cast<long long>(room) / floors);
    return widths;
  }
  // What is left goes to the columns in proportion to what they asked beyond their floor.
  const long long spare = room - floors;
  const long long slack = asked - floors;
  for (std::size_t i = 0; i < count; ++i)
    widths[i] += static_cast<int>((std::max(preferred[i], 0) - widths[i]) * spare / slack);
  return widths;
}

}  // namespace vantrel
