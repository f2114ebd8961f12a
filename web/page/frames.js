// The renderer's frame table, rendered by the component in this page: every run and frame
// the table pins, as the same bytes the renderer writes (raw BGR24 frames, a YUV4MPEG2
// stream, a BMP file), hashed with SHA-256 and compared with the table.
import { loadEngine, Property } from './component.js';
import { decodeUrl, rgbaAt } from './pictures.js';

// The renderer's options of every case: --delta 3 --color 0x3366CC, pictures of the table.
const Common = { Delta: 3, Color: 0x3366cc };
const MaxFrames = 1000;

async function sha256(bytes) {
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  return Array.from(digest, (b) => b.toString(16).padStart(2, '0')).join('');
}

function concat(parts) {
  const out = new Uint8Array(parts.reduce((n, p) => n + p.length, 0));
  let at = 0;
  for (const p of parts) {
    out.set(p, at);
    at += p.length;
  }
  return out;
}

// Raw frames: packed blue, green, red, rows top to bottom.
function bgr24(frame) {
  const { data } = frame;
  const out = new Uint8Array(frame.width * frame.height * 3);
  for (let i = 0, o = 0; i < data.length; i += 4, o += 3) {
    out[o] = data[i + 2];
    out[o + 1] = data[i + 1];
    out[o + 2] = data[i];
  }
  return out;
}

// BT.601 limited range with the renderer's integer rounding: the nearest integer, halves up.
const Scale = 255000;
const rounded = (offset, numerator) => offset + Math.floor((numerator + Scale / 2) / Scale);

// A YUV4MPEG2 frame: its marker, then the Y, Cb and Cr planes.
function y4mFrame(frame) {
  const { data } = frame;
  const plane = frame.width * frame.height;
  const out = new Uint8Array(6 + plane * 3);
  out.set(new TextEncoder().encode('FRAME\n'));
  for (let i = 0; i < plane; ++i) {
    const r = data[4 * i], g = data[4 * i + 1], b = data[4 * i + 2];
    out[6 + i] = rounded(16, 65481 * r + 128553 * g + 24966 * b);
    out[6 + plane + i] = rounded(128, -37797 * r - 74203 * g + 112000 * b);
    out[6 + 2 * plane + i] = rounded(128, 112000 * r - 93786 * g - 18214 * b);
  }
  return out;
}

// A component as the renderer sets one up, in a fresh engine (the shared random generator
// at its start): the size of the from picture, the pictures, then the options.
async function setUp(pictures, options) {
  const engine = await loadEngine();
  const c = engine.create(pictures.width, pictures.height);
  for (const [which, rgba] of [[0, pictures.from], [1, pictures.to]]) {
    const refused = c.setPicture(which, rgba, pictures.width, pictures.height);
    if (refused) throw new Error(refused);
  }
  for (const name of ['Color', 'RGBOrder', 'Delta', 'Steps', 'Modifier', 'Reverse', 'Operation']) {
    if (!(name in options)) continue;
    const refused = c.set(Property[name], options[name]);
    if (refused) throw new Error(`${name}: ${refused}`);
  }
  return c;
}

// Every frame of a run, as the renderer's --play takes them.
async function playFrames(pictures, options) {
  const c = await setUp(pictures, options);
  const refused = c.play();
  if (refused) throw new Error(refused);
  const frames = [];
  while (!c.done) {
    if (frames.length >= MaxFrames) throw new Error(`the run did not end within ${MaxFrames} frames`);
    const error = c.tick();
    if (error) throw new Error(error);
    frames.push(c.frame());
  }
  c.destroy();
  return frames;
}

// The cases of the table, in its order: name, and how its bytes are made.
function cases(operations, pictures) {
  const list = operations.map((name, op) => ({
    name: `${name}.raw`,
    bytes: async () => concat((await playFrames(pictures, { ...Common, Steps: 2, Operation: op })).map(bgr24)),
  }));
  list.push({
    name: 'toIris.y4m',
    bytes: async () => {
      const frames = await playFrames(pictures, { ...Common, Modifier: 2, Steps: 9, Operation: operations.indexOf('toIris') });
      const header = new TextEncoder().encode(
        `YUV4MPEG2 W${pictures.width} H${pictures.height} F10:1 Ip A1:1 C444 XCOLORRANGE=LIMITED\n`);
      return concat([header, ...frames.map(y4mFrame)]);
    },
  });
  list.push({
    name: 'toZoom.bmp',
    bytes: async () => {
      const c = await setUp(pictures, { ...Common, Reverse: 1, Operation: operations.indexOf('toZoom') });
      const refused = c.set(Property.CurrentFrame, 5);
      if (refused) throw new Error(refused);
      const bmp = c.frameBmp();
      c.destroy();
      return bmp;
    },
  });
  return list;
}

export function parseTable(text) {
  return new Map(text.trim().split('\n').map((line) => line.trim().split(/\s+/)));
}

// Renders every case; onCase(result) as each is hashed. Results: name, hash, expected, equal.
export async function renderFrameTable(base, onCase = () => {}) {
  const [from, to, table] = await Promise.all([
    decodeUrl(`${base}/from.bmp`), decodeUrl(`${base}/to.bmp`),
    fetch(`${base}/table.sha256`).then((r) => r.text()),
  ]);
  const width = from.width, height = from.height;
  const pictures = { width, height, from: rgbaAt(from, width, height, 'stretch'), to: rgbaAt(to, width, height, 'stretch') };
  const expected = parseTable(table);
  const operations = (await loadEngine()).names(0);
  const results = [];
  for (const c of cases(operations, pictures)) {
    let hash;
    try {
      hash = await sha256(await c.bytes());
    } catch (e) {
      hash = `error: ${e.message}`;
    }
    const result = { name: c.name, hash, expected: expected.get(c.name) ?? '', equal: hash === expected.get(c.name) };
    results.push(result);
    onCase(result);
  }
  return results;
}
