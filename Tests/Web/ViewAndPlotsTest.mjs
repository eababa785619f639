// The 3D view and the plots with orvida-send streaming an orbit into the host.
// Faults caught: three.js or the view failing to load or draw (a blank canvas, no frustum, no path); the view not
// drawn again when frames arrive (drawing on demand that is never asked for); the pose not applied (a frustum
// standing still while the camera orbits); the plots not fed, or fed without moving (their rings not advancing,
// a value read from the wrong field); a "no camera" note that never goes away, or never shows.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { setTimeout as sleep } from 'node:timers/promises';
import { hostProgram, launchBrowser, newProject, openPage, screenshot, startHost } from './Harness.mjs';

let host;
let browser;
let sender;
let page;
before(async () => {
  host = await startHost(newProject(), ['--source', '127.0.0.1:0']);
  browser = await launchBrowser();
  page = await openPage(browser, host);
});
after(async () => {
  sender?.kill('SIGINT');
  await browser?.close();
  assert.deepEqual(await host?.stop(), { code: 0, signal: null });
});

async function sourcePort() {
  const state = await (await fetch(`${host.url}/api/state`)).json();
  return Number(state.sources[0].endpoint.split(':')[1]);
}

/** The canvas as the browser shows it, decoded by the browser: pixel counts of the colours the view draws with. */
async function canvasPixels(png, earlier, color) {
  return page.evaluate(async ([now, before, hex]) => {
    async function decode(base64) {
      const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${base64}`)).blob());
      const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
      const context = canvas.getContext('2d');
      context.drawImage(bitmap, 0, 0);
      return context.getImageData(0, 0, bitmap.width, bitmap.height).data;
    }
    const near = (data, i, [r, g, b]) => Math.abs(data[i] - r) + Math.abs(data[i + 1] - g) + Math.abs(data[i + 2] - b) < 60;
    const frustumColor = [1, 3, 5].map((at) => parseInt(hex.slice(at, at + 2), 16));
    // The path is drawn in the source's colour at 0.6 (view3d.js), in linear light, as three.js shades it.
    const toLinear = (c) => ((c / 255) <= 0.04045 ? c / 255 / 12.92 : ((c / 255 + 0.055) / 1.055) ** 2.4);
    const toSrgb = (l) => Math.round(255 * (l <= 0.0031308 ? l * 12.92 : 1.055 * l ** (1 / 2.4) - 0.055));
    const pathColor = frustumColor.map((c) => toSrgb(toLinear(c) * 0.6));
    const pixels = await decode(now);
    const previous = before ? await decode(before) : null;
    const counts = { frustum: 0, path: 0, changed: 0 };
    for (let i = 0; i < pixels.length; i += 4) {
      counts.frustum += near(pixels, i, frustumColor);
      counts.path += near(pixels, i, pathColor);
      counts.changed += previous !== null && previous.length === pixels.length &&
        (pixels[i] !== previous[i] || pixels[i + 1] !== previous[i + 1] || pixels[i + 2] !== previous[i + 2]);
    }
    return counts;
  }, [png.toString('base64'), earlier?.toString('base64'), color]);
}

async function plotReading(id) {
  return page.locator(`#plots [data-plot=${id}]`).evaluate((element) => ({ points: Number(element.dataset.points), last: element.dataset.last }));
}

test('without a sender the view says there is no camera', async () => {
  // three.js and uPlot are large modules; a busy machine takes a while to parse them.
  await page.locator('#plots [data-plot=position]').waitFor({ state: 'attached', timeout: 20000 });
  await page.locator('#connection.live').waitFor();
  assert.equal(await page.locator('#view3d .view3d-note').textContent(), 'no camera');
});

test('a streamed orbit moves the frustum and the plots', async () => {
  const port = await sourcePort();
  sender = spawn(path.join(path.dirname(hostProgram), 'orvida-send'), ['--to', `127.0.0.1:${port}`, '--rate', '25', '--path', 'orbit', '--duration', '60'],
    { stdio: 'ignore' });
  await page.locator('#view3d .view3d-note').filter({ hasText: /^$/ }).waitFor({ state: 'attached' });
  // About two seconds of orbit first, so that the path is long enough to count on whatever the framing.
  await page.waitForFunction(() => Number(document.querySelector('#plots [data-plot=position]').dataset.points) >= 60);
  const canvas = page.locator('#view3d canvas');
  const firstShot = await canvas.screenshot();
  const firstPlot = await plotReading('position');
  await sleep(1000);
  const secondShot = await canvas.screenshot();
  const secondPlot = await plotReading('position');
  await screenshot(page, 'view-and-plots');

  // Drawn in the source's colour. The frustum's lines are thin and the orbit turns them edge-on at times, so a
  // few more shots over three seconds find it at its side; a frustum never drawn stays at none.
  const { sources: [source] } = await (await fetch(`${host.url}/api/state`)).json();
  let counts = await canvasPixels(secondShot, firstShot, source.color);
  for (let shot = 0; shot < 6 && counts.frustum <= 50; ++shot) {
    await sleep(500);
    const frustum = (await canvasPixels(await canvas.screenshot(), null, source.color)).frustum;
    counts = { ...counts, frustum: Math.max(counts.frustum, frustum) };
  }
  assert.ok(counts.frustum > 50, `frustum pixels: ${JSON.stringify(counts)}`);
  assert.ok(counts.path > 50, `path pixels: ${JSON.stringify(counts)}`);
  assert.ok(counts.changed > 100, `pixels changed in a second: ${JSON.stringify(counts)}`);
  assert.ok(secondPlot.points > firstPlot.points, `position points ${firstPlot.points} then ${secondPlot.points}`);
  assert.notEqual(secondPlot.last, firstPlot.last);
  const [messages, expected] = JSON.parse((await plotReading('messages')).last);
  assert.ok(messages > 10 && messages < 40, `received per second at 25 sent: ${messages}`);
  // Faults caught: the rate not set against the camera's own (its timecode's 25/1); the time a frame waits in the
  // source not plotted, or read from another figure (the ring holds two or three frames of 40 ms).
  assert.equal(expected, 25);
  const waited = JSON.parse((await plotReading('timing')).last)[2];
  assert.ok(waited >= 40 && waited < 400, `a frame waited ${waited} ms in the source`);
  // Axis labels wider than their axis are drawn from beyond the canvas's left edge: label-grey pixels in its
  // first columns are a label cut off (a fixed axis width under long values, the time axis's date line).
  const clipped = await page.locator('#plots [data-plot] canvas').evaluateAll((canvases) => canvases.map((canvas) => {
    const edge = canvas.getContext('2d').getImageData(0, 0, 2, canvas.height).data;
    let grey = 0;
    for (let i = 0; i < edge.length; i += 4) {
      grey += Math.abs(edge[i] - 0x8c) + Math.abs(edge[i + 1] - 0x8c) + Math.abs(edge[i + 2] - 0x8c) < 60;
    }
    return `${canvas.closest('[data-plot]').dataset.plot}: ${grey}`;
  }));
  assert.deepEqual(clipped.filter((entry) => !entry.endsWith(': 0')), [], 'plots whose axis labels reach the left edge');
  // The other panels' modules may be missing in a partial checkout; their 404s are theirs.
  assert.deepEqual(page.errors.filter((error) => !error.startsWith('Failed to load resource')), []);
});
