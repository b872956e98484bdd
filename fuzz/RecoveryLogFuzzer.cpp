// libFuzzer target: any bytes given as a recovery log. The load must refuse or accept them
// without reading past their end, hanging or allocating without bound; an accepted log,
// written again, must load again.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/DialogAnswers.h"
#include "app/HeadlessWindow.h"
#include "app/WizardState.h"
#include "app/RecoveryLogCommands.h"
#include "logs/RecoveryLogFormat.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteSpan file(reinterpret_cast<const std::byte*>(data), size);
  FixedAnswers answers(false, BadSectorAnswer::SkipAll);
  HeadlessWindow window(answers);
  WizardState state;
  state.mainWindow = &window;
  // The selected disk is the log's, so that the load goes past the disk check.
  state.selectedDiskModel = DecodeLogDiskModel(file).value_or("");
  if (LoadRecoveryLogBytes(state, file) != LogLoadOutcome::Loaded) return 0;

  RecoveryLogHead head{state.selectedDiskModel, static_cast<std::uint8_t>(state.recoveryMode),
                       static_cast<std::uint16_t>(state.fileSearchType), 0,
                       {state.currentPartition.sizeSectors, state.currentPartition.partitionStartSector}};
  std::vector<LoggedPartition> partitions;
  for (std::uint32_t i = 0; i < state.partitionTable.count; ++i)
    partitions.push_back({state.partitionTable.records[i].size, state.partitionTable.records[i].start});
  const std::string again = EncodeRecoveryLog(head, partitions, state.catalogue);
  const auto reloaded = DecodeRecoveryLog(std::as_bytes(std::span(again.data(), again.size())));
  if (!reloaded || reloaded->catalogue.fileList.size() != state.catalogue.fileList.size() ||
      reloaded->catalogue.folderList.size() != state.catalogue.folderList.size())
    std::abort();
  return 0;
}
