#pragma once
// What a ZIP archive holds, from its entry names and its "mimetype" entry: an Office
// Open XML document, an OpenDocument file, an e-book, or a plain archive.

#include <string_view>

#include "carving/RawSignatures.h"

namespace vantrel {

class ZipContentKind {
 public:
  // Each entry name, in archive order; `storedText` is the entry's data when it is stored
  // uncompressed and short (empty otherwise).
  void AddEntry(std::string_view name, std::string_view storedText);
  RawFileKind Kind() const;

 private:
  bool contentTypes_ = false;  // "[Content_Types].xml"
  bool word_ = false;
  bool excel_ = false;
  bool powerPoint_ = false;
  bool first_ = true;
  RawFileKind mimeKind_ = RawFileKind::Zip;  // from a first entry named "mimetype"
};

}  // namespace vantrel
