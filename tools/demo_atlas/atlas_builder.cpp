#include "tools/demo_atlas/atlas_builder.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "authoring/core/linklist.h"
#include "authoring/core/media.h"
#include "authoring/core/series.h"
#include "authoring/core/tree_layout.h"
#include "platform/core/cp1252.h"
#include "platform/core/strings.h"
#include "platform/core/text_file.h"
#include "tools/demo_atlas/head_series.h"
#include "tools/demo_atlas/phantoms.h"

namespace ostrelin {

namespace {

namespace fs = std::filesystem;

// Texts are written here in UTF-8 and stored in Windows-1252, as the atlas reads them (W).
constexpr const char* kVideo = "kopf_fahrt.avi";
// Thickness of skull and scalp over the top of the brain, in mm.
constexpr double kSkullAndScalpMm = 10;

// One page of the tree while it is being built.
struct Page {
  std::string name;  // Windows-1252
  std::string text;  // text file name
  std::string ct, mr, schema;
  std::string defaultStructure;
  char type = ' ', sex = 'M', region = 'U';
  std::string plane;
  std::string pictogram;
  int position = -1;
  std::vector<std::string> structures;  // in outline order
  std::vector<size_t> areas;            // pixels, parallel to structures
};

class Writer {
 public:
  Writer(fs::path root, std::string& error) : root_(std::move(root)), error_(error) {}

  bool Bytes(const fs::path& relative, std::string_view bytes) {
    std::ofstream out(root_ / relative, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out.flush()) return Fail(relative);
    return true;
  }
  // Text in Windows-1252 with LF line ends, written with CR LF.
  bool Text(const fs::path& relative, std::string_view text) {
    if (!WriteTextFile(root_ / relative, text)) return Fail(relative);
    return true;
  }
  const fs::path& Root() const { return root_; }

 private:
  bool Fail(const fs::path& relative) {
    error_ = (root_ / relative).string() + ": cannot be written";
    return false;
  }
  fs::path root_;
  std::string& error_;
};

bool PrepareOutput(const fs::path& out, std::string& error) {
  std::error_code ec;
  if (fs::exists(out, ec)) {
    if (!fs::is_directory(out, ec)) {
      error = out.string() + " is no folder";
      return false;
    }
    std::set<std::string> ours = {"Daten", "Bilder", "Texte", "MultiMed", "KARVOLEN.INI"};
    for (const auto& entry : fs::directory_iterator(out, ec)) {
      const std::string name = entry.path().filename().string();
      if (ours.count(name) == 0) {
        error = out.string() + " holds " + name +
                ", which is no part of a demo atlas: choose an empty or new folder";
        return false;
      }
    }
    for (const std::string& name : ours) fs::remove_all(out / name, ec);
  }
  for (const char* folder : kTreeFolders) {
    fs::create_directories(out / folder, ec);
    if (ec) {
      error = (out / folder).string() + ": " + ec.message();
      return false;
    }
  }
  return true;
}

// The structure links of a list of names, joined by commas.
std::string StructureLinks(const std::vector<std::string>& names) {
  std::string out;
  for (size_t i = 0; i < names.size(); ++i) {
    out += (i == 0 ? "" : ", ") + std::string("#/P:") + names[i] + "#";
  }
  return out;
}

struct Counterparts {
  static std::string Of(const std::string& name) {
    for (auto [a, b] : {std::pair{" links", " rechts"}, std::pair{" rechts", " links"}}) {
      const std::string from = W(a);
      if (name.size() > from.size() && name.ends_with(from)) {
        return name.substr(0, name.size() - from.size()) + W(b);
      }
    }
    return {};
  }
};

std::string NeighbourLinks(const std::vector<Page>& series, size_t i, std::string_view up,
                           std::string_view down) {
  std::string out;
  if (i > 0) out += "#/L:" + std::string(up) + "{" + series[i - 1].name + "}#";
  if (i + 1 < series.size()) {
    out += std::string(out.empty() ? "" : "#   ") + "#/L:" + std::string(down) + "{" +
           series[i + 1].name + "}#";
  }
  return out.empty() ? out : out + "$\n";
}

// `upwards`: the series runs from the bottom up, as the panel's upper arrow steps.
std::string HeadMrText(const std::vector<Page>& series, size_t i, int mm, bool upwards,
                       const Section& section, const std::string& sagittalPage) {
  const Page& p = series[i];
  std::ostringstream t;
  t << "#/H:" << p.name << "#\n";
  t << W("Horizontalschnitt durch den Kopf, MR-Bild (T1-gewichtet) eines gesunden Erwachsenen, "
         "von unten betrachtet: die rechte Körperseite liegt links im Bild, vorne ist oben. "
         "Der Schnitt liegt #/B:")
    << (mm >= 0 ? std::to_string(mm) + W(" mm über") : std::to_string(-mm) + W(" mm unter"))
    << W("# der Ebene durch die vordere und hintere Kommissur (AC-PC-Ebene).$\n");
  t << W("Im T1-Bild ist die weiße Substanz hell, die graue Substanz grau, der Liquor dunkel. "
         "Schädel und Kopfschwarte sind aus diesen Daten entfernt: das Bild zeigt nur das "
         "Gehirn. Zeigen Sie auf eine Region, um ihren Namen zu sehen.$\n");
  std::map<BrainRegion, std::vector<std::string>> byRegion;
  for (const SectionStructure& s : section.structures) byRegion[s.region].push_back(s.name);
  for (const auto& [region, names] : byRegion) {
    t << "#/H:" << RegionName(region) << "#\n";
    t << RegionText(region) << "$\n";
    t << W("In diesem Schnitt: ") << StructureLinks(names) << ".$\n";
  }
  t << W("#/H:Weiter#\n");
  t << NeighbourLinks(series, i, W(upwards ? "Schnitt darunter" : "Schnitt darüber"),
                      W(upwards ? "Schnitt darüber" : "Schnitt darunter"));
  t << W("#/L:Schemazeichnung dieses Schnitts{") << p.name << W(" (Schema)}#$\n");
  t << W("#/M:Film: Fahrt durch den Kopf von unten nach oben{") << kVideo << "}#$\n";
  t << W("#/L:Sagittalschnitte des Kopfes{") << sagittalPage << "}#$\n";
  t << W("#/L:Hilfe zur Bedienung{Hilfe-Übersicht}#\n");
  return t.str();
}

std::string HeadSchemaText(const Page& p, const Section& section) {
  std::ostringstream t;
  t << "#/H:" << p.name << W(" (Schemazeichnung)#\n");
  t << W("Die Zeichnung zeigt die Hirnregionen dieses Schnitts in Flächenfarben: ");
  std::map<BrainRegion, size_t> regions;
  for (const SectionStructure& s : section.structures) ++regions[s.region];
  bool first = true;
  for (const auto& [region, count] : regions) {
    const Rgb c = RegionColour(region);
    const char* colour = c.b > c.r && c.b > c.g   ? "bläulich"
                         : c.r > 200 && c.g > 180 ? (c.b > 180 ? "hell" : "gelblich")
                         : c.g > c.r              ? "grünlich"
                         : c.b > 150              ? "violett"
                                                  : "rötlich";
    t << (first ? "" : ", ") << "#/B:" << RegionName(region) << "# " << W(colour);
    first = false;
  }
  t << W(". Die Grenzen folgen einem anatomischen Atlas, der auf genau diesem Kopf gezeichnet "
         "wurde.$\n");
  t << W("Größte Region: #/P:") << p.defaultStructure << "#.$\n";
  t << W("#/L:Zum MR-Bild{") << p.name << W(" (MR)}#$\n");
  return t.str();
}

std::string PhantomText(const std::vector<Page>& series, size_t i, const PhantomPlane& plane,
                        bool schema, const std::string& headPage) {
  const Page& p = series[i];
  std::ostringstream t;
  t << "#/H:" << p.name << (schema ? W(" (Schemazeichnung)") : "") << "#\n";
  t << W("#/B:Schematisches Phantom:# dieses Bild ist keine Aufnahme eines Menschen, sondern aus "
         "einfachen Formen gezeichnet, ")
    << (schema ? W("als Flächenzeichnung.")
               : W("als CT-ähnliches Bild (Weichteilfenster: Knochen hell, Luft und Lunge "
                   "schwarz)."))
    << W(" Es zeigt die Lage der Organe im Querschnitt ") << plane.level
    << W(", von unten betrachtet.$\n");
  t << W("Strukturen: ") << StructureLinks(p.structures) << ".$\n";
  t << NeighbourLinks(series, i, W("Schnitt darüber"), W("Schnitt darunter"));
  t << "#/L:" << (schema ? W("Zum CT-ähnlichen Bild{") + p.name + " (CT)}#"
                         : W("Zur Schemazeichnung{") + p.name + " (Schema)}#")
    << "$\n";
  t << W("#/L:Echte MR-Schnitte des Kopfes{") << headPage << "}#\n";
  return t.str();
}


// One label map for the series builder from the head's atlases, on the grid of the first: a voxel
// the first atlas leaves unnamed takes the label of the next atlas that names it there. Atlas a's
// value v becomes a * 10000 + v; names carry the colours of their regions.
void JoinHeadAtlases(const HeadSources& head, Volume& labels, std::vector<LabelName>& names,
                     std::map<std::string, BrainRegion>& regionOf) {
  names.clear();
  for (size_t a = 0; a < head.atlases.size(); ++a) {
    for (size_t v = 1; v < head.atlases[a].names.size(); ++v) {
      const AnatomicalName& n = head.atlases[a].names[v];
      if (n.name.empty()) continue;
      Rgb c = RegionColour(n.region);
      const int shade = int(v % 5) * 12 - 24;
      c = {std::uint8_t(std::clamp(c.r + shade, 0, 255)),
           std::uint8_t(std::clamp(c.g + shade, 0, 255)),
           std::uint8_t(std::clamp(c.b + shade, 0, 255))};
      names.push_back({long(a * 10000 + v), Cp1252ToUtf8(n.name), c, true});
      regionOf.emplace(n.name, n.region);
    }
  }
  if (head.atlases.empty()) return;
  const LabelAtlas& first = head.atlases.front();
  labels = first.volume;
  auto named = [&](size_t a, long v) {
    return v > 0 && size_t(v) < head.atlases[a].names.size() &&
           !head.atlases[a].names[size_t(v)].name.empty();
  };
  for (int k = 0; k < labels.nz; ++k) {
    for (int j = 0; j < labels.ny; ++j) {
      for (int i = 0; i < labels.nx; ++i) {
        float& voxel = labels.voxels[(size_t(k) * size_t(labels.ny) + size_t(j)) *
                                         size_t(labels.nx) + size_t(i)];
        const long own = std::lround(voxel);
        voxel = named(0, own) ? float(own) : 0.0f;
        if (voxel != 0) continue;
        const auto world = labels.toWorld.Apply(i, j, k);
        for (size_t a = 1; a < head.atlases.size() && voxel == 0; ++a) {
          const long v = SampleNearest(head.atlases[a].volume,
                                       head.atlases[a].fromWorld.Apply(world[0], world[1], world[2]));
          if (named(a, v)) voxel = float(a * 10000 + size_t(v));
        }
      }
    }
  }
}

}  // namespace

bool BuildDemoAtlas(const DemoAtlasOptions& options, std::ostream& log, std::string& error) {
  HeadSources head;
  log << "reading " << options.templates.string() << "\n";
  if (!LoadHeadSources(options.templates, head, error)) return false;
  for (const std::string& w : head.warnings) log << "warning: " << w << "\n";
  if (!PrepareOutput(options.output, error)) return false;
  Writer out(options.output, error);

  // The real head series: every 10 mm from just below the vertex down to the skull base.
  std::vector<int> levels;
  const int top = int(std::floor((head.vertexZ - 12) / 10)) * 10;
  const int bottom = std::max(int(std::ceil(head.bottomZ + 10)), -60);
  for (int mm = top; mm >= bottom; mm -= 10) levels.push_back(mm);
  if (levels.empty()) levels.push_back(int(std::lround(head.vertexZ)));
  if (options.reduced && levels.size() > 3) {
    levels = {levels.front(), levels[levels.size() / 2], levels.back()};
  }
  // Both head series are cut by the series builder from the T1 volume and one label map that
  // joins the atlases.
  Volume labels;
  std::vector<LabelName> labelNames;
  std::map<std::string, BrainRegion> regionOf;  // Windows-1252 name -> region
  JoinHeadAtlases(head, labels, labelNames, regionOf);
  const auto box = WorldBox(head.t1);
  SeriesOptions axial;
  axial.tree = options.output;
  axial.name = "Kopf axial";
  axial.files = "kopf";
  axial.plane = PlaneOrientation::kAxial;
  axial.type = SeriesType::kMr;
  axial.region = 'K';
  for (int mm : levels) axial.positions.push_back(mm);
  axial.pixel = (box[1].second - box[1].first) / (options.headHeight - 1);
  // The head pictogram puts the vertex at 5 % and has 4.18 mm a percent. The volume shows the
  // brain alone, so the vertex of the head lies a skull and a scalp above its top.
  const double pictogramTop = head.vertexZ + kSkullAndScalpMm + 5 * 4.18;
  axial.extent = std::pair{pictogramTop, pictogramTop - 418};
  axial.window = std::pair{head.windowHigh / 2.0, double(head.windowHigh)};
  axial.schema = true;
  axial.minPixels = 40;
  SeriesOptions sagittal = axial;
  sagittal.name = "Kopf sagittal";
  sagittal.files = "kopf_sag";
  sagittal.plane = PlaneOrientation::kSagittal;
  sagittal.extent.reset();
  sagittal.positions.clear();
  for (int mm = 60; mm >= -60; mm -= options.reduced ? 40 : 10) sagittal.positions.push_back(mm);

  std::vector<SeriesPage> axialPages, sagittalPages;
  if (!CutSeries(head.t1, labels, labelNames, axial, log, axialPages, error) ||
      !CutSeries(head.t1, labels, labelNames, sagittal, log, sagittalPages, error)) {
    return false;
  }
  labels = Volume();
  std::vector<Page> headPages, sagittalHeadPages;
  std::vector<Section> headSections;
  levels.clear();
  for (std::vector<SeriesPage>* series : {&axialPages, &sagittalPages}) {
    for (SeriesPage& sp : *series) {
      for (SectionStructure& st : sp.section.structures) st.region = regionOf[st.name];
      Page p;
      p.name = sp.name;
      p.text = sp.stem + ".txt";
      p.mr = p.schema = sp.stem + ".jpg";
      p.plane = p.name;
      p.structures = sp.Structures();
      p.areas = sp.areas;
      p.defaultStructure = sp.Largest();
      if (series == &axialPages) {
        levels.push_back(int(std::lround(sp.mm)));
        headSections.push_back(sp.section);
        headPages.push_back(std::move(p));
      } else {
        sagittalHeadPages.push_back(std::move(p));
      }
    }
  }
  // The sagittal plane nearest the midline, which the axial texts lead to.
  const std::string midline =
      std::min_element(sagittalPages.begin(), sagittalPages.end(), [](const auto& a, const auto& b) {
        return std::abs(a.mm) < std::abs(b.mm);
      })->name;
  axial.text = [&](size_t i, bool schemaText) {
    return schemaText ? HeadSchemaText(headPages[i], headSections[i])
                      : HeadMrText(headPages, i, levels[i], levels.front() <= levels.back(),
                                   headSections[i], midline);
  };
  sagittal.text = [&](size_t i, bool schemaText) {
    return SeriesPageText(sagittal, sagittalPages, i, schemaText) +
           W("#/L:Horizontalschnitte des Kopfes{") + headPages.back().name + "}#\n";
  };

  // The start picture: the drawing of the plane nearest the level of the basal ganglia.
  const size_t startPlane = size_t(
      std::min_element(levels.begin(), levels.end(),
                       [](int a, int b) { return std::abs(a - 10) < std::abs(b - 10); }) -
      levels.begin());
  {
    std::string bytes;
    if (!EncodeJpeg(DrawSchema(headSections[startPlane]), 92, bytes, error) ||
        !out.Bytes("Bilder/Schema/start.jpg", bytes) ||
        !EncodeSectionOutline(headSections[startPlane], "START", bytes, error) ||
        !out.Bytes("Bilder/Schema/start.dat", bytes)) {
      return false;
    }
  }

  // The phantom series, one list of pages a pictogram.
  std::vector<PhantomPlane> phantoms = PhantomPlanes(options.reduced);
  std::map<std::string, std::vector<size_t>> byPictogram;
  std::vector<Page> phantomPages;
  for (size_t i = 0; i < phantoms.size(); ++i) {
    const PhantomPlane& plane = phantoms[i];
    log << "phantom plane " << plane.fileStem << "\n";
    const Section section = CutPhantom(plane, options.phantomHeight);
    Page p;
    p.name = plane.pageName;
    p.text = plane.fileStem + ".txt";
    p.ct = p.schema = plane.fileStem + ".jpg";
    p.type = 'C';
    p.sex = plane.sex;
    p.region = plane.region;
    p.plane = p.name;
    p.pictogram = plane.pictogram;
    p.position = plane.position;
    p.defaultStructure = plane.defaultStructure;
    for (const SectionStructure& s : section.structures) p.structures.push_back(s.name);
    p.areas = section.PixelCounts();
    std::string bytes;
    if (!EncodeJpeg(section.grey, 90, bytes, error) || !out.Bytes("Bilder/CT/" + p.ct, bytes) ||
        !EncodeJpeg(DrawSchema(section), 92, bytes, error) ||
        !out.Bytes("Bilder/Schema/" + p.schema, bytes) ||
        !EncodeSectionOutline(section, "Phantom", bytes, error) ||
        !out.Bytes("Bilder/CT/" + plane.fileStem + ".dat", bytes) ||
        !out.Bytes("Bilder/Schema/" + plane.fileStem + ".dat", bytes)) {
      return false;
    }
    byPictogram[plane.pictogram].push_back(phantomPages.size());
    phantomPages.push_back(std::move(p));
  }
  for (const auto& [pictogram, indices] : byPictogram) {
    std::vector<Page> series;
    for (size_t i : indices) series.push_back(phantomPages[i]);
    for (size_t k = 0; k < indices.size(); ++k) {
      const PhantomPlane& plane = phantoms[indices[k]];
      if (!out.Text("Texte/CT/" + series[k].text,
                    PhantomText(series, k, plane, false, headPages.back().name)) ||
          !out.Text("Texte/Schema/" + series[k].text,
                    PhantomText(series, k, plane, true, headPages.back().name))) {
        return false;
      }
    }
  }

  // The fixed pages.
  Page start;
  start.name = "START";
  start.text = "start.txt";
  start.schema = "start.jpg";
  start.type = 'P';
  const Section& startSection = headSections[startPlane];
  for (const SectionStructure& s : startSection.structures) start.structures.push_back(s.name);
  start.areas = startSection.PixelCounts();
  Page helpOverview, helpMenu;
  helpOverview.name = W("Hilfe-Übersicht");
  helpOverview.text = "hilfe.txt";
  helpMenu.name = W("Hilfe-Kontextmenü");
  helpMenu.text = "hilfe_menue.txt";
  // The help pages give neither sex nor region, so opening them leaves the pictogram the student
  // was using where it is.
  for (Page* p : {&helpOverview, &helpMenu}) p->sex = p->region = '-';

  const std::string firstHead = headPages[startPlane].name;
  auto maleTrunk = byPictogram.find("SM_RUMPF");
  if (maleTrunk == byPictogram.end()) maleTrunk = byPictogram.begin();
  std::ostringstream welcome;
  welcome << W("#/H:Willkommen im Demo-Atlas#\n"
               "Dieser Atlas zeigt #/B:echte MR-Schnitte eines Kopfes# mit den Hirnregionen eines "
               "anatomischen Atlas, dazu #/B:schematische Phantome# von Rumpf, Arm und Bein.$\n"
               "Das Bild zeigt die Hirnregionen in Höhe der Stammganglien. Zeigen Sie mit der "
               "Maus darauf: jede Region wird hervorgehoben und benannt, zum Beispiel der "
               "#/P:")
          << start.structures.front()
          << W("#.$\n"
               "#/H:Erste Schritte#\n"
               "Wählen Sie rechts oben auf dem Piktogramm eine Körperregion und dann eine "
               "Schnittebene, oder beginnen Sie gleich mit dem Schnitt #/L:")
          << firstHead << W("#. Die Schnitte des Rumpfes beginnen mit #/L:")
          << phantomPages[maleTrunk->second.front()].name
          << W("#.$\n"
               "Ein Film führt durch alle Schichten des Kopfes: #/M:Fahrt durch den Kopf{")
          << kVideo
          << W("}#. Der Begrüßungsklang: #/M:Gong{START.WAV}#.$\n"
               "#/L:So bedienen Sie den Atlas{Hilfe-Übersicht}#\n");
  if (!out.Text("Texte/Schema/start.txt", welcome.str())) return false;

  const std::string help = HelpOverviewText();
  const std::string helpMenuText = HelpMenuText();
  const std::string notFound = NotFoundText();
  for (const char* folder : kTextFolders) {
    if (!out.Text(fs::path(folder) / helpOverview.text, help) ||
        !out.Text(fs::path(folder) / helpMenu.text, helpMenuText) ||
        !out.Text(fs::path(folder) / "_KEINOBJ.TXT", notFound)) {
      return false;
    }
  }
  if (!out.Text("Texte/Other/_KEINTXT.TXT", HiddenTextNote()) ||
      !out.Text("Texte/Other/Info.TXT",
                W("Ostrelin - Demo-Atlas der Schnittanatomie\n"
                  "\n"
                  "Kopf: echte MR-Daten (T1, 0,5 mm) eines gesunden Erwachsenen mit einem\n"
                  "anatomischen Atlas der Hirnregionen und einem Atlas der Bahnen der weißen\n"
                  "Substanz, beide auf diesem Kopf ausgerichtet (Debian-Paket mricron-data).\n"
                  "Die Höhen der Schnitte sind in mm über der AC-PC-Ebene angegeben.\n"
                  "\n"
                  "Rumpf, Arm und Bein: schematische Phantome aus einfachen Formen, keine\n"
                  "Aufnahmen von Menschen.\n"
                  "\n"
                  "Gebaut mit dem Werkzeug atlasbau; die Strukturliste stammt von linklist.\n"))) {
    return false;
  }

  // The lists. A blank last field cannot be written (a trailing "#" makes no field), so pages
  // off the pictograms name themselves as their plane, which no plane list holds: START shows
  // only a drawing, so the panel keeps no plane marked for it, and the help pages give no region.
  // The head series add their own lines below.
  std::vector<Page> pages = {start, helpOverview, helpMenu};
  pages.insert(pages.end(), phantomPages.begin(), phantomPages.end());
  auto field = [](const std::string& s) { return s.empty() ? std::string(" ") : s; };
  std::ostringstream index;
  index << W("/ Seiten: Name # Text # Schnitt # CT # MR # Schema # Struktur # Typ # Geschlecht # "
             "Region # Ebene\n");
  for (const Page& p : pages) {
    index << p.name << " # " << p.text << " # " << field("") << " # " << field(p.ct) << " # "
          << field(p.mr) << " # " << field(p.schema) << " # " << field(p.defaultStructure)
          << " # " << p.type << " # " << p.sex << " # " << p.region << " # "
          << (p.plane.empty() ? p.name : p.plane)
          << "\n";
  }
  if (!out.Text("Daten/Index.LST", index.str())) return false;

  for (const char* pictogram : {"SM_AUSW", "SM_KOPF", "SM_RUMPF", "SF_RUMPF", "SM_ARM",
                                "SM_BEIN"}) {
    // From the bottom up: the panel's upper arrow steps to the next line, toward the head.
    std::vector<const Page*> planes;
    for (const Page& p : pages) {
      if (p.pictogram == pictogram) planes.push_back(&p);
    }
    std::stable_sort(planes.begin(), planes.end(),
                     [](const Page* a, const Page* b) { return a->position > b->position; });
    std::ostringstream pos;
    for (const Page* p : planes) pos << p->plane << " # " << p->position << "\n";
    if (!out.Text(fs::path("Daten") / (std::string(pictogram) + ".POS"), pos.str())) {
      return false;
    }
  }

  // The structure list, made by the link-list builder from every outline file.
  const fs::path structureList = options.output / "Daten" / "Struktur.LST";
  if (!out.Text("Daten/Struktur.LST", W("/ Strukturen: Struktur # Seite # Bildtypen\n"))) {
    return false;
  }
  std::ostringstream linklistOutput;
  for (const Page& p : pages) {
    const std::pair<const std::string*, const char*> images[] = {
        {&p.ct, "Bilder/CT/"}, {&p.mr, "Bilder/MRT/"}, {&p.schema, "Bilder/Schema/"}};
    for (const auto& [image, folder] : images) {
      if (image->empty()) continue;
      const std::string dat = image->substr(0, image->size() - 3) + "dat";
      const char letter = folder[7] == 'C' ? 'C' : folder[7] == 'M' ? 'M' : 'P';
      const std::vector<std::string> args = {"linklist", structureList.string(),
                                             (options.output / folder / dat).string(),
                                             Cp1252ToUtf8(p.name), std::string(1, letter)};
      RunLinklist(args, linklistOutput);
    }
  }

  // The head series: images, outline files, texts and their lines in the lists.
  if (!WriteSeries(axial, axialPages, log, error) ||
      !WriteSeries(sagittal, sagittalPages, log, error)) {
    return false;
  }
  pages.insert(pages.end(), headPages.begin(), headPages.end());
  pages.insert(pages.end(), sagittalHeadPages.begin(), sagittalHeadPages.end());

  // Related entries: the other side, then the pages where the structure is largest.
  std::map<std::string, std::vector<std::pair<size_t, std::string>>> places;
  for (const Page& p : pages) {
    if (p.plane.empty()) continue;
    for (size_t i = 0; i < p.structures.size(); ++i) {
      places[p.structures[i]].push_back({p.areas[i], p.name});
    }
  }
  std::ostringstream related;
  related << W("/ Verwandte Einträge: Struktur # Seite oder Struktur & ...\n");
  for (auto& [name, where] : places) {
    std::stable_sort(where.begin(), where.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::string> entries;
    const std::string other = Counterparts::Of(name);
    if (!other.empty() && places.count(other) != 0) entries.push_back(other);
    for (size_t i = 0; i < where.size() && i < 4; ++i) entries.push_back(where[i].second);
    related << name << " # ";
    for (size_t i = 0; i < entries.size(); ++i) related << (i ? "&" : "") << entries[i];
    related << "\n";
  }
  if (!out.Text("Daten/Objekte.LST", related.str())) return false;

  // Synonyms: typed text is in capitals, so umlauts stand here as capitals too.
  static const char* const kSynonyms[][2] = {
      {"MOTORCORTEX", "Gyrus praecentralis"},   {"MOTORISCHE RINDE", "Gyrus praecentralis"},
      {"SENSIBLE RINDE", "Gyrus postcentralis"}, {"BROCA", "Gyrus frontalis inferior"},
      {"SEHRINDE", "Cortex calcarinus"},         {"HÖRRINDE", "Gyri temporales transversi"},
      {"HESCHL", "Gyri temporales transversi"},  {"MANDELKERN", "Corpus amygdaloideum"},
      {"AMYGDALA", "Corpus amygdaloideum"},      {"SCHWEIFKERN", "Nucleus caudatus"},
      {"SCHALENKERN", "Putamen"},                {"SEEPFERDCHEN", "Hippocampus"},
      {"BALKEN", "Corpus callosum"},             {"CEREBELLUM", "Kleinhirn"},
      {"INSELRINDE", "Insula"},                  {"SEHSTRAHLUNG", "Radiatio optica"},
      {"PYRAMIDENBAHN", "Tractus corticospinalis"}, {"INNERE KAPSEL", "Capsula interna"},
      {"HEPAR", "Leber"},
      {"REN", "Niere"},                          {"GASTER", "Magen"},
      {"VENTRICULUS", "Magen"},                  {"PULMO", "Lunge"},
      {"LIEN", "Milz"},                          {"SPLEN", "Milz"},
      {"BLASE", "Harnblase"},                    {"VESICA URINARIA", "Harnblase"},
      {"SPEISERÖHRE", "Oesophagus"},             {"LUFTRÖHRE", "Trachea"},
      {"BRUSTBEIN", "Sternum"},                  {"OBERARMKNOCHEN", "Humerus"},
      {"OBERSCHENKELKNOCHEN", "Femur"},          {"SCHIENBEIN", "Tibia"},
      {"WADENBEIN", "Fibula"},                   {"ELLE", "Ulna"},
      {"SPEICHE", "Radius"},                     {"GEBÄRMUTTER", "Uterus"},
      {"BRUSTDRÜSE", "Mamma"},                   {"HAUPTSCHLAGADER", "Aorta"},
  };
  std::vector<std::string> names;
  for (const Page& p : pages) names.push_back(p.name);
  for (const auto& [name, where] : places) names.push_back(name);
  std::ostringstream synonyms;
  for (const auto& pair : kSynonyms) {
    const std::string replacement = W(pair[1]);
    const bool used = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
      return n.size() >= replacement.size() &&
             EqualsAsciiNoCase(std::string_view(n).substr(0, replacement.size()), replacement);
    });
    if (used) synonyms << W(pair[0]) << " # " << replacement << "\n";
  }
  if (!out.Text("Daten/SYNONYMS.LST", synonyms.str())) return false;

  // Sound and video.
  if (!out.Bytes("MultiMed/START.WAV", SynthesiseChime())) return false;
  std::vector<Raster> frames;
  const double step = options.reduced ? 20 : 2;
  for (double z = std::floor(head.bottomZ) + 4; z <= head.vertexZ; z += step) {
    frames.push_back(CutHeadAxial(head, z, options.reduced ? 96 : 288, false).grey);
  }
  std::string video;
  if (frames.empty() || !EncodeMjpegAvi(frames, 12, 85, video, error) ||
      !out.Bytes(fs::path("MultiMed") / kVideo, video)) {
    if (error.empty()) error = "the head volume gives no frames for the video";
    return false;
  }

  if (!out.Text("KARVOLEN.INI", SettingsFile())) {
    return false;
  }
  log << pages.size() << " pages written to " << options.output.string() << "\n";
  return true;
}

}  // namespace ostrelin
