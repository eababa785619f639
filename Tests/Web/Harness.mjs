// What every browser test needs: the host in a project folder of its own with its web server on a port the
// system picks, Debian's chromium driven by playwright-core, and a folder for the screenshots kept as artifacts.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import dgram from 'node:dgram';
import { mkdirSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { createInterface } from 'node:readline';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';

// Usage of every test file: node <file> <path to orvida-livelink> <folder for screenshots>
export const hostProgram = process.argv[2];
export const artifactDir = process.argv[3] || path.join(tmpdir(), 'orvida-web-screenshots');
mkdirSync(artifactDir, { recursive: true });

// Without the background-networking flags chromium keeps calling out to hosts this machine cannot reach.
const chromiumArgs = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--use-angle=swiftshader', '--enable-unsafe-swiftshader'];

// orvida-send is built beside the host.
export const senderProgram = path.join(path.dirname(hostProgram || '.'), 'orvida-send');

export function newProject() {
  return mkdtempSync(path.join(tmpdir(), 'orvida-web-'));
}

/**
 * Starts the host with `--project project --http 127.0.0.1:0` and the given arguments; resolves once it says
 * where it serves, rejects when it exits first or says nothing for 60 s. `lines` gathers its standard output.
 */
export function startHost(project, args = []) {
  const child = spawn(hostProgram, ['--project', project, '--http', '127.0.0.1:0', ...args], { stdio: ['ignore', 'pipe', 'inherit'] });
  const lines = [];
  const exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal })));
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error(`the host printed no serving line in 60 s: ${lines.join(' | ')}`)), 60000);
    exited.then(({ code, signal }) => reject(new Error(`the host exited (${code ?? signal}) before serving: ${lines.join(' | ')}`)));
    createInterface({ input: child.stdout }).on('line', (line) => {
      lines.push(line);
      const found = /^serving (http:\/\/127\.0\.0\.1:\d+)$/.exec(line);
      if (found) {
        clearTimeout(timer);
        resolve({
          url: found[1],
          pid: child.pid,
          lines,
          project,
          // Ctrl-C, as a user stops it; resolves with how it ended, killing it if it has not ended in 30 s.
          async stop() {
            child.kill('SIGINT');
            const killer = setTimeout(() => child.kill('SIGKILL'), 30000);
            const ending = await exited;
            clearTimeout(killer);
            return ending;
          },
        });
      }
    });
  });
}

export async function launchBrowser() {
  return chromium.launch({ executablePath: process.env.ORVIDA_CHROMIUM || '/usr/bin/chromium', args: chromiumArgs });
}

/** A fresh page at the host's address, with the page's own errors collected in `page.errors`. */
export async function openPage(browser, host, hash = '') {
  const page = await browser.newPage({ viewport: { width: 1400, height: 900 } });
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  page.on('console', (message) => message.type() === 'error' && page.errors.push(message.text()));
  await page.goto(`${host.url}/${hash}`);
  return page;
}

export async function screenshot(page, name) {
  const file = path.join(artifactDir, `${name}.png`);
  await page.screenshot({ path: file, fullPage: true });
  return file;
}

/** A UDP port on 127.0.0.1 free a moment ago, for a source the test makes itself. */
export async function freeUdpPort() {
  const socket = dgram.createSocket('udp4');
  await new Promise((resolve) => socket.bind(0, '127.0.0.1', resolve));
  const { port } = socket.address();
  await new Promise((resolve) => socket.close(resolve));
  return port;
}

/** Sends the text `count` times, one datagram each, to 127.0.0.1:port. */
export async function sendDatagrams(port, text, count = 1) {
  const socket = dgram.createSocket('udp4');
  for (let index = 0; index < count; ++index) {
    await new Promise((resolve, reject) => socket.send(text, port, '127.0.0.1', (error) => (error ? reject(error) : resolve())));
  }
  socket.close();
}

/**
 * Runs orvida-send with the given arguments (give it --duration or --count so that it ends by itself); `ended`
 * resolves with its exit code, and stop() ends it early.
 */
export function startSender(args) {
  const child = spawn(senderProgram, args, { stdio: ['ignore', 'ignore', 'inherit'] });
  const ended = new Promise((resolve) => child.on('exit', (code, signal) => resolve(code ?? signal)));
  return { ended, stop: () => { child.kill('SIGINT'); return ended; } };
}

/**
 * One host (in a new project, with args) and one browser page on it for all of a file's tests: `session.host`,
 * `session.page` and `session.state()` (the host's snapshot) once the file's before hook has run. The after hook
 * asks that the host ended cleanly on Ctrl-C.
 */
export function sharedHostAndPage(args = []) {
  const session = {
    state: async () => (await fetch(`${session.host.url}/api/state`)).json(),
  };
  before(async () => {
    session.host = await startHost(newProject(), args);
    session.browser = await launchBrowser();
    session.page = await openPage(session.browser, session.host);
  });
  after(async () => {
    await session.browser?.close();
    assert.deepEqual(await session.host?.stop(), { code: 0, signal: null });
  });
  return session;
}
