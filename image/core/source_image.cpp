#include "image/core/source_image.h"

#include <new>

#include "resources/core/ui_texts.h"

namespace ostrelin {

bool AcceptImageSize(std::int64_t fileWidth, std::int64_t height, const ImageLimits& limits,
                     MessageService& messages) {
  const auto refuse = [&messages](const char* text) {
    messages.Show(text, MessageButtons::Ok, MessageIcon::Exclamation, image_text::kDecoderCaption);
    return false;
  };
  if (fileWidth < 4 || height < 1) return refuse(image_text::kImageTooSmall);
  if (fileWidth > limits.maxSide || height > limits.maxSide) {
    return refuse(image_text::kImageTooLarge);
  }
  // Both factors are at most maxSide here, so the product cannot overflow.
  if ((fileWidth & ~std::int64_t(3)) * height > limits.maxPixels) {
    return refuse(image_text::kImageTooLarge);
  }
  return true;
}

bool AllocateSourceImage(SourceImage& image, int width, int height, MessageService& messages) {
  image = SourceImage{};
  try {
    image.pixels.reset(new std::uint8_t[std::size_t(width) * std::size_t(height) * 3]);
  } catch (const std::bad_alloc&) {
    messages.Show(image_text::kNoMemoryForImage, MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
  }
  image.width = width;
  image.height = height;
  return true;
}

bool AllocateSourceImage(SourceImage& image, int width, int height, MessageService& messages,
                         SourceImage& spare) {
  if (spare.pixels && spare.Bytes() == std::size_t(width) * std::size_t(height) * 3) {
    image = SourceImage{};
    image.pixels = std::move(spare.pixels);
    image.width = width;
    image.height = height;
    spare = SourceImage{};
    return true;
  }
  spare = SourceImage{};
  return AllocateSourceImage(image, width, height, messages);
}

}  // namespace ostrelin
