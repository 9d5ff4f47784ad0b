// The page after a stall: the page's thread is held for two seconds mid-row (as a stalled
// machine or a background tab would hold it), then keys are pressed and the table runs on. Reports how long the
// rows around the stall took against their pauses, how long the rows after it took, and
// whether the picture at a later row boundary equals the snapshot driver's.
// Usage: node bench/web_recovery.mjs SITE_DIR SNAPSHOT_DRIVER WORK_DIR
import { mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { canvasPicture, launchBrowser, openPage, pictureDifference, readPng, runDriver,
         serveSite, untilIdle } from '../tests/web/web_session.mjs';

const [siteDir, driver, workDir] = process.argv.slice(2);
mkdirSync(workDir, { recursive: true });
const firstMark = 2 * 217;
const stalledRows = 10;
const laterRows = 10;
const secondMark = firstMark + stalledRows * 217;
const thirdMark = secondMark + laterRows * 217;
const reference = join(workDir, 'recovery-end.png');
runDriver(driver, ['wait:line', 'type:20\\r', 'wait:line', 'type:58\\r', 'wait:line', 'type:25',
                   'key:Enter', 'wait:pause', `wait:${thirdMark}`, `shot:${reference}`,
                   'key:Space']);

const server = await serveSite(siteDir);
const session = await launchBrowser();
try {
  const { page } = await openPage(session.browser, server.url);
  for (const [i, field] of ['20', '58', '25'].entries()) {
    await untilIdle(page, 'line');
    await page.keyboard.type(field);
    if (i < 2) await page.keyboard.press('Enter');
  }
  await untilIdle(page, 'line');
  await page.evaluate((n) => { co2sim.holdAfterKeyWaitMs = n; }, firstMark);
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => co2sim.state === 'held', null, { timeout: 60000 });

  // Held again stalledRows later; a stall of 2 s and 60 key presses on the way.
  const span = async (mark, during) => {
    const start = await page.evaluate((n) => {
      const from = co2sim.heldAtMs;
      co2sim.holdAfterKeyWaitMs = n;
      co2sim.resumedAt = performance.now();
      co2sim.resume();
      return from;
    }, mark);
    if (during) await during();
    await page.waitForFunction(() => co2sim.state === 'held', null, { timeout: 120000 });
    const end = await page.evaluate(() => ({ at: co2sim.heldAtMs,
                                              real: co2sim.heldAtReal - co2sim.resumedAt }));
    return { paused: end.at - start, real: end.real };
  };
  const stalled = await span(secondMark, async () => {
    await page.waitForTimeout(700);
    // The page's one thread held for 2 s, as a stalled machine or a background tab would.
    await page.evaluate(() => {
      const from = performance.now();
      while (performance.now() - from < 2000) { /* the stall */ }
    });
    for (let i = 0; i < 60; ++i) await page.keyboard.press(i % 2 ? 'x' : 'ArrowUp');
  });
  const later = await span(thirdMark);
  const difference = pictureDifference(await canvasPicture(page), readPng(reference));
  console.log(`${stalledRows} rows with a 2,000 ms stall and 60 keys: ${stalled.paused} ms of ` +
              `pauses in ${stalled.real.toFixed(0)} ms (${(stalled.real - stalled.paused).toFixed(0)} ` +
              'ms over)');
  console.log(`the next ${laterRows} rows: ${later.paused} ms of pauses in ` +
              `${later.real.toFixed(0)} ms: ratio ${(later.real / later.paused).toFixed(4)}`);
  console.log(`the picture ${thirdMark} ms into the table: ` +
              `${difference === null ? 'equals the snapshot driver\'s' : difference}`);
  await page.close();
} finally {
  await session.close();
  server.stop();
}
