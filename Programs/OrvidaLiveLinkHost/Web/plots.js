// One source's stream over the last seconds, marked with the source's colour: where its camera is, how its datagrams arrive, how full its ring is
// and how fast its trouble counters grow. The host sends totals; rates are worked out here from the snapshots'
// differences, started over when a counter goes back (the source was replaced) or another source is chosen.
import uPlot from 'uplot';

const WindowSeconds = 10;
// The event stream sends at most 30 snapshots a second.
const MaxPoints = 30 * WindowSeconds;
// Counter rates are taken over about a second: per snapshot they would read as spikes of 30/s.
const RateSeconds = 1;
const Height = 150;
// The health counters whose growth is plotted. Samples the ring decimated (the engine ticks slower than the stream,
// one sample a tick is played) are by design and get a plot of their own; those it dropped otherwise are trouble.
const Counters = ['unparsed', 'withoutCamera', 'foreignKeys', 'timecodeGaps', 'timecodeRepeats', 'underruns', 'dropped', 'decimated'];
const TroubleLabels = {
  unparsed: 'unparsed',
  withoutCamera: 'without camera',
  foreignKeys: 'foreign keys',
  timecodeGaps: 'timecode gaps (lost on the way)',
  timecodeRepeats: 'timecode repeats',
  underruns: 'underruns',
  dropped: 'dropped in the ring (lost)',
};
const Colors = ['#e04040', '#40c040', '#4080ff', '#d29922', '#c060e0', '#40c0c0', '#d8d8d8'];

/** Each plot: its series as [label, value of a sample or null]; a sample is { frame, health, rates }. */
const Plots = [
  { id: 'position', title: 'Position (cm)', series: ['x', 'y', 'z'].map((axis, i) => [axis, (s) => s.frame?.location[i] ?? null]) },
  { id: 'rotation', title: 'Rotation (degrees)', series: ['pitch', 'yaw', 'roll'].map((angle, i) => [angle, (s) => s.frame?.pitchYawRoll[i] ?? null]) },
  {
    id: 'timing',
    title: 'Arrival (ms)',
    series: [
      ['interarrival (the last two datagrams)', (s) => (s.health.interarrivalMilliseconds >= 0 ? s.health.interarrivalMilliseconds : null)],
      ['jitter', (s) => s.health.jitterMilliseconds],
      ['in the source (arrival to publish)', (s) => (s.health.latencyMilliseconds >= 0 ? s.health.latencyMilliseconds : null)],
    ],
  },
  { id: 'ring', title: 'Ring fill (samples)', range: (s) => [0, s.health.ringCapacity], series: [['in ring', (s) => s.health.ringCount]] },
  {
    id: 'messages',
    title: 'Messages per second',
    series: [['received per s', (s) => s.health.receivedPerSecond], ['expected (the camera\'s rate)', (s) => s.health.expectedPerSecond || null]],
  },
  { id: 'counters', title: 'Trouble per second', series: Object.entries(TroubleLabels).map(([name, label]) => [label, (s) => s.rates?.[name] ?? null]) },
  {
    id: 'decimation',
    title: 'By design per second',
    series: [['decimated (the engine ticks slower than the stream)', (s) => s.rates?.decimated ?? null]],
  },
];

/** The growth per second of every counter since the oldest entry of the last second, or null while there is none. */
class CounterRates {
  constructor() {
    this.history = [];
  }

  reset() {
    this.history = [];
  }

  add(time, health) {
    const previous = this.history[this.history.length - 1];
    if (previous && Counters.some((name) => health[name] < previous.health[name])) {
      this.history = [];
    }
    this.history.push({ time, health });
    while (this.history.length > 2 && time - this.history[1].time >= RateSeconds) {
      this.history.shift();
    }
    const base = this.history[0];
    if (time - base.time <= 0) {
      return null;
    }
    return Object.fromEntries(Counters.map((name) => [name, (health[name] - base.health[name]) / (time - base.time)]));
  }
}

// The y axis as wide as its longest label (uPlot's fixed 50 px cut "-1234.5" short): tick length, gap and text,
// measured in the axis's own font.
function axisWidth(plot, values, axisIndex, cycle) {
  const axis = plot.axes[axisIndex];
  if (cycle > 1) {
    return axis._size;
  }
  const longest = (values || []).reduce((wide, value) => (String(value).length > wide.length ? String(value) : wide), '');
  plot.ctx.font = axis.font[0];
  return Math.ceil(axis.ticks.size + axis.gap + plot.ctx.measureText(longest).width / devicePixelRatio) + 4;
}

function makePlot(container, plotDefinition) {
  let capacity = 0;
  const options = {
    title: plotDefinition.title,
    width: Math.max(container.clientWidth, 200),
    height: Height,
    scales: { x: { time: true }, y: plotDefinition.range ? { range: () => [0, capacity] } : {} },
    // The time axis in one line of clock time: uPlot's default adds a date line that the panel's width clips.
    axes: [0, 1].map((index) => ({ stroke: '#8c8c8c', grid: { stroke: '#333' }, ticks: { stroke: '#333' },
      ...(index ? { size: axisWidth } : { values: (plot, splits) => splits.map((t) => new Date(t * 1000).toTimeString().slice(0, 8)) }) })),
    legend: { live: false },
    series: [{}, ...plotDefinition.series.map(([label], i) => ({ label, stroke: Colors[i], width: 1.5 }))],
  };
  const plot = new uPlot(options, [[], ...plotDefinition.series.map(() => [])], container);
  return {
    show(samples) {
      const columns = [samples.map((s) => s.time), ...plotDefinition.series.map(([, value]) => samples.map(value))];
      if (plotDefinition.range && samples.length) {
        capacity = plotDefinition.range(samples[samples.length - 1])[1];
      }
      // What the page shows, for a reader that cannot look at the canvas.
      const last = columns.slice(1).map((column) => column[column.length - 1] ?? null);
      container.dataset.points = samples.length;
      container.dataset.last = JSON.stringify(last);
      // The legend names each series with its latest value, so that the figure is read without hovering.
      const labels = [...container.querySelectorAll('.u-legend .u-series .u-label')].slice(-last.length);
      labels.forEach((label, i) => {
        label.textContent = `${plotDefinition.series[i][0]}: ${last[i] === null ? '-' : last[i].toFixed(1)}`;
      });
      if (container.clientWidth > 0) {
        plot.setData(columns);
      }
    },
    resize() {
      if (container.clientWidth > 0) {
        plot.setSize({ width: container.clientWidth, height: Height });
      }
    },
  };
}

export function mount(element) {
  element.classList.add('plots');
  const header = document.createElement('div');
  header.className = 'plots-header';
  const picker = document.createElement('select');
  picker.title = 'The source whose stream is plotted';
  const note = document.createElement('span');
  note.textContent = 'no source';
  header.append(picker, note);
  const grid = document.createElement('div');
  grid.className = 'plots-grid';
  element.append(header, grid);

  const plots = Plots.map((plotDefinition) => {
    const container = document.createElement('div');
    container.dataset.plot = plotDefinition.id;
    grid.append(container);
    return makePlot(container, plotDefinition);
  });
  let chosen = null;
  let samples = [];
  const rates = new CounterRates();

  function start(guid) {
    chosen = guid;
    samples = [];
    rates.reset();
  }
  picker.addEventListener('change', () => start(picker.value));

  new ResizeObserver(() => {
    plots.forEach((plot) => plot.resize());
    plots.forEach((plot) => plot.show(samples));
  }).observe(grid);

  function updatePicker(sources) {
    const guids = sources.map((source) => source.guid);
    if (picker.dataset.guids !== guids.join()) {
      picker.dataset.guids = guids.join();
      picker.replaceChildren(...sources.map((source) => new Option(`${source.type} ${source.endpoint}`, source.guid)));
    }
    picker.hidden = sources.length < 2;
    picker.value = chosen;
  }

  return {
    update(snapshot) {
      const sources = (snapshot.sources || []).filter((source) => source.health);
      const source = sources.find((candidate) => candidate.guid === chosen) || sources[0];
      if (!source) {
        note.textContent = 'no source';
        return;
      }
      if (source.guid !== chosen) {
        start(source.guid);
      }
      updatePicker(sources);
      note.textContent = `${source.type} ${source.endpoint}: last ${WindowSeconds} s`;
      element.style.setProperty('--source-color', source.color ?? 'transparent');
      const subject = (snapshot.subjects || []).find((candidate) => candidate.source === source.guid && candidate.frame);
      const time = Date.now() / 1000;
      samples.push({ time, frame: subject?.frame ?? null, health: source.health, rates: rates.add(time, source.health) });
      const oldest = samples.findIndex((sample) => sample.time >= time - WindowSeconds);
      samples = samples.slice(Math.max(oldest, samples.length - MaxPoints));
      plots.forEach((plot) => plot.show(samples));
    },
  };
}
