// The compiled-in artwork: every bitmap the atlas names loads with its size, the pictograms keep
// the landmark levels the plane lists rely on, and the cursors and the icon come from it.
#include <gtest/gtest.h>

#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <string>
#include <vector>

#include "platform/ui/bitmap_store.h"
#include "platform/ui/program_cursor.h"
#include "resources/ui/program_icon.h"

// Take the bitmaps out of the resource tree and put them back (the functions rcc generates live
// in the global namespace).
static void RemoveCompiledBitmaps() { Q_CLEANUP_RESOURCE(artwork_bitmaps); }
static void RestoreCompiledBitmaps() { Q_INIT_RESOURCE(artwork_bitmaps); }

namespace ostrelin {
namespace {

struct Named {
  std::vector<std::string> names;
  QSize size;
};

const Named kEveryBitmap[] = {
    {{"SM_AUSW", "SM_KOPF", "SM_ARM", "SM_BEIN", "SM_RUMPF", "SF_RUMPF"}, {192, 355}},
    {{"FEMALE_UP", "FEMALE_DOWN", "MALE_UP", "MALE_DOWN", "KOPF_UP", "RUMPF_UP", "ARM_UP",
      "BEIN_UP", "ENTER_UP", "ENTER_DOWN"},
     {48, 48}},
    {{"UP_UP", "UP_DOWN", "DOWN_UP", "DOWN_DOWN", "LEFT_UP", "LEFT_DOWN", "RIGHT_UP", "RIGHT_DOWN"},
     {48, 24}},
    {{"SCHNITT_UP",    "SCHNITT_DOWN",    "SCHNITT_DISABLED", "CT_UP",       "CT_DOWN",
      "CT_DISABLED",   "MR_UP",           "MR_DOWN",          "MR_DISABLED", "SCHEMA_UP",
      "SCHEMA_DOWN",   "SCHEMA_DISABLED", "IDX_UP",           "IDX_DOWN",    "IDX_DISABLED",
      "BILD_UP",       "BILD_DOWN",       "BILD_DISABLED",    "HILFE_UP",    "HILFE_DOWN",
      "HILFE_DISABLED"},
     {96, 64}},
    {{"INFOBMP", "HELPBMP"}, {335, 335}},
    {{"KV_LOGO", "KV_LOGOD"}, {146, 46}},
    {{"CURSOR4024", "CURSOR4025", "CURSOR4026"}, {32, 32}},
};

TEST(Artwork, EveryNamedBitmapLoadsWithItsSizeAndColourDepth) {
  for (const Named& group : kEveryBitmap) {
    for (const std::string& name : group.names) {
      const QImage image = LoadBitmap(name);
      ASSERT_FALSE(image.isNull()) << name;
      EXPECT_EQ(image.size(), group.size) << name;
    }
  }
  // Names are looked up with the letters folded, as resource names are.
  EXPECT_FALSE(LoadBitmap("sm_kopf").isNull());

  // 256 colours where the atlas asks for them, 24 bits for the logo, transparency for cursors.
  for (const char* name :
       {"SM_AUSW", "SM_KOPF", "SM_ARM", "SM_BEIN", "SM_RUMPF", "SF_RUMPF", "INFOBMP", "HELPBMP"}) {
    const QImage image = LoadBitmap(name);
    EXPECT_EQ(image.format(), QImage::Format_Indexed8) << name;
    EXPECT_LE(image.colorCount(), 256) << name;
  }
  for (const char* name : {"KV_LOGO", "KV_LOGOD"}) EXPECT_FALSE(LoadBitmap(name).hasAlphaChannel());
}

TEST(Artwork, PressedAndDisabledFacesDifferFromTheNormalOne) {
  for (const auto& [normal, other] :
       std::vector<std::pair<const char*, const char*>>{{"ENTER_UP", "ENTER_DOWN"},
                                                        {"FEMALE_UP", "FEMALE_DOWN"},
                                                        {"UP_UP", "UP_DOWN"},
                                                        {"SCHNITT_UP", "SCHNITT_DOWN"},
                                                        {"SCHNITT_UP", "SCHNITT_DISABLED"},
                                                        {"KV_LOGO", "KV_LOGOD"},
                                                        {"FEMALE_UP", "MALE_UP"},
                                                        {"CT_UP", "MR_UP"}}) {
    EXPECT_NE(LoadBitmap(normal), LoadBitmap(other)) << normal << " / " << other;
  }
}

// The box around the bluish symbol pixels of a button face (the face itself is grey).
QRect SymbolBox(const QImage& face) {
  QRect box;
  for (int y = 0; y < face.height(); ++y) {
    for (int x = 0; x < face.width(); ++x) {
      const QColor c = face.pixelColor(x, y);
      if (c.blue() > c.red() + 40) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

int SymbolPixels(const QImage& face, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = face.pixelColor(x, y);
      count += c.blue() > c.red() + 40;
    }
  }
  return count;
}

TEST(Artwork, ArrowsPointTheirWay) {
  // A triangle is narrow at its tip and wide at its base: compare the outermost two rows or
  // columns of the symbol at either end.
  const auto ends = [](const char* name, bool vertical) {
    const QImage face = LoadBitmap(name);
    const QRect box = SymbolBox(face);
    EXPECT_GT(box.width(), 6) << name;
    const QRect first = vertical ? QRect(box.left(), box.top(), box.width(), 2)
                                 : QRect(box.left(), box.top(), 2, box.height());
    const QRect last = vertical ? QRect(box.left(), box.bottom() - 1, box.width(), 2)
                                : QRect(box.right() - 1, box.top(), 2, box.height());
    return std::pair(SymbolPixels(face, first), SymbolPixels(face, last));
  };
  for (const char* name : {"UP_UP", "UP_DOWN", "LEFT_UP", "LEFT_DOWN"}) {
    const auto [tip, base] = ends(name, name[0] == 'U');
    EXPECT_LT(tip * 2, base) << name;
  }
  for (const char* name : {"DOWN_UP", "DOWN_DOWN", "RIGHT_UP", "RIGHT_DOWN"}) {
    const auto [base, tip] = ends(name, name[0] == 'D');
    EXPECT_LT(tip * 2, base) << name;
  }
}

// Pictograms: levels in percent of the height from the top, as the plane lists give them.
int RowAt(const QImage& image, double percent) {
  return static_cast<int>(percent * (image.height() - 2) / 100);
}

bool FigureInRow(const QImage& image, int row, int fromX, int toX, QRgb ground) {
  for (int x = fromX; x < toX; ++x) {
    if (image.pixel(x, row) != ground) return true;
  }
  return false;
}

struct Landmarks {
  const char* name;
  std::vector<double> figureAt;  // levels that cross the figure
  std::vector<double> groundAt;  // levels above or below it (within the columns below)
  int fromX = 0, toX = 192;
};

TEST(Artwork, PictogramsAreFiguresOnGreyWithTheirLandmarksInPlace) {
  const Landmarks all[] = {
      // vertex 3, chin 13, nipples 27, navel 42, pubis 51, knee 72, ankle 94, soles 98
      {"SM_AUSW", {4, 13, 27, 42, 51, 62, 72, 82, 94, 97.5}, {1.5, 99.3}},
      // vertex 5, eyes 33, nose 41, mouth 49, chin 60, larynx 72, shoulders 92
      {"SM_KOPF", {6, 33, 41, 49, 60, 72, 92}, {3.5}},
      // neck base 8 to the thighs at the bottom edge
      {"SM_RUMPF", {1, 8, 11, 28, 40, 60, 78, 86, 99}, {}},
      {"SF_RUMPF", {1, 8, 11, 28, 40, 60, 78, 86, 99}, {}},
      // acromion 4 (the chest runs out to the right), fingertips 98
      {"SM_ARM", {5, 25, 45, 64, 82, 97}, {2.5, 99.3}, 0, 90},
      // groin at the top edge, knee 50, ankle 90, sole 97
      {"SM_BEIN", {1, 5, 27, 50, 68, 90, 96}, {98.5}},
  };
  for (const Landmarks& pictogram : all) {
    SCOPED_TRACE(pictogram.name);
    const QImage image = LoadBitmap(pictogram.name);
    ASSERT_EQ(image.size(), QSize(192, 355));
    // The ground is one neutral grey, light enough for black, green and blue plane lines.
    const QRgb ground = image.pixel(0, 0);
    EXPECT_EQ(qRed(ground), qGreen(ground));
    EXPECT_EQ(qGreen(ground), qBlue(ground));
    EXPECT_GT(qGray(ground), 150);
    EXPECT_LT(qGray(ground), 230);
    EXPECT_EQ(image.pixel(0, 100), ground);
    for (const double level : pictogram.figureAt) {
      EXPECT_TRUE(FigureInRow(image, RowAt(image, level), 0, 192, ground)) << level << " %";
    }
    for (const double level : pictogram.groundAt) {
      EXPECT_FALSE(FigureInRow(image, RowAt(image, level), pictogram.fromX, pictogram.toX, ground))
          << level << " %";
    }
  }

  // The figure's skin is lighter than the ground, so dotted black lines stay visible on it.
  const QImage body = LoadBitmap("SM_AUSW");
  EXPECT_GT(qGray(body.pixel(96, RowAt(body, 38))), qGray(body.pixel(0, 0)) + 30);
  // Fingertips reach 57 % beside the thighs and no further.
  EXPECT_TRUE(FigureInRow(body, RowAt(body, 56), 0, 50, body.pixel(0, 0)));
  EXPECT_FALSE(FigureInRow(body, RowAt(body, 58.5), 0, 50, body.pixel(0, 0)));
}

TEST(Artwork, CursorsAreDrawnWithTheirHotSpotsOnTheMark) {
  for (const int id : {cursor_id::kOneStructure, cursor_id::kSeveralStructures, cursor_id::kLink}) {
    SCOPED_TRACE(id);
    const QImage image = LoadBitmap("CURSOR" + std::to_string(id));
    ASSERT_TRUE(image.hasAlphaChannel());
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(31, 0)), 0);
    const QCursor cursor = ProgramCursor(id);
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    // The hot spot lies on an opaque pixel of the drawing or right next to one.
    const QPoint hot = cursor.hotSpot();
    int opaque = 0;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx)
        opaque += qAlpha(image.pixel(hot.x() + dx, hot.y() + dy)) > 128;
    }
    EXPECT_GT(opaque, 0);
  }
}

TEST(Artwork, WithoutTheCompiledBitmapsStandardCursorsStandInAndTheyComeBack) {
  RemoveCompiledBitmaps();
  EXPECT_TRUE(LoadBitmap("SM_AUSW").isNull());
  EXPECT_EQ(ProgramCursor(cursor_id::kOneStructure).shape(), Qt::CrossCursor);
  EXPECT_EQ(ProgramCursor(cursor_id::kSeveralStructures).shape(), Qt::WhatsThisCursor);
  EXPECT_EQ(ProgramCursor(cursor_id::kLink).shape(), Qt::PointingHandCursor);
  RestoreCompiledBitmaps();
  EXPECT_EQ(ProgramCursor(cursor_id::kLink).shape(), Qt::BitmapCursor);
  EXPECT_FALSE(LoadBitmap("SM_AUSW").isNull());
}

TEST(Artwork, TheProgramIconIsCompiledIn) {
  const QIcon icon = ProgramIcon();
  ASSERT_FALSE(icon.isNull());
  const QImage image = icon.pixmap(64, 64).toImage();
  EXPECT_EQ(image.size(), QSize(64, 64));
  EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);      // rounded corner
  EXPECT_EQ(qAlpha(image.pixel(32, 32)), 255);  // the mark
}

}  // namespace
}  // namespace ostrelin
