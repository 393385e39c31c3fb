// The learning record in the browser: kept in IndexedDB, one per atlas (the site's address), in
// the desktop's file format (<user>.LRN: Windows-1252, CR LF), read at start and written after
// every answer; exported as BENUTZER.LRN and merged from such a file; and the window "Lernstand"
// (boxes, due today, most confused with "Zeigen") as the desktop shows it.

import { C, $, el, atlas, message, state } from './common';
import { image, setHighlight, centreOnStructure, draw, showPointed } from './image';
import { run } from './requests';
import { closeMenus } from './menus';

const DATABASE = 'ostrelin';
const STORE = 'lernstand';
const FILE_NAME = 'BENUTZER.LRN';
const MAX_IMPORT = 8 << 20;  // a record of every structure of a large atlas is far smaller
// One record per atlas: the site's address without the page's own file name.
const KEY = location.origin + location.pathname.replace(/[^/]*$/, '');

let database: Promise<IDBDatabase | null> | null = null;
// The record read from the storage: the first paint does not wait for it, everything that uses
// the record does (a write before it would replace what is stored).
let loaded: Promise<void> = Promise.resolve();
let writing: Promise<void> = Promise.resolve();
let pending = 0;
let failureShown = false;

function open(): Promise<IDBDatabase | null> {
  database ??= new Promise((resolve) => {
    try {
      const request = indexedDB.open(DATABASE, 1);
      request.onupgradeneeded = () => request.result.createObjectStore(STORE);
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => resolve(null);
      request.onblocked = () => resolve(null);
    } catch {
      resolve(null);  // no storage in this browser (or this mode of it)
    }
  });
  return database;
}

function transact<T>(db: IDBDatabase, how: IDBTransactionMode, work: (s: IDBObjectStore) => IDBRequest<T>): Promise<T> {
  return new Promise((resolve, reject) => {
    const t = db.transaction(STORE, how);
    const request = work(t.objectStore(STORE));
    t.oncomplete = () => resolve(request.result);
    t.onerror = () => reject(t.error);
    t.onabort = () => reject(t.error);
  });
}

// The record as the browser keeps it, into the cores.
export function loadRecord(): Promise<void> {
  loaded = (async () => {
    const db = await open();
    if (!db) return;
    try {
      const stored = await transact(db, 'readonly', (s) => s.get(KEY));
      if (stored instanceof Uint8Array || stored instanceof ArrayBuffer) atlas.learningLoad(new Uint8Array(stored));
    } catch (error) {
      console.warn(error);
    }
  })();
  return loaded;
}

export function recordLoaded(): Promise<void> { return loaded; }

// Writes the record as it stands now; the writes go one after the other.
export function saveRecord(): Promise<void> {
  const bytes = atlas.learningBytes().slice();  // answers come only once the record is loaded
  // For the browser tests: writes not yet in the storage.
  document.body.dataset.learningPending = String(++pending);
  writing = writing.then(async () => {
    const db = await open();
    try {
      if (!db) throw new Error('no IndexedDB');
      await transact(db, 'readwrite', (s) => s.put(bytes, KEY));
    } catch {
      if (!failureShown) {
        failureShown = true;
        message('Der Lernstand kann in diesem Browser nicht gespeichert werden; er gilt nur bis zum Schlie\u00dfen der Seite.');
      }
    }
    if (--pending === 0) delete document.body.dataset.learningPending;
    else document.body.dataset.learningPending = String(pending);
  });
  return writing;
}

// "Lernstand exportieren": the record as the desktop's file.
export async function exportRecord() {
  closeMenus();
  await loaded;
  const blob = new Blob([atlas.learningBytes().slice()], { type: 'application/octet-stream' });
  const a = el('a', { href: URL.createObjectURL(blob), download: FILE_NAME });
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}

// "Lernstand importieren": a record file merged into this one; per structure the later answer wins.
async function importFile(file: File) {
  if (file.size > MAX_IMPORT) {
    message(`Die Datei ${file.name} ist kein Lernstand: sie ist zu gro\u00df.`);
    return;
  }
  let bytes: Uint8Array;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch {
    message(`Die Datei ${file.name} kann nicht gelesen werden.`);
    return;
  }
  await loaded;
  const result = atlas.learningMerge(bytes);
  if (result.read === 0) {
    message(`Die Datei ${file.name} enth\u00e4lt keinen Lernstand.`);
    return;
  }
  await saveRecord();
  refreshLearning();
  message(`Lernstand importiert: ${result.read} Strukturen gelesen, ${result.merged} \u00fcbernommen.`);
}

// The window "Lernstand".
export async function openLearning() {
  closeMenus();
  await loaded;
  $('learning').hidden = false;
  refreshLearning();
  $('learning-close').focus();
}

export function refreshLearning() {
  if ($('learning').hidden) return;
  const s = atlas.learningState();
  const body = $('learning-counts').querySelector('tbody')!;
  body.replaceChildren();
  for (let row = 0; row <= 5; ++row) {
    const tr = el('tr');
    tr.append(el('th', { scope: 'row' }, row < 5 ? `Fach ${row + 1}` : 'Heute f\u00e4llig'));
    for (const counts of [s.region, s.atlas]) tr.append(el('td', {}, String(row < 5 ? counts.boxes[row] : counts.due)));
    body.append(tr);
  }
  $('learning-confused-head').textContent = s.confused.length ? 'Am h\u00e4ufigsten verwechselt:' : 'Noch keine Verwechslungen.';
  const list = $('learning-confused');
  list.replaceChildren();
  for (const c of s.confused) {
    const li = el('li');
    li.append(el('span', {}, `${c.name}: ${c.wrong}-mal falsch, zuletzt mit ${c.with}`));
    const show = el('button', { type: 'button', 'aria-label': c.name + ' zeigen' }, 'Zeigen');
    show.addEventListener('click', () => showStructure(c.name));
    li.append(show);
    list.append(li);
  }
}

// "Zeigen": outlined at once when it is on the image shown, otherwise on a page found for it.
function showStructure(name: string) {
  if (image.bitmap && !image.loading && atlas.findStructure(name, image.height)) {
    setHighlight(name, 0);
    centreOnStructure(name);
    draw();
    showPointed(name);
    run(atlas.request(C.highlighted, name));
  } else {
    state.structure = name;
    run(atlas.request(C.goToPlace, name));
  }
}

export function bindLearning() {
  $('learning-open').addEventListener('click', openLearning);
  $('learning-close').addEventListener('click', () => { $('learning').hidden = true; });
  $('learning').addEventListener('keydown', (e) => { if (e.key === 'Escape') $('learning').hidden = true; });
  for (const id of ['learning-export', 'learning-export-button']) $(id).addEventListener('click', exportRecord);
  const input = $<HTMLInputElement>('learning-file');
  for (const id of ['learning-import', 'learning-import-button']) {
    $(id).addEventListener('click', () => { closeMenus(); input.value = ''; input.click(); });
  }
  input.addEventListener('change', () => {
    const file = input.files?.[0];
    if (file) importFile(file);
  });
}
