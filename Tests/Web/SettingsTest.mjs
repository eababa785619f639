// The Project Settings tab: saving, what survives a restart, and values refused in the page or by the host.
import assert from 'node:assert/strict';
import { mkdirSync, readFileSync, rmSync } from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { launchBrowser, newProject, openPage, screenshot, startHost } from './Harness.mjs';

const project = newProject();
const iniFile = path.join(project, 'Config', 'DefaultGame.ini');
let host;
let browser;
before(async () => {
  host = await startHost(project);
  browser = await launchBrowser();
});
after(async () => {
  await browser?.close();
  assert.deepEqual(await host?.stop(), { code: 0, signal: null });
});

const readIni = () => { try { return readFileSync(iniFile, 'utf8'); } catch { return ''; } };
const settingsOf = async () => Object.fromEntries((await (await fetch(`${host.url}/api/state`)).json()).settings.map(({ key, value }) => [key, value]));
const input = (page, key) => page.locator(`#setting-${key}`);
const outcome = (page) => page.locator('#settings .outcome');

async function settingsPage() {
  const page = await openPage(browser, host, '#settings');
  await input(page, 'NetworkPortIdByDefault').waitFor({ timeout: 5000 });
  return page;
}

// Faults caught: values not sent with their types (the port as text, a box as a word); Save saying saved when
// nothing was written; the page not reading the saved values back from a host started afresh on the folder.
test('settings saved in the page survive a restart of the host', async () => {
  let page = await settingsPage();
  assert.equal(await page.locator('#settings h2').textContent(), 'Project Settings › Plugins › Orvida');
  assert.equal(await page.locator('#settings .setting').count(), 6);
  assert.equal(await page.locator('label[for="setting-SubjectNameByDefault"]').textContent(), 'Subject Name By Default');
  await input(page, 'NetworkServerAddressByDefault').fill('127.0.0.2');
  await input(page, 'SubjectNameByDefault').fill('Stage Cam');
  await input(page, 'NetworkPortIdByDefault').fill('9123');
  await input(page, 'bAutoLens').uncheck();
  await input(page, 'bAutoRecord').check();
  await page.getByRole('button', { name: 'Save' }).click();
  await outcome(page).filter({ hasText: 'Saved to Config/DefaultGame.ini' }).waitFor({ timeout: 5000 });
  assert.match(readIni(), /NetworkPortIdByDefault=9123/);
  await screenshot(page, 'settings-saved');
  await page.close();

  assert.deepEqual(await host.stop(), { code: 0, signal: null });
  host = await startHost(project);
  page = await settingsPage();
  await page.waitForFunction(() => document.getElementById('setting-NetworkPortIdByDefault').value === '9123', null, { timeout: 5000 });
  assert.equal(await input(page, 'NetworkServerAddressByDefault').inputValue(), '127.0.0.2');
  assert.equal(await input(page, 'SubjectNameByDefault').inputValue(), 'Stage Cam');
  assert.deepEqual([await input(page, 'bAutoLens').isChecked(), await input(page, 'bAutoSceneTakeUpdate').isChecked(),
    await input(page, 'bAutoRecord').isChecked()], [false, true, true]);
  await page.close();
});

// Faults caught: the page sending a value the host refuses, or saving the valid fields of a refused form; no
// reason given, or a reason that does not name the field; a save the host fails (its config file cannot be
// written) reported as saved.
test('a refused value shows why and saves nothing', async () => {
  const page = await settingsPage();
  const saved = [readIni(), await settingsOf()];
  const refused = [
    ['NetworkPortIdByDefault', '70000', 'NetworkPortIdByDefault takes a port number from 0 to 65535, not "70000"'],
    ['NetworkPortIdByDefault', '12a', 'NetworkPortIdByDefault takes a port number from 0 to 65535, not "12a"'],
    ['NetworkServerAddressByDefault', '1.2.3', 'NetworkServerAddressByDefault takes an IPv4 address a.b.c.d, not "1.2.3"'],
    ['NetworkServerAddressByDefault', '10.0.0.256', 'NetworkServerAddressByDefault takes an IPv4 address a.b.c.d, not "10.0.0.256"'],
  ];
  for (const [key, value, why] of refused) {
    await page.reload();
    await input(page, 'bAutoLens').check();
    await input(page, key).fill(value);
    await page.getByRole('button', { name: 'Save' }).click();
    assert.equal(await outcome(page).textContent(), `Not saved: ${why}`);
    if (value === '70000') {
      await screenshot(page, 'settings-refused');
    }
  }
  assert.deepEqual([readIni(), await settingsOf()], saved);

  // A folder where the config file goes makes the host's save fail: its reason must reach the page.
  rmSync(iniFile);
  mkdirSync(iniFile);
  await page.reload();
  await input(page, 'NetworkPortIdByDefault').fill('9124');
  await page.getByRole('button', { name: 'Save' }).click();
  await outcome(page).filter({ hasText: /^Not saved: .+/ }).waitFor({ timeout: 5000 });
  assert.ok(!(await outcome(page).textContent()).includes('Saved to'));
  rmSync(iniFile, { recursive: true });
  await page.close();
});
