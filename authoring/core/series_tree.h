#pragma once
// The series of a data tree as its lists hold them: pages named "<series> <signed mm> mm".
// Writing one is WriteSeries (series.h); all changes of a tree are all or nothing
// (tree_transaction.h).

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

namespace ostrelin {

// The series a page name belongs to ("Kopf axial" for "Kopf axial +10 mm"); empty for a page
// whose name is not made like a series page's.
std::string SeriesOfPage(std::string_view page);

// Takes the series `name` (UTF-8, as given to --name) out of the tree: its lines in the page,
// structure and plane lists and the files its pages alone used; a plane list left without planes
// goes too. Nothing else changes. False with `error` set, and the tree as it was, when the tree
// holds no such series or cannot be changed.
bool RemoveSeries(const std::filesystem::path& tree, const std::string& name, std::ostream& log,
                  std::string& error);

}  // namespace ostrelin
