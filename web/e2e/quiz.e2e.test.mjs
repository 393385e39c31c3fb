// The quiz and the learning record of the web atlas end to end: the demo atlas exported by
// atlasbau web, served by nginx, driven in Debian's headless chromium. One browser and one page
// for the desktop's size go through the tests in order: the quiz in both directions, a series,
// then the record across a reload, its export read by the desktop's reader and a file the
// desktop wrote imported. The phone's taps come last in a context of their own.
//
// Needs OSTRELIN_BUILD_DIR (default build/) with tools/atlasbau, web/lrntool and the app folder
// (target web_app), and the demo tree (OSTRELIN_DEMO_TREE, default BUILD/demo-atlas).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import AxeBuilder from '@axe-core/playwright';
import { build, serveSite, launch, openPage, settled } from './serve.mjs';

const demoTree = process.env.OSTRELIN_DEMO_TREE ?? path.join(build, 'demo-atlas');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'ostrelin-quiz-'));
fs.chmodSync(work, 0o755);  // nginx's workers run as nobody when root starts it
const lrntool = (args, input) => execFileSync(path.join(build, 'web/lrntool'), args, { input, encoding: 'utf8' });
let server, browser, page;
const HEAD = '#seite=Kopf%20axial%200%20mm&typ=mr';

before(async () => {
  execFileSync(path.join(build, 'tools/atlasbau'), ['web', demoTree, path.join(work, 'demo/site')], { stdio: 'pipe' });
  server = await serveSite(path.join(work, 'demo'));
  browser = await launch();
  const context = await browser.newContext({ viewport: { width: 1440, height: 900 }, acceptDownloads: true });
  page = await openPage(context, server.url);
  page.setDefaultTimeout(10000);
  await page.goto(server.url + 'index.html' + HEAD);
  await settled(page);
});

after(async () => {
  const problems = page?.problems ?? [];
  await browser?.close();
  await server?.stop();
  fs.rmSync(work, { recursive: true, force: true });
  assert.deepEqual(problems, []);
});

const text = async (selector, on = page) => (await on.locator(selector).first().textContent()).trim();
const painted = (on = page) => on.locator('#view').getAttribute('data-painted');
const quizSettled = (on = page) => settled(on);
const waitScore = (re, on = page) => on.waitForFunction(([s, f]) =>
  new RegExp(s, f).test(document.getElementById('quiz-score').textContent), [re.source, re.flags]);

// The image's zoom and offset in the image window, and its box on the screen.
const placing = (on) => on.evaluate(() => {
  const [scale, x, y] = document.getElementById('view').dataset.view.split(' ').map(Number);
  const r = document.getElementById('viewport').getBoundingClientRect();
  return { scale, x: r.left + x, y: r.top + y };
});

// Where the pointer names each structure of the image shown (one name only), in image pixels: a
// grid walked with the mouse before a run, when names are still shown.
async function pointsOfStructures(on = page) {
  const box = await on.locator('#viewport').boundingBox();
  const p = await placing(on);
  const points = new Map();
  for (let gy = 1; gy < 18; ++gy) {
    for (let gx = 1; gx < 18; ++gx) {
      const x = box.x + box.width * gx / 18, y = box.y + box.height * gy / 18;
      await on.mouse.move(x, y);
      const name = await text('#pointed', on);
      if (name && !name.includes(' / ') && !points.has(name)) {
        points.set(name, { x: (x - p.x) / p.scale, y: (y - p.y) / p.scale });
      }
    }
  }
  return points;
}

// A click on the structure `name` wherever the image stands now.
async function clickOn(name, on = page) {
  const p = await placing(on);
  const at = points.get(name);
  await on.mouse.click(p.x + at.x * p.scale, p.y + at.y * p.scale);
}

async function menu(id, on = page) {
  await on.click('summary:text("Abfrage")');
  await on.click('#' + id);
  await quizSettled(on);
}

// Passes questions over until `want` takes the one asked (at most `limit`).
async function askUntil(want, limit = 60) {
  for (let i = 0; i < limit; ++i) {
    const asked = await want();
    if (asked) return asked;
    await page.click('#quiz-next');
    await quizSettled();
  }
  throw new Error('no question as wanted');
}

// Red (a structure chosen) and green (the one asked) pixels of the highlight canvas.
const marks = (on = page) => on.evaluate(() => {
  const c = document.getElementById('highlight');
  if (c.hidden) return { red: 0, green: 0 };
  const rgba = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  let red = 0, green = 0;
  for (let i = 0; i < rgba.length; i += 4) {
    if (rgba[i + 3] !== 255) continue;
    if (rgba[i] === 255 && rgba[i + 1] === 0 && rgba[i + 2] === 0) ++red;
    if (rgba[i] === 0 && rgba[i + 1] === 255 && rgba[i + 2] === 0) ++green;
  }
  return { red, green };
});

async function endRun(on = page) {
  await on.click('#quiz-end');
  await on.waitForFunction(() => document.getElementById('quiz').hidden);
  if (await on.locator('#message').isHidden()) return '';  // nothing asked: no result
  const result = await text('#message-text', on);
  await on.click('#message-ok');
  return result;
}

async function noSeriousViolations(what) {
  const result = await new AxeBuilder({ page }).analyze();
  const serious = result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical');
  assert.deepEqual(serious.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(', ')}`), [], what);
}

let points;

test('Name --> Struktur: a right and a wrong click, the score, red and green, no names shown', async () => {
  points = await pointsOfStructures();
  assert.ok(points.size >= 3, [...points.keys()].join(', '));
  await menu('quiz-name-structure');
  assert.equal(await page.locator('#quiz').isVisible(), true);
  assert.equal(await text('#quiz-caption'), 'Wo befindet sich die folgende Struktur ?');
  assert.equal(await page.locator('#textpanel').isVisible(), false, 'the run has the full view');
  for (const id of ['#show-all', '#list-all', '#save']) assert.equal(await page.locator(id).isDisabled(), true, id);

  const known = async () => { const n = await text('#quiz-name'); return points.has(n) ? n : ''; };
  const right = await askUntil(known);
  // No name under the pointer during a run.
  const other = [...points.keys()].find((n) => n !== right);
  const p = await placing(page);
  await page.mouse.move(p.x + points.get(other).x * p.scale, p.y + points.get(other).y * p.scale);
  assert.equal(await text('#pointed'), '');
  await clickOn(right);
  await waitScore(/^Richtig: 1   Falsch: 0   .*Offen: \d+$/);
  assert.match(await text('#quiz-reply'), /^Ihre Antwort ist richtig !/);
  assert.notEqual(await text('#quiz-name'), right, 'a right answer goes on to the next question');

  // A wrong click: the strip names both, the one clicked outlined red, the one asked green.
  const asked = await askUntil(async () => { const n = await text('#quiz-name'); return points.has(n) ? n : ''; });
  const wrong = [...points.keys()].find((n) => n !== asked);
  await clickOn(wrong);
  await waitScore(/^Richtig: 1   Falsch: 1 /);
  await quizSettled();
  assert.equal(await text('#pointed'), `Gewählt: ${wrong} · Gesucht: ${asked}`);
  assert.match(await text('#quiz-reply'), new RegExp(`^Ihre Antwort ist leider falsch ! Sie haben gewählt:\\s+${wrong}`));
  const m = await marks();
  assert.ok(m.red > 10 && m.green > 10, JSON.stringify(m));
  assert.equal(await page.getAttribute('#viewport', 'aria-label'), 'Testat läuft');
  await noSeriousViolations('the quiz');

  // Keys: Tab steps to a structure without naming it, Enter answers with it.
  await page.click('#quiz-next');
  await quizSettled();
  await page.focus('#viewport');
  await page.keyboard.press('Tab');
  await page.waitForFunction(() => !document.getElementById('view').dataset.painted.endsWith('|'));
  assert.equal(await text('#pointed'), '');
  await page.keyboard.press('Enter');
  await waitScore(/^Richtig: (2   Falsch: 1|1   Falsch: 2) /);

  assert.match(await endRun(), /^Ergebnis: (2 von \d+ richtig, 1|1 von \d+ richtig, 2) falsch, 0 gezeigt$/);
  assert.equal(await page.locator('#textpanel').isVisible(), true);
  assert.equal(await page.locator('#list-all').isDisabled(), false);
  assert.equal((await marks()).red, 0, 'the marks go with the run');
});

// The short form a student may write for a name of the demo atlas, if it has one.
function shortForm(name) {
  for (const [long, short] of [[/^Nucleus /, 'Nucl. '], [/^M\. /, 'Musculus '], [/^A\. /, 'Arteria '],
    [/^N\. /, 'Nervus '], [/^Vena /, 'V. ']]) {
    if (long.test(name)) return name.replace(long, short);
  }
  return '';
}

test('Struktur --> Name: a typed answer with an abbreviation, a wrong one', async () => {
  await menu('quiz-structure-name');
  assert.equal(await text('#quiz-caption'), 'Benennen Sie die gekennzeichnete Struktur ?');
  // The structure to be named is outlined; its name is nowhere on the screen.
  const shownName = async () => (await painted()).split('|')[1];
  const abbreviated = await askUntil(async () => shortForm(await shownName()) ? await shownName() : '');
  assert.equal(await text('#pointed'), '');
  await page.fill('#quiz-answer', shortForm(abbreviated).toLowerCase());
  await page.press('#quiz-answer', 'Enter');
  await waitScore(/^Richtig: 1   Falsch: 0 /);

  await quizSettled();
  const asked = await askUntil(async () => { const n = await shownName(); return n && points.has(n) ? n : ''; });
  const typed = [...points.keys()].find((n) => n !== asked);
  await page.fill('#quiz-answer', typed);
  await page.click('#quiz-check');
  await waitScore(/^Richtig: 1   Falsch: 1 /);
  await quizSettled();
  assert.equal(await text('#pointed'), `Gewählt: ${typed} · Gesucht: ${asked}`);
  const m = await marks();
  assert.ok(m.red > 10 && m.green > 10, JSON.stringify(m));
  // "Zeige Antwort" puts the name in the field.
  await page.click('#quiz-next');
  await quizSettled();
  const next = await shownName();
  await page.click('#quiz-show');
  await page.waitForFunction((n) => document.getElementById('quiz-name').textContent === n, next);
  assert.match(await endRun(), /^Ergebnis: 1 von \d+ richtig, 1 falsch, 1 gezeigt$/);
});

test('Ganze Serie: the planes one after the other, the score across them', async () => {
  await menu('quiz-series');
  const strip = await text('#pointed');
  const [, count, first] = strip.match(/^Ebene 1 von (\d+): (.+)$/) ?? [];
  assert.ok(Number(count) >= 2, strip);
  assert.equal(await text('#page'), first);
  // Started again on its first plane, the series asks that plane too (no image loads for it).
  assert.equal(await endRun(), '');
  await menu('quiz-series');
  assert.equal(await text('#pointed'), strip);
  // On each plane one answer shown (outlined where the cores find it), the rest passed over.
  const showAnswer = async () => {
    const asked = await text('#quiz-name');
    await page.click('#quiz-show');
    await page.waitForFunction((n) => document.getElementById('view').dataset.painted.endsWith('|' + n), asked);
  };
  await showAnswer();
  await waitScore(/Gezeigt: 1 /);
  for (let i = 0; i < 80 && /^Ebene 1 /.test(await text('#pointed')); ++i) {
    await page.click('#quiz-next');
    await quizSettled();
  }
  const second = (await text('#pointed')).match(/^Ebene 2 von \d+: (.+)$/)?.[1];
  assert.ok(second && second !== first, await text('#pointed'));
  assert.equal(await text('#page'), second);
  assert.match(await painted(), /\|$/, 'a new question marks nothing');
  await showAnswer();
  await waitScore(/^Richtig: 0   Falsch: 0   Gezeigt: 2 /);
  assert.match(await endRun(), /^Ergebnis: 0 von \d+ richtig, 0 falsch, 2 gezeigt$/);
});

test('the record survives a reload; its export is what the desktop reads; a desktop file imports', async () => {
  await page.waitForFunction(() => document.body.dataset.learningPending === undefined);
  await menu('learning-open');
  const counts = () => page.locator('#learning-counts tbody td').allTextContents();
  const before = await counts();
  const atlasBoxes = (c) => [0, 1, 2, 3, 4].map((row) => Number(c[row * 2 + 1]));
  assert.ok(atlasBoxes(before).reduce((a, b) => a + b) >= 3, before.join(' '));
  assert.match(await text('#learning-confused-head'), /^Am häufigsten verwechselt:$/);
  await noSeriousViolations('Lernstand');

  await page.reload();
  await settled(page);
  await menu('learning-open');
  assert.deepEqual(await counts(), before);

  // Export: the desktop's reader finds the same boxes in the file's bytes (CR LF every line).
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#learning-export-button')]);
  assert.equal(download.suggestedFilename(), 'BENUTZER.LRN');
  const exported = path.join(work, 'export.LRN');
  fs.copyFileSync(await download.path(), exported);
  const bytes = fs.readFileSync(exported);
  assert.ok(bytes.length > 0 && bytes.toString('latin1').split('\r\n').slice(0, -1).every((l) => !l.includes('\n')));
  assert.ok(bytes.toString('latin1').endsWith('\r\n'));
  const entries = lrntool(['read', exported]).trim().split('\n').map((l) => JSON.parse(l));
  const boxes = [0, 0, 0, 0, 0];
  for (const e of entries) ++boxes[e.box - 1];
  assert.deepEqual(boxes, atlasBoxes(before));

  // A file the desktop wrote: a structure new here (with an umlaut), and one the browser answered
  // later, which stays as it is.
  const desktop = path.join(work, 'desktop', 'BENUTZER.LRN');
  fs.mkdirSync(path.dirname(desktop));
  lrntool(['write', desktop], `Gyrus präcentralis\t0\t2026-01-05\tGyrus postcentralis\n${entries[0].name}\t1\t2001-01-01\n`);
  await page.setInputFiles('#learning-file', desktop);
  await page.waitForFunction(() => !document.getElementById('message').hidden);
  assert.equal(await text('#message-text'), 'Lernstand importiert: 2 Strukturen gelesen, 1 übernommen.');
  await page.click('#message-ok');
  const confused = await page.locator('#learning-confused li span').allTextContents();
  assert.ok(confused.includes('Gyrus präcentralis: 1-mal falsch, zuletzt mit Gyrus postcentralis'), confused.join(' | '));
  await page.waitForFunction(() => document.body.dataset.learningPending === undefined);
  const [again] = await Promise.all([page.waitForEvent('download'), page.click('#learning-export-button')]);
  const merged = fs.readFileSync(await again.path());
  assert.ok(merged.includes(Buffer.from('Gyrus pr\xe4centralis # 1 # 2026-01-05 # 0 # 1 # Gyrus postcentralis\r\n', 'latin1')));
  assert.ok(merged.includes(Buffer.from(bytes.toString('latin1').split('\r\n')[0] + '\r\n', 'latin1')));

  // Not a record: said so, nothing lost.
  const junk = path.join(work, 'junk.LRN');
  fs.writeFileSync(junk, '\x89PNG\r\n\x1a\nnot a record');
  await page.setInputFiles('#learning-file', junk);
  await page.waitForFunction(() => !document.getElementById('message').hidden);
  assert.equal(await text('#message-text'), 'Die Datei junk.LRN enthält keinen Lernstand.');
  await page.click('#message-ok');
  assert.equal((await page.locator('#learning-counts tbody td').allTextContents()).length, 12);
  await page.click('#learning-close');

  // "Zeigen" outlines a structure confused before on the image shown.
  await page.goto(server.url + 'index.html' + HEAD);
  await settled(page);
  await menu('learning-open');
  const lines = await page.locator('#learning-confused li span').allTextContents();
  const line = lines.findIndex((l) => points.has(l.split(':')[0]));
  assert.ok(line >= 0, lines.join(' | '));
  const name = lines[line].split(':')[0];
  await page.locator('#learning-confused li button').nth(line).click();
  await page.waitForFunction((n) => document.getElementById('view').dataset.painted.endsWith('|' + n), name);
  assert.equal(await text('#pointed'), name);
  await page.click('#learning-close');
});

test('phone 390 x 844: a tap answers, a long press shows the answer, no name under the finger', async () => {
  const context = await browser.newContext({ viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true });
  const phone = await openPage(context, server.url);
  phone.setDefaultTimeout(10000);
  await phone.goto(server.url + 'index.html' + HEAD);
  await settled(phone);
  await menu('quiz-name-structure', phone);
  const widths = await phone.evaluate(() => [document.documentElement.scrollWidth, window.innerWidth]);
  assert.ok(widths[0] <= widths[1], `page ${widths[0]} px wide on a ${widths[1]} px screen`);
  const box = await phone.locator('#viewport').boundingBox();
  const centre = { x: box.x + box.width * 0.4, y: box.y + box.height * 0.45 };

  // A long press: the finger stays half a second; the answer is outlined and counted as shown.
  const asked = await text('#quiz-name', phone);
  const cdp = await context.newCDPSession(phone);
  const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points });
  await touch('touchStart', [centre]);
  await phone.waitForTimeout(800);
  await touch('touchEnd', []);
  await waitScore(/^Richtig: 0   Falsch: 0   Gezeigt: 1 /, phone);
  await phone.waitForFunction((n) => document.getElementById('view').dataset.painted.endsWith('|' + n), asked);
  assert.equal(await text('#pointed', phone), '', 'no name under the finger');

  // A tap answers (on a structure: right or wrong, counted once).
  await phone.click('#quiz-next');
  await settled(phone);
  for (let i = 0; i < 12; ++i) {
    const p = await placing(phone);
    const hit = await phone.evaluate(() => document.getElementById('quiz-score').textContent);
    if (!/Richtig: 0   Falsch: 0 /.test(hit)) break;
    await phone.touchscreen.tap(p.x + 150 + i * 12, p.y + 200 + i * 15);
    await settled(phone);
  }
  assert.doesNotMatch(await text('#quiz-score', phone), /^Richtig: 0   Falsch: 0 /);
  assert.doesNotMatch(await text('#pointed', phone), /^[^G]/, 'the strip shows no name, only a confusion');
  await phone.screenshot({ path: path.join(work, 'phone-quiz.png') });
  assert.match(await endRun(phone), /^Ergebnis: /);
  const problems = phone.problems;
  await context.close();
  assert.deepEqual(problems, []);
});
