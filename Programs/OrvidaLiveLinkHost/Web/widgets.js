// A source factory's creation panel drawn from the widget tree the host sends, its inputs wired back to the
// panel's own handlers. The tree is redrawn only when its shape changes; otherwise values are written in place,
// and never into the text box the user is typing in, so focus and caret stay where they are.
import { h, setText } from './dom.js';

function shapeOf(widget) {
  return `${widget.id}:${widget.kind}(${(widget.children || []).map(shapeOf).join(',')})`;
}

function textOf(widget) {
  return widget.kind === 'STextBlock' ? widget.text || '' : (widget.children || []).map(textOf).join('');
}

/**
 * mountWidgets(container, send) -> { show(tree) }. send(widgetId, event, value) delivers one panel event and
 * resolves to the host's answer, or to null when it failed (and said so). show(tree) draws or refreshes the
 * panel. The answer to the user's own commit is written into that text box even though it has focus: it
 * carries the panel's repair of the text, which the user should see at once.
 */
export function mountWidgets(container, send) {
  let shape = '';
  let elements = new Map();
  let view = null;
  // Events sent and not yet answered, by widget: snapshots taken before the host ran them would undo the
  // user's click or text, so they leave those widgets alone.
  const pending = new Map();

  async function deliver(id, event, value, commit = false) {
    pending.set(id, (pending.get(id) || 0) + 1);
    let answer = null;
    try {
      answer = await send(id, event, value);
    } finally {
      pending.set(id, pending.get(id) - 1);
    }
    if (answer && answer.panel && answer.panel.root) {
      view.show(answer.panel.root, commit ? id : null);
    }
  }

  function build(widget, label) {
    switch (widget.kind) {
      case 'STextBlock':
        return h('span', { className: 'widget-text' });
      case 'SEditableTextBox':
        return textBox(widget, label);
      case 'SCheckBox': {
        const box = h('input', { type: 'checkbox', attrs: { 'aria-label': label } });
        box.addEventListener('change', () => deliver(widget.id, 'check-changed', box.checked));
        return box;
      }
      case 'SButton': {
        const button = h('button', { type: 'button', textContent: textOf(widget) });
        button.addEventListener('click', () => deliver(widget.id, 'click'));
        return button;
      }
      default: {
        // Boxes and the panel itself: a row for a horizontal box, a column otherwise. A control is labelled by
        // the text block beside it, as it is on screen.
        const children = widget.children || [];
        const caption = children.find((child) => child.kind === 'STextBlock');
        const box = h('div', { className: widget.kind === 'SHorizontalBox' ? 'widget-row' : 'widget-column' });
        for (const child of children) {
          box.append(place(child, caption ? caption.text : ''));
        }
        return box;
      }
    }
  }

  function textBox(widget, label) {
    const input = h('input', { type: 'text', spellcheck: false, attrs: { 'aria-label': label } });
    let committed = null;
    const commit = () => {
      if (input.value === committed) {
        return;
      }
      committed = input.value;
      deliver(widget.id, 'text-committed', input.value, true);
    };
    input.addEventListener('input', () => {
      committed = null;
      deliver(widget.id, 'text-changed', input.value);
    });
    input.addEventListener('keydown', (event) => event.key === 'Enter' && commit());
    input.addEventListener('blur', commit);
    return input;
  }

  function place(widget, label) {
    const element = build(widget, label);
    element.dataset.widget = widget.id;
    elements.set(widget.id, element);
    return element;
  }

  function refresh(widget, forcedId) {
    const element = elements.get(widget.id);
    const typing = widget.kind === 'SEditableTextBox' && document.activeElement === element;
    const userOwns = widget.id !== forcedId && (pending.get(widget.id) > 0 || typing);
    if (widget.kind === 'SEditableTextBox') {
      if (!userOwns && element.value !== (widget.text || '')) {
        element.value = widget.text || '';
      }
    } else if (widget.kind === 'SCheckBox' && !userOwns) {
      element.checked = Boolean(widget.checked);
    } else if (widget.kind === 'STextBlock' || widget.kind === 'SButton') {
      // A button shows the text blocks inside it as its own label.
      setText(element, textOf(widget));
    }
    if ('disabled' in element) {
      element.disabled = widget.enabled === false;
    }
    if (widget.kind !== 'SButton') {
      for (const child of widget.children || []) {
        refresh(child, forcedId);
      }
    }
  }

  view = {
    show(tree, forcedId = null) {
      const wanted = shapeOf(tree);
      if (wanted !== shape) {
        elements = new Map();
        container.replaceChildren(place(tree, ''));
        shape = wanted;
      }
      refresh(tree, forcedId);
    },
  };
  return view;
}
