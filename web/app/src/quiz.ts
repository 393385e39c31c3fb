// The quiz ("Testat") as a mode of the image window: the cores' QuizSession decides every step
// (which structure, right or wrong, the score, the planes of a series); this module shows the
// question, passes on clicks, taps, typed names and the buttons, and follows the steps as the
// desktop's quiz mode does: ask, open the series' next plane, or end with the result.

import type { QuizState } from './atlas.mjs';
import { C, $, atlas, message } from './common';
import { image, mode, setHighlight, setFullView, centreOnStructure, draw, showPointed, describeImage } from './image';
import { run } from './requests';
import { closePopup } from './popup';
import { closeMenus } from './menus';
import { saveRecord, refreshLearning, recordLoaded } from './learning';

const RUNNING = 'Testat l\u00e4uft';
// What would name the structures during a run: every one outlined or listed, the saved picture's
// name band (the desktop's context menu, which offers them, is closed meanwhile).
const NAMING = ['show-all', 'list-all', 'save'];
const allowNaming = (on: boolean) => { for (const id of NAMING) $<HTMLButtonElement>(id).disabled = !on; };  // what a screen reader hears of the image meanwhile
let quiz: QuizState | null = null;    // the run's last state while it goes on
let opening = false;                  // a plane of the series is being opened: input waits

mode.active = () => quiz !== null;
const ready = () => quiz !== null && !opening;
mode.strip = () => quiz?.strip ?? '';
mode.description = () => RUNNING;
mode.overlayKey = () => {
  const c = quiz?.confusion;
  return c && (c.note || c.chosen.length || c.asked) ? JSON.stringify(c) : '';
};
mode.click = (x, y) => { if (ready() && quiz?.acceptsClicks) answered(atlas.quizClick(x, y, image.height)); };
mode.choose = (name) => { if (ready() && quiz?.acceptsClicks) answered(atlas.quizChoose(name)); };
mode.longPress = () => showAnswer();
// Another page's image outside a series (a page without text keeps the full view): its questions
// are not those asked, and the run ends with its result.
mode.imageLoaded = () => { if (quiz && !opening) setFullView(false); };
mode.leaveFullView = () => {
  if (!quiz) return true;
  const left = atlas.quizLeaveFullView();
  if (!left.leave) return false;  // a plane of the series is being opened
  quiz = null;
  allowNaming(true);
  $('quiz').hidden = true;
  $<HTMLInputElement>('fullview').disabled = false;
  document.body.classList.remove('quiz');
  setHighlight('', 0);
  showPointed('');
  describeImage();
  if (left.message) message(left.message);
  return true;
};

export function bindQuiz() {
  atlas.quizSeed(Date.now() % 0x7fffffff);  // as the desktop seeds its generator with the clock
  const menu = (id: string, start: () => QuizState) => $(id).addEventListener('click', () => {
    closeMenus();
    begin(start);
  });
  menu('quiz-name-structure', () => atlas.quizStart(1, false));
  menu('quiz-structure-name', () => atlas.quizStart(0, false));
  menu('quiz-alternate', () => atlas.quizStart(1, true));
  menu('quiz-series', () => atlas.quizSeries());
  $('quiz-show').addEventListener('click', showAnswer);
  $('quiz-next').addEventListener('click', () => { if (ready()) follow(atlas.quizNext()); });
  $('quiz-end').addEventListener('click', () => setFullView(false));
  $('quiz-form').addEventListener('submit', (e) => {
    e.preventDefault();
    if (ready() && quiz?.acceptsTyped) answered(atlas.quizTyped($<HTMLInputElement>('quiz-answer').value));
  });
}

async function begin(start: () => QuizState) {
  if (quiz) setFullView(false);  // a run going on ends first, with its result
  closePopup();
  await recordLoaded();  // the record orders the questions: due structures first
  const s = start();
  if (!s.running) {
    if (s.message) message(s.message);
    return;
  }
  quiz = s;
  allowNaming(false);
  document.body.classList.add('quiz');
  $('quiz').hidden = false;
  $('quiz-reply').textContent = '';
  setFullView(true);
  $<HTMLInputElement>('fullview').disabled = true;  // "Test beenden" ends the run
  await follow(s);
  // Keys go on where the answer is given: the image (Tab steps, Enter answers) or the name field.
  if (quiz && quiz.nameToStructure) $('viewport').focus();
}

// What the session says comes now: a question, a plane of the series to open, or the end.
// `keepReply`: the reply to the answer before stays (a right answer goes on by itself).
async function follow(s: QuizState, keepReply = false) {
  for (;;) {
    quiz = s;
    if (s.step === 'openPlane') {
      // A page request as from a link: the panel follows and marks the plane; the image it loads
      // is the one the session asks on next.
      opening = true;
      try {
        await run(atlas.request(C.goToPlace, s.plane ?? ''));
      } finally {
        opening = false;
      }
      s = atlas.quizNext();
      continue;
    }
    if (s.step === 'done' || !s.running) {
      if (s.message) message(s.message);
      setFullView(false);
      return;
    }
    if (!keepReply) $('quiz-reply').textContent = '';
    show(s, true);
    return;
  }
}

// Shows the question, the score and the marks; `asked`: a new question (its field emptied).
function show(s: QuizState, asked: boolean) {
  $('quiz-caption').textContent = s.caption;
  const field = $<HTMLOutputElement>('quiz-name'), input = $<HTMLInputElement>('quiz-answer');
  const typing = !s.nameToStructure && !s.name;
  field.textContent = s.name;
  field.hidden = typing;
  input.hidden = !typing;
  $('quiz-check').hidden = !typing;
  if (asked) {
    input.value = '';
    if (typing && document.activeElement !== input && matchMedia('(pointer: fine)').matches) input.focus();
  }
  $('quiz-score').textContent = s.score;
  const highlight = s.highlight;
  setHighlight(highlight, 0);  // the strip keeps the quiz's text
  if (highlight && s.nameToStructure && !s.acceptsClicks) { centreOnStructure(highlight); draw(); }
  showPointed('');
  describeImage();
  performance.mark('ostrelin-quiz-asked', { detail: s.score });
}

function answered(s: QuizState) {
  if (!quiz) return;
  quiz = s;
  if (s.recordChanged) saveRecord();
  refreshLearning();
  if (s.reply) $('quiz-reply').textContent = s.reply.message;
  show(s, false);
  if (s.reply?.right) follow(atlas.quizNext(), true);
}

function showAnswer() {
  if (!ready()) return;
  const s = atlas.quizShowAnswer();
  quiz = s;
  if (s.recordChanged) saveRecord();
  show(s, false);
}
