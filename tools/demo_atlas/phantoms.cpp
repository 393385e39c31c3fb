#include "tools/demo_atlas/phantoms.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>

#include "platform/core/cp1252.h"

namespace ostrelin {

namespace {

// An ellipse in millimetres around the plane's centre; x grows to the image's right (the body's
// left, the radiological view from below), y grows downward (backward). Later shapes cover
// earlier ones. A shape without a name is tissue of the body wall.
struct Shape {
  const char* name;  // UTF-8
  double cx, cy, rx, ry;
  int hu;  // CT density in Hounsfield units
  Rgb colour;
};

constexpr Rgb kWall{236, 200, 170}, kBone{250, 250, 235}, kMuscle{205, 110, 100},
    kLung{190, 220, 245}, kBlood{215, 60, 60}, kVein{90, 110, 210}, kLiver{160, 90, 70},
    kGut{235, 190, 120}, kKidney{175, 100, 120}, kNerve{250, 230, 90}, kGland{240, 170, 190},
    kBladder{200, 220, 120}, kAir{200, 240, 255};

using Shapes = std::vector<Shape>;

Shapes Spine(double y) {
  return {{"Wirbelkörper", 0, y, 18, 16, 500, kBone},
          {"Rückenmark", 0, y + 22, 6, 5, 35, kNerve},
          {"Autochthone Rückenmuskulatur", -26, y + 32, 17, 11, 50, kMuscle},
          {"Autochthone Rückenmuskulatur", 26, y + 32, 17, 11, 50, kMuscle}};
}

Shapes Append(Shapes a, const Shapes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Shapes ThoraxUpper(bool female) {
  Shapes s = {{nullptr, 0, 0, female ? 138.0 : 150.0, 95, -90, kWall},
              {"Lunge rechts", -65, 5, 50, 62, -850, kLung},
              {"Lunge links", 65, 5, 50, 62, -850, kLung},
              {"Trachea", 0, -22, 9, 9, -1000, kAir},
              {"Arcus aortae", 14, -2, 26, 10, 45, kBlood},
              {"Vena cava superior", -22, -20, 9, 9, 40, kVein},
              {"Sternum", 0, -84, 16, 7, 450, kBone}};
  return Append(s, Spine(44));
}

Shapes ThoraxHeart(bool female) {
  Shapes s = {{nullptr, 0, 0, female ? 140.0 : 152.0, 100, -90, kWall}};
  if (female) {
    s.push_back({"Mamma rechts", -62, -98, 45, 34, -60, kGland});
    s.push_back({"Mamma links", 62, -98, 45, 34, -60, kGland});
  }
  s.insert(s.end(), {{"Lunge rechts", -68, 12, 48, 64, -850, kLung},
                     {"Lunge links", 72, 18, 40, 56, -850, kLung},
                     {"Herz", 22, -20, 52, 44, 45, kBlood},
                     {"Aorta descendens", 20, 22, 11, 11, 45, kBlood},
                     {"Oesophagus", -4, 18, 7, 6, 30, kGut},
                     {"Sternum", 0, -88, 15, 7, 450, kBone}});
  return Append(s, Spine(48));
}

Shapes UpperAbdomen(bool female) {
  Shapes s = {{nullptr, 0, 0, female ? 136.0 : 146.0, 100, -90, kWall},
              {"Lunge rechts", -76, 50, 28, 20, -850, kLung},
              {"Lunge links", 76, 50, 28, 20, -850, kLung},
              {"Leber", -40, -5, 82, 66, 60, kLiver},
              {"Magen", 58, -18, 42, 30, 20, kGut},
              {"Milz", 90, 30, 22, 30, 50, kLiver},
              {"Aorta abdominalis", 10, 24, 10, 10, 45, kBlood},
              {"Vena cava inferior", -20, 22, 10, 9, 40, kVein}};
  return Append(s, Spine(50));
}

Shapes Kidneys(bool female) {
  Shapes s = {{nullptr, 0, 0, female ? 132.0 : 140.0, 95, -90, kWall},
              {"Dünndarm", 0, -42, 72, 36, 20, kGut},
              {"Leber", -62, -8, 44, 34, 60, kLiver},
              {"M. psoas major rechts", -30, 44, 14, 17, 50, kMuscle},
              {"M. psoas major links", 30, 44, 14, 17, 50, kMuscle},
              {"Niere rechts", -62, 42, 22, 30, 35, kKidney},
              {"Niere links", 62, 42, 22, 30, 35, kKidney},
              {"Aorta abdominalis", 8, 18, 10, 10, 45, kBlood},
              {"Vena cava inferior", -18, 16, 10, 9, 40, kVein}};
  return Append(s, Spine(46));
}

Shapes Pelvis(bool female) {
  Shapes s = {{nullptr, 0, 0, female ? 168.0 : 160.0, 100, -90, kWall},
              {"M. gluteus maximus rechts", -76, 46, 38, 30, 50, kMuscle},
              {"M. gluteus maximus links", 76, 46, 38, 30, 50, kMuscle},
              {"Caput femoris rechts", -90, 8, 23, 23, 600, kBone},
              {"Caput femoris links", 90, 8, 23, 23, 600, kBone},
              {"Harnblase", 0, -30, 36, 26, 5, kBladder},
              {"Rectum", 0, 40, 14, 12, -20, kGut}};
  if (female) s.push_back({"Uterus", 0, 8, 24, 16, 45, kGland});
  return s;
}

Shapes Thighs() {
  Shapes s;
  for (int side : {-1, 1}) {
    const double x = side * 62.0;
    const char* q = side < 0 ? "M. quadriceps femoris rechts" : "M. quadriceps femoris links";
    const char* f = side < 0 ? "Femur rechts" : "Femur links";
    const char* h = side < 0 ? "Ischiocrurale Muskeln rechts" : "Ischiocrurale Muskeln links";
    s.insert(s.end(), {{nullptr, x, 0, 58, 58, -90, kWall},
                       {q, x, -18, 46, 32, 50, kMuscle},
                       {h, x, 28, 40, 22, 50, kMuscle},
                       {f, x, 0, 13, 13, 700, kBone}});
  }
  return s;
}

Shapes UpperArm() {
  return {{nullptr, 0, 0, 45, 42, -90, kWall},
          {"M. biceps brachii", 2, -22, 24, 13, 50, kMuscle},
          {"M. brachialis", 2, -4, 22, 9, 50, kMuscle},
          {"M. triceps brachii", 0, 22, 32, 15, 50, kMuscle},
          {"Humerus", -2, 4, 11, 11, 700, kBone},
          {"A. brachialis", 24, -8, 3.5, 3.5, 45, kBlood},
          {"N. medianus", 27, -2, 2.8, 2.8, 30, kNerve}};
}

Shapes Forearm() {
  return {{nullptr, 0, 0, 42, 28, -90, kWall},
          {"Beugemuskeln des Unterarms", 2, -12, 32, 11, 50, kMuscle},
          {"Streckmuskeln des Unterarms", 0, 14, 32, 10, 50, kMuscle},
          {"Radius", -18, 2, 7, 6, 700, kBone},
          {"Ulna", 18, 2, 7, 6, 700, kBone}};
}

Shapes Thigh() {
  return {{nullptr, 0, 0, 75, 70, -90, kWall},
          {"M. quadriceps femoris", 0, -30, 58, 32, 50, kMuscle},
          {"Adduktoren", 32, 12, 30, 30, 50, kMuscle},
          {"Ischiocrurale Muskeln", -6, 42, 42, 22, 50, kMuscle},
          {"Femur", 0, 4, 14, 14, 700, kBone},
          {"A. femoralis", 30, -14, 4, 4, 45, kBlood},
          {"N. ischiadicus", -4, 28, 4, 3, 30, kNerve}};
}

Shapes Calf() {
  return {{nullptr, 0, 0, 50, 45, -90, kWall},
          {"M. triceps surae", 0, 20, 38, 20, 50, kMuscle},
          {"M. tibialis anterior", -16, -20, 11, 11, 50, kMuscle},
          {"Tibia", 10, -20, 13, 12, 700, kBone},
          {"Fibula", -24, 4, 6, 6, 700, kBone}};
}

Shapes OverviewChest() {
  Shapes s = ThoraxHeart(false);
  for (int side : {-1, 1}) {
    const char* h = side < 0 ? "Humerus rechts" : "Humerus links";
    s.insert(s.begin() + 1, {{nullptr, side * 200.0, 10, 40, 38, -90, kWall},
                             {h, side * 200.0, 12, 11, 11, 700, kBone}});
  }
  return s;
}

Shapes OverviewAbdomen() {
  Shapes s = UpperAbdomen(false);
  for (int side : {-1, 1}) {
    const char* r = side < 0 ? "Radius rechts" : "Radius links";
    const char* u = side < 0 ? "Ulna rechts" : "Ulna links";
    s.insert(s.begin() + 1, {{nullptr, side * 190.0, 20, 30, 24, -90, kWall},
                             {r, side * 200.0, 20, 6, 6, 700, kBone},
                             {u, side * 180.0, 22, 6, 6, 700, kBone}});
  }
  return s;
}

struct PlaneDef {
  const char* stem;
  const char* page;  // UTF-8
  char sex, region;
  const char* pictogram;
  int position;
  const char* level;  // UTF-8
  const char* defaultStructure;
  Shapes (*shapes)();
  bool inReduced;
};

const PlaneDef kPlanes[] = {
    {"ue_brust", "Übersicht quer Brustkorb", 'M', 'U', "SM_AUSW", 27,
     "in Höhe der Brustwarzen, mit beiden Oberarmen", "Herz", OverviewChest, true},
    {"ue_bauch", "Übersicht quer Oberbauch", 'M', 'U', "SM_AUSW", 38,
     "im Oberbauch zwischen Zwerchfell und Nabel, mit beiden Unterarmen", "Leber", OverviewAbdomen,
     false},
    {"ue_beine", "Übersicht quer Oberschenkel", 'M', 'U', "SM_AUSW", 62,
     "durch die Mitte beider Oberschenkel", "Femur rechts", Thighs, false},
    {"rm_thorax1", "Rumpf quer Aortenbogen", 'M', 'R', "SM_RUMPF", 20,
     "im oberen Brustkorb, in Höhe des Aortenbogens", "Arcus aortae",
     [] { return ThoraxUpper(false); }, false},
    {"rm_thorax2", "Rumpf quer Herz", 'M', 'R', "SM_RUMPF", 30,
     "in Höhe der Brustwarzen und des Herzens", "Herz", [] { return ThoraxHeart(false); }, true},
    {"rm_leber", "Rumpf quer Leber", 'M', 'R', "SM_RUMPF", 44,
     "knapp unter dem Zwerchfell, durch Leber und Magen", "Leber",
     [] { return UpperAbdomen(false); }, false},
    {"rm_nieren", "Rumpf quer Nieren", 'M', 'R', "SM_RUMPF", 54, "in Höhe der Nieren",
     "Niere links", [] { return Kidneys(false); }, false},
    {"rm_becken", "Rumpf quer Hüftgelenke", 'M', 'R', "SM_RUMPF", 78, "in Höhe der Hüftgelenke",
     "Harnblase", [] { return Pelvis(false); }, false},
    {"rw_thorax", "Rumpf weiblich quer Herz", 'F', 'R', "SF_RUMPF", 30,
     "in Höhe der Brustdrüsen und des Herzens", "Mamma links", [] { return ThoraxHeart(true); },
     true},
    {"rw_leber", "Rumpf weiblich quer Leber", 'F', 'R', "SF_RUMPF", 44,
     "knapp unter dem Zwerchfell, durch Leber und Magen", "Leber",
     [] { return UpperAbdomen(true); }, false},
    {"rw_becken", "Rumpf weiblich quer Hüftgelenke", 'F', 'R', "SF_RUMPF", 78,
     "in Höhe der Hüftgelenke, mit Gebärmutter", "Uterus", [] { return Pelvis(true); }, false},
    {"arm_ober", "Arm quer Oberarm", 'M', 'A', "SM_ARM", 25, "durch die Mitte des Oberarms",
     "Humerus", UpperArm, true},
    {"arm_unter", "Arm quer Unterarm", 'M', 'A', "SM_ARM", 64, "durch die Mitte des Unterarms",
     "Radius", Forearm, false},
    {"bein_ober", "Bein quer Oberschenkel", 'M', 'B', "SM_BEIN", 27,
     "durch die Mitte des Oberschenkels", "Femur", Thigh, true},
    {"bein_unter", "Bein quer Unterschenkel", 'M', 'B', "SM_BEIN", 68,
     "durch die Mitte des Unterschenkels", "Tibia", Calf, false},
};

const PlaneDef* FindDef(const std::string& stem) {
  for (const PlaneDef& d : kPlanes) {
    if (stem == d.stem) return &d;
  }
  return nullptr;
}

// A small deterministic noise source, so that CT-like images do not look painted.
std::uint32_t Hash(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return x;
}

}  // namespace

std::vector<PhantomPlane> PhantomPlanes(bool reduced) {
  std::vector<PhantomPlane> planes;
  for (const PlaneDef& d : kPlanes) {
    if (reduced && !d.inReduced) continue;
    planes.push_back({Utf8ToCp1252(d.page), d.stem, d.sex, d.region, d.pictogram, d.position,
                      Utf8ToCp1252(d.level), Utf8ToCp1252(d.defaultStructure)});
  }
  return planes;
}

Section CutPhantom(const PhantomPlane& plane, int height) {
  const PlaneDef* def = FindDef(plane.fileStem);
  const Shapes shapes = def != nullptr ? def->shapes() : Shapes{};
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (const Shape& s : shapes) {
    minX = std::min(minX, s.cx - s.rx);
    maxX = std::max(maxX, s.cx + s.rx);
    minY = std::min(minY, s.cy - s.ry);
    maxY = std::max(maxY, s.cy + s.ry);
  }
  const double margin = 12;
  const double mmPerPixel = (maxY - minY + 2 * margin) / height;
  // The atlas cuts images to a multiple of four columns: the drawing is as wide as that.
  const int width = (int(std::ceil((maxX - minX + 2 * margin) / mmPerPixel)) + 3) / 4 * 4;
  Section section;
  section.grey = Raster(width, height, 1);
  section.labels.assign(size_t(width) * size_t(height), 0);
  section.body.assign(section.labels.size(), 0);
  std::map<std::string, std::uint8_t> ids;
  for (const Shape& s : shapes) {
    if (s.name == nullptr || ids.count(s.name) != 0) continue;
    section.structures.push_back({Utf8ToCp1252(s.name), s.colour, BrainRegion::kOther});
    ids[s.name] = std::uint8_t(section.structures.size());
  }
  std::vector<int> hu(section.labels.size(), -1000);
  // Four samples a pixel smooth the shapes' edges in the grey image.
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double sum = 0;
      for (int sub = 0; sub < 4; ++sub) {
        const double mx = minX - margin + (x + 0.25 + 0.5 * (sub & 1)) * mmPerPixel;
        const double my = minY - margin + (y + 0.25 + 0.5 * (sub >> 1)) * mmPerPixel;
        int value = -1000;
        const Shape* top = nullptr;
        for (const Shape& s : shapes) {
          const double dx = (mx - s.cx) / s.rx, dy = (my - s.cy) / s.ry;
          if (dx * dx + dy * dy <= 1) {
            value = s.hu;
            top = &s;
          }
        }
        sum += value;
        if (sub == 3) {
          const size_t i = size_t(y) * size_t(width) + size_t(x);
          section.body[i] = top != nullptr;
          section.labels[i] = top != nullptr && top->name != nullptr ? ids[top->name] : 0;
        }
      }
      const size_t i = size_t(y) * size_t(width) + size_t(x);
      hu[i] = int(sum / 4);
      // Soft tissue window: centre 40, width 400.
      const double noise =
          section.body[i] ? (double(Hash(std::uint32_t(i) * 2654435761u) % 17) - 8) : 0;
      const double g = (hu[i] + noise - (40 - 200)) * 255.0 / 400.0;
      section.grey.pixels[i] = std::uint8_t(std::clamp(std::lround(g), 0L, 255L));
    }
  }
  return section;
}

}  // namespace ostrelin
