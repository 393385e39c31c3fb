#pragma once
// JPEG decoding into a source image through the libjpeg API.
//
// The library only decompresses: colour images come out as Y, Cb, Cr scanlines (its YCbCr output,
// no conversion of its own) and are turned into blue, green, red with the image object's own
// tables (colour_tables.h); grey images come out as grey and are copied into all three bytes. Other
// colour spaces (CMYK, YCCK, RGB-coded JPEGs) are refused. The library's warnings and errors are
// shown in a box captioned "Fehler"; a fatal error abandons the load.

#include <cstdint>
#include <span>
#include <string_view>

#include "image/core/source_image.h"
#include "platform/core/message_service.h"

namespace ostrelin {

// Decodes the file at `path`, a Windows path of the atlas (Windows-1252, resolved on the Linux file
// system with ResolvePath). False when the load was abandoned; every reason has been shown through
// `messages` then, and `image` is empty. Pixels `image` held before are reused when the new image
// has exactly as many (a page switch between images of one size touches no fresh memory) and are
// freed otherwise, also when the load fails.
bool DecodeJpegFile(std::string_view path, SourceImage& image, MessageService& messages,
                    const ImageLimits& limits = {});

// The same from bytes in memory.
bool DecodeJpeg(std::span<const std::uint8_t> bytes, SourceImage& image, MessageService& messages,
                const ImageLimits& limits = {});

}  // namespace ostrelin
