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
  t << W(
      "Im T1-Bild ist die weiße Substanz hell, die graue Substanz grau, der Liquor dunkel. "
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
  t << W(
      ". Die Grenzen folgen einem anatomischen Atlas, der auf genau diesem Kopf gezeichnet "
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
  t << "#/L:"
    << (schema ? W("Zum CT-ähnlichen Bild{") + p.name + " (CT)}#"
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
        float& voxel =
            labels.voxels[(size_t(k) * size_t(labels.ny) + size_t(j)) * size_t(labels.nx) +
                          size_t(i)];
        const long own = std::lround(voxel);
        voxel = named(0, own) ? float(own) : 0.0f;
        if (voxel != 0) continue;
        const auto world = labels.toWorld.Apply(i, j, k);
        for (size_t a = 1; a < head.atlases.size() && voxel == 0; ++a) {
          const long v = SampleNearest(head.atlases[a].volume, head.atlases[a].fromWorld.Apply(
                                                                   world[0], world[1], world[2]));
          if (named(a, v)) voxel = float(a * 10000 + size_t(v));
        }
      }
    }
  }
}

// Everything a build of the demo atlas carries from one step to the next.
struct DemoBuild {
  DemoBuild(const DemoAtlasOptions& options, std::ostream& log, std::string& error)
      : options(options), log(log), error(error), out(options.output, error) {}

  const DemoAtlasOptions& options;
  std::ostream& log;
  std::string& error;
  Writer out;
  HeadSources head;
  // The two head series, cut by the series builder, and their pages for the lists.
  SeriesOptions axial, sagittal;
  std::vector<SeriesPage> axialPages, sagittalPages;
  std::vector<Page> headPages, sagittalHeadPages;
  std::vector<Section> headSections;
  std::vector<int> levels;  // mm of each axial page
  size_t startPlane = 0;    // the axial page whose drawing is the start picture
  std::string midline;      // the sagittal page nearest the midline
  std::vector<PhantomPlane> phantoms;
  std::vector<Page> phantomPages;
  std::map<std::string, std::vector<size_t>> byPictogram;  // indices into phantomPages
};

// The axial head series: every 10 mm from just below the vertex down to the skull base.
std::vector<int> HeadLevels(const HeadSources& head, bool reduced) {
  std::vector<int> levels;
  const int top = int(std::floor((head.vertexZ - 12) / 10)) * 10;
  const int bottom = std::max(int(std::ceil(head.bottomZ + 10)), -60);
  for (int mm = top; mm >= bottom; mm -= 10) levels.push_back(mm);
  if (levels.empty()) levels.push_back(int(std::lround(head.vertexZ)));
  if (reduced && levels.size() > 3) {
    levels = {levels.front(), levels[levels.size() / 2], levels.back()};
  }
  return levels;
}

// The options of the axial and the sagittal head series.
void ChooseHeadSeries(DemoBuild& b, const std::vector<int>& levels) {
  const auto box = WorldBox(b.head.t1);
  SeriesOptions& axial = b.axial;
  axial.tree = b.options.output;
  axial.name = "Kopf axial";
  axial.files = "kopf";
  axial.plane = PlaneOrientation::kAxial;
  axial.type = SeriesType::kMr;
  axial.region = 'K';
  for (int mm : levels) axial.positions.push_back(mm);
  axial.pixel = (box[1].second - box[1].first) / (b.options.headHeight - 1);
  // The head pictogram puts the vertex at 5 % and has 4.18 mm a percent. The volume shows the
  // brain alone, so the vertex of the head lies a skull and a scalp above its top.
  const double pictogramTop = b.head.vertexZ + kSkullAndScalpMm + 5 * 4.18;
  axial.extent = std::pair{pictogramTop, pictogramTop - 418};
  axial.window = std::pair{b.head.windowHigh / 2.0, double(b.head.windowHigh)};
  axial.schema = true;
  axial.minPixels = 40;
  SeriesOptions& sagittal = b.sagittal;
  sagittal = axial;
  sagittal.name = "Kopf sagittal";
  sagittal.files = "kopf_sag";
  sagittal.plane = PlaneOrientation::kSagittal;
  sagittal.extent.reset();
  sagittal.positions.clear();
  for (int mm = 60; mm >= -60; mm -= b.options.reduced ? 40 : 10) sagittal.positions.push_back(mm);
}

// Cuts both head series from the T1 volume and one label map that joins the atlases, and makes
// their pages, the structures coloured by their brain regions.
bool CutHeadSeries(DemoBuild& b) {
  Volume labels;
  std::vector<LabelName> labelNames;
  std::map<std::string, BrainRegion> regionOf;  // Windows-1252 name -> region
  JoinHeadAtlases(b.head, labels, labelNames, regionOf);
  if (!CutSeries(b.head.t1, labels, labelNames, b.axial, b.log, b.axialPages, b.error) ||
      !CutSeries(b.head.t1, labels, labelNames, b.sagittal, b.log, b.sagittalPages, b.error)) {
    return false;
  }
  for (std::vector<SeriesPage>* series : {&b.axialPages, &b.sagittalPages}) {
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
      if (series == &b.axialPages) {
        b.levels.push_back(int(std::lround(sp.mm)));
        b.headSections.push_back(sp.section);
        b.headPages.push_back(std::move(p));
      } else {
        b.sagittalHeadPages.push_back(std::move(p));
      }
    }
  }
  return true;
}

// The texts of the head pages: the axial ones of the demo's own, the sagittal ones the series
// builder's with a link to the axial series.
void SetHeadTexts(DemoBuild& b) {
  b.midline =
      std::min_element(b.sagittalPages.begin(), b.sagittalPages.end(),
                       [](const auto& x, const auto& y) { return std::abs(x.mm) < std::abs(y.mm); })
          ->name;
  b.axial.text = [&b](size_t i, bool schemaText) {
    return schemaText ? HeadSchemaText(b.headPages[i], b.headSections[i])
                      : HeadMrText(b.headPages, i, b.levels[i], b.levels.front() <= b.levels.back(),
                                   b.headSections[i], b.midline);
  };
  b.sagittal.text = [&b](size_t i, bool schemaText) {
    return SeriesPageText(b.sagittal, b.sagittalPages, i, schemaText) +
           W("#/L:Horizontalschnitte des Kopfes{") + b.headPages.back().name + "}#\n";
  };
}

// The start picture: the drawing of the plane nearest the level of the basal ganglia.
bool WriteStartPicture(DemoBuild& b) {
  b.startPlane =
      size_t(std::min_element(b.levels.begin(), b.levels.end(),
                              [](int x, int y) { return std::abs(x - 10) < std::abs(y - 10); }) -
             b.levels.begin());
  std::string bytes;
  return EncodeJpeg(DrawSchema(b.headSections[b.startPlane]), 92, bytes, b.error) &&
         b.out.Bytes("Bilder/Schema/start.jpg", bytes) &&
         EncodeSectionOutline(b.headSections[b.startPlane], "START", bytes, b.error) &&
         b.out.Bytes("Bilder/Schema/start.dat", bytes);
}

// The phantom planes: images and outline files, one page each.
bool WritePhantomImages(DemoBuild& b) {
  b.phantoms = PhantomPlanes(b.options.reduced);
  for (const PhantomPlane& plane : b.phantoms) {
    b.log << "phantom plane " << plane.fileStem << "\n";
    const Section section = CutPhantom(plane, b.options.phantomHeight);
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
    if (!EncodeJpeg(section.grey, 90, bytes, b.error) || !b.out.Bytes("Bilder/CT/" + p.ct, bytes) ||
        !EncodeJpeg(DrawSchema(section), 92, bytes, b.error) ||
        !b.out.Bytes("Bilder/Schema/" + p.schema, bytes) ||
        !EncodeSectionOutline(section, "Phantom", bytes, b.error) ||
        !b.out.Bytes("Bilder/CT/" + plane.fileStem + ".dat", bytes) ||
        !b.out.Bytes("Bilder/Schema/" + plane.fileStem + ".dat", bytes)) {
      return false;
    }
    b.byPictogram[plane.pictogram].push_back(b.phantomPages.size());
    b.phantomPages.push_back(std::move(p));
  }
  return true;
}

// The texts of the phantom pages, one series a pictogram.
bool WritePhantomTexts(DemoBuild& b) {
  const std::string& headPage = b.headPages.back().name;
  for (const auto& [pictogram, indices] : b.byPictogram) {
    std::vector<Page> series;
    for (size_t i : indices) series.push_back(b.phantomPages[i]);
    for (size_t k = 0; k < indices.size(); ++k) {
      const PhantomPlane& plane = b.phantoms[indices[k]];
      if (!b.out.Text("Texte/CT/" + series[k].text,
                      PhantomText(series, k, plane, false, headPage)) ||
          !b.out.Text("Texte/Schema/" + series[k].text,
                      PhantomText(series, k, plane, true, headPage))) {
        return false;
      }
    }
  }
  return true;
}

// The fixed pages: START, then the two help pages.
std::vector<Page> FixedPages(const DemoBuild& b) {
  Page start;
  start.name = "START";
  start.text = "start.txt";
  start.schema = "start.jpg";
  start.type = 'P';
  const Section& startSection = b.headSections[b.startPlane];
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
  return {start, helpOverview, helpMenu};
}

// The welcome text of the START page.
bool WriteWelcome(DemoBuild& b, const Page& start) {
  const std::string firstHead = b.headPages[b.startPlane].name;
  auto maleTrunk = b.byPictogram.find("SM_RUMPF");
  if (maleTrunk == b.byPictogram.end()) maleTrunk = b.byPictogram.begin();
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
          << b.phantomPages[maleTrunk->second.front()].name
          << W("#.$\n"
               "Ein Film führt durch alle Schichten des Kopfes: #/M:Fahrt durch den Kopf{")
          << kVideo
          << W("}#. Der Begrüßungsklang: #/M:Gong{START.WAV}#.$\n"
               "#/L:So bedienen Sie den Atlas{Hilfe-Übersicht}#\n");
  return b.out.Text("Texte/Schema/start.txt", welcome.str());
}

// The help pages and the note for names without a page in every text folder, the note of the
// hidden text and the information text.
bool WriteHelpAndNotes(DemoBuild& b, const Page& helpOverview, const Page& helpMenu) {
  const std::string help = HelpOverviewText();
  const std::string helpMenuText = HelpMenuText();
  const std::string notFound = NotFoundText();
  for (const char* folder : kTextFolders) {
    if (!b.out.Text(fs::path(folder) / helpOverview.text, help) ||
        !b.out.Text(fs::path(folder) / helpMenu.text, helpMenuText) ||
        !b.out.Text(fs::path(folder) / "_KEINOBJ.TXT", notFound)) {
      return false;
    }
  }
  return b.out.Text("Texte/Other/_KEINTXT.TXT", HiddenTextNote()) &&
         b.out.Text(
             "Texte/Other/Info.TXT",
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
               "Gebaut mit dem Werkzeug atlasbau; die Strukturliste stammt von linklist.\n"));
}

// The page list and the plane list of every pictogram. A blank last field cannot be written (a
// trailing "#" makes no field), so pages off the pictograms name themselves as their plane, which
// no plane list holds: START shows only a drawing, so the panel keeps no plane marked for it, and
// the help pages give no region. The head series add their own lines later.
bool WritePageAndPlaneLists(DemoBuild& b, const std::vector<Page>& pages) {
  auto field = [](const std::string& s) { return s.empty() ? std::string(" ") : s; };
  std::ostringstream index;
  index << W(
      "/ Seiten: Name # Text # Schnitt # CT # MR # Schema # Struktur # Typ # Geschlecht # "
      "Region # Ebene\n");
  for (const Page& p : pages) {
    index << p.name << " # " << p.text << " # " << field("") << " # " << field(p.ct) << " # "
          << field(p.mr) << " # " << field(p.schema) << " # " << field(p.defaultStructure) << " # "
          << p.type << " # " << p.sex << " # " << p.region << " # "
          << (p.plane.empty() ? p.name : p.plane) << "\n";
  }
  if (!b.out.Text("Daten/Index.LST", index.str())) return false;

  for (const char* pictogram :
       {"SM_AUSW", "SM_KOPF", "SM_RUMPF", "SF_RUMPF", "SM_ARM", "SM_BEIN"}) {
    // From the bottom up: the panel's upper arrow steps to the next line, toward the head.
    std::vector<const Page*> planes;
    for (const Page& p : pages) {
      if (p.pictogram == pictogram) planes.push_back(&p);
    }
    std::stable_sort(planes.begin(), planes.end(),
                     [](const Page* x, const Page* y) { return x->position > y->position; });
    std::ostringstream pos;
    for (const Page* p : planes) pos << p->plane << " # " << p->position << "\n";
    if (!b.out.Text(fs::path("Daten") / (std::string(pictogram) + ".POS"), pos.str())) {
      return false;
    }
  }
  return true;
}

// The structure list, made by the link-list builder from every outline file of `pages`.
bool WriteStructureList(DemoBuild& b, const std::vector<Page>& pages) {
  const fs::path& output = b.options.output;
  const fs::path structureList = output / "Daten" / "Struktur.LST";
  if (!b.out.Text("Daten/Struktur.LST", W("/ Strukturen: Struktur # Seite # Bildtypen\n"))) {
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
                                             (output / folder / dat).string(), Cp1252ToUtf8(p.name),
                                             std::string(1, letter)};
      RunLinklist(args, linklistOutput);
    }
  }
  return true;
}

// Every structure's pages with its pixels there.
using Places = std::map<std::string, std::vector<std::pair<size_t, std::string>>>;

// Related entries: the other side, then the pages where the structure is largest.
bool WriteRelatedEntries(DemoBuild& b, Places& places) {
  std::ostringstream related;
  related << W("/ Verwandte Einträge: Struktur # Seite oder Struktur & ...\n");
  for (auto& [name, where] : places) {
    std::stable_sort(where.begin(), where.end(),
                     [](const auto& x, const auto& y) { return x.first > y.first; });
    std::vector<std::string> entries;
    const std::string other = Counterparts::Of(name);
    if (!other.empty() && places.count(other) != 0) entries.push_back(other);
    for (size_t i = 0; i < where.size() && i < 4; ++i) entries.push_back(where[i].second);
    related << name << " # ";
    for (size_t i = 0; i < entries.size(); ++i) related << (i ? "&" : "") << entries[i];
    related << "\n";
  }
  return b.out.Text("Daten/Objekte.LST", related.str());
}

// Synonyms of the names that pages and structures begin with: typed text is in capitals, so
// umlauts stand here as capitals too.
bool WriteSynonyms(DemoBuild& b, const std::vector<Page>& pages, const Places& places) {
  static const char* const kSynonyms[][2] = {
      {"MOTORCORTEX", "Gyrus praecentralis"},
      {"MOTORISCHE RINDE", "Gyrus praecentralis"},
      {"SENSIBLE RINDE", "Gyrus postcentralis"},
      {"BROCA", "Gyrus frontalis inferior"},
      {"SEHRINDE", "Cortex calcarinus"},
      {"HÖRRINDE", "Gyri temporales transversi"},
      {"HESCHL", "Gyri temporales transversi"},
      {"MANDELKERN", "Corpus amygdaloideum"},
      {"AMYGDALA", "Corpus amygdaloideum"},
      {"SCHWEIFKERN", "Nucleus caudatus"},
      {"SCHALENKERN", "Putamen"},
      {"SEEPFERDCHEN", "Hippocampus"},
      {"BALKEN", "Corpus callosum"},
      {"CEREBELLUM", "Kleinhirn"},
      {"INSELRINDE", "Insula"},
      {"SEHSTRAHLUNG", "Radiatio optica"},
      {"PYRAMIDENBAHN", "Tractus corticospinalis"},
      {"INNERE KAPSEL", "Capsula interna"},
      {"HEPAR", "Leber"},
      {"REN", "Niere"},
      {"GASTER", "Magen"},
      {"VENTRICULUS", "Magen"},
      {"PULMO", "Lunge"},
      {"LIEN", "Milz"},
      {"SPLEN", "Milz"},
      {"BLASE", "Harnblase"},
      {"VESICA URINARIA", "Harnblase"},
      {"SPEISERÖHRE", "Oesophagus"},
      {"LUFTRÖHRE", "Trachea"},
      {"BRUSTBEIN", "Sternum"},
      {"OBERARMKNOCHEN", "Humerus"},
      {"OBERSCHENKELKNOCHEN", "Femur"},
      {"SCHIENBEIN", "Tibia"},
      {"WADENBEIN", "Fibula"},
      {"ELLE", "Ulna"},
      {"SPEICHE", "Radius"},
      {"GEBÄRMUTTER", "Uterus"},
      {"BRUSTDRÜSE", "Mamma"},
      {"HAUPTSCHLAGADER", "Aorta"},
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
  return b.out.Text("Daten/SYNONYMS.LST", synonyms.str());
}

// The chime and the video of a ride through the head from the bottom up.
bool WriteMedia(DemoBuild& b) {
  if (!b.out.Bytes("MultiMed/START.WAV", SynthesiseChime())) return false;
  std::vector<Raster> frames;
  const double step = b.options.reduced ? 20 : 2;
  for (double z = std::floor(b.head.bottomZ) + 4; z <= b.head.vertexZ; z += step) {
    frames.push_back(CutHeadAxial(b.head, z, b.options.reduced ? 96 : 288, false).grey);
  }
  std::string video;
  if (frames.empty() || !EncodeMjpegAvi(frames, 12, 85, video, b.error) ||
      !b.out.Bytes(fs::path("MultiMed") / kVideo, video)) {
    if (b.error.empty()) b.error = "the head volume gives no frames for the video";
    return false;
  }
  return true;
}

// The head series written by the series builder, and the lists that need every page: related
// entries and synonyms.
bool WriteHeadSeriesAndCrossLists(DemoBuild& b, std::vector<Page>& pages) {
  if (!WriteSeries(b.axial, b.axialPages, b.log, b.error) ||
      !WriteSeries(b.sagittal, b.sagittalPages, b.log, b.error)) {
    return false;
  }
  pages.insert(pages.end(), b.headPages.begin(), b.headPages.end());
  pages.insert(pages.end(), b.sagittalHeadPages.begin(), b.sagittalHeadPages.end());
  Places places;
  for (const Page& p : pages) {
    if (p.plane.empty()) continue;
    for (size_t i = 0; i < p.structures.size(); ++i) {
      places[p.structures[i]].push_back({p.areas[i], p.name});
    }
  }
  return WriteRelatedEntries(b, places) && WriteSynonyms(b, pages, places);
}

}  // namespace

bool BuildDemoAtlas(const DemoAtlasOptions& options, std::ostream& log, std::string& error) {
  DemoBuild b(options, log, error);
  log << "reading " << options.templates.string() << "\n";
  if (!LoadHeadSources(options.templates, b.head, error)) return false;
  for (const std::string& w : b.head.warnings) log << "warning: " << w << "\n";
  if (!PrepareOutput(options.output, error)) return false;
  ChooseHeadSeries(b, HeadLevels(b.head, options.reduced));
  if (!CutHeadSeries(b)) return false;
  SetHeadTexts(b);
  if (!WriteStartPicture(b) || !WritePhantomImages(b) || !WritePhantomTexts(b)) return false;

  std::vector<Page> pages = FixedPages(b);
  if (!WriteWelcome(b, pages[0]) || !WriteHelpAndNotes(b, pages[1], pages[2])) return false;
  pages.insert(pages.end(), b.phantomPages.begin(), b.phantomPages.end());
  if (!WritePageAndPlaneLists(b, pages) || !WriteStructureList(b, pages) ||
      !WriteHeadSeriesAndCrossLists(b, pages) || !WriteMedia(b) ||
      !b.out.Text("KARVOLEN.INI", SettingsFile())) {
    return false;
  }
  log << pages.size() << " pages written to " << options.output.string() << "\n";
  return true;
}

}  // namespace ostrelin
