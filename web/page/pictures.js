// Pictures as RGBA bytes: decoded by the browser (BMP, PNG, JPEG, GIF, WebP, ...) and
// brought to the component's size.

// How a picture of another size is brought to the component's.
export const Fits = Object.freeze({
  stretch: 'Scale to fill (stretch)',
  cover: 'Scale and crop',
  contain: 'Scale to fit inside (bars of Color)',
  crop: 'Crop the centre (no scaling)',
});

// The pixels of a file or blob, as the browser decodes them, with no colour conversion.
export async function decode(blob) {
  return createImageBitmap(blob, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
}

export async function decodeUrl(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status} ${response.statusText}`);
  return decode(await response.blob());
}

// The picture's RGBA bytes at width x height, placed as fit says; where it leaves room
// (contain, crop of a smaller picture) the pixels are transparent, so the component shows
// its Color there. A picture of the size asked is copied pixel for pixel.
export function rgbaAt(bitmap, width, height, fit) {
  const canvas = new OffscreenCanvas(width, height);
  const g = canvas.getContext('2d', { willReadFrequently: true });
  g.imageSmoothingQuality = 'high';
  const sw = bitmap.width, sh = bitmap.height;
  let dx = 0, dy = 0, dw = width, dh = height;
  if (sw !== width || sh !== height) {
    if (fit === 'cover' || fit === 'contain') {
      const scale = (fit === 'cover' ? Math.max : Math.min)(width / sw, height / sh);
      dw = Math.round(sw * scale);
      dh = Math.round(sh * scale);
    } else if (fit === 'crop') {
      dw = sw;
      dh = sh;
    }
    dx = Math.round((width - dw) / 2);
    dy = Math.round((height - dh) / 2);
  }
  g.drawImage(bitmap, dx, dy, dw, dh);
  return g.getImageData(0, 0, width, height).data;
}
