// Shared pieces of the browser checks and the browser benchmark: the site served on a free
// port of 127.0.0.1, Debian's Chromium driven headless, PNG decoding, the snapshot driver.
import { spawn, spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { inflateSync } from 'node:zlib';

const require = createRequire(import.meta.url);
const { chromium } = require('playwright-core');

// Serves `dir` with python's http.server on a port the system picks; resolves to its URL.
export function serveSite(dir) {
  return new Promise((resolve, reject) => {
    const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '0'],
                         { cwd: dir, stdio: ['ignore', 'pipe', 'pipe'] });
    let seen = '';
    const timer = setTimeout(() => reject(new Error('the web server did not start')), 15000);
    server.stdout.on('data', (chunk) => {
      seen += chunk.toString();
      const m = seen.match(/port (\d+)/);
      if (m) {
        clearTimeout(timer);
        resolve({ url: `http://127.0.0.1:${m[1]}/`, stop: () => server.kill('SIGTERM') });
      }
    });
    server.on('exit', (code) => reject(new Error(`the web server ended (${code})`)));
  });
}

// Playwright gives each launch a fresh, temporary profile of its own.
export async function launchBrowser() {
  const browser = await chromium.launch({
    executablePath: process.env.CO2SIM_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  return { browser, close: () => browser.close() };
}

// Collects what goes wrong on a page: uncaught errors and every refusal of the page's
// content security policy (the browser reports each on the console and as an event).
export function watchPage(page) {
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  page.on('console', (m) => {
    if (/Content Security Policy|Refused to/i.test(m.text())) errors.push(`CSP: ${m.text()}`);
  });
  page.addInitScript(() => {
    document.addEventListener('securitypolicyviolation', (e) => {
      console.error(`Refused to load: ${e.violatedDirective} ${e.blockedURI}`);
    });
  });
  return errors;
}

// Until the program has started.
export async function untilRunning(page) {
  await page.waitForFunction(() => window.co2sim && window.co2sim.state !== 'loading');
}

// Opens the page and waits until the program runs; page errors are collected.
export async function openPage(browser, url) {
  const page = await browser.newPage({ viewport: { width: 1100, height: 900 } });
  const errors = watchPage(page);
  await page.goto(url);
  await untilRunning(page);
  return { page, errors };
}

// Until the program blocks in a key wait of this kind ('line' or 'key') with every press
// handed over.
export async function untilIdle(page, state, timeout = 60000) {
  await page.waitForFunction((s) => co2sim.state === s && co2sim.idle(), state, { timeout });
}

// The decoded pixels of an 8-bit RGB or RGBA PNG: { width, height, rgb } (3 bytes a pixel).
export function decodePng(buffer) {
  let at = 8;
  let width = 0, height = 0, channels = 0;
  const data = [];
  while (at < buffer.length) {
    const length = buffer.readUInt32BE(at);
    const type = buffer.toString('latin1', at + 4, at + 8);
    const body = buffer.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0) throw new Error('only 8-bit, non-interlaced PNGs');
      channels = { 2: 3, 6: 4 }[body[9]];
      if (!channels) throw new Error(`PNG colour type ${body[9]} not handled`);
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const out = Buffer.alloc(width * height * channels);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const a = x >= channels ? out[y * stride + x - channels] : 0;
      const b = y > 0 ? out[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? out[(y - 1) * stride + x - channels] : 0;
      let v = line[x];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      out[y * stride + x] = v & 0xFF;
    }
  }
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0; i < width * height; ++i)
    for (let k = 0; k < 3; ++k) rgb[i * 3 + k] = out[i * channels + k];
  return { width, height, rgb };
}

// How two pictures differ: null when equal, else the size mismatch or the first differing
// pixel and the count of differing pixels.
export function pictureDifference(a, b) {
  if (a.width !== b.width || a.height !== b.height)
    return `size ${a.width}x${a.height} against ${b.width}x${b.height}`;
  let count = 0, first = null;
  for (let i = 0; i < a.width * a.height; ++i) {
    if (a.rgb[i * 3] !== b.rgb[i * 3] || a.rgb[i * 3 + 1] !== b.rgb[i * 3 + 1] ||
        a.rgb[i * 3 + 2] !== b.rgb[i * 3 + 2]) {
      if (first === null) first = i;
      ++count;
    }
  }
  if (count === 0) return null;
  const x = first % a.width, y = Math.floor(first / a.width);
  const px = (p) => `${p.rgb[first * 3]},${p.rgb[first * 3 + 1]},${p.rgb[first * 3 + 2]}`;
  return `${count} pixels differ, the first at (${x}, ${y}): ${px(a)} against ${px(b)}`;
}

// Runs the snapshot driver; returns its summary line ("virtual_ms=N rows=N beeps=N"). A run
// whose program ends (status 0) or that stops in a key wait after its last action (status 3)
// is fine; anything else throws.
export function runDriver(driver, actions) {
  const run = spawnSync(driver, actions, { encoding: 'utf8', timeout: 120000 });
  if (run.status !== 0 && run.status !== 3)
    throw new Error(`${driver} ${actions.join(' ')}: status ${run.status} ${run.stderr}`);
  return run.stdout.trim();
}

export function readPng(path) { return decodePng(readFileSync(path)); }

// The canvas's own pixels (it is shown scaled to fit the window, so a screenshot would be
// resampled): { width, height, rgb }.
export async function canvasPicture(page) {
  const { width, height, data } = await page.evaluate(() => {
    const c = document.getElementById('pantalla');
    const rgba = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    const rgb = new Uint8Array(c.width * c.height * 3);
    for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) {
      rgb[j] = rgba[i];
      rgb[j + 1] = rgba[i + 1];
      rgb[j + 2] = rgba[i + 2];
    }
    let text = '';
    for (let i = 0; i < rgb.length; i += 0x8000)
      text += String.fromCharCode.apply(null, rgb.subarray(i, i + 0x8000));
    return { width: c.width, height: c.height, data: btoa(text) };
  });
  return { width, height, rgb: Buffer.from(data, 'base64') };
}
