// The component in WebAssembly, as JavaScript objects: one module instance holds any
// number of components that share its timer clock; a fresh instance starts as a fresh
// program does.
import LumawipeModule from './lumawipe.js';

let compiled = null;  // the compiled module, instantiated again for each engine

// A new instance of the engine. Instances share the compiled code, not their memory.
export async function loadEngine() {
  if (!compiled) compiled = WebAssembly.compileStreaming(fetch(new URL('./lumawipe.wasm', import.meta.url)));
  const code = await compiled;
  const module = await LumawipeModule({
    instantiateWasm(imports, receive) {
      WebAssembly.instantiate(code, imports).then((instance) => receive(instance, code));
      return {};
    },
  });
  return new Engine(module);
}

// The properties, by the numbers the engine's interface gives them.
export const Property = Object.freeze({
  Operation: 0, Modifier: 1, Reverse: 2, Delta: 3, Steps: 4, Interval: 5, Color: 6, RGBOrder: 7, CurrentFrame: 8,
});

export class Engine {
  constructor(module) {
    this.module = module;
    const f = (name, ret, args) => module.cwrap('lw_' + name, ret, args);
    this.api = {
      message: f('message', 'string', []),
      name: f('name', 'number', ['number', 'number']),
      description: f('operation_description', 'string', ['number']),
      inControl: f('operation_in_control', 'number', ['number']),
      create: f('create', 'number', ['number', 'number']),
      destroy: f('destroy', null, ['number']),
      setPicture: f('set_picture', 'number', ['number', 'number', 'number', 'number', 'number']),
      set: f('set', 'number', ['number', 'number', 'number']),
      get: f('get', 'number', ['number', 'number']),
      play: f('play', 'number', ['number']),
      pause: f('pause', 'number', ['number']),
      resume: f('resume', 'number', ['number']),
      stop: f('stop', 'number', ['number']),
      tick: f('tick', 'number', ['number']),
      seek: f('seek', 'number', ['number', 'number']),
      advanceTime: f('advance_time', 'number', ['number']),
      active: f('active', 'number', ['number']),
      paused: f('paused', 'number', ['number']),
      done: f('done', 'number', ['number']),
      ticks: f('ticks', 'number', ['number']),
      runLength: f('run_length', 'number', ['number']),
      frame: f('frame', 'number', ['number']),
      frameWidth: f('frame_width', 'number', ['number']),
      frameHeight: f('frame_height', 'number', ['number']),
      frameBmp: f('frame_bmp', 'number', ['number']),
      frameBmpSize: f('frame_bmp_size', 'number', ['number']),
      alloc: f('alloc', 'number', ['number']),
      free: f('free', null, ['number']),
    };
  }

  // The identifiers of list 0 (operations), 1 (modifiers) or 2 (channel orders).
  names(list) {
    const out = [];
    for (let i = 0; ; ++i) {
      const p = this.api.name(list, i);
      if (!p) return out;
      out.push(this.module.UTF8ToString(p));
    }
  }

  // Every operation: its identifier, what it does, and whether the ActiveX control offers it.
  operations() {
    return this.names(0).map((name, i) => ({
      name, description: this.api.description(i), inControl: this.api.inControl(i) === 1,
    }));
  }

  // A component of width x height; throws the engine's message when it refuses the size.
  create(width, height) {
    const handle = this.api.create(width, height);
    if (!handle) throw new Error(this.api.message());
    return new Component(this, handle, width, height);
  }

  // Lets ms milliseconds pass on the timers of every component of this engine; the message of
  // a tick that raised, or ''.
  advanceTime(ms) {
    return this.api.advanceTime(Math.max(0, Math.round(ms))) ? '' : this.api.message();
  }

  heap() { return this.module.HEAPU8; }
}

// The answer of a call that may be refused: '' when taken, else the component's message.
export class Component {
  constructor(engine, handle, width, height) {
    this.engine = engine;
    this.api = engine.api;
    this.handle = handle;
    this.width = width;
    this.height = height;
  }

  destroy() {
    if (this.handle) this.api.destroy(this.handle);
    this.handle = 0;
  }

  answer(ok) { return ok ? '' : this.api.message(); }

  // which: 0 from, 1 to; rgba: width * height * 4 bytes.
  setPicture(which, rgba, width, height) {
    const bytes = width * height * 4;
    const p = bytes > 0 ? this.api.alloc(bytes) : 0;
    if (bytes > 0 && !p) return 'Not enough memory for a picture of this size.';
    if (p) this.engine.heap().set(rgba.subarray(0, bytes), p);
    const ok = this.api.setPicture(this.handle, which, p, width, height);
    const message = this.answer(ok);
    if (p) this.api.free(p);
    return message;
  }

  // value: a number (NaN for text that is none); '' or the component's message.
  set(property, value) { return this.answer(this.api.set(this.handle, property, value)); }
  get(property) { return this.api.get(this.handle, property); }

  play() { return this.answer(this.api.play(this.handle)); }
  pause() { return this.answer(this.api.pause(this.handle)); }
  resume() { return this.answer(this.api.resume(this.handle)); }
  stop() { return this.answer(this.api.stop(this.handle)); }
  tick() { return this.answer(this.api.tick(this.handle)); }
  seek(tick) { return this.answer(this.api.seek(this.handle, tick)); }

  get active() { return this.api.active(this.handle) === 1; }
  get paused() { return this.api.paused(this.handle) === 1; }
  get done() { return this.api.done(this.handle) === 1; }
  get ticks() { return this.api.ticks(this.handle); }
  runLength() { return this.api.runLength(this.handle); }

  // The last frame as ImageData-ready RGBA (a copy), or null before the first frame.
  frame() {
    const p = this.api.frame(this.handle);
    if (!p) return null;
    const w = this.api.frameWidth(this.handle), h = this.api.frameHeight(this.handle);
    return { width: w, height: h, data: new Uint8ClampedArray(this.engine.heap().slice(p, p + w * h * 4).buffer) };
  }

  // The last frame as the toolkit writes it to a BMP file, or null.
  frameBmp() {
    const p = this.api.frameBmp(this.handle);
    if (!p) return null;
    return this.engine.heap().slice(p, p + this.api.frameBmpSize(this.handle));
  }
}
