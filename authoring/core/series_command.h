#pragma once
// The commands "atlasbau series", "atlasbau remove" and "atlasbau check". Series: a scan and its
// label map become a series of pages of a data tree.
//
//   atlasbau series TREE --image SCAN.nii[.gz] --labels LABELS.nii[.gz] [--table TABLE]
//                        --name "Kopf sagittal" --plane axial|coronal|sagittal
//                        --type schnitt|ct|mr|schema --region kopf|rumpf|arm|bein|uebersicht
//                        [--sex m|w] --from MM --to MM --step MM [--pixel MM]
//                        [--extent FIRST,LAST]
//                        [--window CENTRE,WIDTH | --preset weichteil|lunge|knochen|gehirn|auto]
//                        [--names MAP.csv|none] [--schema] [--files STEM] [--min-pixels N]

#include <ostream>
#include <string>
#include <vector>

namespace ostrelin {

// `args` are the words after "series". Progress and notes go to `out`, problems to `err`.
// Status 0 done (the tree checks clean), 1 failed (the tree as it was before: the tree is written
// all or nothing) or done with problems found by the check, 2 usage.
int RunSeriesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The usage text of the command.
const char* SeriesUsage();

// The command "atlasbau remove TREE --name NAME": the series' pages, lines and files leave the
// tree, all or nothing. Status 0 done, 1 failed (the tree as it was), 2 usage.
int RunRemoveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The command "atlasbau check TREE": an interrupted run is rolled back first, then the tree is
// checked. Status 0 sound, 1 problems found.
int RunCheckCommand(const std::string& tree, std::ostream& out, std::ostream& err);

}  // namespace ostrelin
