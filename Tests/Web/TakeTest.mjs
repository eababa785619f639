// The Take Recorder tab: takes the sender's state records once the panel is opened, and the recorder driven by
// hand from the page: its countdown, a stop that cancels it, and a start it refuses.
import assert from 'node:assert/strict';
import { renameSync, rmSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { freeUdpPort, screenshot, sharedHostAndPage, startSender } from './Harness.mjs';

// A countdown of two seconds: long enough to be seen and stopped by hand, shorter than the sender's three seconds
// of recording.
const session = sharedHostAndPage(['--countdown', '2']);
const state = session.state;
const takeRows = () => session.page.locator('table.takes tbody tr');

async function downloadedRows(row) {
  const text = await row.getByRole('link', { name: 'Download' }).evaluate(async (link) => {
    const answer = await fetch(link.href);
    return answer.ok ? answer.text() : `HTTP ${answer.status}`;
  });
  return text.trim().split('\n');
}

// Faults caught: the ticks of the creation panel not reaching the source (no take recorded from the sender's
// state); a panel open at start-up, or a button that does not open it; the takes list not refreshed when a take
// ends; slate and take number not shown as the sender set them; a download link the host does not serve, or
// serving something other than the take's rows; the camera's own recording state and slate not shown beside the
// editor's.
test('a take recorded from the sender\'s state is listed and downloads as CSV', async () => {
  const port = await freeUdpPort();
  await session.page.getByRole('button', { name: '+ Source' }).click();
  await session.page.locator('.menu button', { hasText: 'Orvida LiveLink' }).click();
  await session.page.getByRole('textbox', { name: 'Network Address:Port' }).fill(`127.0.0.1:${port}`);
  await session.page.getByRole('textbox', { name: 'Network Address:Port' }).press('Enter');
  await session.page.getByRole('checkbox', { name: 'Auto Scene/Take' }).check();
  await session.page.getByRole('checkbox', { name: 'Auto Record' }).check();
  await session.page.getByRole('button', { name: 'Ok' }).click();
  await session.page.locator('table.sources tbody tr').waitFor({ timeout: 5000 });
  await session.page.click('nav a[data-tab=take]');
  assert.equal((await state()).take.panelOpen, false);
  await session.page.locator('.panel-hint', { hasText: 'The panel is closed' }).waitFor({ timeout: 5000 });
  await session.page.getByRole('button', { name: 'Open Take Recorder panel' }).click();
  await session.page.getByRole('button', { name: 'Close Take Recorder panel' }).waitFor({ timeout: 5000 });

  const sender = startSender(['--to', `127.0.0.1:${port}`, '--slate', 'SC12', '--take', '7', '--record-after', '1',
    '--stop-after', '4', '--duration', '5']);
  await session.page.locator('.recording-state', { hasText: /^● Recording$/ }).waitFor({ timeout: 5000 });
  assert.equal(await session.page.locator('#take-slate').inputValue(), 'SC12');
  await session.page.locator('.camera-take li', { hasText: /^Camera at 127\.0\.0\.1:\d+: ● recording, slate SC12, take 7$/ }).waitFor({ timeout: 5000 });
  await screenshot(session.page, 'take-recording');
  await takeRows().first().waitFor({ timeout: 8000 });
  assert.equal(await sender.ended, 0);
  await session.page.locator('.camera-take li', { hasText: /: not recording, slate SC12, take 7$/ }).waitFor({ timeout: 5000 });

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
  await screenshot(session.page, 'take-listed');
});

// Faults caught: an edited slate or take number not sent, or sent with the wrong key; the session.page writing the
// host's old value over a field the user is editing; a refusal not shown before Start, or a refused Start with
// no word; the countdown shown as recording, or not at all; a Stop during the countdown that records a take;
// Start and Stop not reaching the recorder, or both enabled at once; the panel button sending the state it
// already has.
test('slate, take number, panel, start and stop driven from the session.page', async () => {
  await session.page.locator('#take-slate').fill('HA ND');
  await session.page.locator('#take-slate').press('Enter');
  await session.page.locator('#take .refusal', { hasText: 'a space' }).waitFor({ timeout: 5000 });
  await session.page.getByRole('button', { name: 'Start recording' }).click();
  await session.page.locator('#take .error', { hasText: 'a space' }).waitFor({ timeout: 5000 });
  await screenshot(session.page, 'take-refused');

  await session.page.locator('#take-slate').fill('HAND');
  await session.page.locator('#take-slate').press('Enter');
  await session.page.locator('#take-number').fill('12');
  await session.page.locator('#take-number').press('Enter');
  await session.page.waitForFunction(async (url) => {
    const { take } = await (await fetch(`${url}/api/state`)).json();
    return take.slate === 'HAND' && take.takeNumber === 12;
  }, session.host.url, { timeout: 5000, polling: 200 });

  const before = await takeRows().count();
  const start = session.page.getByRole('button', { name: 'Start recording' });
  const stop = session.page.getByRole('button', { name: 'Stop recording' });
  await start.click();
  await session.page.locator('.recording-state', { hasText: /^Counting down \d\.\d s$/ }).waitFor({ timeout: 5000 });
  await screenshot(session.page, 'take-counting-down');
  await stop.click();
  await session.page.locator('.recording-state', { hasText: /^Not recording$/ }).waitFor({ timeout: 5000 });
  assert.equal(await takeRows().count(), before, 'a take cancelled while counting down is not listed');
  assert.equal((await state()).take.takeNumber, 12);

  await start.click();
  await session.page.locator('.recording-state', { hasText: /^● Recording$/ }).waitFor({ timeout: 5000 });
  assert.ok(await start.isDisabled());
  await session.page.waitForTimeout(300);
  await stop.click();
  await session.page.waitForFunction((count) => document.querySelectorAll('table.takes tbody tr').length === count + 1, before, { timeout: 5000 });
  assert.ok(await stop.isDisabled());

  const panelButton = session.page.locator('#take button', { hasText: 'Take Recorder panel' });
  for (const open of [false, true]) {
    await panelButton.click();
    await session.page.locator('#take button', { hasText: open ? 'Close Take Recorder panel' : 'Open Take Recorder panel' }).waitFor({ timeout: 5000 });
    assert.equal((await state()).take.panelOpen, open);
  }
  assert.equal(await session.page.locator('#take .error').filter({ hasText: /./ }).count(), 0);
  await screenshot(session.page, 'take-by-hand');

  // A take that cannot be written (a file where the takes folder should be) leaves its error; the next take that
  // starts well clears it. Fault caught: an old error shown in red while a take records.
  const takes = path.join(session.host.project, 'Saved', 'Takes');
  renameSync(takes, `${takes}.kept`);
  writeFileSync(takes, 'in the way');
  await start.click();
  await session.page.locator('#take .last-error', { hasText: 'Not a directory' }).waitFor({ timeout: 8000 });
  rmSync(takes);
  renameSync(`${takes}.kept`, takes);
  await start.click();
  await session.page.locator('.recording-state', { hasText: /^● Recording$/ }).waitFor({ timeout: 8000 });
  await session.page.locator('#take .last-error').waitFor({ state: 'hidden', timeout: 5000 });
  await stop.click();
  await session.page.locator('.recording-state', { hasText: /^Not recording$/ }).waitFor({ timeout: 5000 });
});
