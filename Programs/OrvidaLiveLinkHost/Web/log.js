// The Output Log: the host's last log lines, newest at the bottom, repeats folded with their count, filtered by
// text and by verbosity. The list is rebuilt only when the log or the filters change, and it follows new lines
// only while the user has not scrolled up.
import { h } from './dom.js';

// From the most severe; filtering for one shows it and everything more severe.
const Verbosities = ['Fatal', 'Error', 'Warning', 'Display', 'Log', 'Verbose', 'VeryVerbose'];

function severity(verbosity) {
  const index = Verbosities.indexOf(verbosity);
  return index < 0 ? Verbosities.indexOf('Log') : index;
}

function timeText(time) {
  const date = new Date(time);
  return Number.isNaN(date.getTime()) ? String(time) : date.toLocaleTimeString([], { hour12: false }) + `.${String(date.getMilliseconds()).padStart(3, '0')}`;
}

export function mount(element) {
  const filter = h('input', { type: 'search', placeholder: 'Filter text', className: 'log-filter', attrs: { 'aria-label': 'Filter text' } });
  const level = h('select', { className: 'log-level', attrs: { 'aria-label': 'Verbosity' } },
    h('option', { value: '', textContent: 'All verbosities' }),
    ...Verbosities.slice(1, 6).map((name) => h('option', { value: name, textContent: `${name} and above` })));
  const lines = h('ol', { className: 'log-lines' });
  element.append(h('div', { className: 'toolbar' }, h('h2', { textContent: 'Output Log' }), filter, level), lines);

  let log = [];
  let shownKey = '';
  function render() {
    const needle = filter.value.trim().toLowerCase();
    const ceiling = level.value ? severity(level.value) : Infinity;
    const key = `${needle}\u0000${level.value}\u0000${log.length}\u0000${JSON.stringify(log[0])}\u0000${JSON.stringify(log[log.length - 1])}`;
    if (key === shownKey) {
      return;
    }
    shownKey = key;
    const following = lines.scrollHeight - lines.scrollTop - lines.clientHeight < 4;
    lines.replaceChildren(...log
      .filter((line) => severity(line.verbosity) <= ceiling)
      .filter((line) => !needle || `${line.category} ${line.verbosity} ${line.text}`.toLowerCase().includes(needle))
      .map((line) => h('li', { className: `verbosity-${line.verbosity}` },
        h('span', { className: 'time', textContent: timeText(line.time) }),
        h('span', { className: 'category', textContent: `${line.category}:` }),
        h('span', { className: 'verbosity', textContent: `${line.verbosity}:` }),
        h('span', { className: 'text', textContent: line.text }),
        line.count > 1 ? h('span', { className: 'count', textContent: `×${line.count}`, title: `${line.count} times in a row` }) : null)));
    if (following) {
      lines.scrollTop = lines.scrollHeight;
    }
  }
  filter.addEventListener('input', render);
  level.addEventListener('change', render);

  return {
    update(snapshot) {
      log = snapshot.log || [];
      render();
    },
  };
}
