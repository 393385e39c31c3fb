#pragma once
// The names the index list is filled with at start-up: every page name in list order, then every
// structure name in list order. Duplicates are left to the list, which sorts and removes them.

#include <cstddef>
#include <functional>
#include <string>

#include "catalogue/core/catalogue.h"

namespace ostrelin {

// How many names ForEachIndexName hands out: the progress shown while the index fills.
inline size_t IndexNameCount(const Catalogue& catalogue) {
  return catalogue.PageCount() + catalogue.LocationCount();
}

void ForEachIndexName(const Catalogue& catalogue,
                      const std::function<void(const std::string&)>& add);

}  // namespace ostrelin
