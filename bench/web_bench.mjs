// The page in headless Chromium: page load to first frame, key press to changed canvas,
// pacing of 50 table rows against their requested pauses, and the size of the site.
// Usage: node bench/web_bench.mjs SITE_DIR   (bench/web_bench.sh builds and serves it)
import { statSync } from 'node:fs';
import { join } from 'node:path';
import { launchBrowser, openPage, serveSite, untilIdle } from '../tests/web/web_session.mjs';

const siteDir = process.argv[2];
const percentile = (values, p) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor((p / 100) * sorted.length))];
};
const fixed = (x, digits = 1) => x.toFixed(digits);

const server = await serveSite(siteDir);
const session = await launchBrowser();
try {
  // Page load to first frame (ms after navigation start), over fresh loads.
  const firstFrames = [];
  for (let i = 0; i < 7; ++i) {
    const { page } = await openPage(session.browser, server.url);
    await page.waitForFunction(() => co2sim.firstFrameMs !== null);
    firstFrames.push(await page.evaluate(() => co2sim.firstFrameMs));
    await page.close();
  }

  // Key press to changed canvas, inside the page: typed characters echoed at a line wait.
  const { page } = await openPage(session.browser, server.url);
  await untilIdle(page, 'line');
  await page.evaluate(() => { co2sim.keyLatencies.length = 0; });
  for (let round = 0; round < 10; ++round) {
    for (let i = 0; i < 20; ++i) {
      await page.keyboard.press(String(i % 10));
      await page.waitForTimeout(5);
    }
    await page.keyboard.press('Escape');
    await page.waitForTimeout(5);
  }
  await untilIdle(page, 'line');
  const latencies = await page.evaluate(() => co2sim.keyLatencies.slice());
  await page.keyboard.press('Escape');

  // Pacing: held at a row boundary of the table, then again 50 rows (and the band's one
  // 250 ms tone) later; the page's clock between the two.
  await untilIdle(page, 'line');
  await page.keyboard.type('20');
  await page.keyboard.press('Enter');
  await untilIdle(page, 'line');
  await page.keyboard.type('58');
  await page.keyboard.press('Enter');
  await untilIdle(page, 'line');
  await page.keyboard.type('25');
  const firstMark = 2 * 217;
  const rows = 50;
  await page.evaluate((n) => { co2sim.holdAfterKeyWaitMs = n; }, firstMark);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => co2sim.state === 'held', null, { timeout: 60000 });
  const first = await page.evaluate(() => co2sim.heldAtMs);
  await page.evaluate((n) => {
    co2sim.holdAfterKeyWaitMs = n;
    co2sim.resumedAt = performance.now();
    co2sim.waitedAtResume = co2sim.waitedMs;
    co2sim.resume();
  }, firstMark + rows * 217 + 250);
  await page.waitForFunction(() => co2sim.state === 'held', null, { timeout: 120000 });
  const pacing = await page.evaluate(() => ({
    virtualMs: co2sim.heldAtMs, realMs: co2sim.heldAtReal - co2sim.resumedAt,
    waitedMs: co2sim.waitedMs - co2sim.waitedAtResume,
    tones: co2sim.tones }));
  const virtualSpan = pacing.virtualMs - first;
  await page.close();

  const js = statSync(join(siteDir, 'co2sim.js')).size;
  const wasm = statSync(join(siteDir, 'co2sim.wasm')).size;
  console.log(`page load to first frame: median ${fixed(percentile(firstFrames, 50))} ms, ` +
              `worst ${fixed(Math.max(...firstFrames))} ms (${firstFrames.length} loads)`);
  console.log(`key press to changed canvas: p50 ${fixed(percentile(latencies, 50), 2)} ms, ` +
              `p99 ${fixed(percentile(latencies, 99), 2)} ms (${latencies.length} presses)`);
  console.log(`pacing: ${rows} rows and one tone, ${virtualSpan} ms of pauses in ` +
              `${fixed(pacing.realMs)} ms: ratio ${(pacing.realMs / virtualSpan).toFixed(4)}; ` +
              `${fixed(pacing.waitedMs)} ms in the pauses themselves, ` +
              `${fixed((pacing.realMs - pacing.waitedMs) / rows, 2)} ms of work a row`);
  console.log(`size: JavaScript ${js} bytes, WebAssembly ${wasm} bytes, together ` +
              `${fixed((js + wasm) / 1024)} KiB`);
} finally {
  await session.close();
  server.stop();
}
