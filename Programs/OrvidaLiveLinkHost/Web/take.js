// The Take Recorder: slate and take number (editable), the recording state (a take counts down before it records),
// the panel, starting and stopping by hand (a stop while counting down cancels), why a take would be refused, the
// last error, the take as each camera application last sent it (beside the editor's, to see them disagree), and the
// takes recorded so far with a link to download each.
import { fixed, h, setText } from './dom.js';

function sizeText(bytes) {
  return bytes >= 1048576 ? `${fixed(bytes / 1048576, 1)} MiB` : bytes >= 1024 ? `${fixed(bytes / 1024, 1)} KiB` : `${bytes} B`;
}

export function mount(element, api) {
  const slate = h('input', { type: 'text', id: 'take-slate', spellcheck: false });
  const takeNumber = h('input', { type: 'number', id: 'take-number', min: 1, step: 1 });
  const state = h('span', { className: 'recording-state' });
  const panelButton = h('button', { type: 'button' });
  const start = h('button', { type: 'button', textContent: 'Start recording' });
  const stop = h('button', { type: 'button', textContent: 'Stop recording' });
  const refusal = h('p', { className: 'refusal' });
  const noSource = h('p', { className: 'refusal no-source' });
  const panelHint = h('p', { className: 'panel-hint' });
  const lastError = h('p', { className: 'error last-error' });
  const cameraTakes = h('ul', { className: 'camera-take' });
  const failure = h('p', { className: 'error' });
  const takes = h('tbody');
  element.append(
    h('h2', { textContent: 'Take Recorder' }),
    h('div', { className: 'form-row' },
      h('label', { htmlFor: 'take-slate', textContent: 'Slate' }), slate,
      h('label', { htmlFor: 'take-number', textContent: 'Take' }), takeNumber,
      state),
    cameraTakes,
    h('div', { className: 'form-row' }, panelButton, start, stop),
    panelHint, refusal, noSource, lastError, failure,
    h('h3', { textContent: 'Recorded takes' }),
    h('table', { className: 'takes' },
      h('thead', {}, h('tr', {}, ...['File', 'Frames', 'Duration', 'Size', 'Sources', ''].map((text) => h('th', { textContent: text })))),
      takes));

  let latest = null;
  const attempt = (promise) => promise.then(() => setText(failure, ''), (error) => setText(failure, error.message));

  // Sent when the user is done with a field (change fires on Enter and on leaving it), not at every key.
  slate.addEventListener('change', () => attempt(api.put('api/take/metadata', { slate: slate.value })));
  takeNumber.addEventListener('change', () => {
    const number = Number(takeNumber.value);
    if (!Number.isInteger(number) || number < 1) {
      setText(failure, `The take number is a whole number from 1 on, not "${takeNumber.value}"`);
      return;
    }
    attempt(api.put('api/take/metadata', { take: number }));
  });
  panelButton.addEventListener('click', () => latest && attempt(api.post('api/take/panel', { open: !latest.take.panelOpen })));
  start.addEventListener('click', () => attempt(api.post('api/take/start', {})));
  stop.addEventListener('click', () => attempt(api.post('api/take/stop', {})));

  // The takes in the project's takes folder, as the host read them: frames are the distinct frame numbers of a
  // subject, not rows; each source that wrote rows is named, in its colour while it is still a source here.
  let takesShown = '';
  function sourceNames(guids, sources) {
    return (guids || []).map((guid) => {
      const source = sources.find((candidate) => candidate.guid === guid);
      const name = h('span', { className: 'take-source', textContent: source ? source.endpoint : guid.slice(0, 8), title: guid });
      name.style.color = source?.color ?? '';
      return name;
    });
  }
  function showTakes(list, sources) {
    const key = JSON.stringify([list, sources.map((source) => [source.guid, source.endpoint, source.color])]);
    if (key === takesShown) {
      return;
    }
    takesShown = key;
    takes.replaceChildren(...list.map((take) => h('tr', {},
      h('td', {}, take.file, take.error ? h('div', { className: 'error', textContent: `Cannot read it whole: ${take.error}` }) : null),
      h('td', { textContent: take.frames }),
      h('td', { textContent: `${fixed(take.durationSeconds, 2)} s` }),
      h('td', { textContent: sizeText(take.sizeBytes) }),
      h('td', {}, ...sourceNames(take.sources, sources)),
      h('td', {}, h('a', { href: `api/takes/${encodeURIComponent(take.file)}`, download: take.file, textContent: 'Download' })))));
  }

  function showCameraTakes(sources) {
    const lines = sources.filter((source) => source.cameraTake).map(({ endpoint, cameraTake }) =>
      `Camera at ${endpoint}: ${cameraTake.recording ? '● recording' : 'not recording'}, slate ${cameraTake.slate || '(none)'}, take ${cameraTake.take || '(none)'}`);
    if (cameraTakes.dataset.lines !== lines.join('\n')) {
      cameraTakes.dataset.lines = lines.join('\n');
      cameraTakes.replaceChildren(...lines.map((line) => h('li', { textContent: line })));
    }
  }

  return {
    update(snapshot) {
      latest = snapshot;
      const take = snapshot.take || {};
      if (document.activeElement !== slate) {
        slate.value = take.slate ?? '';
      }
      if (document.activeElement !== takeNumber) {
        takeNumber.value = take.takeNumber ?? '';
      }
      const active = Boolean(take.recording || take.countingDown);
      setText(state, take.countingDown ? `Counting down ${fixed(take.countdownSecondsLeft, 1)} s`
        : take.recording ? '● Recording' : 'Not recording');
      state.classList.toggle('recording', Boolean(take.recording));
      // The recorder records on when its sources go quiet or are removed, as the editor's does: say so beside it.
      const receiving = (snapshot.sources || []).some((source) => source.status.startsWith('Receiving'));
      setText(noSource, take.recording && !receiving ? 'Recording, but no source is receiving datagrams.' : '');
      state.classList.toggle('counting-down', Boolean(take.countingDown));
      setText(panelButton, take.panelOpen ? 'Close Take Recorder panel' : 'Open Take Recorder panel');
      setText(panelHint, take.panelOpen ? '' : 'The panel is closed: a source\'s Auto Scene/Take and Auto Record reach the Take Recorder only while it is open.');
      setText(refusal, take.refusal || '');
      start.disabled = active;
      stop.disabled = !active;
      setText(lastError, take.lastError ? `Last error: ${take.lastError}` : '');
      showTakes(snapshot.takes || [], snapshot.sources || []);
      showCameraTakes(snapshot.sources || []);
    },
  };
}
