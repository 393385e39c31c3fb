#pragma once
// Entries of the history and bookmark menus. An entry is its menu text: a four-character tag of
// the image type ("(S) ", "(M) ", "(C) ", "(G) ") followed by a page name, or the name alone when
// no image type was shown. Entries compare as whole texts, case-sensitively.

#include <string>
#include <string_view>

#include "catalogue/core/image_type.h"
#include "shell/core/transfer_buffer.h"

namespace ostrelin {

std::string EntryText(ImageType type, std::string_view name);

// Puts the request of choosing the entry `text` into the buffer: the tag's type becomes the
// requested type and the name after the tag the requested name; an entry without a tag requests
// its whole text and leaves the requested type as it is. False (and nothing changed) while another
// request is busy.
bool TakeEntryRequest(std::string_view text, TransferBuffer& buffer);

}  // namespace ostrelin
