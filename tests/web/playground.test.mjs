// The playground page in headless Chromium: the renderer's frame table rendered in the
// page, the page's frames against the native renderer's, and the page driven as a person
// drives it (keys and clicks), with screenshots in SHOTS.
//   SITE=build/wasm/web/site [CLI=build/native/cli/lumawipe] [SHOTS=dir] node --test tests/web
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, readFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { createInterface } from 'node:readline';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { GifReader } from 'omggif';
import { PNG } from 'pngjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const site = resolve(process.env.SITE ?? join(root, 'build/wasm/web/site'));
const cli = resolve(process.env.CLI ?? join(root, 'build/native/cli/lumawipe'));
const shots = resolve(process.env.SHOTS ?? join(root, 'build/wasm/web/screenshots'));
const Wait = { timeout: 60000 };

let server, address, browser;

before(async () => {
  assert.ok(existsSync(join(site, 'lumawipe.wasm')), `no page built in ${site}`);
  mkdirSync(shots, { recursive: true });
  server = spawn('python3', [join(root, 'web/serve.py'), site, '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  address = await new Promise((res, rej) => {
    createInterface({ input: server.stdout }).once('line', res);
    server.once('exit', (code) => rej(new Error(`the server ended: ${code}`)));
  });
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
});

after(async () => {
  await browser?.close();
  server?.kill();
});

// A page of the site whose errors fail the test.
async function open(path, viewport = { width: 1200, height: 900 }) {
  const page = await browser.newPage({ viewport });
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(new URL(path, address).href);
  page.errors = errors;
  return page;
}

async function openPlayground(viewport) {
  const page = await open('index.html', viewport);
  await page.waitForSelector('body[data-ready=true]', Wait);
  return page;
}

const player = (page) => page.evaluate(() => ({ ...document.getElementById('player').dataset }));

// Waits until the page has drawn twice: what the last action changed is shown.
const drawn = (page) => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));

// Waits until the player shows what is expected (any of state, tick, length), and returns it.
async function playerShows(page, expected) {
  await page.waitForFunction((want) => {
    const shown = document.getElementById('player').dataset;
    return Object.entries(want).every(([k, v]) => shown[k] === String(v));
  }, expected, Wait);
  return player(page);
}

// The player's canvas as packed BGR24, as the renderer writes raw frames.
const screenBgr = (page) => page.evaluate(() => {
  const canvas = document.getElementById('screen');
  const { data } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
  const out = [];
  for (let i = 0; i < data.length; i += 4) out.push(data[i + 2], data[i + 1], data[i]);
  return out;
});

// Every frame of a run as the native renderer plays it: packed BGR24 frames of 446 x 75.
const FrameBytes = 446 * 75 * 3;
function nativeRun(operation, options) {
  const raw = execFileSync(cli, ['render', '--operation', operation, ...options, '--play', '--out', '-', '--format', 'raw'],
    { maxBuffer: 1 << 28, stdio: ['ignore', 'pipe', 'ignore'] });
  return Array.from({ length: raw.length / FrameBytes }, (_, k) => raw.subarray(k * FrameBytes, (k + 1) * FrameBytes));
}

// A native renderer is needed where a test compares with it: missing only when none was named.
function needsCli(t) {
  if (existsSync(cli)) return true;
  assert.equal(process.env.CLI, undefined, `no native renderer at ${cli}`);
  t.skip(`no native renderer at ${cli}`);
  return false;
}

// A 24-bit BMP's pixels as packed BGR24, rows top to bottom.
function bmpBgr(path) {
  const file = readFileSync(path);
  const offset = file.readUInt32LE(10), width = file.readInt32LE(18), height = file.readInt32LE(22);
  const stride = Math.ceil((width * 3) / 4) * 4;
  const rows = Array.from({ length: Math.abs(height) }, (_, y) => {
    const from = offset + (height > 0 ? Math.abs(height) - 1 - y : y) * stride;
    return file.subarray(from, from + width * 3);
  });
  return Buffer.concat(rows);
}

// RGBA bytes as packed BGR24.
const rgbaToBgr = (rgba) => {
  const out = Buffer.alloc((rgba.length / 4) * 3);
  for (let i = 0, o = 0; i < rgba.length; i += 4, o += 3) [out[o], out[o + 1], out[o + 2]] = [rgba[i + 2], rgba[i + 1], rgba[i]];
  return out;
};

const colourCount = (bgr) => {
  const colours = new Set();
  for (let i = 0; i < bgr.length; i += 3) colours.add(bgr.readUIntLE(i, 3));
  return colours.size;
};

// The largest difference of one byte and the mean difference of all bytes.
function difference(a, b) {
  let max = 0, sum = 0;
  for (let i = 0; i < a.length; ++i) {
    const d = Math.abs(a[i] - b[i]);
    max = Math.max(max, d);
    sum += d;
  }
  return { max, mean: sum / a.length };
}

// What the page gives to download when button is clicked: its name and bytes.
async function downloadOf(page, button) {
  const [download] = await Promise.all([page.waitForEvent('download', Wait), page.click(button)]);
  return { name: download.suggestedFilename(), bytes: readFileSync(await download.path()) };
}

// Chooses an operation and values in the fields, as typed.
async function choose(page, operation, values = {}) {
  await page.selectOption('#operation', { label: operation });
  for (const [id, value] of Object.entries(values)) await page.fill(`#${id}`, String(value));
}

describe('same pixels', () => {
  test('every case of the renderer\'s frame table hashes as the table says', async () => {
    const page = await open('frames.html');
    await page.waitForSelector('body[data-state=done]', Wait);
    const results = await page.evaluate(() => window.frameTable);
    const table = readFileSync(join(root, 'tests/cli/frames/table.sha256'), 'utf8').trim().split('\n')
      .map((line) => line.split(/\s+/));
    assert.deepEqual(results.map((r) => [r.name, r.hash]), table);
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  // Frames reached with the slider, for operations whose frames are drawn on their own
  // (seek by CurrentFrame), follow the run (random bars: replayed) or draw at random (swarm).
  const runs = [
    { operation: '◆ toBlend', steps: 16, options: ['--steps', '16'] },
    { operation: 'toRandomBars', steps: 10, modifier: 'tmUp', options: ['--steps', '10', '--modifier', 'up'] },
    { operation: 'toSwarm', steps: 25, reverse: true, options: ['--steps', '25', '--reverse'] },
  ];
  for (const run of runs) {
    test(`${run.operation}: every frame of the slider equals the native renderer's`, async (t) => {
      if (!needsCli(t)) return;
      const frames = nativeRun(run.operation.replace('◆ ', ''), run.options);
      const page = await openPlayground();
      await choose(page, run.operation, { steps: run.steps });
      if (run.modifier) await page.selectOption('#modifier', { label: run.modifier });
      if (run.reverse) await page.check('#reverse');
      const length = frames.length;
      await page.focus('#frame');
      await page.keyboard.press('End');
      await playerShows(page, { tick: length, length });
      // Backwards from the last frame, so that every seek of the random bars replays the run.
      for (let k = length; k >= 1; --k) {
        if (k < length) await page.keyboard.press('ArrowLeft');
        await playerShows(page, { tick: k });
        const frame = Buffer.from(await screenBgr(page));
        assert.ok(frame.equals(frames[k - 1]), `frame ${k} of ${length} differs`);
      }
      assert.deepEqual(page.errors, []);
      await page.close();
    });
  }
});

describe('saving', () => {
  test('the frame as PNG holds the component\'s frame, pixel for pixel', async (t) => {
    if (!needsCli(t)) return;
    const frames = nativeRun('toBlend', ['--steps', '16']);
    const page = await openPlayground();
    await choose(page, '◆ toBlend', { steps: 16 });
    await page.locator('#frame').fill('9');
    await playerShows(page, { state: 'paused', tick: 9 });
    const { name, bytes } = await downloadOf(page, '#save-png');
    assert.equal(name, 'toBlend-frame-9.png');
    const png = PNG.sync.read(bytes);
    assert.deepEqual([png.width, png.height], [446, 75]);
    assert.ok(rgbaToBgr(png.data).equals(frames[8]), 'the PNG differs from frame 9');
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  // Frames of at most 256 colours keep them exactly. Others (the built-in pictures have over
  // a thousand each) are quantised to 256: every byte within MaxPaletteError of the native
  // frame and of the from and to pictures, MeanPaletteError on average (13 and 0.41 at most
  // in these runs).
  const MaxPaletteError = 16, MeanPaletteError = 1;
  const gifRuns = [
    { operation: '◆ toRGB', steps: 1, interval: 40, options: ['--steps', '1'] },
    { operation: '◆ toMonoSlider', steps: 37, interval: 120, options: ['--steps', '37'] },
  ];
  for (const run of gifRuns) {
    test(`${run.operation}: the run as GIF has every frame of the run, from the from picture to the to picture, each shown for Interval`, async (t) => {
      if (!needsCli(t)) return;
      const name = run.operation.replace('◆ ', '');
      const frames = nativeRun(name, run.options);
      const page = await openPlayground();
      await choose(page, run.operation, { steps: run.steps, interval: run.interval });
      const { name: file, bytes } = await downloadOf(page, '#save-gif');
      assert.equal(file, `${name}.gif`);
      const gif = new GifReader(bytes);
      assert.deepEqual([gif.width, gif.height, gif.numFrames()], [446, 75, frames.length]);
      assert.equal(gif.loopCount(), 0);
      const rgba = new Uint8Array(446 * 75 * 4);
      const shown = [];
      for (let k = 0; k < gif.numFrames(); ++k) {
        assert.equal(gif.frameInfo(k).delay, run.interval / 10, `delay of frame ${k + 1}`);
        gif.decodeAndBlitFrameRGBA(k, rgba);
        shown.push(rgbaToBgr(rgba));
        const native = frames[k];
        if (colourCount(native) <= 256) {
          assert.ok(shown[k].equals(native), `frame ${k + 1} of ${frames.length} has few colours and differs`);
        } else {
          const { max, mean } = difference(shown[k], native);
          assert.ok(max <= MaxPaletteError && mean <= MeanPaletteError, `frame ${k + 1}: max ${max}, mean ${mean.toFixed(2)}`);
        }
      }
      for (const [frame, picture] of [[shown[0], 'From.bmp'], [shown.at(-1), 'To.bmp']]) {
        const { max, mean } = difference(frame, bmpBgr(join(root, 'settings/res', picture)));
        assert.ok(max <= MaxPaletteError && mean <= MeanPaletteError, `${picture}: max ${max}, mean ${mean.toFixed(2)}`);
      }
      assert.match(await page.textContent('#save-state'), new RegExp(`Saved ${name}.gif \\(${frames.length} frames\\)`));
      await page.screenshot({ path: join(shots, `saved-${name}-gif.png`), fullPage: true });
      assert.deepEqual(page.errors, []);
      await page.close();
    });
  }
});

describe('a person at the page', () => {
  test('chooses an operation, plays it to the end, scrubs back and steps forward again', async () => {
    const page = await openPlayground();
    await choose(page, '◆ toMonoSlider', { steps: 12, interval: 5 });
    await page.click('#play');
    await page.waitForSelector('#player[data-state=done]', Wait);
    const done = await player(page);
    assert.equal(done.tick, done.length);
    assert.match(await page.textContent('#state'), /Done/);
    await page.screenshot({ path: join(shots, 'played-to-done.png'), fullPage: true });

    // The slider and the steps reach the same frame: drawn by CurrentFrame, and tick by tick.
    const middle = Math.floor(Number(done.length) / 2);
    await page.locator('#frame').fill(String(middle));
    await playerShows(page, { state: 'paused', tick: middle, length: done.length });
    const scrubbed = await screenBgr(page);
    await page.screenshot({ path: join(shots, 'scrubbed.png'), fullPage: true });
    await page.click('#stop');
    await playerShows(page, { state: 'idle' });
    for (let k = 1; k <= middle; ++k) await page.click('#step');
    await playerShows(page, { state: 'paused', tick: middle });
    assert.deepEqual(await screenBgr(page), scrubbed);
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  const refusals = [
    { field: 'steps', text: '0', message: 'Steps must be 1 or more; it keeps its value.' },
    { field: 'delta', text: '-3', message: 'Delta must be 1 or more; it keeps its value.' },
    { field: 'delta', text: 'ten', message: 'Delta must be a whole number; it keeps its value.' },
    { field: 'steps', text: '2147483648', message: 'Steps must be 1 to 2147483647; it keeps its value.' },
    { field: 'interval', text: '4294967296', message: 'Interval must be 0 to 4294967295; it keeps its value.' },
    { field: 'color-text', text: '0x1FFFFFFFF', message: 'Color must be 0 to 4294967295; it keeps its value.' },
  ];
  test('sees the component\'s message for each value it refuses, and the run keeps the old value', async () => {
    const page = await openPlayground();
    await choose(page, '◆ toPush', { steps: 4 });
    await drawn(page);
    const length = (await player(page)).length;
    for (const r of refusals) {
      await page.fill(`#${r.field}`, r.text);
      assert.equal(await page.textContent(`#${r.field}-error`), r.message, `${r.field} ${r.text}`);
      assert.equal(await page.getAttribute(`#${r.field}`, 'aria-invalid'), 'true');
    }
    await page.screenshot({ path: join(shots, 'refused.png'), fullPage: true });
    await page.click('#play');
    await playerShows(page, { state: 'playing', length });
    await page.fill('#steps', '8');
    assert.equal(await page.textContent('#steps-error'), '');
    assert.equal(await page.getAttribute('#steps', 'aria-invalid'), null);
    await drawn(page);
    assert.notEqual((await player(page)).length, length);
    await page.close();
  });

  test('asks for absurd sizes and keeps the component it had', async () => {
    const page = await openPlayground();
    for (const [width, height, message] of [
      ['40000', '75', /1 to 32768 pixels a side/],
      ['0', '75', /1 to 32768 pixels a side/],
      ['32768', '32768', /.+/],
      ['ten', '75', /whole numbers/],
    ]) {
      await page.fill('#width', width);
      await page.fill('#height', height);
      await page.click('#apply-size');
      await page.waitForFunction(() => document.getElementById('size-error').textContent !== '', null, Wait);
      assert.match(await page.textContent('#size-error'), message);
      await page.evaluate(() => { document.getElementById('size-error').textContent = ''; });
    }
    await page.click('#play');
    await playerShows(page, { state: 'playing' });
    assert.equal(await page.evaluate(() => document.getElementById('screen').width), 446);
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  test('uses the keys alone: play, pause, resume, stop, step, the gallery', async () => {
    const page = await openPlayground();
    await choose(page, '◆ toIris', { interval: 20 });
    await page.locator('body').click({ position: { x: 5, y: 890 } });
    const keys = [['p', 'playing'], [' ', 'paused'], [' ', 'playing'], ['s', 'idle'], ['ArrowRight', 'paused']];
    for (const [key, state] of keys) {
      await page.keyboard.press(key === ' ' ? 'Space' : key);
      await playerShows(page, { state });
    }
    await page.keyboard.press('g');
    assert.equal(await page.getAttribute('#gallery', 'hidden'), null);
    await page.close();
  });

  test('sees all 27 operations play at once in the gallery, the control\'s 20 marked', async () => {
    const page = await openPlayground();
    await choose(page, '◆ toPush', { steps: 6, interval: 20 });
    await page.click('#tab-gallery');
    await page.waitForFunction(() => document.querySelectorAll('#cards canvas').length === 27, null, Wait);
    const labels = await page.$$eval('#cards .card span', (spans) => spans.map((s) => s.textContent));
    assert.equal(labels.length, 27);
    assert.equal(labels.filter((l) => l.startsWith('◆ ')).length, 20);
    // Every thumbnail shows a frame: none is left blank.
    await page.waitForFunction(() => [...document.querySelectorAll('#cards canvas')].every((c) => {
      const { data } = c.getContext('2d').getImageData(0, 0, c.width, c.height);
      return data.some((v, i) => i % 4 === 3 && v !== 0);
    }), null, Wait);
    await page.screenshot({ path: join(shots, 'gallery.png'), fullPage: true });
    await page.click('#cards li:nth-child(26) .card');
    assert.equal(await page.inputValue('#operation'), '25');
    assert.equal(await page.getAttribute('#player', 'hidden'), null);
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  for (const [name, viewport] of [['phone', { width: 390, height: 844 }], ['desktop', { width: 1440, height: 900 }]]) {
    test(`sees the page fit a ${name}'s width`, async () => {
      const page = await openPlayground(viewport);
      const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
      assert.ok(overflow <= 0, `the page is ${overflow} px wider than the ${name}`);
      await page.screenshot({ path: join(shots, `${name}.png`), fullPage: true });
      await page.close();
    });
  }
});
