// The Live Link panel: the sources with their status and a health dot, the "+ Source" menu of factories, the
// creation panel a factory opens, and a remove button per source.
import { fixed, h, setText } from './dom.js';
import { mountWidgets } from './widgets.js';

// A source is late past half a second without a datagram (a dozen frames at 25), silent past three.
const LateSeconds = 0.5;
const SilentSeconds = 3;
// What the plug-in's source says while it can receive, datagrams or not; the health tells the two apart. Any
// other status is a source that cannot receive at all.
const ListeningStatuses = ['Receiving', 'Waiting for data'];
// A count that rose keeps the dot amber this long, so that a rare rise is seen at all.
const RiseHoldMs = 2000;
const TroubleCounts = { unparsed: 'unparsed datagrams', foreignKeys: 'foreign keys', timecodeGaps: 'timecode gaps' };

/**
 * The dot's colour and why, from the source's status and health; `memory` keeps the counts seen last and when
 * each last rose, across snapshots.
 */
function judgeHealth(source, memory, now) {
  const health = source.health || {};
  const risen = [];
  for (const [key, name] of Object.entries(TroubleCounts)) {
    if (memory.counts[key] !== undefined && health[key] > memory.counts[key]) {
      memory.roseAt[key] = now;
    }
    memory.counts[key] = health[key];
    if (now - (memory.roseAt[key] ?? -Infinity) < RiseHoldMs) {
      risen.push(name);
    }
  }
  const since = health.secondsSinceLastDatagram;
  if (!ListeningStatuses.includes(source.status)) {
    return ['bad', `not receiving: ${source.status}`];
  }
  if (!(since >= 0)) {
    return ['bad', 'no datagram yet'];
  }
  if (since > SilentSeconds) {
    return ['bad', `nothing for ${fixed(since, 1)} s`];
  }
  if (since > LateSeconds) {
    return ['warn', `late: the last datagram came ${fixed(since, 1)} s ago`];
  }
  if (risen.length > 0) {
    return ['warn', `rising: ${risen.join(', ')}`];
  }
  return ['good', `receiving ${fixed(health.receivedPerSecond, 1)} datagrams a second`];
}

function optionsText(options = {}) {
  const names = [['autoLens', 'lens'], ['autoSceneTake', 'scene/take'], ['autoRecord', 'record']];
  return names.filter(([key]) => options[key]).map(([, name]) => name).join(', ') || 'none';
}

export function mount(element, api) {
  const error = h('p', { className: 'error' });
  const menu = h('ul', { className: 'menu', hidden: true });
  const addButton = h('button', { type: 'button', textContent: '+ Source', title: 'Add a Live Link source' });
  const body = h('tbody');
  const panelTitle = h('h3');
  const panelWidgets = h('div', { className: 'widgets' });
  const cancel = h('button', { type: 'button', textContent: 'Cancel' });
  const panelBox = h('div', { className: 'creation-panel', hidden: true }, panelTitle, panelWidgets, cancel);
  element.append(
    h('div', { className: 'toolbar' }, h('h2', { textContent: 'Live Link' }), h('div', { className: 'menu-anchor' }, addButton, menu)),
    panelBox,
    h('table', { className: 'sources' },
      h('thead', {}, h('tr', {}, ...['', 'Source Type', 'Source Machine', 'Status', 'Endpoint', 'Options', ''].map((text) => h('th', { textContent: text })))),
      body),
    error);

  const report = (failure) => setText(error, failure ? failure.message : '');
  const attempt = (promise) => promise.then((answer) => { report(null); return answer; }, (failure) => { report(failure); return null; });

  let openPanel = null;
  const widgets = mountWidgets(panelWidgets, (widget, event, value) =>
    attempt(api.post(`api/panels/${openPanel}/events`, { widget, event, value })));
  cancel.addEventListener('click', () => openPanel !== null && attempt(api.del(`api/panels/${openPanel}`)));

  addButton.addEventListener('click', () => { menu.hidden = !menu.hidden; });
  // As menus do: a click anywhere else, or Escape, closes it.
  document.addEventListener('click', (event) => {
    if (!menu.hidden && !addButton.contains(event.target) && !menu.contains(event.target)) {
      menu.hidden = true;
    }
  });
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') {
      menu.hidden = true;
    }
  });
  let factoriesShown = '';
  function showFactories(factories) {
    const key = JSON.stringify(factories);
    if (key === factoriesShown) {
      return;
    }
    factoriesShown = key;
    menu.replaceChildren(...factories.map((factory) => {
      const item = h('button', { type: 'button', textContent: factory.displayName, title: factory.tooltip });
      item.addEventListener('click', () => {
        menu.hidden = true;
        attempt(api.post('api/panels', { factory: factory.name }));
      });
      return h('li', {}, item);
    }));
  }

  function showPanel(panel, factories) {
    panelBox.hidden = !panel;
    openPanel = panel ? panel.id : null;
    if (panel) {
      const factory = factories.find((candidate) => candidate.name === panel.factory);
      setText(panelTitle, factory ? factory.displayName : panel.factory);
      widgets.show(panel.root);
    }
  }

  // Rows by source guid, written in place: rebuilding them 30 times a second would swallow clicks on Remove.
  const rows = new Map();
  function addRow(source) {
    const cells = { dot: h('span', { className: 'dot' }) };
    for (const name of ['type', 'machine', 'status', 'endpoint', 'options']) {
      cells[name] = h('td', { className: name });
    }
    const remove = h('button', { type: 'button', textContent: 'Remove', title: 'Shut the source down and remove it' });
    remove.addEventListener('click', () => attempt(api.del(`api/sources/${source.guid}`)));
    const row = h('tr', { dataset: { guid: source.guid } }, h('td', {}, cells.dot), cells.type, cells.machine, cells.status,
      cells.endpoint, cells.options, h('td', {}, remove));
    return { row, cells, memory: { counts: {}, roseAt: {} } };
  }
  function showSources(sources) {
    const now = performance.now();
    const seen = new Set();
    for (const source of sources) {
      seen.add(source.guid);
      if (!rows.has(source.guid)) {
        rows.set(source.guid, addRow(source));
        body.append(rows.get(source.guid).row);
      }
      const { cells, memory } = rows.get(source.guid);
      const [level, why] = judgeHealth(source, memory, now);
      cells.dot.className = `dot ${level}`;
      cells.dot.title = why;
      for (const name of ['type', 'machine', 'status', 'endpoint']) {
        setText(cells[name], source[name] ?? '');
      }
      setText(cells.options, optionsText(source.options));
    }
    for (const [guid, { row }] of rows) {
      if (!seen.has(guid)) {
        row.remove();
        rows.delete(guid);
      }
    }
  }

  return {
    update(snapshot) {
      showFactories(snapshot.factories || []);
      showPanel(snapshot.panel, snapshot.factories || []);
      showSources(snapshot.sources || []);
    },
  };
}
