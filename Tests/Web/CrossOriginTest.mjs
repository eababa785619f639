// A page of another origin, open in the operator's browser, tries to drive the host as a browser lets any page
// try: simple requests that need no permission (text/plain bodies, no-cors) and a JSON request that needs a
// preflight. Faults caught: the host acting on any of them (a creation panel opened, a take started, a setting
// written) or answering in a way that lets the page read it.
import assert from 'node:assert/strict';
import { existsSync, readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { launchBrowser, newProject, startHost } from './Harness.mjs';

let host;
let browser;
let site;

function attackPage(hostUrl, factory) {
  return `<!doctype html><script>
  const host = ${JSON.stringify(hostUrl)};
  const simple = (method, path, body) => fetch(host + path, { method, body, mode: 'no-cors' }).then(() => 'sent', (e) => 'blocked: ' + e.message);
  const readable = (method, path, body) =>
    fetch(host + path, { method, body, headers: { 'Content-Type': 'application/json' } }).then((r) => 'read ' + r.status, (e) => 'blocked: ' + e.message);
  window.results = Promise.all([
    simple('POST', '/api/panels', JSON.stringify({ factory: ${JSON.stringify(factory)} })),
    simple('POST', '/api/take/start', ''),
    simple('PUT', '/api/settings', JSON.stringify({ bAutoLens: true })),
    readable('PUT', '/api/settings', JSON.stringify({ bAutoRecord: true })),
    fetch(host + '/api/state').then((r) => r.text()).then(() => 'state read', (e) => 'blocked: ' + e.message),
  ]);
</script>`;
}

before(async () => {
  host = await startHost(newProject());
  const factory = (await (await fetch(`${host.url}/api/state`)).json()).factories[0].name;
  site = createServer((request, response) => response.writeHead(200, { 'Content-Type': 'text/html' }).end(attackPage(host.url, factory)));
  await new Promise((resolve) => site.listen(0, '127.0.0.1', resolve));
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
  site?.close();
  assert.deepEqual(await host?.stop(), { code: 0, signal: null });
});

test('a page of another origin can neither change the host nor read it', async () => {
  const page = await browser.newPage();
  // Another port is another origin, as another site is.
  await page.goto(`http://127.0.0.1:${site.address().port}/`);
  const results = await page.evaluate(() => window.results);
  assert.ok(results[3].startsWith('blocked'), `a JSON request from another origin was let through: ${results[3]}`);
  assert.ok(results[4].startsWith('blocked'), `another origin read the state: ${results[4]}`);
  const state = await (await fetch(`${host.url}/api/state`)).json();
  assert.equal(state.panel, null, 'a creation panel was opened by another origin');
  assert.equal(state.take.recording, false, 'a take was started by another origin');
  const ini = path.join(host.project, 'Config', 'DefaultGame.ini');
  const saved = existsSync(ini) ? readFileSync(ini, 'utf8') : '';
  assert.doesNotMatch(saved, /bAuto(Lens|Record)/, 'another origin wrote a setting');
  await page.close();
});
