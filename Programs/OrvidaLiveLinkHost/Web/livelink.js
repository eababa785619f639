// The Live Link panel: the sources with their state in words and a dot of its colour, the "+ Source" menu of factories, the
// creation panel a factory opens, and a remove button per source.
import { h, setText } from './dom.js';
import { mountWidgets } from './widgets.js';

// The dot's colour for each severity of a source's state; the host judges the state (its words are what the
// console prints too), the page only shows it.
const DotLevels = { ok: 'good', notice: 'notice', warning: 'warn', error: 'bad' };

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
  const repair = h('p', { className: 'repair-note' });
  const panelBox = h('div', { className: 'creation-panel', hidden: true }, panelTitle, panelWidgets, repair, cancel);
  // What to do first, while there is nothing else to see.
  const firstStep = h('p', { className: 'first-step', hidden: true,
    textContent: 'No source yet. Add one: "+ Source", then "Orvida LiveLink"; type the address and port the camera application sends to (0.0.0.0:9001 listens on every interface) and press Ok.' });
  element.append(
    h('div', { className: 'toolbar' }, h('h2', { textContent: 'Live Link' }), h('div', { className: 'menu-anchor' }, addButton, menu)),
    panelBox,
    firstStep,
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
  // As menus do: a click anywhere else, or Escape, closes it; Escape closes the creation panel too, as Cancel.
  document.addEventListener('click', (event) => {
    if (!menu.hidden && !addButton.contains(event.target) && !menu.contains(event.target)) {
      menu.hidden = true;
    }
  });
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') {
      menu.hidden = true;
      if (openPanel !== null) {
        attempt(api.del(`api/panels/${openPanel}`));
      }
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
      setText(repair, panel.repair || '');
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
    // The source's colour, kept for its life, marks its subject, plots and camera too.
    row.style.setProperty('--source-color', source.color ?? 'transparent');
    return { row, cells };
  }
  function showSources(sources) {
    const seen = new Set();
    for (const source of sources) {
      seen.add(source.guid);
      if (!rows.has(source.guid)) {
        rows.set(source.guid, addRow(source));
        body.append(rows.get(source.guid).row);
      }
      const { cells } = rows.get(source.guid);
      const state = source.state || { text: source.status ?? '', severity: 'notice' };
      cells.dot.className = `dot ${DotLevels[state.severity] ?? 'bad'}`;
      cells.dot.title = `${state.severity}: ${state.text}`;
      setText(cells.status, state.text);
      for (const name of ['type', 'machine', 'endpoint']) {
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
      firstStep.hidden = (snapshot.sources || []).length > 0;
    },
  };
}
