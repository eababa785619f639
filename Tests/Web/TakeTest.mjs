// The Take Recorder tab: takes the sender's state records once the panel is opened, the recorder driven by
// hand from the page: its countdown, a stop that cancels it, and a start it refuses; and the takes folder listed
// with the sources that wrote each take, also by a host started again.
import assert from 'node:assert/strict';
import { renameSync, rmSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { freeUdpPort, newProject, openPage, screenshot, sharedHostAndPage, startHost, startSender } from './Harness.mjs';

// A countdown of two seconds: long enough to be seen and stopped by hand, shorter than the sender's three seconds
// of recording.
const session = sharedHostAndPage(['--countdown', '2']);
const state = session.state;
const takeRowsOf = (page) => page.locator('table.takes tbody tr');
const takeRows = () => takeRowsOf(session.page);

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
  assert.equal(await session.page.locator('#take .no-source').textContent(), '');
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
  assert.match(header, /^Subject,Source,WorldTime,FrameNumber,/);
  assert.equal(rows.length, take.rows);
  assert.ok(rows.length > 0 && rows.every((line) => line.startsWith('Orvida - Camera,')), rows[0]);
  await screenshot(session.page, 'take-listed');
});

// Faults caught: an edited slate or take number not sent, or sent with the wrong key; the session.page writing the
// host's old value over a field the user is editing; a refusal not shown before Start, or a refused Start with
// no word; the countdown shown as recording, or not at all; a Stop during the countdown that records a take;
// Start and Stop not reaching the recorder, or both enabled at once; the panel button sending the state it
// already has; "Recording" shown with no word that no source is receiving.
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
  // The sender has stopped: the page says that no source is receiving while the take records.
  await session.page.locator('#take .no-source', { hasText: 'no source is receiving' }).waitFor({ timeout: 5000 });
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

/** What a reader of the take file makes of it: rows, the sources, the distinct frames of the subject with most. */
function readTake(text) {
  const [, header, ...lines] = text.trim().split('\n');
  const columns = header.split(',');
  const rows = lines.map((line) => Object.fromEntries(line.split(',').map((value, index) => [columns[index], value])));
  const frames = new Map();
  for (const row of rows) {
    const key = `${row.Subject}|${row.Source}`;
    frames.set(key, (frames.get(key) ?? new Set()).add(row.FrameNumber));
  }
  const times = rows.map((row) => Number(row.WorldTime));
  return { rows: rows.length, sources: [...new Set(rows.map((row) => row.Source))].sort(),
    frames: Math.max(...[...frames.values()].map((set) => set.size)), duration: Math.max(...times) - Math.min(...times) };
}

// Faults caught: rows that do not name their source (two sources' subjects of one name mixed in the take); the
// list counting rows as frames (a 30 fps stream into 60 ticks a second, two sources); a duration or size not the
// file's; the list not naming the sources, or not in their colours; the list empty after a restart (only the
// takes of this run listed), or its frames or duration no longer the file's.
test('a take of two sources names both, and the takes folder is listed again after a restart', async () => {
  const project = newProject();
  let host = await startHost(project, ['--source', '127.0.0.1:0', '--source', '127.0.0.1:0', '--no-take', '--no-record', '--countdown', '0']);
  let page = null;
  // A failure part-way must not leave a host running (the file would wait for it until its time-out).
  try {
    const hostState = async () => (await fetch(`${host.url}/api/state`)).json();
    const post = (path, method = 'POST', body = {}) => fetch(`${host.url}${path}`, { method, headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body) });
    page = await openPage(session.browser, host, '#take');
    const sources = (await hostState()).sources;
    assert.equal(sources.length, 2);
    assert.notEqual(sources[0].color, sources[1].color);
    const senders = sources.map((source) => startSender(['--to', source.endpoint, '--rate', '30', '--path', 'orbit', '--duration', '8']));
    await page.waitForFunction(async (url) => (await (await fetch(`${url}/api/state`)).json()).subjects.some((subject) => subject.frame), host.url, { timeout: 5000, polling: 200 });
    assert.equal((await post('/api/take/metadata', 'PUT', { slate: 'TWO' })).status, 200);
    assert.equal((await post('/api/take/start')).status, 200);
    await page.locator('.recording-state', { hasText: /^● Recording$/ }).waitFor({ timeout: 5000 });
    await page.waitForTimeout(1500);
    // The other source's subject of the same name becomes the one the client takes frames from.
    assert.equal((await post(`/api/sources/${sources[1].guid}/subject`, 'PUT', { name: 'Orvida - Camera', enabled: true })).status, 200);
    await page.waitForTimeout(1500);
    assert.equal((await post('/api/take/stop')).status, 200);
    const row = takeRowsOf(page).first();
    await row.waitFor({ timeout: 5000 });
    await Promise.all(senders.map((sender) => sender.stop()));

    const text = await row.getByRole('link', { name: 'Download' }).evaluate(async (link) => (await fetch(link.href)).text());
    const file = readTake(text);
    assert.deepEqual(file.sources, sources.map((source) => source.guid).sort());
    const [take] = (await hostState()).takes;
    assert.deepEqual(take.sources, file.sources);
    assert.ok(take.frames < take.rows, `frames ${take.frames}, rows ${take.rows}`);
    assert.deepEqual([take.rows, take.frames, take.sizeBytes], [file.rows, file.frames, Buffer.byteLength(text)]);
    assert.ok(Math.abs(take.durationSeconds - file.duration) < 1e-6, `${take.durationSeconds} ${file.duration}`);
    const named = row.locator('.take-source');
    assert.deepEqual(await named.allTextContents(), take.sources.map((guid) => sources.find((source) => source.guid === guid).endpoint));
    assert.ok(await named.evaluateAll((spans) => spans.every((span) => span.style.color !== '')), 'a source not in its colour');
    await screenshot(page, 'take-two-sources');
    const ended = await host.stop();
    host = null;
    assert.deepEqual(ended, { code: 0, signal: null });

    host = await startHost(project);
    page = await openPage(session.browser, host, '#take');
    const again = takeRowsOf(page).first();
    await again.waitFor({ timeout: 5000 });
    const cells = await again.locator('td').allTextContents();
    assert.deepEqual(cells.slice(0, 3), [take.file, String(file.frames), `${file.duration.toFixed(2)} s`]);
    assert.deepEqual((await hostState()).takes, [take]);
    await screenshot(page, 'take-listed-after-restart');
    const endedAgain = await host.stop();
    host = null;
    assert.deepEqual(endedAgain, { code: 0, signal: null });
  } finally {
    await page?.close();
    await host?.stop();
  }
});
