// atlasbau: builds the demo atlas from the real head data of the templates folder and the
// schematic phantoms, turns a scan and its segmentation into a series of pages, takes a series out
// again, and checks data trees (rolling back a run that was interrupted).
//
//   atlasbau build ZIEL [--templates DIR] [--reduced]
//   atlasbau series BAUM --image SCAN --labels LABELS ... (see series_command.h)
//   atlasbau remove BAUM --name NAME
//   atlasbau check BAUM
//   atlasbau web BAUM ZIEL [--app DIR] [--art DIR]
#include <iostream>
#include <string>
#include <vector>

#include "authoring/core/atlas_check.h"
#include "authoring/core/series_command.h"
#include "authoring/core/web_export.h"
#include "tools/demo_atlas/atlas_builder.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto usage = [] {
    std::cerr << "Aufruf:\n  atlasbau build ZIEL [--templates DIR] [--reduced]\n"
              << ostrelin::SeriesUsage() << "  atlasbau remove BAUM --name NAME\n"
              << "  atlasbau check BAUM\n"
              << "  atlasbau web BAUM ZIEL [--app DIR] [--art DIR]\n";
    return 2;
  };
  if (!args.empty() && args[0] == "series") {
    return ostrelin::RunSeriesCommand({args.begin() + 1, args.end()}, std::cout, std::cerr);
  }
  if (!args.empty() && args[0] == "remove") {
    return ostrelin::RunRemoveCommand({args.begin() + 1, args.end()}, std::cout, std::cerr);
  }
  if (args.size() < 2) return usage();
  if (args[0] == "check" && args.size() == 2) {
    return ostrelin::RunCheckCommand(args[1], std::cout, std::cerr);
  }
  if (args[0] == "web" && args.size() >= 3) {
    ostrelin::WebExportOptions web{args[1], args[2], OSTRELIN_WEB_APP_DIR, OSTRELIN_ART_DIR};
    for (size_t i = 3; i < args.size(); ++i) {
      if (args[i] == "--app" && i + 1 < args.size()) {
        web.appFolder = args[++i];
      } else if (args[i] == "--art" && i + 1 < args.size()) {
        web.artFolder = args[++i];
      } else {
        return usage();
      }
    }
    std::vector<std::string> problems;
    if (!ostrelin::ExportWebSite(web, std::cout, problems)) {
      for (const std::string& p : problems) std::cerr << "atlasbau web: " << p << "\n";
      return 1;
    }
    return 0;
  }
  if (args[0] != "build") return usage();
  ostrelin::DemoAtlasOptions options;
  options.output = args[1];
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--reduced") {
      options.reduced = true;
    } else if (args[i] == "--templates" && i + 1 < args.size()) {
      options.templates = args[++i];
    } else {
      return usage();
    }
  }
  std::string error;
  if (!ostrelin::BuildDemoAtlas(options, std::cout, error)) {
    std::cerr << "atlasbau: " << error << "\n";
    if (error.find("ch2better") != std::string::npos || error.find("aal") != std::string::npos) {
      std::cerr << "atlasbau: the head data come from the Debian package mricron-data "
                   "(apt-get install mricron-data)\n";
    }
    return 1;
  }
  const std::vector<std::string> problems = ostrelin::CheckAtlasTree(options.output);
  for (const std::string& p : problems) std::cerr << "check: " << p << "\n";
  return problems.empty() ? 0 : 1;
}
