// The page on other devices: its fit to windows and phones, a run typed on the on-screen keys
// alone, keys wherever the focus is, full screen, the screen's text for assistive technology,
// the manifest, the offline copy and the content security policy.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { canvasPicture, decodePng, pictureDifference, readPng, runDriver, untilIdle,
         untilRunning, watchPage } from './web_session.mjs';

const kTouch = { isMobile: true, hasTouch: true };

// Where the picture is and whether the page scrolls, as the page lays itself out now.
async function placement(page) {
  // The next frame: a resize reaches the page's handlers before it is painted.
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0))));
  return page.evaluate(() => {
    const box = (el) => {
      const r = el.getBoundingClientRect();
      return { x: r.left, y: r.top, w: r.width, h: r.height };
    };
    const keypad = document.getElementById('teclado');
    const root = document.documentElement;
    return {
      canvas: box(document.getElementById('pantalla')),
      pixels: [document.getElementById('pantalla').width, document.getElementById('pantalla').height],
      keypad: keypad.hidden ? null : box(keypad),
      view: { w: root.clientWidth, h: root.clientHeight },
      scrolls: root.scrollWidth > root.clientWidth || root.scrollHeight > root.clientHeight ||
               document.body.scrollHeight > root.clientHeight,
    };
  });
}

// What is wrong with a layout: null when the picture is whole, at 4:3, at least 3/4 of the
// largest 4:3 rectangle the viewport holds, and the keys (when shown) beside it on screen.
function layoutFault(p) {
  const { canvas: c, view: v } = p;
  const inside = (b) => b.x >= -0.5 && b.y >= -0.5 && b.x + b.w <= v.w + 0.5 && b.y + b.h <= v.h + 0.5;
  if (p.pixels[0] !== 1024 || p.pixels[1] !== 768) return `canvas pixels ${p.pixels}`;
  if (!inside(c)) return `picture ${JSON.stringify(c)} outside the ${v.w}x${v.h} view`;
  if (Math.abs(c.w / c.h - 4 / 3) > 0.01) return `picture ${c.w}x${c.h} not 4:3`;
  const largest = Math.min(v.w, (v.h * 4) / 3);
  if (c.w < 0.75 * largest) return `picture ${c.w} wide, the largest 4:3 fit is ${largest}`;
  if (p.scrolls) return 'the page scrolls';
  if (p.keypad) {
    const k = p.keypad;
    if (!inside(k)) return `keys ${JSON.stringify(k)} outside the view`;
    const apart = k.x >= c.x + c.w || k.y >= c.y + c.h || k.x + k.w <= c.x || k.y + k.h <= c.y;
    if (!apart) return 'keys over the picture';
  }
  return null;
}

// Until the region of the screen's text (refreshed a few times a second) matches.
async function untilText(page, pattern) {
  await page.waitForFunction((source) => new RegExp(source).test(
    document.getElementById('texto-pantalla').textContent), pattern.source, { timeout: 5000 })
    .catch(() => {});
}

export async function deviceChecks({ browser, url, siteDir, driver, workDir, check }) {
  const sameAsDriver = async (page, reference, what) => {
    const difference = pictureDifference(await canvasPicture(page), readPng(reference));
    check(difference === null, `${what}${difference ? ': ' + difference : ''}`);
  };
  const noErrors = (errors, what) =>
    check(errors.length === 0, `${what}: no page errors or policy refusals (${errors.join('; ')})`);

  // Windows and phones, upright and turned, then resized and turned in the middle of the
  // table: the picture is re-fitted at once.
  async function fitChecks() {
    const views = [
      { name: 'laptop 1366x657, service workers refused', width: 1366, height: 657, block: true },
      { name: 'desktop 1920x969', width: 1920, height: 969 },
      { name: '4K 3840x2160', width: 3840, height: 2160 },
      { name: 'phone 390x664 (touch)', width: 390, height: 664, touch: true, keys: true },
      { name: 'phone turned 844x390 (touch)', width: 844, height: 390, touch: true, keys: true },
      { name: 'small phone 320x480 (touch)', width: 320, height: 480, touch: true, keys: true },
    ];
    for (const view of views) {
      const context = await browser.newContext({
        viewport: { width: view.width, height: view.height }, ...(view.touch ? kTouch : {}),
        serviceWorkers: view.block ? 'block' : 'allow' });
      const page = await context.newPage();
      const errors = watchPage(page);
      await page.goto(url);
      await untilIdle(page, 'line');
      const p = await placement(page);
      const fault = layoutFault(p);
      check(fault === null && Boolean(p.keypad) === Boolean(view.keys),
            `fit ${view.name}: ${fault || `picture ${p.canvas.w}x${p.canvas.h}` +
                                          `${p.keypad ? ', on-screen keys apart from it' : ', no on-screen keys'}`}`);
      noErrors(errors, `fit ${view.name}`);
      await context.close();
    }

    const context = await browser.newContext({ viewport: { width: 390, height: 664 }, ...kTouch });
    const page = await context.newPage();
    await page.goto(url);
    for (const key of ['2', 'Enter', '2', '.', '5', 'Enter', '1', 'Enter']) {
      await untilIdle(page, 'line');
      await page.locator(`#teclado button[data-key="${key}"]`).tap();
    }
    const faults = [];
    for (const [width, height] of [[664, 390], [390, 664], [1366, 657], [320, 480], [844, 390]]) {
      await page.setViewportSize({ width, height });
      const fault = layoutFault(await placement(page));
      if (fault) faults.push(`${width}x${height}: ${fault}`);
    }
    const state = await page.evaluate(() => co2sim.state);
    check(faults.length === 0 && state !== 'ended',
          `turned and resized during the table, the picture is re-fitted at once ` +
          `(${faults.join('; ') || state})`);
    await context.close();
  }

  // Introduction to the end-of-run wait on the on-screen keys alone, with edits, three
  // fingers at once and the text for screen readers checked on the way.
  async function touchRun() {
    const name = 'touch-only run 2 to 2.25 at 15 %';
    const end = join(workDir, 'touch-end.png'), typed = join(workDir, 'touch-fingers.png');
    runDriver(driver, ['wait:line', 'type:123', 'wait:line', `shot:${typed}`]);
    runDriver(driver, [
      'wait:line', 'type:123', 'key:Backspace', 'key:Backspace', 'key:Backspace', 'type:2',
      'key:Enter', 'wait:line', 'type:23', 'key:Backspace', 'type:.25', 'key:Enter', 'wait:line',
      'type:5', 'key:Left', 'type:1', 'key:Enter', 'wait:end', `shot:${end}`, 'key:Space']);

    const context = await browser.newContext({ viewport: { width: 390, height: 664 }, ...kTouch });
    const page = await context.newPage();
    const errors = watchPage(page);
    const keyboardEvents = [];
    await page.exposeFunction('noteKeyboard', (key) => keyboardEvents.push(key));
    await page.addInitScript(() => {
      window.addEventListener('keydown', (e) => window.noteKeyboard(e.key), true);
    });
    await page.goto(url);
    await untilIdle(page, 'line');
    const key = (k) => page.locator(`#teclado button[data-key="${k}"]`);
    const tap = async (keys) => { for (const k of keys) await key(k).tap(); };

    await untilText(page, /DESDE \(2-58\)/);
    const tree = await page.locator('body').ariaSnapshot();
    check(/Simulador de reducciones globales de CO2/.test(tree) &&
          /SIMULACION PARA EMISIONES GLOBAL DE CO2 .*DESDE \(2-58\):/.test(tree),
          `${name}: the accessibility tree holds the introduction's title and the first question`);
    await page.waitForFunction(() => /DESDE \(2-58\)/.test(document.getElementById('aviso').textContent),
                               null, { timeout: 5000 }).catch(() => {});
    check(/DESDE \(2-58\)/.test(await page.locator('#aviso').textContent()),
          `${name}: the first question is announced`);
    const names = await page.locator('#teclado button').evaluateAll((buttons) =>
      buttons.map((b) => b.getAttribute('aria-label') || b.textContent.trim()));
    check(names.join(' ') === '1 2 3 4 5 6 7 8 9 0 . Izquierda Derecha Borrar Intro Espacio',
          `${name}: the on-screen keys are buttons named by their digit or word (${names.join(' ')})`);

    // Three fingers down at once on 1, 2 and 3.
    const centre = async (k) => {
      const b = await key(k).boundingBox();
      return { x: b.x + b.width / 2, y: b.y + b.height / 2 };
    };
    const points = [await centre('1'), await centre('2'), await centre('3')];
    const cdp = await context.newCDPSession(page);
    await cdp.send('Input.dispatchTouchEvent', {
      type: 'touchStart', touchPoints: points.map((p, id) => ({ ...p, id })) });
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await untilIdle(page, 'line');
    await sameAsDriver(page, typed, `${name}: three fingers at once type 1, 2 and 3 once each`);

    await tap(['Backspace', 'Backspace', 'Backspace', '2', 'Enter']);
    await untilIdle(page, 'line');
    await tap(['2', '3', 'Backspace', '.', '2', '5']);
    await untilIdle(page, 'line');
    await untilText(page, /HASTA \(3-59\): 2\.25/);
    const typedValue = await page.locator('body').ariaSnapshot();
    check(/DESDE \(2-58\): 2\b/.test(typedValue) && /HASTA \(3-59\): 2\.25/.test(typedValue),
          `${name}: the typed values are read beside their questions`);
    await tap(['Enter', '5', 'ArrowLeft', '1', 'Enter']);
    await untilIdle(page, 'key');
    await sameAsDriver(page, end, `${name}: the end-of-run wait`);
    await page.waitForFunction(() => /Pulse una tecla/.test(document.getElementById('aviso').textContent),
                               null, { timeout: 5000 }).catch(() => {});
    check(/Pulse una tecla/.test(await page.locator('#aviso').textContent()),
          `${name}: the end-of-run prompt is announced`);
    await tap([' ']);
    await page.waitForFunction(() => co2sim.state === 'ended', null, { timeout: 30000 });
    const status = await page.evaluate(() => co2sim.exitStatus);
    check(status === 0,
          `${name}: "Espacio" ends with status 0 (${status})`);
    check(keyboardEvents.length === 0, `${name}: no keyboard event was used (${keyboardEvents})`);
    noErrors(errors, name);
    await context.close();
  }

  // A refused set typed on the on-screen keys and a keyboard mixed: the form is asked again
  // and the refusal is announced.
  async function refusedMixed() {
    const name = 'refused 50 to 40, on-screen keys and keyboard mixed';
    const again = join(workDir, 'refused-mixed.png');
    runDriver(driver, ['wait:line', 'type:50\\r40\\r25\\r', 'wait:line', `shot:${again}`]);
    const context = await browser.newContext({ viewport: { width: 844, height: 390 }, ...kTouch });
    const page = await context.newPage();
    const errors = watchPage(page);
    await page.goto(url);
    const tap = (k) => page.locator(`#teclado button[data-key="${k}"]`).tap();
    const steps = [() => page.keyboard.press('5'), () => tap('0'), () => tap('Enter'),
                   () => page.keyboard.press('4'), () => tap('0'), () => page.keyboard.press('Enter'),
                   () => tap('2'), () => page.keyboard.press('5'), () => tap('Enter')];
    for (const step of steps) {
      await untilIdle(page, 'line');
      await step();
    }
    await untilIdle(page, 'line');
    await sameAsDriver(page, again, `${name}: the form is asked again`);
    await page.waitForFunction(() => /no aceptados/.test(document.getElementById('aviso').textContent),
                               null, { timeout: 5000 }).catch(() => {});
    const notice = await page.locator('#aviso').textContent();
    check(/^Valores no aceptados\. .*DESDE \(2-58\)/.test(notice),
          `${name}: the refusal and the first question are announced (${notice})`);
    noErrors(errors, name);
    await context.close();
  }

  // Keys reach the program wherever the last click was, except a focused button's Enter and
  // Space; full screen holds the picture at 4:3 and the keys go on working in it.
  async function focusAndFullScreen() {
    const name = 'keys and full screen';
    const typed = join(workDir, 'focus-typed.png');
    runDriver(driver, ['wait:line', 'type:2', 'key:Enter', 'wait:line', 'type:34', 'wait:line',
                       `shot:${typed}`]);
    const context = await browser.newContext({ viewport: { width: 1366, height: 657 } });
    const page = await context.newPage();
    const errors = watchPage(page);
    await page.goto(url);
    await untilIdle(page, 'line');
    await page.mouse.click(5, 300);  // beside the picture
    await page.keyboard.press('2');
    await page.click('h1');
    await page.keyboard.press('Enter');
    await untilIdle(page, 'line');
    const button = page.getByRole('button', { name: /Pantalla completa/ });
    await button.focus();
    await page.keyboard.press('3');
    await page.keyboard.press('Enter');  // the button's: full screen, not the program's
    await page.waitForFunction(() => document.fullscreenElement !== null, null, { timeout: 5000 })
      .catch(() => {});
    const full = await page.evaluate(() => {
      const r = document.getElementById('pantalla').getBoundingClientRect();
      const f = document.fullscreenElement;
      return { id: f && f.id, w: r.width, h: r.height, x: r.left, y: r.top,
               vw: innerWidth, vh: innerHeight, background: f && getComputedStyle(f).backgroundColor };
    });
    check(full.id === 'escena' && Math.abs(full.w / full.h - 4 / 3) < 0.01 &&
          full.x >= 0 && full.y >= 0 && full.x + full.w <= full.vw + 0.5 &&
          full.y + full.h <= full.vh + 0.5 && full.background === 'rgb(0, 0, 0)',
          `${name}: the button puts the picture in full screen at 4:3 on black (${JSON.stringify(full)})`);
    await page.keyboard.press('4');
    await untilIdle(page, 'line');
    await sameAsDriver(page, typed,
                       `${name}: keys beside the picture, on the title and in full screen reach the program`);
    await page.evaluate(() => document.exitFullscreen());
    await page.waitForFunction(() => document.fullscreenElement === null);
    const fault = layoutFault(await placement(page));
    check(fault === null, `${name}: the page is fitted again after full screen (${fault})`);
    noErrors(errors, name);
    await context.close();
  }

  // The manifest, its icons made from the SVG, the content security policy in force, the
  // offline copy after one visit (with a stale cache of an older build) and two tabs offline.
  async function installAndOffline() {
    const name = 'installed and offline';
    const intro = join(workDir, 'intro.png');
    runDriver(driver, ['wait:line', `shot:${intro}`]);
    const context = await browser.newContext({ viewport: { width: 1100, height: 900 } });
    const page = await context.newPage();
    const errors = watchPage(page);

    const manifest = await (await context.request.get(`${url}manifest.webmanifest`)).json();
    const sizes = [];
    for (const icon of manifest.icons.filter((i) => i.type === 'image/png')) {
      const response = await context.request.get(`${url}${icon.src}`);
      const png = decodePng(await response.body());
      sizes.push(`${png.width}x${png.height}=${icon.sizes}`);
    }
    check(manifest.name === 'Simulador de emisiones de CO2' && manifest.short_name &&
          manifest.lang === 'es' && ['standalone', 'fullscreen'].includes(manifest.display) &&
          manifest.theme_color === '#202020' && sizes.join(' ') === '192x192=192x192 512x512=512x512',
          `${name}: the manifest names the page in Spanish with icons of 192 and 512 (${sizes})`);
    // A cache left by an older build, with a broken program in it.
    await page.goto(`${url}co2sim.svg`);
    await page.evaluate(async () => {
      const old = await caches.open('co2sim-0123456789abcdef');
      await old.put('co2sim.js', new Response('throw new Error("old build")'));
    });

    await page.goto(url);
    await untilIdle(page, 'line');
    const linkedManifest = await page.evaluate(() =>
      document.querySelector('link[rel="manifest"]').getAttribute('href'));
    check(linkedManifest === 'manifest.webmanifest', `${name}: the page links its manifest`);
    const inline = await page.evaluate(() => {
      const s = document.createElement('script');
      s.textContent = 'window.inlineRan = true;';
      document.body.append(s);
      return window.inlineRan === true;
    });
    await page.waitForTimeout(100);
    const refused = errors.filter((e) => e.startsWith('CSP')).length;
    check(!inline && refused > 0, `${name}: the content security policy refuses an inline script`);
    errors.length = 0;

    await page.evaluate(() => navigator.serviceWorker.ready);
    const cacheNames = await page.evaluate(() => caches.keys());
    const worker = readFileSync(join(siteDir, 'sw.js'), 'utf8');
    const cacheName = (worker.match(/'(co2sim-[0-9a-f]{16})'/) || [])[1];
    check(cacheNames.length === 1 && cacheNames[0] === cacheName,
          `${name}: one cache, named after this build (${cacheNames}), the older one removed`);

    await context.setOffline(true);
    await page.reload();
    await untilRunning(page);
    await untilIdle(page, 'line');
    await sameAsDriver(page, intro, `${name}: reloaded offline, the program runs`);
    const second = await context.newPage();
    const secondErrors = watchPage(second);
    await second.goto(url);
    await untilIdle(second, 'line');
    await second.keyboard.type('20');
    await page.keyboard.type('3');
    await untilIdle(page, 'line');
    await untilIdle(second, 'line');
    await untilText(page, /DESDE \(2-58\):\s*3/);
    await untilText(second, /DESDE \(2-58\):\s*20/);
    const both = await Promise.all([page, second].map((p) => p.evaluate(() =>
      document.getElementById('texto-pantalla').textContent.match(/DESDE \(2-58\):\s*(\d*)/)[1])));
    check(both[0] === '3' && both[1] === '20',
          `${name}: two tabs offline each run their own program (${both})`);
    noErrors([...errors, ...secondErrors], name);
    await context.close();
  }

  await fitChecks();
  await touchRun();
  await refusedMixed();
  await focusAndFullScreen();
  await installAndOffline();
}
