#pragma once

namespace tavlin {

extern const unsigned char kDeleteIconGif[];
extern const unsigned kDeleteIconGifSize;

}  // namespace tavlin
