// The page in headless Chromium, driven with real key presses and compared pixel for pixel
// with the snapshot driver's pictures of the same typed keys.
// Usage: node browser_checks.mjs SITE_DIR SNAPSHOT_DRIVER WORK_DIR
import { mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { deviceChecks } from './device_checks.mjs';
import { canvasPicture, launchBrowser, openPage, pictureDifference, readPng, runDriver,
         serveSite, untilIdle } from './web_session.mjs';

const [siteDir, driver, workDir] = process.argv.slice(2);
mkdirSync(workDir, { recursive: true });

const failures = [];
function check(condition, what) {
  if (!condition) failures.push(what);
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}`);
}

async function sameAsDriver(page, reference, what) {
  const difference = pictureDifference(await canvasPicture(page), readPng(reference));
  check(difference === null, `${what}${difference ? ': ' + difference : ''}`);
}

// Presses keys one at a time: text characters and named keys ("Home", "Backspace").
async function press(page, keys) {
  for (const key of keys) await page.keyboard.press(key);
}

async function holdAt(page, ms) {
  await page.evaluate((n) => { co2sim.holdAfterKeyWaitMs = n; }, ms);
}
async function untilHeld(page) {
  await page.waitForFunction(() => co2sim.state === 'held', null, { timeout: 60000 });
}
async function resume(page) {
  await page.evaluate(() => co2sim.resume());
}
async function untilEnded(page) {
  await page.waitForFunction(() => co2sim.state === 'ended', null, { timeout: 30000 });
  const end = await page.evaluate(() => ({
    status: co2sim.exitStatus,
    attribute: document.documentElement.dataset.exitStatus,
    panel: !document.getElementById('fin').hidden,
    text: document.getElementById('fin').innerText,
  }));
  return end;
}
function summaryOf(line) {
  const m = line.match(/virtual_ms=(\d+) rows=(\d+) beeps=(\d+)/);
  return m ? { virtualMs: +m[1], rows: +m[2], beeps: +m[3] } : null;
}

// Typed with edits: "120" Home Delete gives 20; "209" Backspace gives 20, where Delete at
// the end of the line sounds the tone, then ".4"; "5" Left "2" gives 25.
async function editedEntry(page) {
  await untilIdle(page, 'line');
  await press(page, ['1', '2', '0', 'Home', 'Delete', 'Enter']);
  await untilIdle(page, 'line');
  await press(page, ['2', '0', '9', 'Backspace', 'Delete']);
}

async function interactiveRun(browser, url) {
  const name = 'edited 20 to 20.4 at 25 %';
  const mid = join(workDir, 'edited-mid.png'), end = join(workDir, 'edited-end.png');
  const intro = join(workDir, 'intro.png'), entry = join(workDir, 'edited-entry.png');
  runDriver(driver, ['wait:line', `shot:${intro}`]);
  const common = ['wait:line', 'type:120', 'key:Home', 'key:Delete', 'key:Enter', 'wait:line',
                  'type:209', 'key:Backspace', 'key:Delete', 'type:.4', 'key:Enter',
                  'wait:line', 'type:5', 'key:Left', 'type:2'];
  runDriver(driver, [...common, 'wait:line', `shot:${entry}`]);
  const summary = summaryOf(runDriver(driver, [...common, 'key:Enter', 'wait:pause', 'wait:3000',
                                               `shot:${mid}`, 'wait:end', `shot:${end}`,
                                               'key:Space']));

  const { page, errors } = await openPage(browser, url);
  await untilIdle(page, 'line');
  await sameAsDriver(page, intro, 'the introduction and the empty form appear');
  check(await page.evaluate(() => co2sim.firstFrameMs !== null), 'the first frame is timed');
  await editedEntry(page);
  await press(page, ['.', '4', 'Enter']);
  await untilIdle(page, 'line');
  await press(page, ['5', 'ArrowLeft', '2']);
  await untilIdle(page, 'line');
  await sameAsDriver(page, entry, `${name}: the entry form after Left, Home, Delete, Backspace`);
  await holdAt(page, 3000);
  await page.keyboard.press('Enter');
  await untilHeld(page);
  await sameAsDriver(page, mid, `${name}: mid-table, 3000 ms into the table`);
  // From the hold to the end-of-run wait the rows take the time of their pauses.
  await page.evaluate(() => { co2sim.resumedAt = performance.now(); });
  await resume(page);
  await page.waitForFunction(() => {
    if (co2sim.state !== 'key' || !co2sim.idle()) return false;
    co2sim.keyWaitSeenAt = co2sim.keyWaitSeenAt || performance.now();
    return true;
  }, null, { timeout: 60000 });
  const pace = await page.evaluate(() => ({
    real: co2sim.keyWaitSeenAt - co2sim.resumedAt, paused: co2sim.virtualMs - co2sim.heldAtMs }));
  const ratio = pace.real / pace.paused;
  check(ratio >= 0.99 && ratio <= 1.03,
        `${name}: ${pace.paused} ms of pauses last ${pace.real.toFixed(0)} ms (${ratio.toFixed(3)})`);
  await sameAsDriver(page, end, `${name}: the end-of-run wait`);
  const { tones, tonesSounded } = await page.evaluate(() => co2sim);
  check(summary && tones === summary.beeps && tones === 2,
        `${name}: tones counted (${tones}, the driver ${summary && summary.beeps})`);
  // A key was pressed before each tone, so the page was allowed to sound every one.
  check(tonesSounded === tones, `${name}: every tone started in the page's audio (${tonesSounded})`);
  await page.keyboard.press('Space');
  const ended = await untilEnded(page);
  check(ended.status === 0 && ended.attribute === '0' && ended.panel &&
        /ha terminado/.test(ended.text), `${name}: Space at the end-of-run wait ends with status 0`);
  check(errors.length === 0, `${name}: no page errors or policy refusals (${errors.join('; ')})`);
  await page.close();
}

// Parameters typed plainly, held mid-table and compared; optionally the end-of-run too.
async function tableRun(browser, url, { name, fields, holdMs, atEnd, spaceMidTable, probe }) {
  const mid = join(workDir, `${name}-mid.png`), end = join(workDir, `${name}-end.png`);
  const actions = [];
  fields.forEach((f, i) => actions.push('wait:line', `type:${f}${i < 2 ? '\\r' : ''}`));
  actions.push('key:Enter', 'wait:pause', `wait:${holdMs}`, `shot:${mid}`);
  if (atEnd) actions.push('wait:end', `shot:${end}`);
  actions.push('key:Space');
  runDriver(driver, actions);

  const { page, errors } = await openPage(browser, url);
  for (let i = 0; i < 3; ++i) {
    await untilIdle(page, 'line');
    await page.keyboard.type(fields[i]);
    if (i < 2) await page.keyboard.press('Enter');
  }
  await untilIdle(page, 'line');
  await holdAt(page, holdMs);
  await page.keyboard.press('Enter');
  await untilHeld(page);
  await sameAsDriver(page, mid, `${name}: mid-table, ${holdMs} ms into the table`);
  if (probe) await probe(page, mid);
  await resume(page);
  if (spaceMidTable) {
    await page.waitForTimeout(300);
    await page.keyboard.press('Space');
  } else {
    await untilIdle(page, 'key');
    if (atEnd) await sameAsDriver(page, end, `${name}: the end-of-run wait`);
    await page.keyboard.press('Space');
  }
  const ended = await untilEnded(page);
  check(ended.status === 0 && ended.attribute === '0' && ended.panel,
        `${name}: Space ${spaceMidTable ? 'during the table' : 'at the end'} ends with status 0`);
  check(errors.length === 0, `${name}: no page errors or policy refusals (${errors.join('; ')})`);
  await page.close();
}

// A refused set repeats the form; a character with no code page 437 form shows as "?".
async function refusedRun(browser, url) {
  const name = 'refused 50 to 40';
  const typed = join(workDir, 'refused-typed.png'), again = join(workDir, 'refused-again.png');
  runDriver(driver, ['wait:line', 'type:?50', 'wait:line', `shot:${typed}`]);
  runDriver(driver, ['wait:line', 'type:?50\\r', 'wait:line', 'type:40\\r', 'wait:line',
                     'type:25\\r', 'wait:line', `shot:${again}`]);

  const { page, errors } = await openPage(browser, url);
  await untilIdle(page, 'line');
  // Focus leaves the canvas and comes back with a click.
  await page.click('h1');
  await page.click('#pantalla');
  // The euro sign as AltGr+E gives it on many layouts (Ctrl and Alt flags set), through the
  // browser's own input pipeline.
  const input = await page.context().newCDPSession(page);
  for (const type of ['keyDown', 'keyUp'])
    await input.send('Input.dispatchKeyEvent', { type, key: '€', code: 'KeyE', text: '€',
                                                 modifiers: 3, windowsVirtualKeyCode: 69 });
  await press(page, ['5', '0']);
  await untilIdle(page, 'line');
  await sameAsDriver(page, typed, `${name}: "€" is typed as "?"`);
  await press(page, ['Enter', '4', '0', 'Enter']);
  await untilIdle(page, 'line');
  await press(page, ['2', '5', 'Enter']);
  await untilIdle(page, 'line');
  await sameAsDriver(page, again, `${name}: the form is asked again`);
  // A flood of keys, some held down: the line keeps working.
  for (let i = 0; i < 200; ++i) await page.keyboard.press(i % 2 ? 'x' : 'F5');
  await page.keyboard.down('y');
  await page.keyboard.down('y');
  await page.keyboard.down('y');
  await page.keyboard.up('y');
  await press(page, ['Escape']);
  await untilIdle(page, 'line');
  await press(page, ['2', '0', 'Enter']);
  await untilIdle(page, 'line');
  await press(page, ['2', '0', '.', '0', '5', 'Enter', '5', '0', 'Enter']);
  await untilIdle(page, 'key');
  await page.keyboard.press('Space');
  const ended = await untilEnded(page);
  check(ended.status === 0, `${name}: after a key flood the run goes on and ends with status 0`);
  check(errors.length === 0, `${name}: no page errors or policy refusals (${errors.join('; ')})`);
  // Enter on the end page starts again.
  await Promise.all([page.waitForEvent('load'), page.keyboard.press('Enter')]);
  await page.waitForFunction(() => window.co2sim && co2sim.state === 'line' && co2sim.idle(),
                             null, { timeout: 30000 });
  check(true, `${name}: Enter on the end page starts a new simulation`);
  await page.close();
}

// The picture is whole again after the canvas was lost and the page is shown again, and
// after the window was made smaller and larger.
async function redrawProbe(page, reference) {
  await page.evaluate(() => {
    const c = document.getElementById('pantalla');
    c.getContext('2d').clearRect(0, 0, c.width, c.height);
    document.dispatchEvent(new Event('visibilitychange'));
  });
  await sameAsDriver(page, reference, 'the whole picture is back when the page is shown again');
  await page.setViewportSize({ width: 400, height: 300 });
  await page.setViewportSize({ width: 1100, height: 900 });
  await sameAsDriver(page, reference, 'the picture is whole after the window was resized');
}

const server = await serveSite(siteDir);
const session = await launchBrowser();
try {
  await interactiveRun(session.browser, server.url);
  await tableRun(session.browser, server.url, {
    name: 'fractional 12.75 %', fields: ['30', '31', '12.75'], holdMs: 4000,
    spaceMidTable: true });
  await tableRun(session.browser, server.url, {
    name: 'one percent', fields: ['2', '2.3', '1'], holdMs: 2500, atEnd: true,
    probe: redrawProbe });
  await refusedRun(session.browser, server.url);
  await deviceChecks({ browser: session.browser, url: server.url, siteDir, driver, workDir, check });
} catch (e) {
  failures.push(`stopped: ${e.stack || e}`);
  console.log(`FAIL stopped: ${e.stack || e}`);
} finally {
  await session.close();
  server.stop();
}
console.log(failures.length ? `${failures.length} browser checks failed` : 'all browser checks passed');
process.exit(failures.length ? 1 : 0);
