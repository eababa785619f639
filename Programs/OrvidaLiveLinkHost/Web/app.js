// The page's frame: one event stream from the host, whose newest snapshot goes to every panel, and the tabs.
//
// Each panel is an ES module in this folder, named by its element's data-module, exporting
// mount(element, api) -> { update(snapshot) }. Panels are loaded one by one, so that a panel that fails to
// load (a library missing, say) says so in its own place and leaves the others working.
import { api } from './api.js';

const panels = [];
let latest = null;

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
  const status = document.getElementById('connection');
  const events = new EventSource('api/events');
  events.addEventListener('state', (event) => {
    latest = JSON.parse(event.data);
    status.textContent = `tick ${latest.tick}`;
    status.className = 'connection live';
    for (const panel of panels) {
      deliver(panel, latest);
    }
  });
  // EventSource reconnects by itself after a lost connection; the badge says so meanwhile. An answer other than a
  // stream (the host refuses one beyond its bound) closes it for good: the host's reason is shown and the page asks
  // again a little later.
  events.addEventListener('error', async () => {
    status.className = 'connection lost';
    if (events.readyState !== EventSource.CLOSED) {
      status.textContent = 'host not answering';
      return;
    }
    status.textContent = `host refused the event stream: ${await refusalReason()}; trying again`;
    setTimeout(connect, 3000);
  });
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
