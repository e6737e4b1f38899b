// The zlib stream of a PNG's image data (RFC 1950 around RFC 1951 DEFLATE),
// read straight from the run of IDAT chunks and inflated into the buffer that
// the PNG decoder allocated. Bit-serial Huffman decoding against per-length
// limits, all tables in a fixed work area on the stack, no heap use, the
// output buffer serving as the history window.
#pragma once

#include "pictures/png_decoder.h"

namespace vidod {

// Inflates from state->firstImageData (within state->sourceBytes) into
// state->inflatedData, which must be filled exactly: inputs that would write
// past its inflatedSize bytes, and streams whose final block ends before it is
// full, fail. Sets lastError to 0x2000 on entry and to 0 on success. The
// Adler-32 checksum and the header check value are not verified.
bool Inflate(PngDecoderState* state);

}  // namespace vidod
