// The index with its synonyms: search as you type, keys, opening an entry.

import { C, $, el, atlas, state } from './common';
import { artUrl } from './files';
import { run } from './requests';
import { drawPanel } from './panel';

let indexNames: string[] = [];
let selected = -1;

export function buildIndex() {
  indexNames = atlas.indexNames();
  const list = $('names');
  const frag = document.createDocumentFragment();
  indexNames.forEach((name, i) => {
    const li = el('li', { role: 'option', id: 'name-' + i, 'aria-selected': 'false' }, name);
    li.dataset.index = String(i);
    frag.append(li);
  });
  list.append(frag);
  const syn = $('synonyms');
  for (const [word, name] of atlas.synonyms()) {
    const li = el('li');
    const b = el('button', { type: 'button' }, word + ' → ' + name);
    b.addEventListener('click', () => {
      const i = indexNames.indexOf(name);
      if (i >= 0) { selectIndex(i, true); openIndexEntry(); }
    });
    li.append(b);
    syn.append(li);
  }
}

export function selectIndex(i: number, announce: boolean) {
  const list = $('names');
  if (selected >= 0) list.children[selected]?.setAttribute('aria-selected', 'false');
  selected = i;
  if (i < 0) { list.removeAttribute('aria-activedescendant'); return; }
  const li = list.children[i] as HTMLElement | undefined;
  if (!li) return;
  li.setAttribute('aria-selected', 'true');
  list.setAttribute('aria-activedescendant', li.id);
  $('search').setAttribute('aria-activedescendant', li.id);
  requestAnimationFrame(scrollToSelected);  // after the paint: no layout in the middle of a request
  if (announce) run(atlas.request(C.announce, indexNames[i]));
}

function scrollToSelected() {
  const list = $('names');
  const li = list.children[selected] as HTMLElement | undefined;
  if (!li || $('index').hidden) return;
  const top = li.offsetTop - list.offsetTop, bottom = top + li.offsetHeight;
  if (top < list.scrollTop) list.scrollTop = top;
  else if (bottom > list.scrollTop + list.clientHeight) list.scrollTop = bottom - list.clientHeight;
}

function openIndexEntry() {
  if (selected < 0) return;
  state.structure = indexNames[selected];
  run(atlas.request(C.indexOpen, indexNames[selected]));
}

export function showIndex(on: boolean) {
  $('nav').hidden = on;
  $('index').hidden = !on;
  const b = $('toggle');
  (b.querySelector('img') as HTMLImageElement).src = artUrl(on ? 'BILD_UP' : 'IDX_UP');
  b.setAttribute('aria-pressed', String(on));
  if (on) {
    $('search').focus();
    scrollToSelected();
    if (selected >= 0) run(atlas.request(C.announce, indexNames[selected]));
  } else {
    drawPanel();
    const p = atlas.navPicture();
    if (p.selected >= 0) run(atlas.request(C.announce, p.planes[p.selected]));
  }
}

export function bindIndex() {
  const search = $<HTMLInputElement>('search');
  search.addEventListener('input', () => {
    // Capitals as the desktop's upper-case field makes them: letter by letter, ß stays.
    const upper = [...search.value].map((c) => (c === 'ß' ? c : c.toUpperCase())).join('');
    if (upper !== search.value) {
      const at = search.selectionStart;
      search.value = upper;
      if (at !== null) search.setSelectionRange(at, at);
    }
    const i = atlas.search(search.value);
    if (i >= 0) selectIndex(i, true);
  });
  const keys: Record<string, number> = { ArrowUp: C.up, ArrowDown: C.down, Home: C.home, End: C.end,
    PageUp: C.pageUp, PageDown: C.pageDown };
  const indexKeys = (e: KeyboardEvent) => {
    if (e.key === 'Enter') { e.preventDefault(); openIndexEntry(); return; }
    const command = keys[e.key];
    if (!command || (e.target === search && (e.key === 'Home' || e.key === 'End'))) return;
    e.preventDefault();
    const i = atlas.moveSelection(command, selected);
    if (i >= 0) selectIndex(i, true);
  };
  search.addEventListener('keydown', indexKeys);
  $('names').addEventListener('keydown', indexKeys);
  $('names').addEventListener('click', (e) => {
    const li = (e.target as HTMLElement).closest('li');
    if (!li) return;
    selectIndex(Number(li.dataset.index), true);
    openIndexEntry();
  });
  $('index').addEventListener('contextmenu', (e) => { e.preventDefault(); showIndex(false); });
}
