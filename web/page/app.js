// The playground: one component in the player, all 27 in the gallery, every parameter
// handed to the component as the person types it, and what it refuses shown with its own
// message.
import { loadEngine, Property } from './component.js';
import { GifWriter } from './gif.js';
import { Fits, decode, decodeUrl, rgbaAt } from './pictures.js';

const $ = (id) => document.getElementById(id);
const screen = $('screen');
const LongestTimeStep = 250;  // ms of clock a hidden or stalled tab catches up at most
const GalleryWidth = 220;     // widest gallery thumbnail
const GalleryHold = 700;      // ms a finished thumbnail rests before it plays back
const GifFramesPerPause = 8;  // frames encoded between two chances for the page to draw

// Properties that the component takes only between runs: changing one stops the run.
const BetweenRuns = ['Operation', 'Modifier', 'Reverse', 'Color', 'RGBOrder'];

const app = {
  engine: null,
  component: null,
  operations: [],
  builtIn: { from: null, to: null },
  own: { from: null, to: null },
  source: 'builtin',
  fit: 'stretch',
  colorChosen: false,  // the person set Color: kept over the from picture's top-left pixel
  lastTick: -1,
  dirty: true,
  recording: null,
  encodingGif: false,
  settingsVersion: 0,
};

// ---------------------------------------------------------------------------------------
// Pictures and the component

function pictures() {
  const pick = (k) => (app.source === 'own' && app.own[k]) || app.builtIn[k];
  return { from: pick('from'), to: pick('to') };
}

// Hands both pictures to a component at its size; '' or what went wrong.
function loadPictures(c, width, height) {
  const p = pictures();
  for (const [which, bitmap] of [[0, p.from], [1, p.to]]) {
    let rgba;
    try {
      rgba = rgbaAt(bitmap, width, height, app.fit);
    } catch (e) {
      return `The browser cannot hold a picture of ${width} x ${height}: ${e.message}`;
    }
    const refused = c.setPicture(which, rgba, width, height);
    if (refused) return refused;
  }
  return '';
}

function fieldValues() {
  return {
    Operation: Number($('operation').value),
    Modifier: Number($('modifier').value),
    Reverse: $('reverse').checked ? 1 : 0,
    Delta: parseNumber($('delta').value),
    Steps: parseNumber($('steps').value),
    Interval: parseNumber($('interval').value),
    Color: parseColor($('color-text').value),
    RGBOrder: Number($('rgb-order').value),
  };
}

// A component of the size asked with the pictures and every setting the fields hold; the
// present one stays when the size is refused.
function rebuild(width, height) {
  let c;
  try {
    c = app.engine.create(width, height);
  } catch (e) {
    return e.message;
  }
  const refused = loadPictures(c, width, height);
  if (refused) {
    c.destroy();
    return refused;
  }
  if (app.component) app.component.destroy();
  app.component = c;
  const values = fieldValues();
  for (const [name, value] of Object.entries(values)) {
    if (name === 'Color' && !app.colorChosen) continue;
    c.set(Property[name], value);  // a refused value is already shown at its field
  }
  showColor();
  screen.width = width;
  screen.height = height;
  app.settingsVersion++;
  app.dirty = true;
  return '';
}

function reloadPictures() {
  const c = app.component;
  if (c.active) c.stop();
  const refused = loadPictures(c, c.width, c.height);
  $('picture-error').textContent = refused;
  if (!app.colorChosen) showColor();
  else c.set(Property.Color, parseColor($('color-text').value));
  drawThumbs();
  app.settingsVersion++;
  refreshFrame();
}

// ---------------------------------------------------------------------------------------
// Values typed

function parseNumber(text) {
  const t = text.trim();
  return t === '' || !/^[+-]?\d+$/.test(t) ? NaN : Number(t);
}

// 0xBBGGRR, $BBGGRR, a decimal number, or #RRGGBB as colour pickers write it.
function parseColor(text) {
  const t = text.trim();
  let m = /^(?:0x|\$)([0-9a-f]{1,16})$/i.exec(t);
  if (m) return parseInt(m[1], 16);
  m = /^#([0-9a-f]{6})$/i.exec(t);
  if (m) {
    const rgb = parseInt(m[1], 16);
    return ((rgb & 0xff) << 16 | (rgb & 0xff00) | (rgb >> 16)) >>> 0;
  }
  return parseNumber(t);
}

const hex = (n, digits) => n.toString(16).toUpperCase().padStart(digits, '0');

// The component's Color in both colour fields.
function showColor() {
  const color = app.component.get(Property.Color);
  $('color-text').value = '0x' + hex(color, color > 0xffffff ? 8 : 6);
  $('color-text').removeAttribute('aria-invalid');
  $('color-text-error').textContent = '';
  if (color <= 0xffffff) {
    const r = color & 0xff, g = (color >> 8) & 0xff, b = color >> 16;
    $('color-pick').value = '#' + hex(r, 2) + hex(g, 2) + hex(b, 2);
  }
}

// Hands one setting to the component and shows what it says; true when taken.
function applySetting(name, value, field) {
  const c = app.component;
  if (BetweenRuns.includes(name) && c.active) c.stop();
  const refused = c.set(Property[name], value);
  const error = field && $(field.id + '-error');
  if (error) error.textContent = refused;
  if (field) {
    if (refused) field.setAttribute('aria-invalid', 'true');
    else field.removeAttribute('aria-invalid');
  }
  if (!refused) {
    app.settingsVersion++;
    refreshFrame();
  }
  return !refused;
}

// ---------------------------------------------------------------------------------------
// The run

function currentTick() { return Math.max(1, app.component.ticks); }

// After a change of settings or pictures: a paused run, or one that has been played, shows
// its present frame again as the new settings draw it; a playing run goes on.
function refreshFrame() {
  const c = app.component;
  if ((c.active && c.paused) || (!c.active && c.ticks > 0)) seekTo(currentTick());
  app.dirty = true;
}

function showRunError(message) {
  $('run-error').textContent = message;
  $('run-error').hidden = !message;
}

function seekTo(tick) {
  const c = app.component;
  const length = c.runLength();
  const target = Math.max(1, length ? Math.min(tick, length) : tick);
  showRunError(c.seek(target));
  app.dirty = true;
}

function play() {
  const c = app.component;
  if (c.active) c.stop();
  showRunError(c.play());
  app.dirty = true;
}

function pauseOrResume() {
  const c = app.component;
  if (!c.active) return play();
  showRunError(c.paused ? c.resume() : c.pause());
  app.dirty = true;
}

function step() {
  const c = app.component;
  if (!c.active) {
    c.play();
    c.pause();
  } else if (!c.paused) {
    c.pause();
  }
  showRunError(c.tick());
  app.dirty = true;
}

function runState(c) {
  if (c.active) return c.paused ? 'paused' : 'playing';
  return c.done ? 'done' : 'idle';
}

const StateText = { idle: 'Idle', playing: 'Playing', paused: 'Paused', done: 'Done: OnDone raised' };

function draw(canvas, c) {
  const f = c.frame();
  if (!f) return;
  if (canvas.width !== f.width || canvas.height !== f.height) {
    canvas.width = f.width;
    canvas.height = f.height;
  }
  canvas.getContext('2d').putImageData(new ImageData(f.data, f.width, f.height), 0, 0);
}

// The frame, the slider, the position and the buttons as the component stands.
function showPlayer() {
  const c = app.component;
  const state = runState(c);
  const length = c.runLength();
  const tick = c.ticks;
  if (app.dirty || tick !== app.lastTick) {
    draw(screen, c);
    app.lastTick = tick;
    app.dirty = false;
  }
  const slider = $('frame');
  slider.max = String(Math.max(1, length));
  if (document.activeElement !== slider || state === 'playing') slider.value = String(Math.max(1, tick));
  const frame = c.get(Property.CurrentFrame);
  $('position').textContent = length
    ? `frame ${tick} of ${length} · CurrentFrame ${frame}`
    : `frame ${tick} · CurrentFrame ${frame} · no end without a from picture`;
  if ($('state').dataset.state !== state) {
    $('state').dataset.state = state;
    $('state').textContent = StateText[state];
  }
  const player = $('player').dataset;
  player.state = state;
  player.tick = String(tick);
  player.length = String(length);
  $('pause').disabled = state !== 'playing';
  $('resume').disabled = state !== 'paused';
  $('stop').disabled = !c.active;
  if (app.recording && state !== 'playing') finishRecording();
}

// ---------------------------------------------------------------------------------------
// Saving

function download(blob, name) {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(blob);
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}

function baseName() {
  const c = app.component;
  return `${app.operations[c.get(Property.Operation)].name}-frame-${c.ticks}`;
}

// The component's frame, drawn afresh rather than taken off the screen canvas, which may
// still show the frame before.
function savePng() {
  const name = baseName() + '.png';
  const canvas = document.createElement('canvas');
  draw(canvas, app.component);
  if (!canvas.width) return;
  canvas.toBlob((blob) => {
    download(blob, name);
    $('save-state').textContent = `Saved ${name}`;
  }, 'image/png');
}

function saveBmp() {
  const bmp = app.component.frameBmp();
  if (!bmp) return;
  download(new Blob([bmp], { type: 'image/bmp' }), baseName() + '.bmp');
  $('save-state').textContent = `Saved ${baseName()}.bmp`;
}

// The whole run rendered tick by tick through the component and encoded as an animated GIF,
// every frame shown for the run's Interval. The run is played afresh and paused, so only
// these ticks move it; the page draws between groups of frames, and a person who stops or
// plays the run meanwhile abandons the GIF.
async function saveGif() {
  if (app.encodingGif) return;
  const c = app.component;
  const length = c.runLength();
  if (!length) {
    $('save-state').textContent = 'This run never ends: there is no whole run to save.';
    return;
  }
  const name = app.operations[c.get(Property.Operation)].name + '.gif';
  app.encodingGif = true;
  $('save-gif').disabled = true;
  try {
    if (c.active) c.stop();
    const refused = c.play() || c.pause();
    if (refused) {
      showRunError(refused);
      return;
    }
    const gif = new GifWriter(c.get(Property.Interval));
    for (let k = 1; k <= length; ++k) {
      if (!c.active || !c.paused || c.ticks !== k - 1) {
        $('save-state').textContent = 'The run was changed while the GIF was made; nothing saved.';
        return;
      }
      const tickRefused = c.tick();
      if (tickRefused) {
        showRunError(tickRefused);
        return;
      }
      gif.add(c.frame());
      app.dirty = true;
      if (k % GifFramesPerPause === 0) {
        $('save-state').textContent = `Encoding frame ${k} of ${length}…`;
        await new Promise((r) => setTimeout(r));
      }
    }
    download(new Blob([gif.finish()], { type: 'image/gif' }), name);
    $('save-state').textContent = `Saved ${name} (${length} frames)`;
  } finally {
    app.encodingGif = false;
    $('save-gif').disabled = false;
  }
}

// The whole run, played at its Interval, recorded off the screen canvas.
function recordRun() {
  if (app.recording) return;
  if (!window.MediaRecorder || !screen.captureStream) {
    $('save-state').textContent = 'This browser cannot record a canvas.';
    return;
  }
  const type = ['video/webm;codecs=vp9', 'video/webm;codecs=vp8', 'video/webm'].find((t) => MediaRecorder.isTypeSupported(t));
  const recorder = new MediaRecorder(screen.captureStream(), type ? { mimeType: type } : {});
  const chunks = [];
  const name = app.operations[app.component.get(Property.Operation)].name + '.webm';
  recorder.ondataavailable = (e) => chunks.push(e.data);
  recorder.onstop = () => {
    download(new Blob(chunks, { type: 'video/webm' }), name);
    $('save-state').textContent = `Saved ${name}`;
    $('record').disabled = false;
  };
  app.recording = recorder;
  $('record').disabled = true;
  $('save-state').textContent = 'Recording the run…';
  recorder.start();
  play();
}

function finishRecording() {
  const recorder = app.recording;
  app.recording = null;
  // The last frame stays on screen for one more Interval, as the component leaves it.
  setTimeout(() => recorder.stop(), Math.min(1000, Math.max(100, app.component.get(Property.Interval))));
}

// ---------------------------------------------------------------------------------------
// The gallery: all operations at once in an engine of their own

const gallery = { engine: null, cards: [], version: -1 };

async function buildGallery() {
  if (!gallery.engine) gallery.engine = await loadEngine();
  for (const card of gallery.cards) card.component.destroy();
  const c = app.component;
  const width = Math.min(GalleryWidth, c.width);
  const height = Math.max(1, Math.round(c.height * width / c.width));
  const list = $('cards');
  list.replaceChildren();
  gallery.cards = app.operations.map((op, i) => {
    const component = gallery.engine.create(width, height);
    loadPictures(component, width, height);
    for (const name of ['Modifier', 'Delta', 'Steps', 'Interval', 'Color', 'RGBOrder'])
      component.set(Property[name], c.get(Property[name]));
    component.set(Property.Operation, i);
    component.play();
    const li = document.createElement('li');
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'card';
    button.title = op.description;
    button.setAttribute('aria-label', `${op.name}${op.inControl ? ', offered by the ActiveX control' : ''}: ${op.description}. Open in the player.`);
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    const label = document.createElement('span');
    label.textContent = (op.inControl ? '◆ ' : '') + op.name;
    button.append(canvas, label);
    button.addEventListener('click', () => openInPlayer(i));
    li.append(button);
    list.append(li);
    return { component, canvas, hold: 0 };
  });
  gallery.version = app.settingsVersion;
}

function advanceGallery(dt, now) {
  gallery.engine.advanceTime(dt);
  for (const card of gallery.cards) {
    const c = card.component;
    if (!c.active && c.done) {
      if (!card.hold) card.hold = now + GalleryHold;
      if (now >= card.hold) {
        card.hold = 0;
        c.set(Property.Reverse, c.get(Property.Reverse) ? 0 : 1);
        c.play();
      }
    }
    if (c.ticks !== card.lastTick) {
      draw(card.canvas, c);
      card.lastTick = c.ticks;
    }
  }
}

function openInPlayer(op) {
  $('operation').value = String(op);
  showOperationInfo();
  applySetting('Operation', op, null);
  showView('player');
  play();
}

// ---------------------------------------------------------------------------------------
// Views and keys

function showView(name) {
  for (const view of ['player', 'gallery']) {
    const tab = $('tab-' + view);
    const selected = view === name;
    tab.setAttribute('aria-selected', String(selected));
    tab.tabIndex = selected ? 0 : -1;
    $(view).hidden = !selected;
  }
  document.body.dataset.view = name;
  if (name === 'gallery') {
    const c = app.component;
    if (c.active && !c.paused) c.pause();
    if (gallery.version !== app.settingsVersion) buildGallery();
  }
}

function typing(target) {
  return target.closest('input:not([type=checkbox]):not([type=radio]):not([type=range]):not([type=file]), select, textarea');
}

function onKey(e) {
  if (e.ctrlKey || e.metaKey || e.altKey || typing(e.target)) return;
  const onControl = e.target.closest('button, input, a');
  const inPlayer = document.body.dataset.view !== 'gallery';
  const c = app.component;
  const actions = {
    p: () => play(),
    s: () => c.active && (c.stop(), app.dirty = true),
    g: () => showView(inPlayer ? 'gallery' : 'player'),
    ' ': () => !onControl && pauseOrResume(),
    ArrowRight: () => e.target.type !== 'range' && step(),
    ArrowLeft: () => e.target.type !== 'range' && seekTo(currentTick() - 1),
    Home: () => e.target.type !== 'range' && seekTo(1),
    End: () => e.target.type !== 'range' && seekTo(c.runLength() || currentTick()),
  };
  const action = actions[e.key.length === 1 ? e.key.toLowerCase() : e.key];
  if (!action || (!inPlayer && e.key.toLowerCase() !== 'g')) return;
  if (action() !== false) e.preventDefault();
}

// ---------------------------------------------------------------------------------------
// Start

function fillSelect(select, names, label = (n) => n) {
  select.replaceChildren(...names.map((n, i) => new Option(label(n), String(i))));
}

function showOperationInfo() {
  const op = app.operations[Number($('operation').value)];
  $('operation-info').textContent = `${op.description}. ${op.inControl ? 'The ActiveX control offers it too (◆).' : 'The engine alone offers it.'}`;
}

function fillOperations() {
  const select = $('operation');
  const groups = [['Offered by the ActiveX control too ◆', true], ['The engine only', false]];
  select.replaceChildren(...groups.map(([label, inControl]) => {
    const group = document.createElement('optgroup');
    group.label = label;
    app.operations.forEach((op, i) => {
      if (op.inControl === inControl) group.append(new Option((inControl ? '◆ ' : '') + op.name, String(i)));
    });
    return group;
  }));
}

function drawThumbs() {
  const p = pictures();
  for (const [id, bitmap] of [['from-thumb', p.from], ['to-thumb', p.to]]) {
    const canvas = $(id);
    const scale = Math.min(1, 160 / bitmap.width);
    canvas.width = Math.max(1, Math.round(bitmap.width * scale));
    canvas.height = Math.max(1, Math.round(bitmap.height * scale));
    canvas.getContext('2d').drawImage(bitmap, 0, 0, canvas.width, canvas.height);
  }
}

async function useFiles(files) {
  const images = [...files].filter((f) => f.type.startsWith('image/') || /\.(bmp|png|jpe?g|gif|webp|avif)$/i.test(f.name));
  if (!images.length) {
    $('picture-error').textContent = 'Drop picture files: any format this browser shows.';
    return;
  }
  try {
    const decoded = await Promise.all(images.slice(0, 2).map(decode));
    app.own.from = decoded[0];
    if (decoded[1]) app.own.to = decoded[1];
  } catch (e) {
    $('picture-error').textContent = `This file cannot be read as a picture (${e.message}).`;
    return;
  }
  document.querySelector('input[name=source][value=own]').checked = true;
  app.source = 'own';
  reloadPictures();
}

function wire() {
  for (const id of ['delta', 'steps', 'interval']) {
    $(id).addEventListener('input', (e) => applySetting(e.target.dataset.property, parseNumber(e.target.value), e.target));
  }
  $('color-text').addEventListener('input', (e) => {
    app.colorChosen = true;
    if (applySetting('Color', parseColor(e.target.value), e.target)) {
      const color = app.component.get(Property.Color);
      if (color <= 0xffffff) $('color-pick').value = '#' + hex(color & 0xff, 2) + hex((color >> 8) & 0xff, 2) + hex(color >> 16, 2);
    }
  });
  $('color-pick').addEventListener('input', (e) => {
    app.colorChosen = true;
    applySetting('Color', parseColor(e.target.value), $('color-text'));
    showColor();
  });
  $('operation').addEventListener('change', (e) => {
    showOperationInfo();
    applySetting('Operation', Number(e.target.value), null);
  });
  $('modifier').addEventListener('change', (e) => applySetting('Modifier', Number(e.target.value), null));
  $('rgb-order').addEventListener('change', (e) => applySetting('RGBOrder', Number(e.target.value), null));
  $('reverse').addEventListener('change', (e) => applySetting('Reverse', e.target.checked ? 1 : 0, null));

  $('play').addEventListener('click', play);
  $('pause').addEventListener('click', () => { showRunError(app.component.pause()); app.dirty = true; });
  $('resume').addEventListener('click', () => { showRunError(app.component.resume()); app.dirty = true; });
  $('stop').addEventListener('click', () => { showRunError(app.component.stop()); app.dirty = true; });
  $('step').addEventListener('click', step);
  $('frame').addEventListener('input', (e) => seekTo(Number(e.target.value)));

  for (const input of document.querySelectorAll('input[name=source]')) {
    input.addEventListener('change', (e) => {
      app.source = e.target.value;
      reloadPictures();
    });
  }
  for (const [id, key] of [['from-file', 'from'], ['to-file', 'to']]) {
    $(id).addEventListener('change', async (e) => {
      const file = e.target.files[0];
      if (!file) return;
      try {
        app.own[key] = await decode(file);
      } catch (err) {
        $('picture-error').textContent = `${file.name} cannot be read as a picture (${err.message}).`;
        return;
      }
      document.querySelector('input[name=source][value=own]').checked = true;
      app.source = 'own';
      reloadPictures();
    });
  }
  $('swap').addEventListener('click', () => {
    const p = pictures();
    app.own = { from: p.to, to: p.from };
    document.querySelector('input[name=source][value=own]').checked = true;
    app.source = 'own';
    reloadPictures();
  });
  for (const zone of [$('stage'), $('pictures')]) {
    zone.addEventListener('dragover', (e) => {
      e.preventDefault();
      zone.classList.add('dropping');
    });
    zone.addEventListener('dragleave', () => zone.classList.remove('dropping'));
    zone.addEventListener('drop', (e) => {
      e.preventDefault();
      zone.classList.remove('dropping');
      useFiles(e.dataTransfer.files);
    });
  }

  const applySize = () => {
    const width = parseNumber($('width').value), height = parseNumber($('height').value);
    const refused = Number.isFinite(width) && Number.isFinite(height)
      ? rebuild(width, height) : 'Width and height are whole numbers of pixels.';
    $('size-error').textContent = refused;
  };
  $('apply-size').addEventListener('click', applySize);
  for (const id of ['width', 'height']) $(id).addEventListener('keydown', (e) => e.key === 'Enter' && applySize());
  $('picture-size').addEventListener('click', () => {
    const { from } = pictures();
    $('width').value = from.width;
    $('height').value = from.height;
    applySize();
  });
  fillSelect($('fit'), Object.keys(Fits), (k) => Fits[k]);
  $('fit').addEventListener('change', (e) => {
    app.fit = e.target.value;
    reloadPictures();
  });

  $('save-png').addEventListener('click', savePng);
  $('save-bmp').addEventListener('click', saveBmp);
  $('save-gif').addEventListener('click', saveGif);
  $('record').addEventListener('click', recordRun);

  const tabs = [$('tab-player'), $('tab-gallery')];
  tabs.forEach((tab, i) => {
    tab.addEventListener('click', () => showView(i ? 'gallery' : 'player'));
    tab.addEventListener('keydown', (e) => {
      if (e.key !== 'ArrowLeft' && e.key !== 'ArrowRight') return;
      const next = tabs[1 - i];
      next.focus();
      showView(next === tabs[1] ? 'gallery' : 'player');
      e.stopPropagation();
    });
  });
  document.addEventListener('keydown', onKey);
}

function loop() {
  let last = performance.now();
  const frame = (now) => {
    const dt = Math.min(LongestTimeStep, now - last);
    last = now;
    if (document.body.dataset.view === 'gallery') {
      if (gallery.cards.length) advanceGallery(dt, now);
    } else {
      const c = app.component;
      if (c.active && !c.paused) {
        const error = app.engine.advanceTime(dt);
        if (error) showRunError(error);
      }
      showPlayer();
    }
    requestAnimationFrame(frame);
  };
  requestAnimationFrame(frame);
}

async function start() {
  app.engine = await loadEngine();
  app.operations = app.engine.operations();
  fillOperations();
  fillSelect($('modifier'), app.engine.names(1));
  fillSelect($('rgb-order'), app.engine.names(2));
  [app.builtIn.from, app.builtIn.to] = await Promise.all([decodeUrl('pictures/From.bmp'), decodeUrl('pictures/To.bmp')]);

  // The fields start at a new component's values.
  const fresh = app.engine.create(1, 1);
  $('operation').value = String(fresh.get(Property.Operation));
  $('modifier').value = String(fresh.get(Property.Modifier));
  $('reverse').checked = fresh.get(Property.Reverse) === 1;
  $('delta').value = fresh.get(Property.Delta);
  $('steps').value = fresh.get(Property.Steps);
  $('interval').value = fresh.get(Property.Interval);
  $('rgb-order').value = String(fresh.get(Property.RGBOrder));
  fresh.destroy();
  showOperationInfo();
  wire();
  drawThumbs();
  const refused = rebuild(app.builtIn.from.width, app.builtIn.from.height);
  $('size-error').textContent = refused;
  document.body.dataset.view = 'player';
  loop();
  document.body.dataset.ready = 'true';
}

start().catch((e) => {
  showRunError(`The playground could not start: ${e.message}`);
  throw e;
});
