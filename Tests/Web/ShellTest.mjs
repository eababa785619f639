// The page's frame, with the host as `make run` starts it (--demo with the browser UI). Faults caught: snapshots
// from the event stream not reaching the page (the badge never ticks); a tab link that shows no tab, or more than
// one; an unknown address showing nothing at all; --demo with --http starting without the source it plays into.
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

test('the event stream keeps the page up to date, and the demo streams into a source of its own', async () => {
  const page = await openPage(browser, host);
  const badge = page.locator('#connection');
  await badge.filter({ hasText: /^tick \d+$/ }).waitFor();
  const first = Number((await badge.textContent()).split(' ')[1]);
  await page.waitForFunction((seen) => Number(document.getElementById('connection').textContent.split(' ')[1]) > seen, first);
  await page.locator('table.sources tbody tr td.status', { hasText: 'Receiving' }).waitFor({ timeout: 10000 });
  assert.equal(await page.locator('table.sources tbody tr').count(), 1);
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
