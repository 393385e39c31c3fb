#pragma once
// umriss, the authoring tool of outline files:
//
//   umriss build LABELS TABLE OUTLINE [--title TEXT]
//       writes the outline file OUTLINE for the label image LABELS (8-bit indexed or grey PNG or
//       BMP: each pixel holds the value of its structure, 0 the background), naming the values
//       after the table TABLE (see label_table.h)
//   umriss dump OUTLINE
//       prints an outline file as text (see outline_dump.h)
//
// Problems go to the error stream; warnings (structures without pixels, values without names)
// do not stop a build. Exit status: 0 done, 1 failed, 2 usage.

#include <filesystem>
#include <functional>
#include <ostream>
#include <span>
#include <string>

#include "authoring/core/outline_builder.h"

namespace ostrelin {

// Reads a label image; false with `error` set when the file is no usable label image.
using LabelImageLoader =
    std::function<bool(const std::filesystem::path& path, LabelImage& image, std::string& error)>;

// `args` is the whole command line, the invocation name first. Texts on the command line are
// UTF-8.
int RunUmriss(std::span<const std::string> args, std::ostream& out, std::ostream& err,
              const LabelImageLoader& loadImage);

}  // namespace ostrelin
