// The host's CPU with one browser page open on the Live Link tab, against the same host and stream with no
// browser, measured in the same run: orvida-send streams an orbit at 25 a second into a source, and the host's
// user and system time is read from /proc 10 s apart, 5 s after the stream started. The page is loaded before the
// stream starts, so that serving its files is not counted.
//
// Usage: node Benchmarks/HostWithBrowserCpu.mjs build/default/bin
import { execFileSync, spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';

const binDir = path.resolve(process.argv[2] || 'build/default/bin');
// The harness takes the host program from argv[2], as every browser test passes it.
process.argv[2] = path.join(binDir, 'orvida-livelink');
const { launchBrowser, newProject, openPage, startHost } = await import('../Tests/Web/Harness.mjs');

const TicksPerSecond = Number(execFileSync('getconf', ['CLK_TCK']).toString());
const SettleSeconds = 5;
const MeasureSeconds = 10;

/** utime + stime of the process, in seconds. */
function cpuSeconds(pid) {
  const fields = readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
  return (Number(fields[11]) + Number(fields[12])) / TicksPerSecond;
}

/** The host's CPU over the measuring window, as a share of one core; `prepare` runs before the stream starts. */
async function measure(prepare) {
  const host = await startHost(newProject(), ['--tick-rate', '60', '--source', '127.0.0.1:0']);
  let sender;
  let cleanup = async () => {};
  try {
    cleanup = (await prepare(host)) || cleanup;
    const state = await (await fetch(`${host.url}/api/state`)).json();
    const port = state.sources[0].endpoint.split(':')[1];
    sender = spawn(path.join(binDir, 'orvida-send'), ['--rate', '25', '--to', `127.0.0.1:${port}`, '--duration', '25'], { stdio: 'ignore' });
    await sleep(SettleSeconds * 1000);
    const before = cpuSeconds(host.pid);
    await sleep(MeasureSeconds * 1000);
    return (cpuSeconds(host.pid) - before) / MeasureSeconds;
  } finally {
    sender?.kill('SIGINT');
    await cleanup();
    await host.stop();
  }
}

const baseline = await measure(async () => {});
const withBrowser = await measure(async (host) => {
  const browser = await launchBrowser();
  const page = await openPage(browser, host, '#livelink');
  // The 3D view and the plots bring the heaviest libraries; the host compresses each file it serves, for seconds.
  await page.locator('#view3d canvas').waitFor({ state: 'attached', timeout: 120000 });
  await page.locator('#plots [data-plot]').first().waitFor({ state: 'attached', timeout: 120000 });
  await page.locator('#connection.live').waitFor();
  await sleep(2000);
  return () => browser.close();
});
const percent = (share) => `${(share * 100).toFixed(1)}% of a core`;
console.log(`host CPU, no browser (baseline)   ${percent(baseline)}`);
console.log(`host CPU, one page on Live Link   ${percent(withBrowser)}`);
console.log(`ratio with browser / baseline     ${(withBrowser / baseline).toFixed(2)}x`);
