// Transparent PNG pixels drawn on a background colour, for the decoder: alpha
// samples are blended, and the tRNS chunk's colour key or palette alphas
// applied, the way a transparent picture is expected to look on a page.
#pragma once

#include <cstdint>

#include "pictures/png_decoder.h"

namespace vidod {

// Where the composing happens for one image.
enum class Composition {
  kNone,         // no background asked for, or nothing transparent
  kColourTable,  // indexed, or grey of 8 bits or fewer with a key: the table
  kPixels,       // alpha, or a key that only whole samples can match: 24-bit pixels
};

struct CompositionPlan {
  Composition where;
  uint8_t colourType;
  uint8_t bitDepth;
  PngBackground background;
  bool keyed;         // a colour key applies (grey uses keyRed)
  uint16_t keyRed;
  uint16_t keyGreen;
  uint16_t keyBlue;
};

// Reads the request and the tRNS chunk of an opened image. A chunk too short
// for its colour type, or a tRNS on an image with alpha, counts as absent.
CompositionPlan PlanComposition(const PngDecoderState& state);

// Puts the background into the colour table: palette entries by their
// alphas, the grey ramp's entry that the key names. entries is the number of
// table entries in use.
void ComposeColourTable(const CompositionPlan& plan, const PngDecoderState& state,
                        DibColour* colours, uint32_t entries);

// One reconstructed row of pixels as B G R bytes on the background; returns
// the bytes written (3 per pixel).
uint32_t ComposeRow(const CompositionPlan& plan, const uint8_t* in, uint32_t pixels, uint8_t* out);

}  // namespace vidod
