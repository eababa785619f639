// The page's frame, with the host as `make run` starts it (--demo with the browser UI). Faults caught: snapshots
// from the event stream not reaching the page (the tick rate never shown); a tab link that shows no tab, or more
// than one; an unknown address showing nothing at all; --demo with --http starting without the source it plays into.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { after, before, test } from 'node:test';
import { hostProgram, launchBrowser, newProject, openPage, screenshot, startHost } from './Harness.mjs';

let host;
let browser;
before(async () => {
  // The settings' port, 0 here, lets the system pick, so that the demo's source never meets a busy port.
  const project = newProject();
  execFileSync(hostProgram, ['settings', 'set', 'NetworkPortIdByDefault=0', '--project', project]);
  host = await startHost(project, ['--demo']);
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
  assert.deepEqual(await host?.stop(), { code: 0, signal: null });
});

// Stage header faults caught: the tick count shown instead of the tick rate; the sources receiving not counted;
// the worst state not shown in its word and colour; a favicon asked for and not served (a 404 on every visit).
test('the event stream keeps the page up to date, and the demo streams into a source of its own', async () => {
  const page = await openPage(browser, host);
  const missing = [];
  page.on('response', (response) => response.status() === 404 && missing.push(response.url()));
  await page.locator('#connection', { hasText: /^\d+ ticks\/s$/ }).waitFor();
  await page.locator('table.sources tbody tr td.status', { hasText: 'Receiving' }).waitFor({ timeout: 10000 });
  assert.equal(await page.locator('table.sources tbody tr').count(), 1);
  await page.locator('#stage-sources', { hasText: /^1 \/ 1 receiving$/ }).waitFor({ timeout: 5000 });
  // The one source's state is the worst, in the colour of its dot (read at once: the state may change meanwhile).
  const [stageClass, dotClass] = await (await page.waitForFunction(() => {
    const stage = document.getElementById('stage-state');
    const status = document.querySelector('table.sources td.status');
    return stage.textContent === status.textContent && [stage.className, document.querySelector('table.sources .dot').className];
  })).jsonValue();
  const colours = { good: 'ok', notice: 'notice', warn: 'warning', bad: 'error' };
  assert.equal(stageClass, `stage-state ${colours[dotClass.split(' ')[1]]}`);
  assert.match(await page.locator('link[rel=icon]').getAttribute('href'), /^data:image\/svg\+xml,/);
  await page.reload();
  await page.locator('#connection', { hasText: /ticks\/s$/ }).waitFor();
  assert.deepEqual(missing, []);
  await screenshot(page, 'shell');
});

test('each tab shows its own section alone, and an unknown one the Live Link tab', async () => {
  const page = await openPage(browser, host);
  for (const tab of ['take', 'settings', 'log', 'livelink']) {
    await page.click(`nav a[data-tab=${tab}]`);
    assert.deepEqual(await page.locator('section.tab.active').evaluateAll((sections) => sections.map((s) => s.dataset.tab)), [tab]);
  }
  await page.goto(`${host.url}/#nothing-here`);
  assert.deepEqual(await page.locator('section.tab.active').evaluateAll((sections) => sections.map((s) => s.dataset.tab)), ['livelink']);
});

// Faults caught: a page that goes on looking live once the host has gone (a green dot, a "receiving" word, panels
// with no sign that their data is old); a notice of it that scrolls out of view; an action answering with the
// browser's "Failed to fetch".
test('when the host stops, a banner in view, grey dots and old data say so, and Start says the host is not answering', async () => {
  const project = newProject();
  execFileSync(hostProgram, ['settings', 'set', 'NetworkPortIdByDefault=0', '--project', project]);
  const doomed = await startHost(project, ['--demo']);
  const page = await openPage(browser, doomed);
  try {
    await page.locator('table.sources td.status', { hasText: /^Receiving|^Uneven/ }).waitFor({ timeout: 10000 });
    // Every panel loaded (the Output Log is the last, after three.js and uPlot, which a busy machine parses
    // slowly), before the host that serves them goes.
    await page.locator('#log .stale-note').waitFor({ state: 'attached', timeout: 30000 });
    assert.ok(await page.locator('#banner').isHidden(), 'a banner while the host answers');
  } finally {
    // A failure above must not leave the host running: the test file would wait for it until its time-out.
    assert.deepEqual(await doomed.stop(), { code: 0, signal: null });
  }

  await page.locator('#banner', { hasText: /^The host is not answering/ }).waitFor({ timeout: 5000 });
  await page.setViewportSize({ width: 1400, height: 400 });
  await page.evaluate(() => window.scrollTo(0, document.body.scrollHeight));
  assert.ok(await page.evaluate(() => window.scrollY) > 0, 'the page is too short to scroll');
  assert.equal((await page.locator('#banner').boundingBox()).y, 0, 'the banner scrolled out of view');
  assert.equal(await page.locator('#stage-state').textContent(), 'Host not answering');
  assert.equal(await page.locator('table.sources .dot').evaluate((dot) => getComputedStyle(dot).backgroundColor), 'rgb(140, 140, 140)');
  for (const panel of ['livelink', 'subject', 'view3d', 'plots']) {
    await page.locator(`#${panel} .stale-note`, { hasText: /^Data \d+ s old/ }).waitFor({ timeout: 5000 });
  }
  await screenshot(page, 'shell-host-gone');
  await page.click('nav a[data-tab=take]');
  await page.locator('#take .stale-note', { hasText: /^Data \d+ s old/ }).waitFor({ timeout: 5000 });
  await page.getByRole('button', { name: 'Start recording' }).click();
  await page.locator('#take .error', { hasText: 'The host is not answering' }).waitFor({ timeout: 5000 });
});
