#pragma once
// What a request would show, found by running it through the atlas's own request processing with
// windows that only take notes. The tree checker resolves every link of a text this way, so the
// checker and the atlas cannot disagree about where a link leads.

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/core/catalogue.h"
#include "shell/core/commands.h"

namespace ostrelin {

struct RequestOutcome {
  enum class Kind {
    Page,     // a page was shown (perhaps through the one place of a structure)
    Places,   // a structure outlined in several places: the found-on list was offered
    Unknown,  // neither a page nor a structure: the no-object text was shown
  };
  Kind kind = Kind::Unknown;
  std::string page;                 // Page: the page shown
  ImageType type = kNoImageType;    // Page: the image type shown, -1 when the page has no image
  std::string imagePath;            // Page: the image shown, relative to the data path, or empty
  std::string highlighted;          // Page: the structure highlighted on it, or empty
  std::vector<std::string> places;  // Places: the tagged page names offered
};

// Sends `name` with `command` (a navigation request such as the page link 1274) to a fresh request
// processor over `catalogue`, starting from the page shown at start-up ("START").
RequestOutcome ProbeRequest(const Catalogue& catalogue, Command command, std::string_view name);

}  // namespace ostrelin
