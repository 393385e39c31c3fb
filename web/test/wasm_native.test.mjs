// The WebAssembly build against the native cores: the same facade calls on the demo tree and on
// the hostile tree must give exactly what webdump (the facade built natively) gives.
//
// Needs: OSTRELIN_BUILD_DIR (default build/) with tools/atlasbau, web/webdump and
// web/write_hostile_tree; OSTRELIN_WASM_DIR (default build-wasm/) with atlas.mjs, ostrelin.mjs
// and ostrelin.wasm (web/wasm/build.sh).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const build = process.env.OSTRELIN_BUILD_DIR ?? path.join(repo, 'build');
const wasmDir = process.env.OSTRELIN_WASM_DIR ?? path.join(repo, 'build-wasm');
const { openAtlas } = await import(pathToFileURL(path.join(wasmDir, 'atlas.mjs')));
const wasmBinary = fs.readFileSync(path.join(wasmDir, 'ostrelin.wasm'));

// Every file of the tree by the key the manifest would give it (first one wins, as sorted).
function filesByKey(atlas, tree) {
  const map = new Map();
  const walk = (rel) => {
    let entries;
    try { entries = fs.readdirSync(path.join(tree, rel), { withFileTypes: true }); } catch { return; }
    for (const e of entries.sort((a, b) => (a.name < b.name ? -1 : 1))) {
      const r = rel ? `${rel}/${e.name}` : e.name;
      if (e.isDirectory()) walk(r);
      else {
        const key = atlas.manifestKey(r);
        if (key && !map.has(key)) map.set(key, r);
      }
    }
  };
  walk('');
  return map;
}

function readRegular(tree, rel) {
  try {
    const full = path.join(tree, rel);
    if (!fs.statSync(full).isFile()) return null;
    return fs.readFileSync(full);
  } catch { return null; }
}

// The overlay cut to what is drawn, put back at its place in a width x height overlay: it must
// give paint()'s pixels, and its rectangle must be tight (a set pixel on each of its four edges).
function placeDrawn(drawn, width, height) {
  const full = new Uint8ClampedArray(width * height * 4);
  const at = (x, y) => (y * drawn.width + x) * 4 + 3;
  const edges = { top: false, bottom: false, left: false, right: false };
  for (let y = 0; y < drawn.height; ++y) {
    full.set(drawn.rgba.subarray(y * drawn.width * 4, (y + 1) * drawn.width * 4), ((drawn.y + y) * width + drawn.x) * 4);
  }
  for (let x = 0; x < drawn.width; ++x) {
    edges.top ||= drawn.rgba[at(x, 0)] !== 0;
    edges.bottom ||= drawn.rgba[at(x, drawn.height - 1)] !== 0;
  }
  for (let y = 0; y < drawn.height; ++y) {
    edges.left ||= drawn.rgba[at(0, y)] !== 0;
    edges.right ||= drawn.rgba[at(drawn.width - 1, y)] !== 0;
  }
  const tight = drawn.width === 0 ? drawn.rgba.length === 0 : Object.values(edges).every((e) => e);
  assert.ok(tight, `overlay rectangle not tight: ${JSON.stringify({ ...drawn, rgba: drawn.rgba.length, edges })}`);
  return full;
}

function checkDrawn(atlas, names, mode, width, height) {
  assert.deepEqual(fnv(placeDrawn(atlas.paintDrawn(names, mode, width, height), width, height)),
                   fnv(atlas.paint(names, mode, width, height)), `paintDrawn(${names}, ${mode})`);
}

function fnv(bytes) {
  let hash = 2166136261, set = 0;
  for (let i = 0; i < bytes.length; ++i) {
    hash = Math.imul(hash ^ bytes[i], 16777619) >>> 0;
    if (i % 4 === 3 && bytes[i] !== 0) ++set;
  }
  return { bytes: bytes.length, set, hash };
}

// Runs a session in the browser module, recording each call as a webdump line and its result.
async function wasmSession(tree) {
  const atlas = await openAtlas({ wasmBinary, root: '/atlas' });
  const files = filesByKey(atlas, tree);
  const calls = [];
  const results = [];
  const call = (line, result) => {
    calls.push(line.join('\t'));
    results.push(JSON.stringify(result ?? null));
    return result;
  };
  const daten = (name) => files.get(atlas.manifestKey(`Daten\\${name}`)) ?? '';
  const bytesOf = (rel) => (rel ? readRegular(tree, rel) : null) ?? new Uint8Array(0);
  const lists = ['Index.LST', 'Struktur.LST', 'Objekte.LST', 'SYNONYMS.LST'].map(daten);
  call(['lists', ...lists], atlas.loadLists(...lists.map(bytesOf)));
  // The plane lists, which the navigation state opens itself, go into the module's files.
  for (const [key, rel] of files) {
    if (!key.startsWith('DATEN/') || !key.endsWith('.POS')) continue;
    const bytes = readRegular(tree, rel);
    if (bytes) atlas.putFile(rel, bytes);
    const name = path.basename(rel, path.extname(rel));
    call(['pictogram', name, '120', '400'], (atlas.setPictogramSize(name, 120, 400), null));
  }
  const seen = new Set();
  let shown = { page: '', type: -1 };  // the page on screen (panel results do not name it)
  const show = (result) => {
    if (result.page !== undefined) shown = result;
    for (const a of result.actions) {
      if (a.do === 'image' && !seen.has(a.outlineKey)) {
        seen.add(a.outlineKey);
        const rel = files.get(a.outlineKey) ?? '';
        call(['outline', rel], atlas.loadOutline(bytesOf(rel)));
        for (let y = 0; y < 512; y += 37) {
          for (let x = 0; x < 512; x += 41) call(['hit', `${x}`, `${y}`, '512'], atlas.hitTest(x, y, 512));
        }
        const order = call(['steporder'], atlas.stepOrder());
        for (const name of ['', order[1] ?? 'x']) {
          for (const forward of [true, false]) {
            call(['stepfrom', name, forward ? '1' : '0'], atlas.stepFrom(name, forward));
          }
        }
        for (const mode of [0, 1]) {
          call(['paint', '', `${mode}`, '300', '260'], fnv(atlas.paint('', mode, 300, 260)));
          checkDrawn(atlas, '', mode, 300, 260);
        }
      }
      if (a.do === 'highlight' && a.name) {
        call(['find', a.name, '260'], atlas.findStructure(a.name, 260));
        for (const showAll of [false, true]) {
          call(['contextmenu', a.name, showAll ? '1' : '0', '1', '1'], atlas.contextMenu(a.name, showAll, true, true));
        }
        call(['picture', shown.page, `${shown.type}`, a.name, '0', '300', '260', '14'],
             atlas.pictureInfo(shown.page, shown.type, a.name, false, 300, 260, 14));
        call(['paint', a.name, '1', '300', '260'], fnv(atlas.paint(a.name, 1, 300, 260)));
        checkDrawn(atlas, a.name, 0, 300, 260);
      }
      if (a.do === 'text' && !seen.has(a.key)) {
        seen.add(a.key);
        const rel = files.get(a.key);
        const bytes = rel ? readRegular(tree, rel) : null;
        const given = bytes ? rel : a.path;
        call(['text', given], atlas.text(bytes ?? new Uint8Array(0), bytes !== null, given));
      }
    }
    return result;
  };
  show(call(['start'], atlas.start()));
  const names = call(['index'], atlas.indexNames());
  call(['synonyms'], atlas.synonyms());
  for (let c = 9130; c <= 9135; ++c) {
    for (const at of [-1, 0, 5, names.length - 1]) call(['move', `${c}`, `${at}`], atlas.moveSelection(c, at));
  }
  for (const name of names) {
    call(['page', name], atlas.page(name));
    call(['places', name], atlas.pagesOfStructure(name));
    call(['xref', name], atlas.crossReferences(name));
    for (const n of [1, 3]) call(['search', name.slice(0, n).toLowerCase()], atlas.search(name.slice(0, n).toLowerCase()));
    show(call(['request', '9054', name], atlas.request(9054, name)));
    for (const c of [9025, 9026, 9027, 9028]) show(call(['command', `${c}`], atlas.command(c)));
  }
  for (const name of ['Nirgendwo', 'START (CT)', '<script>alert(1)</script>']) {
    show(call(['request', '1274', name], atlas.request(1274, name)));
    call(['search', name], atlas.search(name));
  }
  // History and bookmarks: set two, open one, delete one, go back through the history.
  for (const c of [1174, 1174]) call(['command', `${c}`], atlas.command(c));
  show(call(['command', '1175'], atlas.command(1175)));
  call(['command', '1173'], atlas.command(1173));
  for (const c of [1149, 1150, 1151, 1160]) show(call(['command', `${c}`], atlas.command(c)));
  for (const c of [1304, 1305]) show(call(['command', `${c}`], atlas.command(c)));
  call(['menus'], atlas.menus());
  call(['bookmarks'], atlas.bookmarkText());
  for (const sex of [0, 1]) {
    for (const region of [0, 1, 2, 3, 4]) {
      show(call(['navselect', `${sex}`, `${region}`, ''], atlas.navSelect(sex, region, '')));
      for (const c of [9042, 9042, 9043, 9037]) show(call(['navcommand', `${c}`], atlas.navCommand(c)));
      for (const y of [30, 120, 250]) {
        show(call(['navpick', '60', `${y}`, '160', '420', '1'], atlas.navPick(60, y, 160, 420, true)));
      }
    }
  }
  call(['navpicture'], atlas.navPicture());
  quizSession(atlas, tree, call, files, bytesOf);
  return { calls, results };
}

// The quiz on the head page (or whatever the tree shows), seeded and dated alike on both sides:
// both directions and the alternating one with clicks on a grid, typed names, answers shown, the
// overlay of a wrong answer; a series that opens its planes; the learning record read, merged,
// counted and written.
function quizSession(atlas, tree, call, files, bytesOf) {
  const loadImages = (request) => {
    for (const a of request.actions) {
      if (a.do === 'image') call(['outline', files.get(a.outlineKey) ?? ''], atlas.loadOutline(bytesOf(files.get(a.outlineKey))));
    }
    return request;
  };
  fs.writeFileSync(path.join(tree, 'BENUTZER.LRN'),
                   'Herz # 2 # 2026-03-01 # 1 # 0 # \r\nNucleus caudatus # 1 # 2026-02-01 # 0 # 2 # Putamen\r\nkaputt\r\n');
  call(['learnload', 'BENUTZER.LRN'], atlas.learningLoad(bytesOf('BENUTZER.LRN')) ?? null);
  call(['quizseed', '7'], (atlas.quizSeed(7), null));
  call(['quiztoday', '2026', '3', '2'], (atlas.quizToday(2026, 3, 2), null));
  loadImages(call(['request', '1274', 'Kopf axial 0 mm'], atlas.request(1274, 'Kopf axial 0 mm')));
  for (const [direction, alternate] of [[1, false], [0, false], [1, true]]) {
    let s = call(['quizstart', `${direction}`, alternate ? '1' : '0'], atlas.quizStart(direction, alternate));
    for (let i = 0; i < 14 && s.running; ++i) {
      if (s.nameToStructure) {
        const [x, y] = [40 + (i * 97) % 400, 60 + (i * 61) % 440];
        s = call(['quizclick', `${x}`, `${y}`, '560'], atlas.quizClick(x, y, 560));
        if (i === 5) s = call(['quizchoose', s.name], atlas.quizChoose(s.name));
        call(['paint', s.highlight, '0', '456', '560'], fnv(atlas.paint(s.highlight, 0, 456, 560)));
        checkDrawn(atlas, s.highlight, 0, 456, 560);
      } else {
        const typed = [s.highlight, 'Falsch', s.highlight.toLowerCase() + 'x', 'Herz'][i % 4];
        s = call(['quiztyped', typed], atlas.quizTyped(typed));
      }
      if (i % 4 === 3) call(['quizshow'], atlas.quizShowAnswer());
      s = call(['quiznext'], atlas.quizNext());
    }
    call(['quizstate'], atlas.quizState());
    call(['quizleave'], atlas.quizLeaveFullView());
  }
  let s = call(['quizseries'], atlas.quizSeries());
  for (let i = 0; i < 60 && s.running; ++i) {
    if (s.step === 'openPlane') loadImages(call(['request', '1276', s.plane], atlas.request(1276, s.plane)));
    else if (i % 5 === 0) call(['quizshow'], atlas.quizShowAnswer());
    s = call(['quiznext'], atlas.quizNext());
  }
  call(['learnmerge', 'BENUTZER.LRN'], atlas.learningMerge(bytesOf('BENUTZER.LRN')));
  call(['learnstate'], atlas.learningState());
  call(['learnbytes'], new TextDecoder('windows-1252').decode(atlas.learningBytes()));
}

function nativeResults(tree, calls) {
  const out = execFileSync(path.join(build, 'web/webdump'), [tree], {
    input: calls.join('\n') + '\n', maxBuffer: 1 << 30, encoding: 'utf8',
  });
  return out.split('\n').slice(0, -1);
}

async function compare(tree) {
  const { calls, results } = await wasmSession(tree);
  const native = nativeResults(tree, calls);
  assert.equal(native.length, results.length);
  for (let i = 0; i < results.length; ++i) {
    // Both sides as parsed JSON, so that only the values count, not the writer's spacing.
    assert.deepEqual(JSON.parse(results[i]), JSON.parse(native[i]), `call ${i}: ${calls[i]}`);
  }
  return { calls, results };
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'ostrelin-web-'));
process.on('exit', () => fs.rmSync(work, { recursive: true, force: true }));

test('demo tree: the WebAssembly cores answer as the native ones', async () => {
  const tree = path.join(work, 'demo');
  execFileSync(path.join(build, 'tools/atlasbau'), ['build', tree], { stdio: 'ignore' });
  const { calls, results } = await compare(tree);
  // The session really reached pages, outlines, hits and texts.
  const kinds = new Set(calls.map((c) => c.split('\t')[0]));
  for (const k of ['outline', 'hit', 'text', 'navpick', 'request']) assert.ok(kinds.has(k), k);
  // The quiz asked, judged right and wrong, and went through planes of a series.
  assert.ok(results.some((r, i) => calls[i].startsWith('quizc') && r.includes('"right":true')), 'a right click');
  assert.ok(results.some((r, i) => calls[i].startsWith('quiztyped') && r.includes('"right":false')), 'a wrong name');
  assert.ok(results.filter((r) => r.includes('"step":"openPlane"')).length >= 2, 'a series over planes');
  assert.ok(results.some((r, i) => calls[i].startsWith('hit') && r !== '[]'), 'some hit found a structure');
  assert.ok(results.some((r, i) => calls[i].startsWith('text') && r.includes('"target"')), 'a text with links');
});

test('hostile tree: the WebAssembly cores answer as the native ones', async () => {
  const tree = path.join(work, 'hostile');
  execFileSync(path.join(build, 'web/write_hostile_tree'), [tree]);
  const { calls, results } = await compare(tree);
  assert.ok(calls.length > 100);
  // A text that cannot be read is shown as the atlas's missing-file heading.
  assert.ok(results.some((r, i) => calls[i].startsWith('text') && r.includes('Datei nicht gefunden')));
});
