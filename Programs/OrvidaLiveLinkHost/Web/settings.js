// Project Settings › Plugins › Orvida: the plug-in's properties with their tooltips, checked here as the host
// checks them, and saved together to the project's config. The host's own refusal is shown when it refuses.
import { h, setText } from './dom.js';

const Labels = {
  NetworkServerAddressByDefault: 'Network Server Address By Default',
  NetworkPortIdByDefault: 'Network Port Id By Default',
  bAutoLens: 'Auto Lens',
  bAutoSceneTakeUpdate: 'Auto Scene Take Update',
  bAutoRecord: 'Auto Record',
  SubjectNameByDefault: 'Subject Name By Default',
};

function isAddress(text) {
  const parts = /^(\d{1,3})\.(\d{1,3})\.(\d{1,3})\.(\d{1,3})$/.exec(text);
  return Boolean(parts) && parts.slice(1).every((part) => Number(part) <= 255);
}

/** The host's refusal text for a value, or '' when the host takes it. */
function refusal(key, text) {
  if (key === 'NetworkPortIdByDefault' && !(/^\d{1,5}$/.test(text) && Number(text) <= 65535)) {
    return `${key} takes a port number from 0 to 65535, not "${text}"`;
  }
  if (key === 'NetworkServerAddressByDefault' && !isAddress(text)) {
    return `${key} takes an IPv4 address a.b.c.d, not "${text}"`;
  }
  return '';
}

/** An input for one property, by the type of its value; read() gives what to send. */
function field(setting) {
  if (typeof setting.value === 'boolean') {
    const input = h('input', { type: 'checkbox', id: `setting-${setting.key}` });
    return { input, read: () => input.checked, write: (value) => { input.checked = value; } };
  }
  const input = h('input', { type: 'text', id: `setting-${setting.key}`, spellcheck: false });
  const read = () => (typeof setting.value === 'number' && refusal(setting.key, input.value) === '' ? Number(input.value) : input.value);
  return { input, read, write: (value) => { input.value = String(value); } };
}

export function mount(element, api) {
  const list = h('div', { className: 'settings-list' });
  const save = h('button', { type: 'button', textContent: 'Save' });
  const outcome = h('p', { className: 'outcome' });
  element.append(h('h2', { textContent: 'Project Settings › Plugins › Orvida' }), list, h('div', { className: 'form-row' }, save, outcome));

  const fields = new Map();
  // Until the user edits a field, it follows the host; after, it keeps the user's value until saved.
  let edited = false;

  function show(outcomeText, failed) {
    setText(outcome, outcomeText);
    outcome.classList.toggle('error', failed);
  }

  function validate() {
    let first = '';
    for (const [key, { input, problem }] of fields) {
      const why = input.type === 'checkbox' ? '' : refusal(key, input.value);
      setText(problem, why);
      input.classList.toggle('invalid', why !== '');
      first ||= why;
    }
    return first;
  }

  function build(settings) {
    for (const setting of settings) {
      const made = field(setting);
      const problem = h('span', { className: 'error field-problem' });
      made.input.addEventListener('input', () => { edited = true; validate(); show('', false); });
      made.write(setting.value);
      fields.set(setting.key, { ...made, problem });
      list.append(h('div', { className: 'setting', title: setting.tooltip },
        h('label', { htmlFor: made.input.id, textContent: Labels[setting.key] || setting.key }),
        made.input,
        h('span', { className: 'tooltip', textContent: setting.tooltip }),
        problem));
    }
  }

  save.addEventListener('click', async () => {
    const why = validate();
    if (why) {
      show(`Not saved: ${why}`, true);
      return;
    }
    const body = Object.fromEntries([...fields].map(([key, { read }]) => [key, read()]));
    try {
      await api.put('api/settings', body);
      edited = false;
      show('Saved to Config/DefaultGame.ini', false);
    } catch (error) {
      show(`Not saved: ${error.message}`, true);
    }
  });

  return {
    update(snapshot) {
      const settings = snapshot.settings || [];
      if (fields.size === 0) {
        build(settings);
      }
      if (!edited) {
        for (const setting of settings) {
          fields.get(setting.key)?.write(setting.value);
        }
      }
    },
  };
}
