#pragma once
// Command lines for the tools' tests: the usual arguments with a few options changed.

#include <algorithm>
#include <string>
#include <vector>

namespace ostrelin::test {

// `args` with each pair of `changes` applied: an option already there takes the new value, or is
// dropped with its value when the new value is "-"; another option is appended (alone when its
// value is empty, as a switch).
inline std::vector<std::string> WithOptions(std::vector<std::string> args,
                                            const std::vector<std::string>& changes) {
  for (size_t i = 0; i + 1 < changes.size(); i += 2) {
    auto it = std::find(args.begin(), args.end(), changes[i]);
    if (it != args.end() && changes[i + 1] == "-") {
      args.erase(it, it + 2);
    } else if (it != args.end()) {
      *(it + 1) = changes[i + 1];
    } else {
      args.push_back(changes[i]);
      if (!changes[i + 1].empty()) args.push_back(changes[i + 1]);
    }
  }
  return args;
}

}  // namespace ostrelin::test
