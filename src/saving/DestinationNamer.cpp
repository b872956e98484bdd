#include "saving/DestinationNamer.h"

#include <sys/stat.h>

#include "saving/SafeName.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

std::string NameWithCare(const std::string& name, NameChoice::Care care) {
  switch (care) {
    case NameChoice::AsWritten: return HoldableName(name);
    case NameChoice::Safe: return SafeName(name);
    case NameChoice::Utf8Safe: return Utf8SafeName(name);
  }
  return Utf8SafeName(name);
}

}  // namespace

DestinationNamer::DestinationNamer(fs::path destination, bool safeNames, NameDecoder convert)
    : destination_(std::move(destination)), safeNames_(safeNames), convert_(std::move(convert)) {
  selectedOf_.emplace(destination_.string(), std::string());
}

void DestinationNamer::ForeseeChanged(const fs::path& selected, std::string_view onDisk) {
  const std::string decoded = convert_.Decode(onDisk);
  const std::string name = NameWithCare(decoded, FirstCare());
  if (name != decoded) changedInto_[selected.string()].insert(name);
}

void DestinationNamer::ForeseeKept(const fs::path& selected, std::string_view onDisk) {
  const auto changed = changedInto_.find(selected.string());
  if (changed == changedInto_.end()) return;
  std::string decoded = convert_.Decode(onDisk);
  if (NameWithCare(decoded, FirstCare()) == decoded && changed->second.contains(decoded))
    kept_[selected.string()].emplace(decoded, decoded);
}

std::string DestinationNamer::Claim(const fs::path& folder, const std::string& onDisk, const std::string& wanted) {
  auto& names = taken_[folder.string()];
  const auto selected = selectedOf_.find(folder.string());
  const auto kept = selected == selectedOf_.end() ? kept_.end() : kept_.find(selected->second);
  // The same name on the disk twice (a deleted entry beside a live one) gets the same name:
  // the second meets the first as an existing file.
  const auto free = [&](const std::string& name) {
    const auto found = names.find(name);
    if (found != names.end() && found->second != onDisk) return false;
    if (kept == kept_.end()) return true;
    const auto owner = kept->second.find(name);
    return owner == kept->second.end() || owner->second == onDisk;
  };
  std::string name = wanted;
  for (unsigned n = 2; !free(name); ++n) name = NumberedName(wanted, n);
  names.emplace(name, onDisk);
  return name;
}

NameChoice DestinationNamer::Choose(const fs::path& folder, std::string_view onDisk) {
  const std::string decoded = convert_.Decode(onDisk);
  NameChoice choice;
  choice.care = FirstCare();
  choice.name = Claim(folder, decoded, NameWithCare(decoded, choice.care));
  return choice;
}

bool DestinationNamer::Safer(const fs::path& folder, std::string_view onDisk, NameChoice& choice) {
  const std::string decoded = convert_.Decode(onDisk);
  while (choice.care != NameChoice::Utf8Safe) {
    const std::string before = NameWithCare(decoded, choice.care);
    choice.care = static_cast<NameChoice::Care>(choice.care + 1);
    const std::string wanted = NameWithCare(decoded, choice.care);
    if (wanted == before) continue;
    choice.name = Claim(folder, decoded, wanted);
    return true;
  }
  return false;
}

void DestinationNamer::Written(const fs::path& folder, std::string_view onDisk, const NameChoice& choice) {
  const std::string decoded = convert_.Decode(onDisk);
  if (choice.name != decoded) renamed_.push_back({(folder / choice.name).string(), decoded});
}

fs::path DestinationNamer::MakeFolder(const fs::path& selected) {
  fs::path made = destination_;
  fs::path walked;
  // Below a symbolic link found in the destination nothing is made: it would be made
  // wherever the link leads (the files meant for it are refused too, see SaveSelected).
  bool belowLink = false;
  for (const fs::path& part : selected) {
    walked /= part;
    const auto known = folders_.find(walked.string());
    if (known != folders_.end()) {
      made = known->second;
      belowLink = belowLink || linked_.contains(walked.string());
      continue;
    }
    const std::string onDisk = part.string();
    NameChoice choice = Choose(made, onDisk);
    while (!belowLink && ::mkdir((made / choice.name).c_str(), 0755) != 0 && NameRefused(errno) &&
           Safer(made, onDisk, choice)) {
    }
    std::error_code error;
    belowLink = belowLink || fs::is_symlink(fs::symlink_status(made / choice.name, error));
    if (belowLink) linked_.insert(walked.string());
    Written(made, onDisk, choice);
    made /= choice.name;
    folders_.emplace(walked.string(), made);
    selectedOf_.emplace(made.string(), walked.string());
  }
  return made;
}

}  // namespace vantrel
