// The stage header, read from across a room: how many sources receive out of all, the worst of their states in
// one large word in its colour, and the engine's tick rate; and the banner that says the host stopped answering,
// which stays in view and takes back every "live" claim the page made.
import { fixed, setText } from './dom.js';

const Severities = ['ok', 'notice', 'warning', 'error'];

/** The source whose state asks most of the operator (the first of them), or null without sources. */
export function worstSource(sources) {
  let worst = null;
  for (const source of sources) {
    const rank = Severities.indexOf(source.state?.severity ?? 'error');
    if (!worst || rank > Severities.indexOf(worst.state?.severity ?? 'error')) {
      worst = source;
    }
  }
  return worst;
}

export function mountStage() {
  const sourcesText = document.getElementById('stage-sources');
  const stateWord = document.getElementById('stage-state');
  const rate = document.getElementById('connection');
  const banner = document.getElementById('banner');
  return {
    show(snapshot) {
      const sources = snapshot.sources || [];
      const receiving = sources.filter((source) => source.status === 'Receiving').length;
      setText(sourcesText, sources.length ? `${receiving} / ${sources.length} receiving` : '');
      const worst = worstSource(sources);
      setText(stateWord, worst ? worst.state?.text ?? worst.status : 'No source');
      stateWord.className = `stage-state ${worst ? worst.state?.severity ?? 'error' : 'notice'}`;
      setText(rate, snapshot.ticksPerSecond > 0 ? `${fixed(snapshot.ticksPerSecond, 0)} ticks/s` : 'ticking');
      rate.className = 'connection live';
      banner.hidden = true;
      document.body.classList.remove('host-lost');
    },
    /** The host has sent nothing for `seconds` (null: never), and `reason` says what the page knows of why. */
    lost(seconds, reason) {
      const age = seconds === null ? 'nothing shown yet' : `all shown here is ${fixed(seconds, 0)} s old`;
      setText(banner, `The host is not answering (${reason}): ${age}. The page will catch up once it answers.`);
      banner.hidden = false;
      document.body.classList.add('host-lost');
      setText(stateWord, 'Host not answering');
      stateWord.className = 'stage-state error';
      setText(rate, 'no ticks');
      for (const dot of document.querySelectorAll('.dot')) {
        dot.title = 'The host is not answering: this state is old';
      }
      rate.className = 'connection lost';
    },
  };
}
