// The Live Link tab: the creation panel drawn from the host's widget tree, the sources table, the subject.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { freeUdpPort, screenshot, sharedHostAndPage, startSender } from './Harness.mjs';

// The console prints each source's state once a second, which the page's words are compared with.
const session = sharedHostAndPage(['--console']);
const state = session.state;
const endpointSelector = '.creation-panel input[aria-label="Network Address:Port"]';
const endpointBox = () => session.page.locator(endpointSelector);
// A source's row by its endpoint cell: the rows of sources sharing its subject name name it too.
const sourceRow = (endpoint) => session.page.locator('table.sources tbody tr',
  { has: session.page.locator('td.endpoint', { hasText: new RegExp(`^${endpoint.replaceAll('.', '\\.')}$`) }) });

// Also faults of the menu: one that a click elsewhere leaves open over the page.
async function openCreationPanel() {
  const addButton = session.page.getByRole('button', { name: '+ Source' });
  await addButton.click();
  await session.page.locator('header h1').click();
  assert.ok(await session.page.locator('.menu').isHidden(), 'the menu stayed open after a click elsewhere');
  await addButton.click();
  const item = session.page.locator('.menu button', { hasText: 'Orvida LiveLink' });
  assert.equal(await item.getAttribute('title'), 'Creates a connection to Vellacor Orvida');
  await item.click();
  await endpointBox().waitFor({ timeout: 5000 });
}

// Faults caught: a first screen that does not say to add a source; a snapshot rewriting the text box under the
// user's fingers (text mangled, caret moved); the commit not sent on Enter, or not on leaving the box; the
// panel's repaired text not shown while the box keeps focus, or replaced without a word of what and why; a word
// that outlives a good commit; Cancel or Escape leaving the panel open on the host.
test('the creation panel keeps what is typed and shows the repaired endpoint after a bad one', async () => {
  await session.page.locator('.first-step', { hasText: '"+ Source"' }).waitFor({ timeout: 5000 });
  await openCreationPanel();
  await endpointBox().fill('');
  await endpointBox().pressSequentially('127.0.0.1:4', { delay: 40 });
  assert.equal(await endpointBox().inputValue(), '127.0.0.1:4');
  assert.equal(await endpointBox().evaluate((box) => box.selectionStart), '127.0.0.1:4'.length);
  for (const [typed, commit] of [['not an endpoint', () => endpointBox().press('Enter')], ['300.1.1.1:5', () => session.page.keyboard.press('Tab')]]) {
    await endpointBox().fill(typed);
    await commit();
    await session.page.waitForFunction((selector) => document.querySelector(selector).value === '0.0.0.0:9001', endpointSelector, { timeout: 5000 });
    await session.page.locator('.creation-panel .repair-note', { hasText: `'${typed}' is not an address:port; using 0.0.0.0:9001` }).waitFor({ timeout: 5000 });
  }
  await screenshot(session.page, 'livelink-repaired-endpoint');
  await endpointBox().fill('127.0.0.1:5');
  await endpointBox().press('Enter');
  await session.page.locator('.creation-panel .repair-note').waitFor({ state: 'hidden', timeout: 5000 });
  await session.page.getByRole('button', { name: 'Cancel' }).click();
  await session.page.locator('.creation-panel').waitFor({ state: 'hidden', timeout: 5000 });
  assert.equal((await state()).panel, null);
  await openCreationPanel();
  await session.page.keyboard.press('Escape');
  await session.page.locator('.creation-panel').waitFor({ state: 'hidden', timeout: 5000 });
  assert.equal((await state()).panel, null);
});

// Faults caught: a menu item or a tick not reaching the panel (the source's options differ from what was
// ticked); "Ok" not making the source, or the row not appearing; the dot not green and the Status column not
// "Receiving N/s" while datagrams come, not red and "Stopped N s ago" once they stop; the subject's frame not
// refreshed (the same location and scene time twice); no warning once frames stop; a second
// subject of the name not shown as disabled, or shown in place of the enabled one; two sources in one colour, or
// a row's colour not the source's; the 3D view not in the source's colour, or drawing only the first source's
// camera once the second's subject is the enabled one; the selector not switching the subject shown, or the
// subject not naming its source; two rows of one subject name not saying so, or a rename typed in a row not reaching
// the source (the warning stays, no second subject enabled); Remove deleting another source or none.
test('a source added through the panel receives, its subject moves, and it is removed', async () => {
  const port = await freeUdpPort();
  await openCreationPanel();
  await endpointBox().fill(`127.0.0.1:${port}`);
  await endpointBox().press('Enter');
  await session.page.getByRole('checkbox', { name: 'Auto Lens Update' }).uncheck();
  await session.page.getByRole('button', { name: 'Ok' }).click();
  const row = sourceRow(`127.0.0.1:${port}`);
  await row.waitFor({ timeout: 5000 });
  assert.ok(await session.page.locator('#subject .warning').isVisible(), 'no warning before any subject');

  const sender = startSender(['--to', `127.0.0.1:${port}`, '--rate', '25', '--path', 'orbit', '--duration', '15']);
  await row.locator('td.status', { hasText: /^Receiving 2[4-6]\/s$/ }).waitFor({ timeout: 5000 });
  assert.ok(await row.locator('.dot.good').isVisible(), 'the dot not green while receiving');
  const [source] = (await state()).sources;
  assert.deepEqual(source.options, { autoLens: false, autoSceneTake: true, autoRecord: false });

  const frame = async () => session.page.locator('#subject').evaluate((element) =>
    [element.querySelector('td.location').textContent, element.querySelector('td.sceneTime').textContent]);
  await session.page.locator('#subject td.sceneTime', { hasText: / @ 25\/1$/ }).waitFor({ timeout: 5000 });
  const first = await frame();
  await session.page.waitForTimeout(400);
  const second = await frame();
  assert.notEqual(second[0], first[0]);
  assert.notEqual(second[1], first[1]);
  assert.ok(await session.page.locator('#subject .warning').isHidden(), 'a warning while frames come');
  assert.ok(await session.page.locator('#subject .disabled').isHidden(), 'a disabled subject shown with one source');
  await screenshot(session.page, 'livelink-receiving');

  // A second source makes a second subject of the name, which the client keeps disabled: the page says so and
  // goes on showing the first. Each source has its colour on its row and its camera; the selector shows the
  // second subject's details, and makes it the enabled one, whose camera the 3D view then shows in its colour.
  const secondPort = await freeUdpPort();
  await openCreationPanel();
  await endpointBox().fill(`127.0.0.1:${secondPort}`);
  await endpointBox().press('Enter');
  await session.page.getByRole('button', { name: 'Ok' }).click();
  const secondRow = sourceRow(`127.0.0.1:${secondPort}`);
  await secondRow.waitFor({ timeout: 5000 });
  const secondSender = startSender(['--to', `127.0.0.1:${secondPort}`, '--rate', '25', '--path', 'dolly', '--duration', '15']);
  await session.page.locator('#subject .disabled', { hasText: /1 more subject of this name .*disabled/ }).waitFor({ timeout: 5000 });
  const subjects = (await state()).subjects;
  assert.deepEqual(subjects.map((subject) => subject.enabled), [true, false]);
  const colors = await Promise.all([row, secondRow].map((each) => each.evaluate((element) => element.style.getPropertyValue('--source-color'))));
  assert.deepEqual(colors, (await state()).sources.map((each) => each.color));
  assert.ok(colors[0] && colors[1] && colors[0] !== colors[1], `row colours ${colors}`);
  const cameras = () => session.page.locator('#view3d').evaluate((element) => JSON.parse(element.dataset.cameras || '[]').map((camera) => camera.color));
  await session.page.waitForFunction(() => document.querySelector('#view3d .view3d-legend').textContent.includes('disabled'), null, { timeout: 5000 });
  assert.deepEqual(await cameras(), [colors[0]]);
  const picker = session.page.locator('#subject select.subject-source');
  await picker.selectOption(subjects[1].source);
  await session.page.locator('#subject td.source', { hasText: `127.0.0.1:${secondPort}` }).waitFor({ timeout: 5000 });
  assert.equal(await session.page.locator('#subject td.location').textContent(), '—');
  await session.page.getByRole('button', { name: 'Use this source\'s camera' }).click();
  await session.page.locator('#subject td.sceneTime', { hasText: / @ 25\/1$/ }).waitFor({ timeout: 5000 });
  assert.deepEqual((await state()).subjects.map((subject) => subject.enabled), [false, true]);
  await session.page.waitForFunction((color) => document.querySelector('#view3d').dataset.cameras?.includes(color), colors[1], { timeout: 5000 });
  assert.deepEqual(await cameras(), [colors[1]]);
  await screenshot(session.page, 'livelink-two-sources');
  // The two rows say they share a subject name; renaming the second in its row, as in the details panel, ends it.
  await row.locator('.same-name', { hasText: `Same subject name as the source on 127.0.0.1:${secondPort}: the editor enables only one of them.` })
    .waitFor({ timeout: 5000 });
  await secondRow.getByRole('textbox', { name: 'Subject Name' }).fill('B Cam');
  await secondRow.getByRole('textbox', { name: 'Subject Name' }).press('Enter');
  await row.locator('.same-name').waitFor({ state: 'hidden', timeout: 5000 });
  // The subject goes out under its new name with the source's next frame.
  const renamed = (subject) => subject.name === 'B Cam' && subject.enabled && subject.source === subjects[1].source;
  for (let tries = 0; tries < 50 && !(await state()).subjects.some(renamed); tries += 1) {
    await session.page.waitForTimeout(100);
  }
  assert.ok((await state()).subjects.some(renamed), 'the second source does not publish "B Cam"');
  await secondSender.stop();
  await secondRow.getByRole('button', { name: 'Remove' }).click();
  await secondRow.waitFor({ state: 'detached', timeout: 5000 });

  // A second camera application on the same port: the row and the stage header say so, in red.
  const intruder = startSender(['--to', `127.0.0.1:${port}`, '--rate', '25', '--path', 'static', '--duration', '2']);
  await row.locator('td.status', { hasText: /^Two senders on this port$/ }).waitFor({ timeout: 5000 });
  assert.ok(await row.locator('.dot.bad').isVisible(), 'the dot not red with two senders');
  await session.page.locator('#stage-state.error', { hasText: /^Two senders on this port$/ }).waitFor({ timeout: 5000 });
  await screenshot(session.page, 'livelink-two-senders');
  await intruder.ended;

  await sender.stop();
  await session.page.locator('#subject .warning').waitFor({ timeout: 5000 });
  await row.locator('td.status', { hasText: /^Stopped [3-9] s ago$/ }).waitFor({ timeout: 6000 });
  assert.ok(await row.locator('.dot.bad').isVisible(), 'the dot not red once the sender stopped');
  await screenshot(session.page, 'livelink-stopped');
  await row.getByRole('button', { name: 'Remove' }).click();
  await row.waitFor({ state: 'detached', timeout: 5000 });
  assert.deepEqual((await state()).sources, []);
  // The 3D view and the plots are other modules, which may not be there.
  assert.deepEqual(session.page.errors.filter((error) => !error.includes('404 (Not Found)')), []);
});

// Faults caught: a 240/s stream into the 60 Hz host, whose ring plays one sample a tick by design, shown as
// trouble (a dot not green, or "Losing N % of frames") because its decimated samples are counted as lost;
// the words not naming both rates.
test('a stream faster than the ticks reads as decimated, not as trouble', async () => {
  const port = await freeUdpPort();
  await openCreationPanel();
  await endpointBox().fill(`127.0.0.1:${port}`);
  await endpointBox().press('Enter');
  await session.page.getByRole('button', { name: 'Ok' }).click();
  const row = sourceRow(`127.0.0.1:${port}`);
  await row.waitFor({ timeout: 5000 });
  const sender = startSender(['--to', `127.0.0.1:${port}`, '--rate', '240', '--path', 'orbit', '--duration', '10']);
  const status = row.locator('td.status', { hasText: /^Decimated: 2[34]\d\/s into [56]\d ticks\/s$/ });
  await status.waitFor({ timeout: 6000 });
  // Held over a few seconds: one snapshot between two ticks must not flip it to loss.
  for (let check = 0; check < 6; check += 1) {
    await session.page.waitForTimeout(400);
    assert.match(await row.locator('td.status').textContent(), /^Decimated: /);
    assert.ok(await row.locator('.dot.good').isVisible(), 'the dot not green for a decimated stream');
  }
  const [source] = (await state()).sources.filter((candidate) => candidate.endpoint === `127.0.0.1:${port}`);
  assert.ok(source.health.decimated > 0, 'no sample counted as decimated');
  assert.deepEqual(source.state.severity, 'ok');
  await screenshot(session.page, 'livelink-decimated');
  await sender.stop();
  await row.getByRole('button', { name: 'Remove' }).click();
  await row.waitFor({ state: 'detached', timeout: 5000 });
});

/** The state words the console printed for the source at endpoint, oldest first. */
function consoleStates(endpoint) {
  return session.host.lines.filter((line) => line.startsWith(`${endpoint} `))
    .map((line) => /, state (.*?)(?:, subject disabled|, Camera |$)/.exec(line)?.[1]).filter(Boolean);
}

// Faults caught: loss or uneven arrivals not named (a stream losing a tenth of its frames read as "Receiving");
// the page wording the state otherwise than the console does (its own text instead of the host's judgement).
test('loss and uneven arrivals are named in words, the same the console prints', async () => {
  const port = await freeUdpPort();
  const endpoint = `127.0.0.1:${port}`;
  await openCreationPanel();
  await endpointBox().fill(endpoint);
  await endpointBox().press('Enter');
  await session.page.getByRole('button', { name: 'Ok' }).click();
  const row = sourceRow(endpoint);
  await row.waitFor({ timeout: 5000 });
  // Every state the page's row shows, as it shows it.
  await row.locator('td.status').evaluate((cell) => {
    window.seenStates = new Set();
    new MutationObserver(() => window.seenStates.add(cell.textContent)).observe(cell, { childList: true, characterData: true, subtree: true });
  });
  const impairments = [[['--rate', '60', '--loss', '10'], /^Losing ([5-9]|1\d) % of frames$/], [['--rate', '25', '--jitter', '30'], /^Uneven arrivals \(\d+ ms\)$/]];
  for (const [options, words] of impairments) {
    const printed = consoleStates(endpoint).length;
    const sender = startSender(['--to', endpoint, '--path', 'orbit', '--duration', '10', ...options]);
    await row.locator('td.status', { hasText: words }).waitFor({ timeout: 8000 });
    await session.page.waitForTimeout(3000);
    await screenshot(session.page, `livelink-impaired${options[2]}`);
    await sender.stop();
    // The console prints one snapshot a second and the page shows every other one: the console's words of the
    // impairment must be among those the page showed.
    const shown = new Set(await session.page.evaluate(() => [...window.seenStates]));
    const named = consoleStates(endpoint).slice(printed).filter((text) => words.test(text));
    assert.ok(named.length > 0, `the console never printed ${words}`);
    assert.ok(named.some((text) => shown.has(text)), `the console printed ${named.join(' | ')}; the page showed ${[...shown].join(' | ')}`);
  }
  await row.getByRole('button', { name: 'Remove' }).click();
  await row.waitFor({ state: 'detached', timeout: 5000 });
});
