// The page's frame: one event stream from the host, whose newest snapshot goes to every panel, and the tabs.
//
// Each panel is an ES module in this folder, named by its element's data-module, exporting
// mount(element, api) -> { update(snapshot) }. Panels are loaded one by one, so that a panel that fails to
// load (a library missing, say) says so in its own place and leaves the others working.
import { api } from './api.js';
import { h, setText } from './dom.js';
import { mountStage } from './stage.js';

// The host publishes a snapshot a tick (60 a second, 30 of them sent): a second without one is not a slow
// stream but a host that stopped answering, and what the page shows from then on is old.
const StaleMs = 1000;

const panels = [];
let latest = null;
let latestAt = null;
let lostReason = 'no news for over a second';
const stage = mountStage();
// Each panel's own word that its data is old, kept beside it rather than inside its content.
const staleNotes = [];

function showTab() {
  const wanted = (location.hash || '#livelink').slice(1);
  const known = [...document.querySelectorAll('section.tab')].some((section) => section.dataset.tab === wanted);
  const tab = known ? wanted : 'livelink';
  for (const element of document.querySelectorAll('[data-tab]')) {
    element.classList.toggle('active', element.dataset.tab === tab);
  }
}

function deliver(panel, snapshot) {
  try {
    panel.update(snapshot);
  } catch (error) {
    console.error(`${panel.name}: ${error.message}`);
  }
}

async function mountPanels() {
  for (const element of document.querySelectorAll('[data-module]')) {
    const name = element.dataset.module;
    try {
      const module = await import(`./${name}`);
      const panel = module.mount(element, api);
      panel.name = name;
      panels.push(panel);
      const note = h('p', { className: 'stale-note', hidden: true });
      element.prepend(note);
      staleNotes.push(note);
      if (latest) {
        deliver(panel, latest);
      }
    } catch (error) {
      element.classList.add('failed');
      element.textContent = `${name} could not be loaded: ${error.message}`;
    }
  }
}

function connect() {
  const events = new EventSource('api/events');
  events.addEventListener('state', (event) => {
    latest = JSON.parse(event.data);
    latestAt = performance.now();
    lostReason = 'no news for over a second';
    stage.show(latest);
    for (const note of staleNotes) {
      note.hidden = true;
    }
    for (const panel of panels) {
      deliver(panel, latest);
    }
  });
  // EventSource reconnects by itself after a lost connection; the banner says so meanwhile. An answer other than a
  // stream (the host refuses one beyond its bound) closes it for good: the host's reason is shown and the page asks
  // again a little later.
  events.addEventListener('error', async () => {
    if (events.readyState !== EventSource.CLOSED) {
      lostReason = 'its event stream broke off';
      return;
    }
    lostReason = `it refused the event stream: ${await refusalReason()}; trying again`;
    setTimeout(connect, 3000);
  });
}

/** Once the newest snapshot is over StaleMs old: the banner, and each panel's note of how old its data is. */
function watchAge() {
  const age = latestAt === null ? null : performance.now() - latestAt;
  if (age !== null && age <= StaleMs) {
    return;
  }
  if (age === null && performance.now() <= StaleMs) {
    return;
  }
  stage.lost(age === null ? null : age / 1000, lostReason);
  for (const note of staleNotes) {
    setText(note, age === null ? 'No data from the host yet' : `Data ${Math.floor(age / 1000)} s old: the host is not answering`);
    note.hidden = false;
  }
}

async function refusalReason() {
  const asking = new AbortController();
  try {
    const response = await fetch('api/events', { signal: asking.signal });
    const answer = response.ok ? null : await response.json();
    return answer && answer.error ? answer.error : `HTTP ${response.status}`;
  } catch {
    return 'host not answering';
  } finally {
    asking.abort();
  }
}

window.addEventListener('hashchange', showTab);
showTab();
connect();
mountPanels();
setInterval(watchAge, 250);
