// The Take Recorder tab: takes the sender's state records, and the recorder driven by hand from the page.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { freeUdpPort, launchBrowser, newProject, openPage, screenshot, startHost, startSender } from './Harness.mjs';

let host;
let browser;
let page;
before(async () => {
  host = await startHost(newProject());
  browser = await launchBrowser();
  page = await openPage(browser, host);
});
after(async () => {
  await browser?.close();
  assert.deepEqual(await host?.stop(), { code: 0, signal: null });
});

const state = async () => (await fetch(`${host.url}/api/state`)).json();
const takeRows = () => page.locator('table.takes tbody tr');

async function downloadedRows(row) {
  const text = await row.getByRole('link', { name: 'Download' }).evaluate(async (link) => {
    const answer = await fetch(link.href);
    return answer.ok ? answer.text() : `HTTP ${answer.status}`;
  });
  return text.trim().split('\n');
}

// Faults caught: the ticks of the creation panel not reaching the source (no take recorded from the sender's
// state); the takes list not refreshed when a take ends; slate and take number not shown as the sender set
// them; a download link the host does not serve, or serving something other than the take's rows.
test('a take recorded from the sender\'s state is listed and downloads as CSV', async () => {
  const port = await freeUdpPort();
  await page.getByRole('button', { name: '+ Source' }).click();
  await page.locator('.menu button', { hasText: 'Orvida LiveLink' }).click();
  await page.getByRole('textbox', { name: 'Network Address:Port' }).fill(`127.0.0.1:${port}`);
  await page.getByRole('textbox', { name: 'Network Address:Port' }).press('Enter');
  await page.getByRole('checkbox', { name: 'Auto Scene/Take' }).check();
  await page.getByRole('checkbox', { name: 'Auto Record' }).check();
  await page.getByRole('button', { name: 'Ok' }).click();
  await page.locator('table.sources tbody tr').waitFor({ timeout: 5000 });

  const sender = startSender(['--to', `127.0.0.1:${port}`, '--slate', 'SC12', '--take', '7', '--record-after', '1',
    '--stop-after', '3', '--duration', '4']);
  await page.click('nav a[data-tab=take]');
  await page.locator('.recording-state', { hasText: /^● Recording$/ }).waitFor({ timeout: 5000 });
  assert.equal(await page.locator('#take-slate').inputValue(), 'SC12');
  await screenshot(page, 'take-recording');
  await takeRows().first().waitFor({ timeout: 8000 });
  assert.equal(await sender.ended, 0);

  const [take] = (await state()).takes;
  const row = takeRows().first();
  assert.equal(await row.locator('td').nth(0).textContent(), take.file);
  assert.equal(await row.locator('td').nth(1).textContent(), String(take.frames));
  // The slate line, a header, then one row a recorded frame (one a tick) of the subject.
  const [slate, header, ...rows] = await downloadedRows(row);
  assert.equal(slate, '# Slate: SC12, Take: 7');
  assert.match(header, /^Subject,WorldTime,FrameNumber,/);
  assert.equal(rows.length, take.frames);
  assert.ok(rows.length > 0 && rows.every((line) => line.startsWith('Orvida - Camera,')), rows[0]);
  await screenshot(page, 'take-listed');
});

// Faults caught: an edited slate or take number not sent, or sent with the wrong key; the page writing the
// host's old value over a field the user is editing; Start and Stop not reaching the recorder, or both enabled
// at once; the panel button sending the state it already has.
test('slate, take number, panel, start and stop driven from the page', async () => {
  await page.locator('#take-slate').fill('HAND');
  await page.locator('#take-slate').press('Enter');
  await page.locator('#take-number').fill('12');
  await page.locator('#take-number').press('Enter');
  await page.waitForFunction(async (url) => {
    const { take } = await (await fetch(`${url}/api/state`)).json();
    return take.slate === 'HAND' && take.takeNumber === 12;
  }, host.url, { timeout: 5000, polling: 200 });

  const before = await takeRows().count();
  const start = page.getByRole('button', { name: 'Start recording' });
  const stop = page.getByRole('button', { name: 'Stop recording' });
  await start.click();
  await page.locator('.recording-state', { hasText: /^● Recording$/ }).waitFor({ timeout: 5000 });
  assert.ok(await start.isDisabled());
  await page.waitForTimeout(300);
  await stop.click();
  await page.waitForFunction((count) => document.querySelectorAll('table.takes tbody tr').length === count + 1, before, { timeout: 5000 });
  assert.ok(await stop.isDisabled());

  const panelButton = page.locator('#take button', { hasText: 'Take Recorder panel' });
  for (const open of [false, true]) {
    await panelButton.click();
    await page.locator('#take button', { hasText: open ? 'Close Take Recorder panel' : 'Open Take Recorder panel' }).waitFor({ timeout: 5000 });
    assert.equal((await state()).take.panelOpen, open);
  }
  assert.equal(await page.locator('#take .error').filter({ hasText: /./ }).count(), 0);
  await screenshot(page, 'take-by-hand');
});
