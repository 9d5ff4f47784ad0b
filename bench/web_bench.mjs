// The page in headless Chromium: page load to first frame, key press to changed canvas,
// the pace of 50 table rows against their requested pauses and the main thread's busy share
// while they animate, at 1x, 4x, 8x and 16x CPU throttling, the busy share at the end-of-run
// wait, and the size of the site.
// Usage: node bench/web_bench.mjs SITE_DIR [SITE_DIR...]   (bench/web_bench.sh builds one)
// With several sites the measurements alternate between them, round by round, so machine
// load drifts alike over all; CO2SIM_WEB_BENCH_ROUNDS sets the rounds (default 1) and
// CO2SIM_WEB_BENCH_RATES the throttling rates (default 1,4,8,16).
import { statSync } from 'node:fs';
import { join } from 'node:path';
import { launchBrowser, openPage, serveSite, untilIdle } from '../tests/web/web_session.mjs';

const sites = process.argv.slice(2);
const rounds = Number(process.env.CO2SIM_WEB_BENCH_ROUNDS || 1);
const rates = (process.env.CO2SIM_WEB_BENCH_RATES || '1,4,8,16').split(',').map(Number);
const percentile = (values, p) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor((p / 100) * sorted.length))];
};
const fixed = (x, digits = 1) => x.toFixed(digits);
const median = (values) => percentile(values, 50);

// The main thread's busy seconds (Chromium's TaskDuration) and the time they were read.
async function busyClock(page) {
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Performance.enable');
  const read = async () => {
    const { metrics } = await cdp.send('Performance.getMetrics');
    const of = (name) => metrics.find((m) => m.name === name).value;
    return { task: of('TaskDuration'), at: of('Timestamp') };
  };
  return { cdp, read, share: (a, b) => (b.task - a.task) / (b.at - a.at) };
}

async function typeFields(page, fields) {
  for (let i = 0; i < fields.length; ++i) {
    await untilIdle(page, 'line');
    await page.keyboard.type(fields[i]);
    if (i + 1 < fields.length) await page.keyboard.press('Enter');
  }
  await untilIdle(page, 'line');
}

// Held at a row boundary of the table, then again 50 rows (and the band's one 250 ms tone)
// later at the given throttling; the page's clock between the two, and the busy share.
async function pacedRows(browser, url, rate) {
  const { page } = await openPage(browser, url);
  const clock = await busyClock(page);
  await typeFields(page, ['20', '58', '25']);
  const firstMark = 2 * 217;
  const rows = 50;
  await page.evaluate((n) => { co2sim.holdAfterKeyWaitMs = n; }, firstMark);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => co2sim.state === 'held', null, { timeout: 60000 });
  await clock.cdp.send('Emulation.setCPUThrottlingRate', { rate });
  const first = await page.evaluate(() => co2sim.heldAtMs);
  const before = await clock.read();
  await page.evaluate((n) => {
    co2sim.holdAfterKeyWaitMs = n;
    co2sim.resumedAt = performance.now();
    co2sim.waitedAtResume = co2sim.waitedMs;
    co2sim.resume();
  }, firstMark + rows * 217 + 250);
  await page.waitForFunction(() => co2sim.state === 'held', null, { timeout: 300000 });
  const after = await clock.read();
  const pacing = await page.evaluate(() => ({
    virtualMs: co2sim.heldAtMs, realMs: co2sim.heldAtReal - co2sim.resumedAt,
    waitedMs: co2sim.waitedMs - co2sim.waitedAtResume }));
  await page.close();
  const virtualSpan = pacing.virtualMs - first;
  return { rows, virtualSpan, realMs: pacing.realMs, ratio: pacing.realMs / virtualSpan,
           waitedMs: pacing.waitedMs, busy: clock.share(before, after) };
}

// The busy share over 5 s of the end-of-run wait.
async function idleAtEnd(browser, url) {
  const { page } = await openPage(browser, url);
  const clock = await busyClock(page);
  await typeFields(page, ['2', '2.05', '25']);
  await page.keyboard.press('Enter');
  await untilIdle(page, 'key');
  await page.waitForTimeout(500);
  const before = await clock.read();
  await page.waitForTimeout(5000);
  const after = await clock.read();
  await page.close();
  return clock.share(before, after);
}

async function firstFrames(browser, url) {
  const times = [];
  for (let i = 0; i < 7; ++i) {
    const { page } = await openPage(browser, url);
    await page.waitForFunction(() => co2sim.firstFrameMs !== null);
    times.push(await page.evaluate(() => co2sim.firstFrameMs));
    await page.close();
  }
  return times;
}

// Key press to changed canvas, inside the page: typed characters echoed at a line wait.
async function keyLatencies(browser, url) {
  const { page } = await openPage(browser, url);
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
  await page.close();
  return latencies;
}

const servers = [];
for (const site of sites) servers.push(await serveSite(site));
const session = await launchBrowser();
try {
  const results = sites.map(() => ({ paced: new Map(rates.map((r) => [r, []])), idle: [] }));
  for (let round = 0; round < rounds; ++round) {
    for (const rate of rates) {
      for (let s = 0; s < sites.length; ++s) {
        const r = await pacedRows(session.browser, servers[s].url, rate);
        results[s].paced.get(rate).push(r);
        console.log(`${sites[s]}: ${rate}x: ${r.rows} rows and one tone, ${r.virtualSpan} ms of ` +
                    `pauses in ${fixed(r.realMs)} ms: ratio ${r.ratio.toFixed(4)}, main thread busy ` +
                    `${fixed(100 * r.busy)} %, ${fixed(r.waitedMs)} ms suspended in the pauses`);
      }
    }
    for (let s = 0; s < sites.length; ++s) {
      const share = await idleAtEnd(session.browser, servers[s].url);
      results[s].idle.push(share);
      console.log(`${sites[s]}: end-of-run wait: main thread busy ${(100 * share).toFixed(2)} %`);
    }
  }
  for (let s = 0; s < sites.length; ++s) {
    const site = sites[s];
    const loads = await firstFrames(session.browser, servers[s].url);
    const latencies = await keyLatencies(session.browser, servers[s].url);
    const js = statSync(join(site, 'co2sim.js')).size;
    const wasm = statSync(join(site, 'co2sim.wasm')).size;
    console.log(`== ${site}`);
    console.log(`page load to first frame: median ${fixed(median(loads))} ms, ` +
                `worst ${fixed(Math.max(...loads))} ms (${loads.length} loads)`);
    console.log(`key press to changed canvas: p50 ${fixed(percentile(latencies, 50), 2)} ms, ` +
                `p99 ${fixed(percentile(latencies, 99), 2)} ms (${latencies.length} presses)`);
    for (const rate of rates) {
      const runs = results[s].paced.get(rate);
      console.log(`${rate}x throttling (${runs.length} runs): pace ratio ` +
                  `${runs.map((r) => r.ratio.toFixed(3)).join(', ')}; busy while animating ` +
                  `${runs.map((r) => fixed(100 * r.busy)).join(', ')} %`);
    }
    console.log(`end-of-run wait: busy ${results[s].idle.map((x) => (100 * x).toFixed(2)).join(', ')} %`);
    console.log(`size: JavaScript ${js} bytes, WebAssembly ${wasm} bytes, together ` +
                `${fixed((js + wasm) / 1024)} KiB`);
  }
} finally {
  await session.close();
  for (const server of servers) server.stop();
}
