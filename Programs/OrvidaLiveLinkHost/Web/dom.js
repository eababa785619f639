// Small DOM helpers shared by the panels: building elements, and writing text only when it differs, so that
// snapshots arriving 30 times a second touch only what changed.

/**
 * A new element: `props` keys are element properties (className, title, onclick, ...), except `dataset` and
 * `attrs`, which are copied into data-* and attributes; `children` are nodes or strings, null ones skipped.
 */
export function h(tag, props = {}, ...children) {
  const element = document.createElement(tag);
  for (const [key, value] of Object.entries(props)) {
    if (key === 'dataset' || key === 'attrs') {
      for (const [name, text] of Object.entries(value)) {
        if (key === 'dataset') {
          element.dataset[name] = text;
        } else {
          element.setAttribute(name, text);
        }
      }
    } else {
      element[key] = value;
    }
  }
  element.append(...children.filter((child) => child !== null && child !== undefined));
  return element;
}

/** Sets a node's text when it differs from what it shows. */
export function setText(element, text) {
  const wanted = String(text);
  if (element.textContent !== wanted) {
    element.textContent = wanted;
  }
}

/** A number with a fixed count of decimals; an em dash for a missing or non-finite one. */
export function fixed(value, digits) {
  return Number.isFinite(value) ? value.toFixed(digits) : '—';
}

/** Numbers joined with spaces, each with a fixed count of decimals. */
export function vector(values, digits) {
  return Array.isArray(values) ? values.map((value) => fixed(value, digits)).join('  ') : '—';
}
