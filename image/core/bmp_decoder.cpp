#include "image/core/bmp_decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "resources/core/ui_texts.h"
#include "platform/core/paths.h"

namespace ostrelin {
namespace {

constexpr std::uint64_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kLargestInfoHeader = 124;  // BITMAPV5HEADER

// Where the bytes come from: a file or memory. Reads are exact: a short read is an error.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads `count` bytes at `offset`; false when they are not all there.
  virtual bool ReadAt(std::uint64_t offset, void* to, std::size_t count) = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(std::uint64_t offset, void* to, std::size_t count) override {
    if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
    if (count > 0) std::memcpy(to, bytes_.data() + offset, count);
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

class FileSource : public ByteSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {
    if (std::fseek(file_, 0, SEEK_END) == 0) {
      const long end = std::ftell(file_);
      if (end > 0) size_ = std::uint64_t(end);
    }
  }
  std::uint64_t Size() const override { return size_; }
  bool ReadAt(std::uint64_t offset, void* to, std::size_t count) override {
    if (offset > size_ || count > size_ - offset) return false;
    if (offset != position_) {
      if (offset > std::uint64_t(std::numeric_limits<long>::max()) ||
          std::fseek(file_, long(offset), SEEK_SET) != 0) {
        return false;
      }
    }
    const bool ok = std::fread(to, 1, count, file_) == count;
    position_ = ok ? offset + count : std::numeric_limits<std::uint64_t>::max();
    return ok;
  }

 private:
  std::FILE* file_;
  std::uint64_t size_ = 0;
  std::uint64_t position_ = std::numeric_limits<std::uint64_t>::max();
};

std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

bool Refuse(MessageService& messages, const char* text) {
  messages.Show(text, MessageButtons::Ok, MessageIcon::Exclamation, image_text::kDecoderCaption);
  return false;
}

struct Palette {
  std::uint8_t bgr[256][3] = {};
  int count = 0;
};

// Index of every pixel of a stored row of 1, 4 or 8 bits, most significant bits first. False when
// one of the used pixels (the first `width`) points beyond the palette.
bool ConvertIndexedRow(const std::uint8_t* stored, int bits, int width, const Palette& palette,
                       std::uint8_t* bgr) {
  const int perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1u;
  for (int x = 0; x < width; ++x, bgr += 3) {
    const int shift = 8 - bits * (1 + x % perByte);
    const unsigned index = (unsigned(stored[x / perByte]) >> shift) & mask;
    if (int(index) >= palette.count) return false;
    std::memcpy(bgr, palette.bgr[index], 3);
  }
  return true;
}

bool Decode(ByteSource& source, SourceImage& image, MessageService& messages,
            const ImageLimits& limits) {
  image = SourceImage{};
  std::uint8_t header[kFileHeaderBytes + kInfoHeaderBytes];
  if (!source.ReadAt(0, header, 2) || header[0] != 'B' || header[1] != 'M') {
    return Refuse(messages, image_text::kBmpNotBmp);
  }
  if (!source.ReadAt(0, header, sizeof header)) return Refuse(messages, image_text::kBmpTruncated);

  const std::uint32_t pixelOffset = U32(header + 10);
  const std::uint32_t infoBytes = U32(header + 14);
  const std::int32_t fileWidth = std::int32_t(U32(header + 18));
  const std::int32_t storedHeight = std::int32_t(U32(header + 22));
  const int bits = U16(header + 28);
  const std::uint32_t compression = U32(header + 30);
  const std::uint32_t paletteCount = U32(header + 46);

  if (infoBytes < kInfoHeaderBytes || infoBytes > kLargestInfoHeader) {
    return Refuse(messages, image_text::kBmpFormat);
  }
  if (compression != 0) return Refuse(messages, image_text::kBmpCompressed);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
    return Refuse(messages, image_text::kBmpFormat);
  }
  // A negative height stores the rows top-down. Its size is checked on the 64-bit magnitude, so
  // the most negative height cannot wrap around.
  const bool topDown = storedHeight < 0;
  const std::int64_t height = topDown ? -std::int64_t(storedHeight) : storedHeight;
  if (!AcceptImageSize(fileWidth, height, limits, messages)) return false;

  Palette palette;
  std::uint64_t paletteEntries = paletteCount;
  if (bits <= 8) {
    const std::uint32_t full = 1u << bits;
    if (paletteCount == 0) {
      paletteEntries = full;
      if (bits == 8) messages.Beep(MessageIcon::None);
    } else if (paletteCount > full) {
      return Refuse(messages, image_text::kBmpPaletteTooLarge);
    }
    palette.count = int(paletteEntries);
    std::uint8_t entries[256 * 4];
    if (!source.ReadAt(kFileHeaderBytes + infoBytes, entries, paletteEntries * 4)) {
      return Refuse(messages, image_text::kBmpTruncated);
    }
    for (int i = 0; i < palette.count; ++i) std::memcpy(palette.bgr[i], entries + 4 * i, 3);
  }

  // The rows begin where the file header says, unless that points into the headers or the
  // palette in use; then they follow the palette, where files that leave the field unset keep
  // them. (A 24-bit image's palette is only a hint for screens of few colours and is skipped.)
  const std::uint64_t headersEnd =
      kFileHeaderBytes + infoBytes + (bits <= 8 ? paletteEntries * 4 : 0);
  const std::uint64_t afterPalette = kFileHeaderBytes + infoBytes + paletteEntries * 4;
  const std::uint64_t rowsAt = pixelOffset >= headersEnd ? pixelOffset : afterPalette;
  const std::uint64_t storedRowBytes = ((std::uint64_t(fileWidth) * unsigned(bits) + 31) / 32) * 4;
  if (rowsAt > source.Size() || storedRowBytes * std::uint64_t(height) > source.Size() - rowsAt) {
    return Refuse(messages, image_text::kBmpTruncated);
  }

  const int width = fileWidth & ~3;
  const int rows = int(height);
  std::vector<std::uint8_t> stored;
  try {
    stored.resize(storedRowBytes);
  } catch (const std::bad_alloc&) {
    messages.Show(image_text::kNoMemoryForImage, MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
  }
  if (!AllocateSourceImage(image, width, rows, messages)) return false;

  for (int i = 0; i < rows; ++i) {
    if (!source.ReadAt(rowsAt + storedRowBytes * std::uint64_t(i), stored.data(), stored.size())) {
      image = SourceImage{};
      return Refuse(messages, image_text::kBmpTruncated);
    }
    std::uint8_t* row = image.Row(topDown ? rows - 1 - i : i);
    if (bits == 24) {
      std::memcpy(row, stored.data(), image.RowBytes());
    } else if (!ConvertIndexedRow(stored.data(), bits, width, palette, row)) {
      image = SourceImage{};
      return Refuse(messages, image_text::kBmpIndexOutsidePalette);
    }
  }
  return true;
}

}  // namespace

bool DecodeBmpFile(std::string_view path, SourceImage& image, MessageService& messages,
                   const ImageLimits& limits) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file(OpenForReading(path));
  if (!file) {
    image = SourceImage{};
    messages.Show(std::string(image_text::kFileNotFound) + std::string(path), MessageButtons::Ok,
                  MessageIcon::Exclamation);
    return false;
  }
  FileSource source(file.get());
  return Decode(source, image, messages, limits);
}

bool DecodeBmp(std::span<const std::uint8_t> bytes, SourceImage& image, MessageService& messages,
               const ImageLimits& limits) {
  MemorySource source(bytes);
  return Decode(source, image, messages, limits);
}

}  // namespace ostrelin
