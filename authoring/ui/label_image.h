#pragma once
// Label images from PNG or BMP files, through Qt's image readers.

#include <filesystem>
#include <string>

#include "authoring/core/outline_builder.h"

namespace ostrelin {

// The label values of an image: the palette index of each pixel of an indexed image (1 to 8 bits),
// the grey level of a grey one (also of a colour image whose pixels are all grey). False with
// `error` set for a file that cannot be read or whose pixels are colours or 16-bit grey.
bool LoadLabelImage(const std::filesystem::path& path, LabelImage& image, std::string& error);

}  // namespace ostrelin
