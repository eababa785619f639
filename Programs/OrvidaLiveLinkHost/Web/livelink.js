// The Live Link panel: the sources with their state in words and a dot of its colour, the "+ Source" menu of factories, the
// creation panel a factory opens, a remove button per source, each source's settings editable as the panel's details,
// and the preset's save and load.
import { h, setText } from './dom.js';
import { mountWidgets } from './widgets.js';

// The dot's colour for each severity of a source's state; the host judges the state (its words are what the
// console prints too), the page only shows it.
const DotLevels = { ok: 'good', notice: 'notice', warning: 'warn', error: 'bad' };

// The settings a row edits, by the API's names, with the words its check boxes carry.
const OptionBoxes = [['autoLens', 'Lens', 'Auto Lens Update'], ['autoSceneTakeUpdate', 'Scene/Take', 'Auto Scene/Take Update'], ['autoRecord', 'Record', 'Auto Record']];

function sameNameText(source, sources) {
  const others = (source.sameSubjectNameAs || []).map((guid) => sources.find((other) => other.guid === guid)).filter(Boolean);
  return others.length === 0 ? ''
    : `Same subject name as the source on ${others.map((other) => other.endpoint).join(', ')}: the editor enables only one of them.`;
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
  const repair = h('p', { className: 'repair-note' });
  const panelBox = h('div', { className: 'creation-panel', hidden: true }, panelTitle, panelWidgets, repair, cancel);
  // What to do first, while there is nothing else to see.
  const firstStep = h('p', { className: 'first-step', hidden: true,
    textContent: 'No source yet. Add one: "+ Source", then "Orvida LiveLink"; type the address and port the camera application sends to (0.0.0.0:9001 listens on every interface) and press Ok.' });
  const savePreset = h('button', { type: 'button', textContent: 'Save preset', title: 'Write every source and its settings to the preset file' });
  const loadPreset = h('button', { type: 'button', textContent: 'Load preset', title: 'Remove every source and make the preset file\'s sources again' });
  const presetNote = h('span', { className: 'preset-note' });
  element.append(
    h('div', { className: 'toolbar' }, h('h2', { textContent: 'Live Link' }), h('div', { className: 'menu-anchor' }, addButton, menu),
      h('div', { className: 'preset' }, savePreset, loadPreset, presetNote)),
    panelBox,
    firstStep,
    h('table', { className: 'sources' },
      h('thead', {}, h('tr', {}, ...['', 'Source Type', 'Source Machine', 'Status', 'Endpoint', 'Subject', 'Options', ''].map((text) => h('th', { textContent: text })))),
      body),
    error);

  const report = (failure) => setText(error, failure ? failure.message : '');
  const attempt = (promise) => promise.then((answer) => { report(null); return answer; }, (failure) => { report(failure); return null; });

  savePreset.addEventListener('click', () => attempt(api.post('api/preset/save', {})));
  loadPreset.addEventListener('click', () => attempt(api.post('api/preset/load', {})));
  function showPreset(preset = {}) {
    const reason = preset.file ? '' : 'Start the host with --preset FILE to save and load a preset.';
    savePreset.disabled = loadPreset.disabled = !preset.file;
    setText(presetNote, reason || preset.lastOutcome || `Preset file: ${preset.file}`);
  }

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
    for (const name of ['type', 'machine', 'status', 'endpoint', 'subject', 'options']) {
      cells[name] = h('td', { className: name });
    }
    // Each edit goes to the host at once, as the details panel applies it; the next snapshot shows what was kept.
    const edit = (settings) => attempt(api.put(`api/sources/${source.guid}/settings`, settings));
    const subjectName = h('input', { type: 'text', className: 'subject-name', title: 'The Live Link subject the source publishes', attrs: { 'aria-label': 'Subject Name' } });
    subjectName.addEventListener('change', () => edit({ subjectName: subjectName.value }));
    subjectName.addEventListener('keydown', (event) => event.key === 'Escape' && subjectName.blur());
    const sameName = h('p', { className: 'same-name', hidden: true });
    const boxes = OptionBoxes.map(([key, label, title]) => {
      const box = h('input', { type: 'checkbox', title });
      box.addEventListener('change', () => edit({ [key]: box.checked }));
      return { key, box, label: h('label', { title }, box, label) };
    });
    const fixedOptions = h('span', { className: 'fixed-options' });
    cells.subject.append(subjectName, sameName);
    cells.options.append(...boxes.map((each) => each.label), fixedOptions);
    const remove = h('button', { type: 'button', textContent: 'Remove', title: 'Shut the source down and remove it' });
    remove.addEventListener('click', () => attempt(api.del(`api/sources/${source.guid}`)));
    const row = h('tr', { dataset: { guid: source.guid } }, h('td', {}, cells.dot), cells.type, cells.machine, cells.status,
      cells.endpoint, cells.subject, cells.options, h('td', {}, remove));
    // The source's colour, kept for its life, marks its subject, plots and camera too.
    row.style.setProperty('--source-color', source.color ?? 'transparent');
    return { row, cells, subjectName, sameName, boxes, fixedOptions };
  }
  // Settings of the engine's base class (a preset from before the source had its own) hold nothing to edit: the
  // row shows the options the source runs with instead.
  function showSettings(entry, source, sources) {
    const { settings } = source;
    entry.subjectName.hidden = !settings;
    for (const { key, box, label } of entry.boxes) {
      label.hidden = !settings;
      if (settings) {
        box.checked = settings[key];
      }
    }
    // Not while the user types in it.
    if (settings && document.activeElement !== entry.subjectName && entry.subjectName.value !== settings.subjectName) {
      entry.subjectName.value = settings.subjectName;
    }
    setText(entry.fixedOptions, settings ? '' : optionsText(source.options));
    const warning = sameNameText(source, sources);
    entry.sameName.hidden = !warning;
    setText(entry.sameName, warning);
  }
  function showSources(sources) {
    const seen = new Set();
    for (const source of sources) {
      seen.add(source.guid);
      if (!rows.has(source.guid)) {
        rows.set(source.guid, addRow(source));
        body.append(rows.get(source.guid).row);
      }
      const entry = rows.get(source.guid);
      const { cells } = entry;
      const state = source.state || { text: source.status ?? '', severity: 'notice' };
      cells.dot.className = `dot ${DotLevels[state.severity] ?? 'bad'}`;
      cells.dot.title = `${state.severity}: ${state.text}`;
      setText(cells.status, state.text);
      for (const name of ['type', 'machine', 'endpoint']) {
        setText(cells[name], source[name] ?? '');
      }
      showSettings(entry, source, sources);
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
      showPreset(snapshot.preset);
      firstStep.hidden = (snapshot.sources || []).length > 0;
    },
  };
}
