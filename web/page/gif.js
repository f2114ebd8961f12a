// Animated GIFs of the component's frames, encoded in the page: every frame with a palette
// of its own, its exact colours when it has at most 256, else 256 chosen by the encoder's
// quantiser.
import { GIFEncoder, applyPalette, quantize } from './gifenc.js';

const MaxColors = 256;

// The frame's own colours and each pixel's index among them, or null past MaxColors.
function exactPalette(rgba) {
  const index = new Uint8Array(rgba.length / 4);
  const slots = new Map();
  const palette = [];
  for (let i = 0, p = 0; i < rgba.length; i += 4, ++p) {
    const key = (rgba[i] << 16) | (rgba[i + 1] << 8) | rgba[i + 2];
    let slot = slots.get(key);
    if (slot === undefined) {
      if (palette.length === MaxColors) return null;
      slot = palette.length;
      slots.set(key, slot);
      palette.push([rgba[i], rgba[i + 1], rgba[i + 2]]);
    }
    index[p] = slot;
  }
  return { palette, index };
}

// A GIF whose frames are each shown delayMs (rounded to the format's hundredths of a
// second), played over and over.
export class GifWriter {
  constructor(delayMs) {
    this.delay = delayMs;
    this.gif = GIFEncoder();
  }

  // frame: { width, height, data } with opaque RGBA bytes, as the component gives it; every
  // frame of a GIF has the size of the first.
  add({ width, height, data }) {
    const exact = exactPalette(data);
    const palette = exact ? exact.palette : quantize(data, MaxColors);
    const index = exact ? exact.index : applyPalette(data, palette);
    this.gif.writeFrame(index, width, height, { palette, delay: this.delay, repeat: 0 });
  }

  // The file's bytes.
  finish() {
    this.gif.finish();
    return this.gif.bytes();
  }
}
