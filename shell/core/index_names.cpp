#include "shell/core/index_names.h"

namespace ostrelin {

void ForEachIndexName(const Catalogue& catalogue,
                      const std::function<void(const std::string&)>& add) {
  for (size_t i = 0; i < catalogue.PageCount(); ++i) add(catalogue.PageAt(long(i)).name);
  for (size_t i = 0; i < catalogue.LocationCount(); ++i) add(catalogue.LocationAt(i).structure);
}

}  // namespace ostrelin
