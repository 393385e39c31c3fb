#pragma once
// Consistency check of a data tree, for the demo atlas and for atlas authors: every page's
// images, outline files and texts exist under the names the page list gives, the structure list
// names existing pages and structures that their outline files hold, every link in the texts
// resolves, every plane of a plane list is a page and the planes of a series are listed the way
// the panel's arrows point, every related entry and synonym leads somewhere, and the fixed files
// are there; no series is half-written, no image, outline file or text lies there unused, and no
// interrupted run of atlasbau left its staging folder (the check itself changes nothing).

#include <filesystem>
#include <string>
#include <vector>

namespace ostrelin {

// The problems found, one message a problem, in a stable order; empty for a sound tree.
std::vector<std::string> CheckAtlasTree(const std::filesystem::path& root);

}  // namespace ostrelin
