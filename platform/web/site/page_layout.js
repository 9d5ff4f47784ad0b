// The page's layout: the picture as large as the window allows at 4:3, the on-screen keys on
// touch screens, and full screen. The canvas keeps its 1024x768 pixels; only its CSS size
// changes, so what the program drew is never resampled in memory.
(function () {
  'use strict';
  const kWidth = 1024, kHeight = 768;
  const kGap = 8;
  const kBesideKeys = 4 * 50 + 3 * 6 + kGap;  // the key grid's width beside the picture
  const kBelowKeys = 3 * 44 + 2 * 6 + kGap;    // its height below the picture
  const header = document.getElementById('cabecera');
  const scene = document.getElementById('escena');
  const canvas = document.getElementById('pantalla');
  const keypad = document.getElementById('teclado');
  const turnHint = document.getElementById('girar');
  const fullButton = document.getElementById('completa');
  const help = document.getElementById('ayuda');

  let touchKeys = window.matchMedia && window.matchMedia('(pointer: coarse)').matches;
  let keyPressed = false;

  // The largest scale that fits, or a whole number of device pixels per canvas pixel when
  // that keeps at least 3/4 of it (every canvas pixel then covers the same square of device
  // pixels). Enlarged pictures take the nearest filter, which keeps letters crisp; reduced
  // ones are smoothed, since the nearest filter drops whole strokes of the 8x16 letters.
  function scaleFor(width, height) {
    const fit = Math.max(0.05, Math.min(width / kWidth, height / kHeight));
    const ratio = window.devicePixelRatio || 1;
    const device = fit * ratio;
    const whole = Math.floor(device + 1e-6);
    if (whole >= 1 && whole >= 0.75 * device) return { scale: whole / ratio, sharp: true };
    return { scale: fit, sharp: device >= 1 };
  }

  function fit() {
    const full = document.fullscreenElement === scene;
    const width = document.documentElement.clientWidth;
    // Hints first: they change the header's height.
    const upright = touchKeys && !full && document.documentElement.clientHeight > width;
    turnHint.hidden = !upright;
    help.hidden = upright;
    const height = full ? window.innerHeight
                        : document.documentElement.clientHeight - header.offsetHeight;
    const padX = full ? 0 : 8, padY = full ? 0 : 4;
    const areaW = width - padX, areaH = height - padY;
    let layout = 'solo';
    let best = scaleFor(areaW, areaH);
    if (touchKeys) {
      const beside = scaleFor(areaW - kBesideKeys, areaH);
      const below = scaleFor(areaW, areaH - kBelowKeys);
      layout = beside.scale > below.scale ? 'al-lado' : 'debajo';
      best = layout === 'al-lado' ? beside : below;
    }
    scene.classList.toggle('al-lado', layout === 'al-lado');
    scene.classList.toggle('debajo', layout === 'debajo');
    keypad.hidden = !touchKeys;
    const w = Math.floor(kWidth * best.scale * 100) / 100;
    const h = Math.floor(kHeight * best.scale * 100) / 100;
    canvas.style.width = `${w}px`;
    canvas.style.height = `${h}px`;
    canvas.classList.toggle('nitida', best.sharp);
    if (layout === 'debajo') keypad.style.width = `${Math.min(areaW, Math.max(w, 320))}px`;
    else keypad.style.width = '';
    scene.style.height = full ? '' : `${height}px`;
  }

  // On-screen keys appear with a coarse pointer, or once the screen is touched before any
  // key was typed; a keyboard's keys keep working beside them.
  function showTouchKeys() {
    if (touchKeys) return;
    touchKeys = true;
    fit();
  }
  window.addEventListener('keydown', () => { keyPressed = true; }, true);
  window.addEventListener('touchstart', () => { if (!keyPressed) showTouchKeys(); },
                          { passive: true, capture: true });

  function tap(button) {
    const press = window.co2sim && window.co2sim.press;
    if (press) press(button.dataset.key, button.dataset.code);
    button.classList.add('pulsada');
    setTimeout(() => button.classList.remove('pulsada'), 120);
  }
  for (const button of keypad.querySelectorAll('button')) {
    // At once on the finger's touch (no wait for a click); the default is kept from taking
    // the focus, so the keyboard's Enter still reaches the program after a tap.
    button.addEventListener('pointerdown', (e) => {
      if (e.button !== 0) return;
      e.preventDefault();
      tap(button);
    });
    // A click without a pointer press: the keyboard or assistive technology activated it.
    button.addEventListener('click', (e) => { if (e.detail === 0) tap(button); });
    button.addEventListener('contextmenu', (e) => e.preventDefault());
  }

  // Full screen holds the picture (and the on-screen keys) on black; the keys go on reaching
  // the program, and the browser's own Escape leaves it.
  const canFull = document.fullscreenEnabled && scene.requestFullscreen;
  fullButton.hidden = !canFull;
  fullButton.addEventListener('click', () => {
    if (!canFull || document.fullscreenElement) return;
    scene.requestFullscreen().then(() => canvas.focus({ preventScroll: true }), () => {});
  });

  window.addEventListener('resize', fit);
  window.addEventListener('orientationchange', fit);
  document.addEventListener('fullscreenchange', fit);
  // The observers refit before the next paint, even where a resize event comes late.
  if (window.ResizeObserver) {
    const observer = new ResizeObserver(fit);
    observer.observe(header);
    observer.observe(document.documentElement);
  }
  fit();
})();
