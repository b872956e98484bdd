#pragma once
// The disk information store: text values named "Disk" + n under a few keys ("VT Windows",
// "VT Windows\Cylinder", ...). Key names are compared without regard to case. A missing
// key or value reads as an empty text, and as 0 where a number is wanted.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace vantrel::diskinfo {

inline constexpr const char* kRootKey = "VT Windows";
inline constexpr const char* kCylinderKey = "VT Windows\\Cylinder";
inline constexpr const char* kHeadKey = "VT Windows\\Head";
inline constexpr const char* kSectorsPerTrackKey = "VT Windows\\SectorsPerTrack";
inline constexpr const char* kSizeKey = "VT Windows\\Size";
inline constexpr const char* kModelKey = "VT Windows\\Model";
inline constexpr const char* kMediaTypeKey = "VT Windows\\MediaType";
inline constexpr const char* kDisplayDeviceKey = "VT WINDOWS\\DisplayDevice";
// Why a listed disk cannot be read (our own addition; empty for a readable disk).
inline constexpr const char* kErrorKey = "VT Windows\\Error";

}  // namespace vantrel::diskinfo

namespace vantrel {

class DiskInfoStore {
 public:
  void Write(const std::string& key, const std::string& valueName, const std::string& text);
  std::string Read(const std::string& key, const std::string& valueName) const;
  // A decimal value; missing or not a number reads as 0.
  std::uint64_t ReadNumber(const std::string& key, const std::string& valueName) const;
  void DeleteKey(const std::string& key);
  bool HasKey(const std::string& key) const;
  // Deletes every key of the store.
  void Clear();

 private:
  static std::string Normalised(const std::string& key);
  mutable std::mutex mutex_;
  std::map<std::string, std::map<std::string, std::string>> keys_;
};

}  // namespace vantrel
