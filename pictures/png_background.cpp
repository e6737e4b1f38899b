#include "pictures/png_background.h"

#include "pictures/png_chunk.h"

namespace vidod {
namespace {

// tRNS holds one 16-bit grey value, or three 16-bit R G B values, or one
// alpha byte per palette entry.
constexpr uint32_t kGreyKeySize = 2;
constexpr uint32_t kColourKeySize = 6;

uint16_t ReadBigEndian16(const uint8_t* bytes) {
  return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

// colour x alpha + background x (1 - alpha), rounded, at the sample's own
// precision; 16-bit results keep their high byte, as the plain conversions do.
uint8_t Blend(uint32_t colour, uint32_t alpha, uint8_t background, bool sixteen) {
  const uint32_t full = sixteen ? 0xFFFF : 0xFF;
  const uint32_t under = sixteen ? background * 0x101u : background;
  const uint32_t mixed = (colour * alpha + under * (full - alpha) + full / 2) / full;
  return static_cast<uint8_t>(sixteen ? mixed >> 8 : mixed);
}

uint32_t SampleAt(const uint8_t* in, uint32_t index, bool sixteen) {
  return sixteen ? ReadBigEndian16(in + 2 * index) : in[index];
}

}  // namespace

CompositionPlan PlanComposition(const PngDecoderState& state) {
  CompositionPlan plan = {};
  plan.where = Composition::kNone;
  plan.colourType = state.colourType;
  plan.bitDepth = state.bitDepth;
  plan.background = state.background;
  if (!state.onBackground) return plan;
  const uint8_t* key = state.transparencyData;
  const uint32_t length = key ? state.transparencyLength : 0;
  switch (state.colourType) {
    case kColourGreyAlpha:
    case kColourTruecolourAlpha:
      plan.where = Composition::kPixels;
      break;
    case kColourIndexed:
      if (length > 0) plan.where = Composition::kColourTable;
      break;
    case kColourGrey:
      if (length < kGreyKeySize) break;
      plan.keyed = true;
      plan.keyRed = ReadBigEndian16(key);
      // A 16-bit sample shows only its high byte: the table cannot tell the
      // key from its neighbours.
      plan.where = state.bitDepth == 16 ? Composition::kPixels : Composition::kColourTable;
      break;
    case kColourTruecolour:
      if (length < kColourKeySize) break;
      plan.keyed = true;
      plan.keyRed = ReadBigEndian16(key);
      plan.keyGreen = ReadBigEndian16(key + 2);
      plan.keyBlue = ReadBigEndian16(key + 4);
      plan.where = Composition::kPixels;
      break;
    default:
      break;
  }
  return plan;
}

void ComposeColourTable(const CompositionPlan& plan, const PngDecoderState& state,
                        DibColour* colours, uint32_t entries) {
  if (plan.where != Composition::kColourTable) return;
  const PngBackground& under = plan.background;
  if (plan.colourType == kColourGrey) {
    // A key beyond the depth's samples matches no pixel.
    if (plan.keyRed < entries) colours[plan.keyRed] = {under.blue, under.green, under.red, 0};
    return;
  }
  // Palette entries past the tRNS chunk are opaque.
  const uint32_t alphas = state.transparencyLength < entries ? state.transparencyLength : entries;
  for (uint32_t i = 0; i < alphas; ++i) {
    const uint8_t alpha = state.transparencyData[i];
    DibColour& c = colours[i];
    c = {Blend(c.blue, alpha, under.blue, false), Blend(c.green, alpha, under.green, false),
         Blend(c.red, alpha, under.red, false), 0};
  }
}

uint32_t ComposeRow(const CompositionPlan& plan, const uint8_t* in, uint32_t pixels, uint8_t* out) {
  const bool sixteen = plan.bitDepth == 16;
  const uint32_t full = sixteen ? 0xFFFF : 0xFF;
  const PngBackground& under = plan.background;
  for (uint32_t i = 0; i < pixels; ++i, out += 3) {
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
    uint32_t alpha = full;
    switch (plan.colourType) {
      case kColourGrey:
        red = green = blue = SampleAt(in, i, sixteen);
        if (plan.keyed && red == plan.keyRed) alpha = 0;
        break;
      case kColourTruecolour:
        red = SampleAt(in, 3 * i, sixteen);
        green = SampleAt(in, 3 * i + 1, sixteen);
        blue = SampleAt(in, 3 * i + 2, sixteen);
        if (plan.keyed && red == plan.keyRed && green == plan.keyGreen && blue == plan.keyBlue)
          alpha = 0;
        break;
      case kColourGreyAlpha:
        red = green = blue = SampleAt(in, 2 * i, sixteen);
        alpha = SampleAt(in, 2 * i + 1, sixteen);
        break;
      case kColourTruecolourAlpha:
        red = SampleAt(in, 4 * i, sixteen);
        green = SampleAt(in, 4 * i + 1, sixteen);
        blue = SampleAt(in, 4 * i + 2, sixteen);
        alpha = SampleAt(in, 4 * i + 3, sixteen);
        break;
      default:
        break;
    }
    out[0] = Blend(blue, alpha, under.blue, sixteen);
    out[1] = Blend(green, alpha, under.green, sixteen);
    out[2] = Blend(red, alpha, under.red, sixteen);
  }
  return pixels * 3;
}

}  // namespace vidod
