#include "settings/SettingsKeys.h"

#include <algorithm>

namespace varnoket {

const std::string& DefaultProgramSettingsText() {
  static const std::string text = [] {
    std::string t = std::string("[") + kParamsSection + "]\r\n";
    t += std::string(kBackupRootKey.name) + "=" + kBackupRootKey.fallback + "\r\n";
    for (const NumberKey* key : {&kPreferredHourKey, &kPreferredMinuteKey, &kDaysKeptKey}) {
      t += std::string(key->name) + "=" + std::to_string(key->fallback) + "\r\n";
    }
    return t;
  }();
  return text;
}

std::string ReadKey(const IniFile& file, const TextKey& key) {
  return file.ReadString(key.section, key.name).value_or(key.fallback);
}

int ReadKey(const IniFile& file, const NumberKey& key) {
  return RaiseToFloor(key, file.ReadInteger(key.section, key.name, key.fallback));
}

void WriteKey(IniFile& file, const TextKey& key, const std::string& value) {
  file.WriteString(key.section, key.name, value);
}

void WriteKey(IniFile& file, const NumberKey& key, const std::string& value) {
  file.WriteString(key.section, key.name, value);
}

int RaiseToFloor(const NumberKey& key, int value) {
  return std::max(value, key.floor);
}

}  // namespace varnoket
