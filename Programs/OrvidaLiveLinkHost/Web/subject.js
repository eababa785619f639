// The camera subject: its source, its role, which properties its static data carries, the frame the client
// evaluated, with a warning when frames stop coming, and what the camera and the Cine Camera it drives show. Every
// source makes a subject of the same name, and the client enables one subject of a name: a selector, by source,
// picks the subject shown (the enabled one until the user picks), and a disabled one can be made the enabled one.
import { fixed, h, setText, vector } from './dom.js';

const SubjectName = 'Orvida - Camera';
// Frames come at 24 to 60 a second; a second without a new one means the stream has stopped. A new frame is
// told by its scene time: the world time of the frame evaluated keeps moving after the stream stops.
const StaleMs = 1000;

const Rows = [
  ['source', 'Source', (subject, source) => (source ? `${source.type} ${source.endpoint}` : subject.source)],
  ['role', 'Role', (subject) => subject.role],
  ['staticData', 'Static data', (subject) => Object.entries(subject.staticData || {}).filter(([, on]) => on).map(([key]) => key).join(', ')],
  ['location', 'Location', (subject) => vector(subject.frame.location, 2)],
  ['rotation', 'Rotation (x y z w)', (subject) => vector(subject.frame.rotation, 4)],
  ['pitchYawRoll', 'Pitch / Yaw / Roll', (subject) => vector(subject.frame.pitchYawRoll, 2)],
  ['scale', 'Scale', (subject) => vector(subject.frame.scale, 3)],
  ['fieldOfView', 'Field of view', (subject) => `${fixed(subject.frame.fieldOfView, 2)}°`],
  ['aspectRatio', 'Aspect ratio', (subject) => fixed(subject.frame.aspectRatio, 4)],
  ['focusDistance', 'Focus distance', (subject) => fixed(subject.frame.focusDistance, 1)],
  ['sceneTime', 'Scene time', (subject) => subject.frame.sceneTime ?? '—'],
  ['worldTime', 'World time', (subject) => fixed(subject.frame.worldTime, 3)],
  // Subject fields, as role and static data are: the cameras show something before the first frame too.
  ['camera', 'Drives', (subject) => (subject.camera ? `Camera ${fixed(subject.camera.fieldOfView, 1)}° horizontal` : '—')],
  ['cineCamera', 'Drives', (subject) => (subject.cineCamera
    ? `Cine Camera ${fixed(subject.cineCamera.focalLength, 1)} mm, ${fixed(subject.cineCamera.fieldOfView, 1)}° horizontal` : '—')],
];

/** The label of a subject's source in the selector. */
function sourceLabel(subject, source) {
  return `${source ? source.endpoint : subject.source}${subject.enabled ? '' : ' (disabled)'}`;
}

export function mount(element, api) {
  const warning = h('p', { className: 'warning', hidden: true });
  const disabled = h('p', { className: 'disabled', hidden: true });
  const enable = h('button', { type: 'button', textContent: 'Use this source\'s camera', hidden: true,
    title: 'Enable this subject; the client then disables the other subjects of its name' });
  const failure = h('p', { className: 'error' });
  const picker = h('select', { className: 'subject-source', title: 'The source whose subject is shown' });
  const values = new Map();
  const table = h('table', { className: 'subject' }, h('tbody', {}, ...Rows.map(([key, label]) => {
    values.set(key, h('td', { className: key }));
    return h('tr', {}, h('th', { textContent: label }), values.get(key));
  })));
  element.append(h('div', { className: 'toolbar' }, h('h2', { textContent: `Subject "${SubjectName}"` }), picker), warning, disabled, enable, failure, table);

  let chosen = null;
  let shown = null;
  picker.addEventListener('change', () => { chosen = picker.value; });
  enable.addEventListener('click', () => shown && api.put(`api/sources/${shown.source}/subject`, { name: SubjectName, enabled: true })
    .then(() => setText(failure, ''), (error) => setText(failure, error.message)));

  function showPicker(named, sources, subject) {
    const options = named.map((candidate) => [candidate.source, sourceLabel(candidate, sources.get(candidate.source))]);
    const key = JSON.stringify(options);
    if (picker.dataset.options !== key) {
      picker.dataset.options = key;
      picker.replaceChildren(...named.map((candidate, index) => {
        const option = new Option(options[index][1], candidate.source);
        option.style.color = sources.get(candidate.source)?.color ?? '';
        return option;
      }));
    }
    picker.hidden = named.length < 2;
    picker.value = subject ? subject.source : '';
    picker.style.color = (subject && sources.get(subject.source)?.color) || '';
  }

  let lastSceneTime = null;
  let changedAt = -Infinity;
  return {
    update(snapshot) {
      const sources = new Map((snapshot.sources || []).map((source) => [source.guid, source]));
      const named = (snapshot.subjects || []).filter((candidate) => candidate.name === SubjectName);
      const subject = named.find((candidate) => candidate.source === chosen) || named.find((candidate) => candidate.enabled) || named[0];
      const source = subject ? sources.get(subject.source) : undefined;
      shown = subject || null;
      showPicker(named, sources, subject);
      values.get('source').style.color = source?.color ?? '';
      const others = named.filter((candidate) => candidate !== subject).length;
      disabled.hidden = others === 0 && !(subject && !subject.enabled);
      enable.hidden = !subject || subject.enabled;
      setText(disabled, subject && !subject.enabled
        ? 'This subject is disabled: the client takes no frames for it (it enables one subject of a name).'
        : (others ? `${others} more subject${others > 1 ? 's' : ''} of this name from other sources, disabled: the client enables one subject of a name.` : ''));
      const now = performance.now();
      if (!subject || !subject.frame) {
        warning.hidden = false;
        setText(warning, subject ? (subject.enabled ? 'No frame has been published yet.' : 'No frame: the subject is disabled.') : 'No subject: no source has made it yet.');
        for (const [key, , format] of Rows) {
          setText(values.get(key), subject && !subject.frame && key in subject ? format(subject, source) : '—');
        }
        return;
      }
      const frame = subject.frame;
      if (frame.sceneTime !== lastSceneTime) {
        lastSceneTime = frame.sceneTime;
        changedAt = now;
      }
      const stale = now - changedAt > StaleMs;
      warning.hidden = !stale;
      setText(warning, stale ? `No new frame for ${fixed((now - changedAt) / 1000, 0)} s: the source has stopped sending.` : '');
      for (const [key, , format] of Rows) {
        setText(values.get(key), format(subject, source));
      }
    },
  };
}
