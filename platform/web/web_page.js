// The page side of the Web back end: canvas, keys, waits, tone and the end of the program.
// The program calls in through Module.co2simPage; the page never calls the program: it
// writes key presses into the program's memory and wakes it when it is suspended.
(function () {
  'use strict';
  const canvas = document.getElementById('pantalla');
  // Desynchronized: the canvas's pictures go to the display without a commit of the page's
  // layers, which in a browser without a GPU copies the whole canvas on the main thread.
  const context = canvas.getContext('2d', { alpha: false, desynchronized: true });
  const endPanel = document.getElementById('fin');
  const restart = document.getElementById('reiniciar');

  // State the page shows and its tests read.
  const status = {
    state: 'loading',  // running, line, key, held, ended
    exitStatus: null,
    virtualMs: 0,
    tones: 0,
    tonesSounded: 0,
    firstFrameMs: null,
    keyLatencies: [],
    holdAfterKeyWaitMs: -1,
    heldAtMs: null,
    heldAtReal: null,
    waitedMs: 0,  // real time spent in pauses
    resume: null,
    stateListener: null,  // told every state the program reports
    // Whether the program is suspended in a key wait with every press handed over.
    idle: () => keyWaiter !== null,
  };
  window.co2sim = status;

  // Key presses go into the ring the program reads (layout: two counters, then 64 slots of
  // 32 bytes: character, flags, key name).
  const kSlots = 64;
  const kSlotBytes = 32;
  let ring = 0;
  const early = [];  // presses before the program has handed over its ring
  let keyWaiter = null;
  let lastKeyDownAt = null;

  function writePress(press) {
    const heap32 = HEAPU32;
    const written = heap32[ring >> 2];
    let read = heap32[(ring >> 2) + 1];
    if (((written - read) >>> 0) >= kSlots) heap32[(ring >> 2) + 1] = (read + 1) >>> 0;
    const slot = ring + 8 + (written % kSlots) * kSlotBytes;
    HEAP32[slot >> 2] = press.character;
    heap32[(slot >> 2) + 1] = press.flags;
    const heap8 = HEAPU8;
    for (let i = 0; i < 24; ++i)
      heap8[slot + 8 + i] = i < 23 && i < press.name.length ? press.name.charCodeAt(i) & 0x7F : 0;
    heap32[ring >> 2] = (written + 1) >>> 0;
  }

  function characterOf(key) {
    const points = Array.from(key);
    return points.length === 1 ? points[0].codePointAt(0) : 0;
  }

  // Browser shortcuts that stay with the browser: reload, zoom, tabs, windows.
  function browserShortcut(e) {
    if (e.metaKey) return true;
    if (!e.ctrlKey || e.altKey) return false;
    return ['KeyR', 'KeyW', 'KeyT', 'KeyN', 'KeyQ', 'Tab', 'PageUp', 'PageDown', 'Equal',
            'Minus', 'Digit0', 'NumpadAdd', 'NumpadSubtract'].includes(e.code);
  }

  let audio = null;
  function allowSound() {
    if (audio === null && (window.AudioContext || window.webkitAudioContext)) {
      try {
        audio = new (window.AudioContext || window.webkitAudioContext)();
      } catch (err) {
        audio = false;
      }
    }
    if (audio && audio.state === 'suspended') audio.resume();
  }

  // Hands one press to the program: the keyboard's and the on-screen keys' alike.
  function deliver(press) {
    allowSound();
    if (ring === 0) {
      early.push(press);
      if (early.length > kSlots) early.shift();
      return;
    }
    writePress(press);
    lastKeyDownAt = performance.now();
    if (keyWaiter) {
      const wake = keyWaiter;
      keyWaiter = null;
      wake();
    }
  }

  // Keys reach the program wherever the focus is in the page, except the keys a focused
  // control uses itself (a button's Enter and Space) and Tab, which moves the focus.
  function controlKey(e) {
    if (e.key === 'Tab') return true;
    const target = e.target;
    const control = target instanceof Element &&
                    target.closest('button, a[href], input, select, textarea');
    return Boolean(control) && (e.key === 'Enter' || e.key === ' ');
  }

  function onKeyDown(e) {
    if (e.defaultPrevented || controlKey(e)) return;
    if (status.state === 'ended') {
      if (e.key === 'Enter') {
        e.preventDefault();
        location.reload();
      }
      return;
    }
    if (browserShortcut(e)) return;
    e.preventDefault();
    deliver({
      character: characterOf(e.key),
      flags: (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0) |
             (e.getModifierState && e.getModifierState('AltGraph') ? 8 : 0),
      name: e.code || '',
    });
  }
  window.addEventListener('keydown', onKeyDown);
  canvas.addEventListener('mousedown', () => canvas.focus());
  // The on-screen keys give the press the keyboard's key would: its character and its code.
  status.press = (key, code) => {
    if (status.state === 'ended') {
      if (key === 'Enter') location.reload();
      return;
    }
    deliver({ character: characterOf(key), flags: 0, name: code });
  };
  restart.addEventListener('click', () => location.reload());

  // The picture the program last put, for redrawing the whole canvas without the program.
  let picture = null;
  let pictureBuffer = null;
  let pictureAddress = 0;
  function imageOf(rgba, width, height) {
    const buffer = HEAPU8.buffer;
    if (picture === null || pictureBuffer !== buffer || pictureAddress !== rgba ||
        picture.width !== width || picture.height !== height) {
      picture = new ImageData(new Uint8ClampedArray(buffer, rgba, width * height * 4), width, height);
      pictureBuffer = buffer;
      pictureAddress = rgba;
    }
    return picture;
  }
  function redrawWhole() {
    if (picture && pictureBuffer === HEAPU8.buffer) context.putImageData(picture, 0, 0);
  }
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'visible') redrawWhole();
  });
  canvas.addEventListener('contextrestored', redrawWhole);
  window.addEventListener('pageshow', redrawWhole);

  // Waits: the program resumes from a task the scheduler runs after the delay, which no
  // clamp on nested timers lengthens (where the page has no such scheduler: a timer, then a
  // message). Nothing waits in a loop: the program keeps its own deadlines and takes a late
  // wake-up off its following pauses.
  const scheduler = window.scheduler && window.scheduler.postTask ? window.scheduler : null;
  const channel = new MessageChannel();
  let deadline = 0;
  let waitStart = 0;
  let waitDone = null;
  let waitNumber = 0;  // a wake-up ends only the wait it was sent for
  function endWait(number) {
    if (waitDone === null || number !== waitNumber) return;
    status.waitedMs += performance.now() - waitStart;
    const done = waitDone;
    waitDone = null;
    done();
  }
  channel.port1.onmessage = (e) => endWait(e.data);
  function wakeAfter(ms, number) {
    if (scheduler) {
      scheduler.postTask(() => endWait(number), { delay: ms });
    } else if (ms >= 1) {
      setTimeout(() => channel.port2.postMessage(number), ms);
    } else {
      channel.port2.postMessage(number);
    }
  }
  // A hidden tab's timers are slowed to about one a second; shown again, a wait that is over
  // ends at once.
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'visible' && waitDone !== null &&
        performance.now() >= deadline)
      wakeAfter(0, waitNumber);
  });

  const names = ['running', 'line', 'key'];

  Module.co2simPage = {
    open(width, height, ringAddress) {
      canvas.width = width;
      canvas.height = height;
      ring = ringAddress;
      while (early.length) writePress(early.shift());
      status.state = 'running';
      canvas.focus();
    },
    putRows(rgba, width, height, first, last) {
      context.putImageData(imageOf(rgba, width, height), 0, 0, 0, first, width, last - first + 1);
      const now = performance.now();
      if (status.firstFrameMs === null) status.firstFrameMs = now;
      if (lastKeyDownAt !== null) {
        status.keyLatencies.push(now - lastKeyDownAt);
        if (status.keyLatencies.length > 10000) status.keyLatencies.shift();
        lastKeyDownAt = null;
      }
    },
    wait(ms) {
      return new Promise((resolve) => {
        waitStart = performance.now();
        deadline = waitStart + ms;
        waitDone = resolve;
        // Delays are whole milliseconds that never end early; a wait of no time still goes
        // through the event loop, so keys and painting go on.
        wakeAfter(Math.ceil(ms), ++waitNumber);
      });
    },
    awaitKey() {
      return new Promise((resolve) => { keyWaiter = resolve; });
    },
    tone(hertz, ms) {
      if (!audio) return;
      const oscillator = audio.createOscillator();
      const gain = audio.createGain();
      oscillator.type = 'square';
      oscillator.frequency.value = hertz;
      gain.gain.value = 0.08;
      oscillator.connect(gain).connect(audio.destination);
      oscillator.start();
      oscillator.stop(audio.currentTime + ms / 1000);
      status.tonesSounded += 1;
    },
    report(state, virtualMs, tones) {
      if (status.state !== 'ended') status.state = names[state] || 'running';
      status.virtualMs = virtualMs;
      status.tones = tones;
      if (status.stateListener) status.stateListener(status.state);
    },
    holdRequest() {
      return status.holdAfterKeyWaitMs;
    },
    hold(virtualMs) {
      status.holdAfterKeyWaitMs = -1;
      status.heldAtMs = virtualMs;
      status.heldAtReal = performance.now();
      status.state = 'held';
      return new Promise((resolve) => {
        status.resume = () => {
          status.resume = null;
          status.state = 'running';
          resolve();
        };
      });
    },
    ended(code) {
      status.exitStatus = code;
      status.state = 'ended';
      document.documentElement.dataset.exitStatus = String(code);
      endPanel.hidden = false;
      restart.focus();
      if (status.stateListener) status.stateListener(status.state);
    },
  };

  // The runtime ends the program by throwing its exit status out of the resumed call.
  const isExit = (x) => x && x.name === 'ExitStatus';
  window.addEventListener('error', (e) => { if (isExit(e.error)) e.preventDefault(); });
  window.addEventListener('unhandledrejection', (e) => { if (isExit(e.reason)) e.preventDefault(); });

  Module.onExit = (code) => {
    if (status.exitStatus === null) Module.co2simPage.ended(code);
  };
  canvas.focus();
})();
