// Where the page's main thread spends its time while the table animates: Chromium's sampling
// profiler (self time by function, wasm functions by name when the site was linked with
// --profiling-funcs) and a timeline trace (tasks by kind, their count and time).
// Usage: node bench/web_profile.mjs SITE_DIR [SECONDS] [THROTTLING]
import { launchBrowser, openPage, serveSite, untilIdle } from '../tests/web/web_session.mjs';

const [siteDir, secondsArg, rateArg] = process.argv.slice(2);
const seconds = Number(secondsArg || 5);
const rate = Number(rateArg || 1);

const server = await serveSite(siteDir);
const session = await launchBrowser();
try {
  const { page } = await openPage(session.browser, server.url);
  const cdp = await page.context().newCDPSession(page);
  for (const field of ['20', '58', '25']) {
    await untilIdle(page, 'line');
    await page.keyboard.type(field);
    await page.keyboard.press('Enter');
  }
  await page.waitForFunction(() => co2sim.virtualMs > 1000, null, { timeout: 60000 });
  await cdp.send('Emulation.setCPUThrottlingRate', { rate });
  await cdp.send('Performance.enable');

  // The sampling profile.
  await cdp.send('Profiler.enable');
  await cdp.send('Profiler.setSamplingInterval', { interval: 100 });
  const metric = async () => {
    const { metrics } = await cdp.send('Performance.getMetrics');
    const of = (name) => metrics.find((m) => m.name === name).value;
    return { task: of('TaskDuration'), at: of('Timestamp') };
  };
  const before = await metric();
  await cdp.send('Profiler.start');
  await page.waitForTimeout(seconds * 1000);
  const { profile } = await cdp.send('Profiler.stop');
  const after = await metric();
  const busy = (after.task - before.task) / (after.at - before.at);

  const selfUs = new Map();
  const byId = new Map(profile.nodes.map((n) => [n.id, n]));
  const deltas = profile.timeDeltas;
  for (let i = 0; i < profile.samples.length; ++i) {
    const node = byId.get(profile.samples[i]);
    const f = node.callFrame;
    const where = f.url ? f.url.replace(/^.*\//, '') : '';
    const name = `${f.functionName || '(anonymous)'}${where ? ' ' + where : ''}`;
    const dt = i + 1 < deltas.length ? deltas[i + 1] : 0;
    selfUs.set(name, (selfUs.get(name) || 0) + dt);
  }
  const total = profile.endTime - profile.startTime;
  const sorted = [...selfUs.entries()].sort((a, b) => b[1] - a[1]);
  console.log(`throttling ${rate}x, ${seconds} s of the table; main thread busy ` +
              `${(100 * busy).toFixed(1)} % (TaskDuration)`);
  console.log('self time by function, share of the wall time sampled:');
  for (const [name, us] of sorted.slice(0, 30))
    console.log(`  ${(100 * us / total).toFixed(2).padStart(6)} %  ${name}`);

  // The timeline: every task and the events inside them, by name.
  const events = [];
  cdp.on('Tracing.dataCollected', (e) => events.push(...e.value));
  const done = new Promise((resolve) => cdp.once('Tracing.tracingComplete', resolve));
  await cdp.send('Tracing.start', {
    traceConfig: { includedCategories: ['devtools.timeline', 'disabled-by-default-devtools.timeline', 'toplevel'] },
    transferMode: 'ReportEvents' });
  await page.waitForTimeout(seconds * 1000);
  await cdp.send('Tracing.end');
  await done;
  const main = events.find((e) => e.name === 'thread_name' && e.args.name === 'CrRendererMain');
  const onMain = events.filter((e) => main && e.pid === main.pid && e.tid === main.tid &&
                                      e.ph === 'X' && typeof e.dur === 'number');
  const byName = new Map();
  for (const e of onMain) {
    const entry = byName.get(e.name) || { count: 0, us: 0 };
    entry.count += 1;
    entry.us += e.dur;
    byName.set(e.name, entry);
  }
  const span = seconds * 1e6;
  console.log('timeline events on the main thread (complete events, time includes nested ones):');
  for (const [name, { count, us }] of [...byName.entries()].sort((a, b) => b[1].us - a[1].us).slice(0, 25))
    console.log(`  ${(100 * us / span).toFixed(2).padStart(6)} %  ${String(count).padStart(6)}x  ` +
                `${(us / count).toFixed(0).padStart(6)} us each  ${name}`);
  // Tasks by where they were posted from (their source location, as the trace names it).
  const bySource = new Map();
  for (const e of onMain.filter((x) => x.name === 'ThreadControllerImpl::RunTask')) {
    const source = e.args && (e.args.src_func || e.args.src_file)
      ? `${e.args.src_file || ''} ${e.args.src_func || ''}`.trim() : '(unnamed)';
    const entry = bySource.get(source) || { count: 0, us: 0 };
    entry.count += 1;
    entry.us += e.dur;
    bySource.set(source, entry);
  }
  console.log('tasks by where they were posted:');
  for (const [name, { count, us }] of [...bySource.entries()].sort((a, b) => b[1].us - a[1].us).slice(0, 15))
    console.log(`  ${(100 * us / span).toFixed(2).padStart(6)} %  ${String(count).padStart(6)}x  ` +
                `${(us / count).toFixed(0).padStart(6)} us each  ${name}`);
  await page.close();
} finally {
  await session.close();
  server.stop();
}
