#pragma once
// Uncompressed BMP decoding into a source image.
//
// Accepted: the Windows bitmap formats with a 40-byte (or longer, V4/V5) information header,
// uncompressed, with 24 bits per pixel or a palette of 1, 4 or 8 bits per pixel; rows stored
// bottom-up, or top-down when the height is negative. A palette count of 0 means the full palette
// of the bit depth (2, 16 or 256 colours); for 8 bits the default beep sounds then, as the atlas
// always did. Everything else (RLE or bit-field compression, 16 and 32 bits, OS/2 headers, sizes
// beyond ImageLimits, files shorter than their rows, palette indices beyond the palette) is
// refused with a message before or instead of showing wrong pixels; nothing is read past the data.

#include <cstdint>
#include <span>
#include <string_view>

#include "image/core/source_image.h"
#include "platform/core/message_service.h"

namespace ostrelin {

// Decodes the file at `path`, a Windows path of the atlas (resolved with ResolvePath). False when
// the load was abandoned; every reason has been shown through `messages` then, and `image` is
// empty.
bool DecodeBmpFile(std::string_view path, SourceImage& image, MessageService& messages,
                   const ImageLimits& limits = {});

// The same from bytes in memory.
bool DecodeBmp(std::span<const std::uint8_t> bytes, SourceImage& image, MessageService& messages,
               const ImageLimits& limits = {});

}  // namespace ostrelin
