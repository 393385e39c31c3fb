#pragma once
// The six values of a Settings side by side with their key names, so that one comparison of two
// settings shows every key that differs by name.

#include <string>
#include <utility>
#include <vector>

#include "shell/core/settings.h"

namespace ostrelin::test {

using SettingsFields = std::vector<std::pair<std::string, std::string>>;

inline SettingsFields FieldsOf(const Settings& s) {
  return {{"DataPath", s.DataPath},   {"SavePath", s.SavePath},
          {"MMPlayer", s.MMPlayer},   {"MMPlayerParam", s.MMPlayerParam},
          {"MMPlayer2", s.MMPlayer2}, {"MMPlayerParam2", s.MMPlayerParam2}};
}

}  // namespace ostrelin::test
