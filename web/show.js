// The page around the show: the title card, the clock, the music, fullscreen and the keys. The
// picture is drawn by the web build (demo.js, demo.wasm) with the demo's own scene code, once
// per animation frame at the time this clock gives; the tune plays through the browser's audio
// at the show's time, and once it plays the clock follows the audio output, so both keep one time.
// The address may ask for t=SECONDS (start there), autostart=1 (no card) and paused=1 (hold the
// frame at t, silent). Everything but Module and show stays out of the page's global scope,
// which the web build's script shares.
(() => {
  'use strict';

  const request = (() => {
    const params = new URLSearchParams(location.search);
    const from = Number.parseFloat(params.get('t'));
    return {
      from: Number.isFinite(from) ? Math.max(0, from) : 0,  // the tune has no frame before the show
      autostart: params.get('autostart') === '1',
      paused: params.get('paused') === '1',
    };
  })();

  const stage = document.getElementById('stage');
  const canvas = document.getElementById('canvas');
  const card = document.getElementById('card');
  const poster = document.getElementById('poster');
  const watch = document.getElementById('watch');

  // Seconds on the page's monotonic clock.
  const pageSeconds = () => performance.now() / 1000;

  // Demo time in seconds, read from some running clock given as a function of seconds, or held.
  class ShowClock {
    constructor() { this.hold(0); }
    hold(t) { this.origin = t; this.read = null; }
    run(t, read) { this.origin = t; this.read = read; this.base = read(); }
    // Demo time when `read` gives `seconds`.
    at(seconds) { return this.read ? this.origin + (seconds - this.base) : this.origin; }
    now() { return this.read ? this.at(this.read()) : this.origin; }
    // Goes on from the time now on another clock.
    follow(read) { this.run(this.now(), read); }
  }

  // Ahead of the audio's clock by this much a source is started, so that its first frame is not
  // already late when the audio thread takes it.
  const kScheduleLeadSeconds = 0.05;

  // The tune, looped at the show's time. Its bytes are fetched early; the audio context is made
  // on the first start, which the viewer's click allows to sound.
  class Music {
    constructor() { this.context = null; this.buffer = null; this.source = null; this.session = 0; }

    fetch(path) {
      this.bytes = fetch(path).then((response) => (response.ok ? response.arrayBuffer() : null))
        .catch(() => null);
    }

    // The audio output's clock: the context time of the sound being heard now.
    heardSeconds() {
      const stamp = this.context.getOutputTimestamp?.() ?? {};
      if (!stamp.performanceTime) return this.context.currentTime;  // none yet, or none at all
      return stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
    }

    // Plays at the time `clock` keeps, once the tune is decoded and the audio runs, and puts the
    // clock on the audio's from then on. A tune that can't be fetched or decoded stays silent, as
    // the demo's does.
    async play(clock) {
      this.stop();
      const session = this.session;
      this.context ??= new AudioContext();
      this.context.resume();
      this.buffer ??= await this.bytes.then((bytes) => bytes && this.context.decodeAudioData(bytes))
        .catch(() => null);
      if (!this.buffer) return;
      while (this.context.state !== 'running') {
        await new Promise((resumed) => { this.context.onstatechange = resumed; });
      }
      if (session !== this.session) return;  // stopped meanwhile
      clock.follow(() => this.heardSeconds());
      const startAt = this.context.currentTime + kScheduleLeadSeconds;
      const frame = Module._webTuneFrame(clock.at(startAt), this.buffer.sampleRate, this.buffer.length);
      this.source = new AudioBufferSourceNode(this.context, { buffer: this.buffer, loop: true });
      this.source.connect(this.context.destination);
      this.source.start(startAt, frame / this.buffer.sampleRate);
      this.started = { at: startAt, offset: frame / this.buffer.sampleRate };
    }

    stop() {
      this.session += 1;
      this.source?.stop();
      this.source = null;
    }

    // Where in the tune the sound heard now is, in seconds; null until the tune is heard.
    position() {
      const played = this.source ? this.heardSeconds() - this.started.at : -1;
      return played < 0 ? null : (this.started.offset + played) % this.buffer.duration;
    }
  }

  // The page's state: loading, ready (the card), playing, held (paused=1), over (the card again),
  // or failed (no WebGL2). `firstFrameMs` is from the start's click to the first frame shown.
  const show = {
    state: 'loading',
    frames: 0,
    clock: new ShowClock(),
    music: new Music(),
    startedAt: 0,
    firstFrameMs: null,
    fullscreen: false,

    // Demo time now, and the tune's position (seconds into it) and audio state, for tests.
    time() { return this.clock.now(); },
    audio() {
      return { state: this.music.context?.state ?? 'none', position: this.music.position() };
    },
    // The frame at time t (by default the time now), drawn as the page draws it and returned
    // as a PNG data URL at the full 1920x1080. It is read straight from the drawing buffer
    // (top row first, by the module), which the canvas's own toDataURL may not show until the
    // frame has been presented.
    capture(t = this.time()) {
      const { drawingBufferWidth: width, drawingBufferHeight: height } = canvas.getContext('webgl2');
      const pixels = Module._webFramePixels(t);
      const image = new ImageData(new Uint8ClampedArray(Module.HEAPU8.subarray(pixels, pixels + width * height * 4)),
        width, height);
      const copy = document.createElement('canvas');
      copy.width = width;
      copy.height = height;
      copy.getContext('2d').putImageData(image, 0, 0);
      return copy.toDataURL('image/png');
    },
  };

  function showCard(label) {
    watch.textContent = label;
    watch.disabled = false;
    card.hidden = false;
    stage.classList.remove('playing');
  }

  function frame() {
    if (show.state !== 'playing' && show.state !== 'held') return;
    const over = Module._webFrame(show.time());
    show.frames += 1;
    if (show.frames === 1) {
      requestAnimationFrame(() => { show.firstFrameMs = performance.now() - show.startedAt; });
      // The audio's start-up can hold the page up for a moment: it comes after the first frame,
      // and the music joins at the show's time.
      if (show.state === 'playing') show.music.play(show.clock);
    }
    if (over) {
      end();
    } else if (show.state === 'playing') {
      requestAnimationFrame(frame);
    }
  }

  // From `from` seconds; `click` is the viewer's, which lets the page go fullscreen and sound.
  function start(from, click) {
    // The switch to fullscreen takes the browser longest: it goes first.
    if (click && stage.requestFullscreen) {
      stage.requestFullscreen().then(() => { show.fullscreen = true; }, () => {});
    }
    card.hidden = true;
    stage.classList.add('playing');
    show.frames = 0;
    show.firstFrameMs = null;
    show.startedAt = click ? click.timeStamp : performance.now();
    if (request.paused) {
      show.state = 'held';
      show.clock.hold(from);
    } else {
      show.state = 'playing';
      show.clock.run(from, pageSeconds);
    }
    requestAnimationFrame(frame);
  }

  // After the show, or on Escape: silence, out of fullscreen, and the card to watch again.
  function end() {
    show.state = 'over';
    show.music.stop();
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    show.fullscreen = false;
    showCard('watch again');
  }

  card.addEventListener('click', (event) => {
    if (show.state === 'ready') start(request.from, event);
    else if (show.state === 'over') start(0, event);
  });
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && (show.state === 'playing' || show.state === 'held')) end();
  });
  // The browser keeps Escape for leaving fullscreen itself; leaving it ends the show the same way.
  document.addEventListener('fullscreenchange', () => {
    if (!document.fullscreenElement && show.fullscreen) end();
  });

  function fail(why) {
    show.state = 'failed';
    watch.textContent = why;
  }

  // When the web build has started up (its reports, if any, are in the console by then).
  function ready() {
    if (!Module._webReady()) {
      fail('This browser offers no WebGL2, which the show needs.');
      return;
    }
    show.music.fetch(Module.UTF8ToString(Module._webTunePath()));
    try {
      const picture = Module.FS.readFile(Module.UTF8ToString(Module._webPicturePath()));
      poster.src = URL.createObjectURL(new Blob([picture], { type: 'image/png' }));
    } catch {
      // No picture: the card goes without it, as scene 1 does.
    }
    show.state = 'ready';
    if (request.autostart) start(request.from, null);
    else showCard('click to watch');
  }

  // What the web build's script (demo.js, loaded next) reads; and the page's state, for kiosks and
  // tests.
  window.Module = {
    canvas,
    print: (text) => console.log(text),
    postRun: [ready],
    onAbort: () => fail('The show could not start; the browser\'s console says why.'),
  };
  window.show = show;
})();
