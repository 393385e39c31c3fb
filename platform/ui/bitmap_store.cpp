#include "platform/ui/bitmap_store.h"

#include "platform/core/strings.h"
#include "platform/ui/qt_text.h"
#include "resources/core/string_table.h"

namespace ostrelin {
namespace {

std::string Key(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = AsciiUpper(c);
  return key;
}

// A resource name is one plain file name: nothing that could step into another resource folder.
bool IsPlainName(std::string_view name) {
  return !name.empty() && name.find_first_of("/\\:") == std::string_view::npos && name != "." &&
         name != "..";
}

}  // namespace

BitmapStore& BitmapStore::Instance() {
  static BitmapStore store;
  return store;
}

void BitmapStore::Register(std::string_view name, const QImage& image) {
  if (image.isNull()) {
    images_.erase(Key(name));
  } else {
    images_[Key(name)] = image;
  }
}

void BitmapStore::Clear() { images_.clear(); }

QImage BitmapStore::Load(std::string_view name) const {
  const std::string key = Key(name);
  if (const auto found = images_.find(key); found != images_.end()) return found->second;
  if (!IsPlainName(key)) return {};
  const QString base = QStringLiteral(":/bitmaps/") + ToQString(key);
  QImage image(base + QStringLiteral(".png"));
  if (image.isNull()) image = QImage(base + QStringLiteral(".bmp"));
  return image;
}

QImage LoadBitmap(std::string_view name) { return BitmapStore::Instance().Load(name); }

bool LoadBitmapByTextId(QImage& bitmap, int textId) {
  const std::string& name = LoadText(textId);
  if (name == kTextNotFound) return false;
  QImage loaded = LoadBitmap(name);
  if (loaded.isNull()) return false;
  bitmap = std::move(loaded);
  return true;
}

QSize BitmapSize(const QImage& bitmap) { return bitmap.isNull() ? QSize(0, 0) : bitmap.size(); }

}  // namespace ostrelin
