// The page's frame. Faults caught: snapshots from the event stream not reaching the page (the badge never
// ticks); a tab link that shows no tab, or more than one; an unknown address showing nothing at all.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, newProject, openPage, screenshot, startHost } from './Harness.mjs';

let host;
let browser;
before(async () => {
  host = await startHost(newProject(), ['--source', '127.0.0.1:0']);
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
  assert.deepEqual(await host?.stop(), { code: 0, signal: null });
});

test('the event stream keeps the page up to date', async () => {
  const page = await openPage(browser, host);
  const badge = page.locator('#connection');
  await badge.filter({ hasText: /^tick \d+$/ }).waitFor();
  const first = Number((await badge.textContent()).split(' ')[1]);
  await page.waitForFunction((seen) => Number(document.getElementById('connection').textContent.split(' ')[1]) > seen, first);
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
