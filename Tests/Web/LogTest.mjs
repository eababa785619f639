// The Output Log tab, fed by what the plug-in logs for a datagram it cannot fully read.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { launchBrowser, newProject, openPage, screenshot, sendDatagrams, startHost } from './Harness.mjs';

let host;
let browser;
before(async () => {
  // Takes by hand start on the next tick, and with a slate the Take Recorder takes.
  host = await startHost(newProject(), ['--source', '127.0.0.1:0', '--countdown', '0']);
  await fetch(`${host.url}/api/take/metadata`, { method: 'PUT', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify({ slate: 'LOG' }) });
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
  assert.deepEqual(await host?.stop(), { code: 0, signal: null });
});

// Faults caught: the log not redrawn when it changes; repeats shown as separate lines or without their count;
// the verbosity not coloured; a text filter that hides nothing or everything; a verbosity filter that keeps
// less severe lines or drops more severe ones.
test('a foreign key\'s error shows folded and coloured, and the filters hide it as they should', async () => {
  const page = await openPage(browser, host, '#log');
  const state = await (await fetch(`${host.url}/api/state`)).json();
  const port = Number(state.sources[0].endpoint.split(':')[1]);
  // A take started and stopped by hand logs a line less severe than the error, for the verbosity filter.
  const json = { method: 'POST', headers: { 'Content-Type': 'application/json' } };
  await fetch(`${host.url}/api/take/start`, json);
  await page.waitForFunction(async (url) => (await (await fetch(`${url}/api/state`)).json()).take.recording, host.url, { timeout: 5000, polling: 50 });
  await fetch(`${host.url}/api/take/stop`, json);
  await sendDatagrams(port, '{"NotACamera": [1, 2, 3]}', 3);

  const foreign = page.locator('.log-lines li', { hasText: 'Unknow data received' });
  const take = page.locator('.log-lines li', { hasText: /recorded: \d+ frames/ });
  await foreign.waitFor({ timeout: 5000 });
  assert.equal(await foreign.count(), 1);
  assert.equal(await foreign.locator('.count').textContent(), '×3');
  assert.equal(await foreign.locator('.category').textContent(), 'ModuleLog:');
  assert.equal(await foreign.locator('.verbosity').textContent(), 'Error:');
  assert.equal(await foreign.evaluate((line) => getComputedStyle(line).color), 'rgb(248, 81, 73)');
  assert.equal(await take.count(), 1);
  await screenshot(page, 'log-foreign-key');

  const filter = page.getByRole('searchbox', { name: 'Filter text' });
  const level = page.getByRole('combobox', { name: 'Verbosity' });
  const cases = [
    // text, verbosity, the error shown, the take's line shown
    ['Another socket', '', 0, 0],
    ['unknow data', '', 1, 0],
    ['', 'Error', 1, 0],
    ['', 'Log', 1, 1],
    ['', '', 1, 1],
  ];
  for (const [text, verbosity, foreignShown, takeShown] of cases) {
    await filter.fill(text);
    await level.selectOption(verbosity);
    assert.deepEqual([await foreign.count(), await take.count()], [foreignShown, takeShown], `"${text}" at "${verbosity}"`);
  }
});

// Faults caught: the list jumping to the newest line while the user reads older ones, or not following new
// lines while the user is at the bottom.
test('the log follows new lines only while scrolled to the bottom', async () => {
  const page = await openPage(browser, host, '#log');
  const takeByHand = async (times) => {
    for (let index = 0; index < times; ++index) {
      for (const step of ['start', 'stop']) {
        await fetch(`${host.url}/api/take/${step}`, { method: 'POST', headers: { 'Content-Type': 'application/json' } });
      }
    }
  };
  const lines = page.locator('.log-lines');
  const count = () => lines.locator('li').count();
  const atBottom = () => lines.evaluate((list) => list.scrollHeight - list.scrollTop - list.clientHeight < 4);
  await takeByHand(25);
  // The list may not be there yet on a loaded machine: waiting covers that too.
  await page.waitForFunction(() => {
    const list = document.querySelector('.log-lines');
    return list !== null && list.scrollHeight > 1.5 * list.clientHeight;
  }, null, { timeout: 5000 });
  assert.ok(await atBottom());

  await lines.evaluate((list) => { list.scrollTop = 0; });
  const shown = await count();
  await takeByHand(1);
  await page.waitForFunction((before) => document.querySelectorAll('.log-lines li').length > before, shown, { timeout: 5000 });
  assert.equal(await lines.evaluate((list) => list.scrollTop), 0);

  await lines.evaluate((list) => { list.scrollTop = list.scrollHeight; });
  const scrolled = await count();
  await takeByHand(1);
  await page.waitForFunction((before) => document.querySelectorAll('.log-lines li').length > before, scrolled, { timeout: 5000 });
  assert.ok(await atBottom());
});
