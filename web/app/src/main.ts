// The web atlas's page: the desktop atlas's windows as DOM and canvas, every decision of the
// atlas taken by the cores (atlas.mjs, the WebAssembly facade). This file only translates
// events into facade calls and applies the actions the facade answers with.
//
// Safe by construction: every text of a tree reaches the page through textContent or an
// attribute, never as markup; links of a text become facade requests, never URLs; files are
// fetched only through the manifest, below atlas/.
import { openAtlas } from './atlas.mjs';
import type { Action, Atlas, ContextEntry, Nav, Panel, Request, Segment } from './atlas.mjs';

interface Manifest {
  files: Record<string, string>;
  unreadable: Record<string, string>;
  planeLists: string[];
  art: Record<string, { file: string; width: number; height: number }>;
}

const C = {
  pageLink: 1274, structureLink: 1275, goToPlace: 1276, history: 9045, indexOpen: 9054,
  announce: 9059, highlighted: 9060, sex: 9036, ok: 9037, head: 9038, arm: 9039, leg: 9040,
  trunk: 9041, upper: 9042, lower: 9043, deleteBookmark: 1173, setBookmark: 1174, help: 1304,
  helpContext: 1305, up: 9130, down: 9131, home: 9132, end: 9133, pageUp: 9134, pageDown: 9135,
};
// Image types as the cores number them, with their button command and their name in addresses.
const TYPES = [
  { label: 'Schnitt', command: 9025, url: 'schnitt', art: 'SCHNITT', tip: 'Zeigt das Schnittbild der Seite' },
  { label: 'MR', command: 9027, url: 'mr', art: 'MR', tip: 'Zeigt das MR-Bild der Seite' },
  { label: 'CT', command: 9026, url: 'ct', art: 'CT', tip: 'Zeigt das CT-Bild der Seite' },
  { label: 'Schema', command: 9028, url: 'schema', art: 'SCHEMA', tip: 'Zeigt die Schemazeichnung der Seite' },
];
const BUTTON_ORDER = [0, 2, 1, 3];  // Schnitt, CT, MR, Schema as the desktop lays them out
const STORAGE = 'ostrelin.lesezeichen:' + location.pathname;
const NOT_FOUND = 'Folgende Datei nicht gefunden';
const PLAYABLE: Record<string, 'audio' | 'video'> = {
  mp3: 'audio', wav: 'audio', ogg: 'audio', oga: 'audio', m4a: 'audio',
  mp4: 'video', m4v: 'video', webm: 'video',
};

const $ = <T extends HTMLElement = HTMLElement>(id: string) => document.getElementById(id) as T;
function el<K extends keyof HTMLElementTagNameMap>(tag: K, props: Partial<Record<string, string>> = {},
                                                   text?: string): HTMLElementTagNameMap[K] {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(props)) if (v !== undefined) e.setAttribute(k, v);
  if (text !== undefined) e.textContent = text;
  return e;
}

let atlas: Atlas;
let manifest: Manifest;
const art = new Map<string, HTMLImageElement>();

// ---------------------------------------------------------------------------------------------
// Files

// Files only below atlas/ of this site: a manifest entry cannot name another origin.
function fileUrl(key: string): string | null {
  const file = Object.prototype.hasOwnProperty.call(manifest.files, key) ? manifest.files[key] : null;
  return typeof file === 'string' && file ? 'atlas/' + file : null;
}

// The tree's files as the last pages used them, kept in memory as bytes (their names carry a
// fingerprint, so a kept file is never stale): a page switch fetches only what is new, all at
// once, and reads a kept file without another trip through the browser's blob store.
const kept = new Map<string, Promise<ArrayBuffer | null>>();
const KEPT_FILES = 48;

function fetchBuffer(key: string): Promise<ArrayBuffer | null> {
  const url = fileUrl(key);
  if (!url) return Promise.resolve(null);
  let bytes = kept.get(url);
  if (bytes) {
    kept.delete(url);
  } else {
    const asked: Promise<ArrayBuffer | null> =
      fetch(url).then((r) => (r.ok ? r.arrayBuffer() : null)).catch(() => null);
    // A failed answer is not kept: the next page that needs the file asks again.
    asked.then((b) => { if (!b && kept.get(url!) === asked) kept.delete(url!); });
    bytes = asked;
  }
  kept.set(url, bytes);
  while (kept.size > KEPT_FILES) kept.delete(kept.keys().next().value as string);
  return bytes;
}

async function fetchBytes(key: string): Promise<Uint8Array | null> {
  const bytes = await fetchBuffer(key);
  return bytes ? new Uint8Array(bytes) : null;
}

// An image of the site decoded (off the page's thread) as the browser's own image: the browser
// keeps it, decoded, in its memory cache while memory allows, so a page shown again draws at
// once. A damaged image gives null.
function decodeImage(url: string): Promise<HTMLImageElement | null> {
  const img = new Image();
  img.decoding = 'async';
  img.src = url;
  return img.decode().then(() => (img.naturalWidth > 0 ? img : null), () => null);
}

// Artwork only from the site's art/ folder, whatever the manifest says.
function artUrl(name: string): string {
  const file = manifest.art[name]?.file ?? '';
  return /^art\/[a-z0-9._-]+$/.test(file) ? file : '';
}

function loadArt(name: string): Promise<HTMLImageElement | null> {
  const known = art.get(name);
  if (known) return Promise.resolve(known);
  const url = artUrl(name);
  if (!url) return Promise.resolve(null);
  const img = new Image();
  img.src = url;
  return img.decode().then(() => { art.set(name, img); return img; }, () => null);
}

// ---------------------------------------------------------------------------------------------
// Messages: the atlas's message boxes, one after the other

const messages: string[] = [];
function message(text: string) {
  messages.push(text);
  if (messages.length === 1) showMessage();
}
function showMessage() {
  const box = $('message');
  if (!messages.length) { box.hidden = true; return; }
  $('message-text').textContent = messages[0];
  box.hidden = false;
  $('message-ok').focus();
}
function closeMessage() {
  messages.shift();
  showMessage();
}

// ---------------------------------------------------------------------------------------------
// The image window

interface View { scale: number; x: number; y: number; }
const image = {
  bitmap: null as HTMLImageElement | null,  // decoded
  width: 0,
  height: 0,
  key: '',
  overlay: false,      // the highlight canvas shows something
  names: '',          // the highlight text ('&' separates several)
  mode: 0,            // 0 outlines, 1 filled
  showAll: false,
  loading: false,     // a new image is being decoded (its outline is read already)
  view: { scale: 1, x: 0, y: 0 } as View,
  fitted: true,
  normalView: true,
  overview: false,
  pointed: '',
};

function viewport() { return $('viewport'); }
const canvas = () => $<HTMLCanvasElement>('view');
// The image window's size as the last layout left it (a resize observer keeps it): reading it
// never forces a layout in the middle of a page switch.
const room = { width: 0, height: 0 };
function measureRoom() {
  const v = viewport();
  room.width = v.clientWidth;
  room.height = v.clientHeight;
}

function fitScale(): number {
  if (!image.width) return 1;
  return Math.min(room.width / image.width, room.height / image.height);
}

function fit() {
  const s = fitScale();
  image.view = { scale: s, x: (room.width - image.width * s) / 2, y: (room.height - image.height * s) / 2 };
  image.fitted = true;
}

function clampView() {
  const w = image.width * image.view.scale, h = image.height * image.view.scale;
  const clamp = (o: number, size: number, space: number) =>
    size <= space ? (space - size) / 2 : Math.min(0, Math.max(space - size, o));
  image.view.x = clamp(image.view.x, w, room.width);
  image.view.y = clamp(image.view.y, h, room.height);
}

// Zooms by factor about (cx, cy) of the image window; the image point there moves to (tx, ty)
// (a pinch whose fingers also moved).
function zoomAt(factor: number, cx: number, cy: number, tx = cx, ty = cy) {
  if (!image.bitmap) return;
  const fitS = fitScale();
  const s = Math.min(Math.max(image.view.scale * factor, fitS * 0.5), Math.max(fitS * 8, 5));
  const ix = (cx - image.view.x) / image.view.scale, iy = (cy - image.view.y) / image.view.scale;
  image.view = { scale: s, x: tx - ix * s, y: ty - iy * s };
  image.fitted = false;
  clampView();
  draw();
}

function zoomCentre(factor: number) {
  zoomAt(factor, room.width / 2, room.height / 2);
}

function pan(dx: number, dy: number) {
  if (!image.bitmap) return;
  image.view.x += dx;
  image.view.y += dy;
  image.fitted = false;
  clampView();
  draw();
}

function centreOn(x: number, y: number) {
  image.view.x = room.width / 2 - x * image.view.scale;
  image.view.y = room.height / 2 - y * image.view.scale;
  image.fitted = false;
  clampView();
}

let applying = false;
let dirty = false;
let firstPaint = false;

// Zoom and pan move the two canvases (the image and its highlight above it, both at the image's
// own size) with a CSS transform: they are painted only when the image or the highlight changes.
function draw() {
  const { scale, x, y } = image.view;
  const transform = `translate(${x}px, ${y}px) scale(${scale})`;
  for (const c of [canvas(), highlightCanvas()]) {
    c.style.transform = transform;
    c.classList.toggle('pixels', scale >= 2);
  }
  canvas().dataset.view = [scale, x, y].map((n) => n.toFixed(3)).join(' ');
  drawOverview();
}

// Gives the canvas the image's size (a canvas keeps its pixels while its size stays).
function sizeCanvas(c: HTMLCanvasElement): boolean {
  if (c.width === image.width && c.height === image.height) return false;
  c.width = image.width;
  c.height = image.height;
  c.style.width = image.width + 'px';
  c.style.height = image.height + 'px';
  return true;
}

let drawnBitmap: HTMLImageElement | null = null;  // what the image canvas shows

function drawNow() {
  // Inside a request the picture is painted once, when its image and highlight are both set.
  if (applying) { dirty = true; return; }
  dirty = false;
  const c = canvas();
  c.hidden = !image.bitmap;
  if (image.bitmap && image.bitmap !== drawnBitmap) {
    const g = c.getContext('2d')!;
    if (!sizeCanvas(c)) g.clearRect(0, 0, c.width, c.height);
    g.drawImage(image.bitmap, 0, 0);
  }
  drawnBitmap = image.bitmap;
  paintOverlay();
  // What is on the screen, for the browser tests: image, highlight, zoom and offset; a mark
  // with the time for the benchmark.
  c.dataset.painted = image.key + '|' + (image.showAll ? '*' : image.names);
  if (image.bitmap) {
    if (!firstPaint) { firstPaint = true; performance.mark('ostrelin-first-paint'); }
    performance.clearMarks('ostrelin-paint');
    performance.mark('ostrelin-paint', { detail: c.dataset.painted });
  }
  draw();
}

function drawOverview() {
  const o = $<HTMLCanvasElement>('overview');
  o.hidden = !image.overview || !image.bitmap;
  if (o.hidden || !image.bitmap) return;
  const size = 160;
  const s = Math.min(size / image.width, size / image.height);
  o.width = Math.round(image.width * s);
  o.height = Math.round(image.height * s);
  const g = o.getContext('2d')!;
  g.drawImage(image.bitmap, 0, 0, o.width, o.height);
  const x = -image.view.x / image.view.scale, y = -image.view.y / image.view.scale;
  g.strokeStyle = '#ff0';
  g.lineWidth = 2;
  g.strokeRect(x * s, y * s, room.width / image.view.scale * s, room.height / image.view.scale * s);
}

const highlightCanvas = () => $<HTMLCanvasElement>('highlight');

// The highlight as the cores paint it, at the image's own resolution, on its own canvas over the
// image: a new highlight never repaints the image.
let overlayOf = '';  // the image and highlight the highlight canvas shows

function paintOverlay() {
  const of = [image.key, image.width, image.showAll ? '*' : image.names, image.showAll ? 0 : image.mode].join('|');
  if (of === overlayOf) return;  // a highlight asked for again
  overlayOf = of;
  const c = highlightCanvas();
  const rgba = image.bitmap && (image.showAll || image.names)
    ? atlas.paint(image.showAll ? '' : image.names, image.showAll ? 0 : image.mode, image.width, image.height)
    : null;
  image.overlay = !!rgba;
  c.hidden = !rgba;
  if (!rgba) return;
  sizeCanvas(c);
  // putImageData replaces every pixel; the module hands over an array of its own.
  c.getContext('2d')!.putImageData(new ImageData(rgba as Uint8ClampedArray<ArrayBuffer>, image.width, image.height), 0, 0);
}

function setHighlight(names: string, mode: number) {
  if (names !== image.names && names) showPointed(names.split('&').map((n) => n.trim()).filter((n) => n).join(' / '));
  image.names = names;
  image.mode = mode;
  image.showAll = false;
  drawNow();
  describeImage();
}

function describeImage() {
  if (applying) { later.add('describe'); return; }
  if (!state.page) return;
  const info = atlas.pictureInfo(state.page, state.type, image.names, image.showAll, 1, 1, 1);
  viewport().setAttribute('aria-label', info.description);
}

function showPointed(names: string) {
  image.pointed = names;
  $('pointed').textContent = names || '\u00a0';
}

function imagePoint(e: { clientX: number; clientY: number }): [number, number] {
  const r = viewport().getBoundingClientRect();
  return [Math.floor((e.clientX - r.left - image.view.x) / image.view.scale),
          Math.floor((e.clientY - r.top - image.view.y) / image.view.scale)];
}

function hitsAt(e: { clientX: number; clientY: number }) {
  if (!image.bitmap || image.loading) return [];
  const [x, y] = imagePoint(e);
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return [];
  return atlas.hitTest(x, y, image.height);
}

function pointerName(e: { clientX: number; clientY: number }) {
  const hits = hitsAt(e);
  showPointed(hits.map((h) => h.name).join(' / '));
  viewport().classList.toggle('over', hits.length > 0);
}

// A click or tap on the image: one structure is highlighted, several are offered as a choice.
function clickAt(e: { clientX: number; clientY: number }) {
  closePopup();
  if (!image.bitmap) return;
  const hits = hitsAt(e);
  showPointed(hits.map((h) => h.name).join(' / '));
  if (hits.length === 0) {
    setHighlight('', 0);
    run(atlas.request(C.highlighted, ''));
  } else if (hits.length === 1) {
    chooseStructure(hits[0].name);
  } else {
    const r = viewport().getBoundingClientRect();
    openList('Mögliche (überlappende) Strukturen', hits.map((h) => h.name), chooseStructure,
             e.clientX - r.left, e.clientY - r.top);
  }
}

function chooseStructure(name: string) {
  closePopup();
  setHighlight(name, 0);
  run(atlas.request(C.highlighted, name));
}

function showAllMarkable() {
  closePopup();
  if (!image.bitmap) return;
  image.showAll = true;
  image.mode = 0;
  drawNow();
  describeImage();
}

function markableNames(): string[] {
  const names = new Set(outlineNames);
  return [...names].filter((n) => n).sort((a, b) => a.localeCompare(b, 'de'));
}
let outlineNames: string[] = [];

function listMarkable() {
  const names = markableNames();
  if (!names.length) return;
  openList('Markierbare Strukturen', names, (name) => {
    setHighlight(name, 0);
    centreOnStructure(name);
    draw();
    run(atlas.request(C.highlighted, name));
  });
}

function centreOnStructure(name: string) {
  const found = atlas.findStructure(name, image.height);
  if (found?.centre) centreOn(found.centre[0], found.centre[1]);
}

function setFullView(on: boolean) {
  image.normalView = !on;
  document.body.classList.toggle('fullview', on);
  $<HTMLInputElement>('fullview').checked = on;
  requestAnimationFrame(() => { measureRoom(); if (image.fitted) fit(); clampView(); draw(); });
}

// The image decoded and its outline file read, both started as soon as a request names them.
const prepared = new Map<string, { picture: Promise<HTMLImageElement | null>; outline: Promise<Uint8Array | null> }>();

function prepareImage(action: Action) {
  const url = fileUrl(action.key);
  if (prepared.has(action.key) || !url) return;
  prepared.set(action.key, { picture: decodeImage(url), outline: fetchBytes(action.outlineKey) });
}

async function loadImage(action: Action) {
  image.key = action.key;
  let bitmap: HTMLImageElement | null = null, outline: Uint8Array | null = null;
  const messages: string[] = [];
  let ready: { picture: Promise<HTMLImageElement | null>; outline: Promise<Uint8Array | null> } | undefined;
  if (!fileUrl(action.key)) {
    const why = manifest.unreadable[action.key];
    messages.push(why ?? NOT_FOUND + ' ' + action.path);
  } else {
    prepareImage(action);
    ready = prepared.get(action.key)!;
    prepared.delete(action.key);
    // The outline file is read while the image still decodes; the pointer names nothing until
    // the new image is shown.
    image.loading = true;
    outline = await ready.outline;
  }
  const o = atlas.loadOutline(outline ?? new Uint8Array(0));
  outlineNames = o.structures.map((s) => s.name);
  if (ready) {
    bitmap = await ready.picture;
    image.loading = false;
    if (!bitmap) messages.push('Das Bild kann nicht angezeigt werden: ' + action.path);
  }
  for (const m of [...messages, ...o.messages]) message(m);
  image.bitmap = bitmap;
  image.width = bitmap?.naturalWidth ?? 0;
  image.height = bitmap?.naturalHeight ?? 0;
  image.names = '';
  image.showAll = false;
  overlayOf = '';
  closePopup();
  fit();
  drawNow();
}

// ---------------------------------------------------------------------------------------------
// Requests: the facade answers with actions, applied in order

const state = {
  page: '',
  type: -1,
  buttons: [false, false, false, false],
  ticket: 0,
  fromAddress: false,    // the request came from the address (deep link, Back, Forward)
  structure: '',         // the structure being resolved (found-on list caption)
  textVisible: true,
};
let queue: Promise<void> = Promise.resolve();
let pendingText: Action | null = null;
const later = new Set<string>();
let laterSelect = -1;
let pending = 0;

function run(request: Request, options: { fromAddress?: boolean } = {}): Promise<void> {
  const ticket = ++state.ticket;
  // Every file the request needs is asked for at once, while the browser still finishes the
  // event that brought the request: the image decodes meanwhile.
  for (const a of request.actions) {
    if (a.do === 'image') prepareImage(a);
    if (a.do === 'text') fetchBuffer(a.key);
  }
  const atlasBox = $('atlas');
  atlasBox.dataset.busy = String(++pending);
  queue = queue.then(() => apply(request, ticket, options.fromAddress ?? false))
    .catch((error) => { console.warn(error); })
    .finally(() => {
      // Idle again: the browser tests wait for this.
      if (--pending === 0) delete atlasBox.dataset.busy;
      else atlasBox.dataset.busy = String(pending);
    });
  return queue;
}

async function apply(request: Request, ticket: number, fromAddress: boolean) {
  state.fromAddress = fromAddress;
  // A text shown twice is laid out once.
  const lastText = request.actions.map((a) => a.do).lastIndexOf('text');
  applying = true;
  try {
    for (const [i, a] of request.actions.entries()) {
      if (a.do === 'text' && i !== lastText) continue;
      await act(a);
    }
  } finally {
    applying = false;
  }
  if (dirty) drawNow();
  // The address, the title and the image's description once the picture is painted.
  if (later.has('page')) showsPage(state.page, state.type);
  else if (later.has('describe')) describeImage();
  if (later.has('panel')) schedulePanel();
  if (later.has('select')) selectIndex(laterSelect, false);
  if (later.has('menus')) updateMenus();
  later.clear();
  // The text after the image and its outline are on the screen.
  if (pendingText) {
    const text = pendingText;
    pendingText = null;
    await showText(text);
  }
  // A page without images of its own keeps the image shown; it is the current page all the same.
  if (request.page && (request.page !== state.page || request.type !== state.type)) {
    showsPage(request.page, request.type);
  }
  state.buttons = request.buttons;
  if (request.type >= -1) state.type = request.type;
  updateTypeButtons();
  $('atlas').dataset.ready = String(ticket);
}

async function act(a: Action) {
  switch (a.do) {
    case 'closeLists': closePopup(); break;
    case 'leaveFullView': if (!image.normalView) setFullView(false); break;
    case 'image': await loadImage(a); break;
    case 'showsPage': state.page = a.page; state.type = a.type; later.add('page'); break;
    case 'highlight': {
      if (!image.bitmap) { image.names = a.name; break; }
      setHighlight(a.name, a.mode);
      const found = a.name ? atlas.findStructure(a.name, image.height) : null;
      if (a.centre && found?.centre) { centreOn(found.centre[0], found.centre[1]); draw(); }
      if (found && !a.name.includes('&')) {
        const r = atlas.request(C.highlighted, a.name);
        for (const b of r.actions) await act(b);
      }
      break;
    }
    case 'clearHighlight': setHighlight('', image.mode); break;
    case 'foundOn':
      openList(state.structure ? state.structure + ' gefunden auf' : 'Gefunden auf', a.places, (place) => {
        run(atlas.request(C.goToPlace, place));
      });
      break;
    case 'text': pendingText = a; break;
    // The panel, the index and the menus follow once the image is on the screen.
    case 'navigation':
    case 'markShown': later.add('panel'); break;
    case 'select': laterSelect = a.index; later.add('select'); break;
    case 'menus': later.add('menus'); break;
    case 'message': message(a.text); break;
    default: break;
  }
}

function showsPage(page: string, type: number) {
  state.page = page;
  state.type = type;
  document.title = page ? page + ' – Ostrelin' : 'Ostrelin';
  $('page').textContent = page;
  const address = addressOf(page, type);
  if (location.hash !== address) {
    if (state.fromAddress || !history.state) history.replaceState({ n: depth }, '', address);
    else history.pushState({ n: ++depth }, '', address);
  }
  lastAddress = location.hash;
  $<HTMLButtonElement>('back').disabled = !(history.state && history.state.n > 0);
  describeImage();
}

function updateTypeButtons() {
  for (let t = 0; t < 4; ++t) {
    const b = $<HTMLButtonElement>('type-' + t);
    const enabled = !!state.buttons[t];
    b.disabled = !enabled;
    b.setAttribute('aria-pressed', String(state.type === t));
    const img = b.querySelector('img')!;
    img.src = artUrl(TYPES[t].art + (!enabled ? '_DISABLED' : state.type === t ? '_DOWN' : '_UP'));
  }
}

// ---------------------------------------------------------------------------------------------
// The text panel

let lastText: { action: Action; text: ReturnType<Atlas['text']> } | null = null;

async function showText(a: Action) {
  const bytes = await fetchBytes(a.key);
  const text = atlas.text(bytes ?? new Uint8Array(0), bytes !== null, a.path);
  if (a.appendName && text.paragraphs.length) {
    text.paragraphs[0].segments.push({ kind: 4, shown: ' ' + a.name });
  }
  lastText = { action: a, text };
  renderText();
}

function renderText() {
  const panel = $('text');
  panel.replaceChildren();
  $('media').replaceChildren();
  if (!lastText || !state.textVisible || lastText.action.visible === false) return;
  for (const paragraph of lastText.text.paragraphs) {
    const p = el(paragraph.heading ? 'h2' : 'p');
    let link: HTMLElement | null = null, linkKey = '';
    for (const s of paragraph.segments) {
      const key = s.target !== undefined ? s.kind + '\u0000' + s.target : '';
      if (link && key && key === linkKey) { link.append(s.shown); continue; }
      link = null;
      linkKey = '';
      if (s.target !== undefined && (s.kind === 2 || s.kind === 3 || s.kind === 6)) {
        link = textLink(s);
        linkKey = key;
        p.append(link);
      } else if (s.kind === 5) {
        p.append(el('strong', {}, s.shown));
      } else if (s.kind === 1 && !paragraph.heading) {
        p.append(el('span', { class: 'heading' }, s.shown));
      } else {
        p.append(s.shown);
      }
    }
    panel.append(p);
  }
}

function textLink(s: Segment): HTMLElement {
  const target = s.target!;
  const kind = s.kind === 2 ? 'page' : s.kind === 3 ? 'structure' : 'media';
  const b = el('button', { type: 'button', class: 'link ' + kind }, s.shown);
  b.dataset.target = target;
  b.addEventListener('click', () => {
    if (s.kind === 2) run(atlas.request(C.pageLink, target));
    else if (s.kind === 3) { state.structure = target; run(atlas.request(C.structureLink, target)); }
    else openMedia(s.media ?? '', target);
  });
  return b;
}

function openMedia(key: string, name: string) {
  const box = $('media');
  box.replaceChildren();
  const url = fileUrl(key);
  if (!url) { message(NOT_FOUND + ' ' + name); return; }
  const ext = url.slice(url.lastIndexOf('.') + 1).toLowerCase();
  const kind = PLAYABLE[ext];
  const close = el('button', { type: 'button', class: 'close' }, 'Schließen');
  close.addEventListener('click', () => box.replaceChildren());
  box.append(el('h2', {}, name));
  if (kind) {
    const player = el(kind, { controls: '', src: url, 'aria-label': name });
    (player as HTMLMediaElement).autoplay = true;
    box.append(player);
  } else {
    box.append(el('p', {}, 'Diese Datei kann der Browser nicht abspielen. '),
               el('a', { href: url, download: name.replace(/[\\/]/g, '_') }, 'Herunterladen: ' + name));
  }
  box.append(close);
  box.scrollIntoView({ block: 'nearest' });
}

// ---------------------------------------------------------------------------------------------
// Lists: overlap choice, markable structures, found-on places, context menu

function closePopup() {
  const p = $('popup');
  if (!p.hidden) { p.hidden = true; p.replaceChildren(); }
}

function placePopup(x?: number, y?: number) {
  const p = $('popup');
  p.hidden = false;
  const v = viewport();
  if (x === undefined || y === undefined) { x = 10; y = 10; }
  const w = p.offsetWidth, h = p.offsetHeight;
  p.style.left = Math.max(0, Math.min(x, v.clientWidth - w - 4)) + 'px';
  p.style.top = Math.max(0, Math.min(y, v.clientHeight - h - 4)) + 'px';
  (p.querySelector('button') as HTMLElement | null)?.focus();
}

function openList(title: string, items: string[], choose: (item: string) => void, x?: number, y?: number) {
  const p = $('popup');
  p.replaceChildren();
  p.setAttribute('aria-label', title);
  const head = el('div', { class: 'popup-head' });
  head.append(el('h2', {}, title));
  const close = el('button', { type: 'button', class: 'close', 'aria-label': 'Schließen' }, '×');
  close.addEventListener('click', closePopup);
  head.append(close);
  const list = el('ul');
  for (const item of items) {
    const li = el('li');
    const b = el('button', { type: 'button' }, item);
    b.addEventListener('click', () => { closePopup(); choose(item); });
    li.append(b);
    list.append(li);
  }
  p.append(head, list);
  placePopup(x, y);
  list.querySelector('button')?.focus();
}

function openContextMenu(x: number, y: number) {
  const entries = atlas.contextMenu(image.showAll ? '' : image.names, image.showAll, image.normalView,
                                    !!image.bitmap);
  const p = $('popup');
  p.replaceChildren();
  p.setAttribute('aria-label', 'Kontextmenü');
  const list = el('ul', { role: 'menu' });
  for (const e of entries) {
    if (e.command === 0) { list.append(el('li', { role: 'separator' })); continue; }
    const li = el('li', { role: 'none' });
    const b = el('button', { type: 'button', role: 'menuitem' }, e.text);
    b.addEventListener('click', () => { closePopup(); contextCommand(e); });
    li.append(b);
    list.append(li);
  }
  const save = el('li', { role: 'none' });
  const sb = el('button', { type: 'button', role: 'menuitem' }, 'Bild speichern');
  sb.addEventListener('click', () => { closePopup(); savePicture(); });
  save.append(sb);
  list.append(save);
  p.append(list);
  placePopup(x, y);
}

function contextCommand(e: ContextEntry) {
  const c = e.command;
  if (c === 1284) { state.structure = mainName(); run(atlas.request(C.goToPlace, mainName())); }
  else if (c === 1287) run(atlas.command(C.helpContext));
  else if (c >= 1288 && c <= 1296 && e.name) { state.structure = e.name; run(atlas.request(C.goToPlace, e.name)); }
  else if (c === 1285) setFullView(true);
  else if (c === 1286) setFullView(false);
  else if (c === 1297) listMarkable();
  else if (c === 1298) showAllMarkable();
  else if (c === 1299) savePicture();
}

function mainName(): string {
  return image.names.split('&')[0].trim();
}

// ---------------------------------------------------------------------------------------------
// "Bild speichern": the picture at its own size with the highlight and the name band

function savePicture() {
  if (!image.bitmap) return;
  const c = document.createElement('canvas');
  c.width = image.width;
  c.height = image.height;
  const g = c.getContext('2d')!;
  g.drawImage(image.bitmap, 0, 0);
  if (image.overlay) g.drawImage(highlightCanvas(), 0, 0);
  const font = '16px Arial, "Liberation Sans", sans-serif';
  g.font = font;
  const m = g.measureText('Äg');
  const textHeight = Math.ceil(m.fontBoundingBoxAscent + m.fontBoundingBoxDescent) || 19;
  const info = atlas.pictureInfo(state.page, state.type, image.names, image.showAll, c.width, c.height, textHeight);
  if (info.bandText && info.band[2] > 0) {
    g.fillStyle = '#f4f4f0';
    g.fillRect(info.band[0], info.band[1], info.band[2], info.band[3]);
    g.fillStyle = '#000';
    g.textAlign = 'center';
    g.textBaseline = 'middle';
    const [x, y, w, h] = info.textRect;
    let text = info.bandText;
    while (text.length > 1 && g.measureText(text).width > w) text = text.slice(0, -2) + '…';
    g.fillText(text, x + w / 2, y + h / 2, w);
  }
  c.toBlob((blob) => {
    if (!blob) return;
    const a = el('a', { href: URL.createObjectURL(blob), download: info.fileName.replace(/\.[^.]*$/, '') + '.png' });
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 10000);
  }, 'image/png');
}

// ---------------------------------------------------------------------------------------------
// The navigation panel: pictogram with plane lines, region and sex buttons, arrows, OK

let panelSize = { width: 1, height: 1 };
let panelPending = false;

function schedulePanel() {
  if (panelPending) return;
  panelPending = true;
  requestAnimationFrame(() => { panelPending = false; drawPanel(); });
}

async function drawPanel() {
  const panel: Panel = atlas.navPicture();
  const c = $<HTMLCanvasElement>('picto');
  const box = $('picto-box');
  const W = panel.width || 192, H = panel.height || 355;
  const room = box.clientWidth || 200;
  const maxH = Math.max(120, box.clientHeight || 360);
  let cw = room, ch = Math.round(room * H / W);
  if (ch > maxH) { ch = maxH; cw = Math.round(maxH * W / H); }
  const dpr = window.devicePixelRatio || 1;
  c.style.width = cw + 'px';
  c.style.height = ch + 'px';
  c.width = Math.round(cw * dpr);
  c.height = Math.round(ch * dpr);
  panelSize = { width: cw, height: ch };
  const g = c.getContext('2d')!;
  g.fillStyle = '#fff';
  g.fillRect(0, 0, c.width, c.height);
  const picture = panel.pictogram ? await loadArt(panel.pictogram) : null;
  const fresh = atlas.navPicture();
  if (JSON.stringify(fresh) !== JSON.stringify(panel)) return;  // a later paint follows
  g.setTransform(c.width / W, 0, 0, c.height / H, 0, 0);
  if (picture) g.drawImage(picture, 0, 0, W, H);
  g.fillStyle = '#000';
  for (let i = 0; i + 1 < panel.dots.length; i += 2) g.fillRect(panel.dots[i] - 1, panel.dots[i + 1] - 1, 3, 3);
  const line = (l: number[] | null, colour: string) => {
    if (!l) return;
    g.strokeStyle = colour;
    g.lineWidth = 2;
    g.beginPath();
    g.moveTo(l[0], l[1]);
    g.lineTo(l[2], l[3]);
    g.stroke();
  };
  line(panel.shownLine, '#00c000');
  line(panel.selectedLine, '#0000ff');
  const caption = $('caption');
  caption.textContent = panel.caption || '\u00a0';
  caption.classList.toggle('selection', panel.captionIsSelection);
  $('shown-caption').textContent = panel.shownCaption ?? '';
  c.setAttribute('aria-label', 'Ebenen: ' + (panel.caption || 'keine gewählt'));
  const sex = $<HTMLButtonElement>('nav-sex');
  (sex.querySelector('img') as HTMLImageElement).src = artUrl(panel.sex === 1 ? 'MALE_UP' : 'FEMALE_UP');
  sex.setAttribute('aria-label', panel.sex === 1 ? 'Männliche Serie' : 'Weibliche Serie');
  (($('nav-up').querySelector('img')) as HTMLImageElement).src = artUrl(panel.horizontal ? 'UP_UP' : 'LEFT_UP');
  (($('nav-down').querySelector('img')) as HTMLImageElement).src = artUrl(panel.horizontal ? 'DOWN_UP' : 'RIGHT_UP');
}

function navRun(nav: Nav) {
  // The panel's own requests (9059 on a step, 9034 on OK) come back as actions, with the page,
  // its type and the buttons they left.
  drawPanel();
  run({ accepted: true, page: nav.page, type: nav.type, buttons: nav.buttons, actions: nav.actions });
}

// ---------------------------------------------------------------------------------------------
// The index with synonyms

let indexNames: string[] = [];
let selected = -1;

function buildIndex() {
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

function selectIndex(i: number, announce: boolean) {
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

function showIndex(on: boolean) {
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

// ---------------------------------------------------------------------------------------------
// Menus: history and bookmarks as the cores keep them

let storedBookmarks: string | null = null;

function updateMenus() {
  const menus = atlas.menus();
  const fill = (id: string, items: typeof menus.history) => {
    const ul = $(id);
    ul.replaceChildren();
    for (const item of items) {
      const li = el('li', { role: 'none' });
      if (item.id === 0) { li.setAttribute('role', 'separator'); ul.append(li); continue; }
      const b = el('button', { type: 'button', role: 'menuitem' }, item.text);
      b.disabled = !item.enabled;
      b.addEventListener('click', () => {
        closeMenus();
        run(atlas.command(item.id));
      });
      li.append(b);
      ul.append(li);
    }
  };
  fill('history-list', menus.history);
  fill('bookmark-list', menus.bookmarks);
  const bookmarks = atlas.bookmarkText();
  if (bookmarks !== storedBookmarks) {
    storedBookmarks = bookmarks;
    try { localStorage.setItem(STORAGE, bookmarks); } catch { /* storage off: kept for the visit */ }
  }
}

function closeMenus() {
  for (const d of document.querySelectorAll('details.menu')) (d as HTMLDetailsElement).open = false;
}

// ---------------------------------------------------------------------------------------------
// Addresses: #seite=<page>&typ=<type>, #struktur=<name>

let depth = 0;
let lastAddress = '';

function addressOf(page: string, type: number): string {
  return '#seite=' + encodeURIComponent(page) + (type >= 0 ? '&typ=' + TYPES[type].url : '');
}

function parseAddress(hash: string): Record<string, string> {
  const out: Record<string, string> = {};
  for (const part of hash.replace(/^#/, '').split('&')) {
    const at = part.indexOf('=');
    if (at <= 0) continue;
    try { out[part.slice(0, at)] = decodeURIComponent(part.slice(at + 1)); } catch { /* not an address of ours */ }
  }
  return out;
}

async function followAddress(viaHistory: boolean) {
  if (location.hash === lastAddress) return;
  lastAddress = location.hash;
  const a = parseAddress(location.hash);
  if (a.struktur) {
    state.structure = a.struktur;
    await run(atlas.request(C.indexOpen, a.struktur), { fromAddress: true });
    return;
  }
  if (!a.seite) return;
  await run(atlas.request(viaHistory ? C.history : C.pageLink, a.seite), { fromAddress: true });
  const t = TYPES.findIndex((x) => x.url === (a.typ ?? '').toLowerCase());
  if (t >= 0 && t !== state.type && state.buttons[t]) {
    await run(atlas.command(TYPES[t].command), { fromAddress: true });
  }
}

// ---------------------------------------------------------------------------------------------
// Events

function bindImage() {
  const v = viewport();
  const pointers = new Map<number, { x: number; y: number }>();
  let moved = false, pinch = 0, down: { x: number; y: number } | null = null;
  // The lists and the overview sit inside the image window but are no part of the image.
  const onImage = (e: Event) => !(e.target as HTMLElement).closest('#popup, #overview');
  v.addEventListener('pointerdown', (e) => {
    if (e.button !== 0 || !onImage(e)) return;
    v.setPointerCapture(e.pointerId);
    pointers.set(e.pointerId, { x: e.clientX, y: e.clientY });
    if (pointers.size === 1) { moved = false; down = { x: e.clientX, y: e.clientY }; }
    if (pointers.size === 2) {
      const [a, b] = [...pointers.values()];
      pinch = Math.hypot(a.x - b.x, a.y - b.y);
      moved = true;
    }
  });
  v.addEventListener('pointermove', (e) => {
    if (!onImage(e) && !pointers.size) return;
    const last = pointers.get(e.pointerId);
    if (!last) { if (e.pointerType === 'mouse') pointerName(e); return; }
    if (pointers.size === 2) {
      // The image point between the fingers stays between them while they spread and move.
      const [a0, b0] = [...pointers.values()];
      pointers.set(e.pointerId, { x: e.clientX, y: e.clientY });
      const [a, b] = [...pointers.values()];
      const d = Math.hypot(a.x - b.x, a.y - b.y);
      const r = v.getBoundingClientRect();
      if (pinch > 0) {
        zoomAt(d / pinch, (a0.x + b0.x) / 2 - r.left, (a0.y + b0.y) / 2 - r.top,
               (a.x + b.x) / 2 - r.left, (a.y + b.y) / 2 - r.top);
      }
      pinch = d;
      return;
    }
    if (down && Math.hypot(e.clientX - down.x, e.clientY - down.y) > 6) moved = true;
    if (moved) pan(e.clientX - last.x, e.clientY - last.y);
    pointers.set(e.pointerId, { x: e.clientX, y: e.clientY });
    if (e.pointerType === 'mouse') pointerName(e);
  });
  const up = (e: PointerEvent) => {
    if (!pointers.has(e.pointerId)) return;
    pointers.delete(e.pointerId);
    if (pointers.size === 0 && !moved && e.type === 'pointerup') clickAt(e);
    if (pointers.size < 2) pinch = 0;
  };
  v.addEventListener('pointerup', up);
  v.addEventListener('pointercancel', up);
  v.addEventListener('pointerleave', (e) => { if (e.pointerType === 'mouse' && !pointers.size) showPointed(''); });
  v.addEventListener('wheel', (e) => {
    if (!onImage(e)) return;
    e.preventDefault();
    const r = v.getBoundingClientRect();
    zoomAt(Math.exp(-e.deltaY * (e.deltaMode === 1 ? 0.05 : 0.002)), e.clientX - r.left, e.clientY - r.top);
  }, { passive: false });
  v.addEventListener('contextmenu', (e) => {
    if (!onImage(e)) return;
    e.preventDefault();
    const r = v.getBoundingClientRect();
    openContextMenu(e.clientX - r.left, e.clientY - r.top);
  });
  v.addEventListener('keydown', (e) => {
    if (e.target !== v) return;
    if ((e.ctrlKey || e.metaKey) && e.key.toLowerCase() === 's') { e.preventDefault(); savePicture(); return; }
    if (e.ctrlKey || e.altKey || e.metaKey) return;
    const step = 20, page = 50;
    switch (e.key) {
      case 'Tab': {
        const forward = !e.shiftKey;
        const next = image.bitmap ? atlas.stepFrom(stepFresh ? '' : mainName(), forward) : -1;
        if (next < 0) { stepFresh = true; return; }
        stepFresh = false;
        const name = atlas.stepOrder()[next];
        closePopup();
        setHighlight(name, 0);
        centreOnStructure(name);
        draw();
        showPointed(name);
        run(atlas.request(C.highlighted, name));
        break;
      }
      case 'Enter': if (image.names) { state.structure = mainName(); run(atlas.request(C.goToPlace, mainName())); } break;
      case 'Escape': closePopup(); showPointed(''); setHighlight('', 0); run(atlas.request(C.highlighted, '')); break;
      case 'PageUp': pan(0, page); break;
      case 'PageDown': pan(0, -page); break;
      case 'ArrowUp': pan(0, step); break;
      case 'ArrowDown': pan(0, -step); break;
      case 'ArrowLeft': pan(step, 0); break;
      case 'ArrowRight': pan(-step, 0); break;
      case '+': zoomCentre(1.25); break;
      case '-': zoomCentre(0.8); break;
      case 'ContextMenu': openContextMenu(20, 20); break;
      default: return;
    }
    e.preventDefault();
  });
  v.addEventListener('focus', () => { stepFresh = true; });
  let stepFresh = true;
  $('overview').addEventListener('click', (e) => {
    const o = e.currentTarget as HTMLCanvasElement;
    const s = o.width / image.width;
    centreOn(e.offsetX / s, e.offsetY / s);
    draw();
  });
  measureRoom();
  new ResizeObserver(() => { measureRoom(); if (image.fitted) fit(); else clampView(); draw(); }).observe(v);
}

function bindControls() {
  $('zoom-in').addEventListener('click', () => zoomCentre(1.5));
  $('zoom-out').addEventListener('click', () => zoomCentre(1 / 1.5));
  $('zoom-fit').addEventListener('click', () => { fit(); draw(); });
  $('overview-box').addEventListener('change', (e) => {
    image.overview = (e.target as HTMLInputElement).checked;
    draw();
  });
  $('fullview').addEventListener('change', (e) => setFullView((e.target as HTMLInputElement).checked));
  $('show-all').addEventListener('click', showAllMarkable);
  $('list-all').addEventListener('click', listMarkable);
  $('save').addEventListener('click', savePicture);
  $('message-ok').addEventListener('click', closeMessage);
  $('back').addEventListener('click', () => history.back());

  for (const t of BUTTON_ORDER) {
    $('type-' + t).addEventListener('click', () => run(atlas.command(TYPES[t].command)));
  }
  $('toggle').addEventListener('click', () => showIndex($('index').hidden));
  $('help').addEventListener('click', () => run(atlas.command(C.help)));
  $('help-index').addEventListener('click', () => { closeMenus(); run(atlas.command(C.help)); });
  $('bookmark-set').addEventListener('click', () => { closeMenus(); run(atlas.command(C.setBookmark)); });
  $('bookmark-delete').addEventListener('click', () => { closeMenus(); run(atlas.command(C.deleteBookmark)); });
  for (const [id, size] of [['font-small', 'small'], ['font-medium', 'medium'], ['font-large', 'large']]) {
    $(id).addEventListener('click', () => {
      closeMenus();
      document.body.dataset.font = size;
      for (const other of ['font-small', 'font-medium', 'font-large']) $(other).setAttribute('aria-checked', String(other === id));
    });
  }
  $('text-toggle').addEventListener('click', () => {
    closeMenus();
    state.textVisible = !state.textVisible;
    $('text-toggle').setAttribute('aria-checked', String(state.textVisible));
    renderText();
  });
  for (const d of document.querySelectorAll('details.menu')) {
    d.addEventListener('toggle', () => {
      if ((d as HTMLDetailsElement).open) {
        for (const o of document.querySelectorAll('details.menu')) if (o !== d) (o as HTMLDetailsElement).open = false;
      }
    });
  }

  // The navigation panel.
  const nav: [string, number][] = [['nav-head', C.head], ['nav-trunk', C.trunk], ['nav-arm', C.arm],
    ['nav-leg', C.leg], ['nav-sex', C.sex], ['nav-up', C.upper], ['nav-down', C.lower], ['nav-ok', C.ok]];
  for (const [id, command] of nav) $(id).addEventListener('click', () => navRun(atlas.navCommand(command)));
  const picto = $<HTMLCanvasElement>('picto');
  const pick = (e: MouseEvent, open: boolean) => {
    const r = picto.getBoundingClientRect();
    navRun(atlas.navPick(Math.round(e.clientX - r.left), Math.round(e.clientY - r.top), panelSize.width,
                         Math.ceil(panelSize.height / 0.75), open));
  };
  picto.addEventListener('click', (e) => pick(e, false));
  picto.addEventListener('dblclick', (e) => pick(e, true));
  picto.addEventListener('keydown', (e) => {
    if (e.key === 'ArrowUp' || e.key === 'ArrowLeft') navRun(atlas.navCommand(C.upper));
    else if (e.key === 'ArrowDown' || e.key === 'ArrowRight') navRun(atlas.navCommand(C.lower));
    else if (e.key === 'Enter') navRun(atlas.navCommand(C.ok));
    else return;
    e.preventDefault();
  });
  picto.addEventListener('contextmenu', (e) => { e.preventDefault(); showIndex(true); });
  new ResizeObserver(() => drawPanel()).observe($('picto-box'));

  // The index.
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

  document.addEventListener('keydown', (e) => {
    if (e.key === 'F1') { e.preventDefault(); run(atlas.command(C.help)); }
    else if (e.key === 'Escape') { closePopup(); closeMenus(); if (!$('message').hidden) closeMessage(); }
  });
  document.addEventListener('pointerdown', (e) => {
    const t = e.target as HTMLElement;
    if (!t.closest('#popup') && !t.closest('#viewport')) closePopup();
    if (!t.closest('details.menu')) closeMenus();
  });
  window.addEventListener('popstate', () => {
    // An entry of ours carries its count; one the browser made for a typed address follows ours.
    depth = history.state ? history.state.n : depth + 1;
    $<HTMLButtonElement>('back').disabled = depth <= 0;
    followAddress(true);
  });
  window.addEventListener('hashchange', () => { followAddress(false); });
}

// ---------------------------------------------------------------------------------------------
// Start

async function main() {
  const status = $('status');
  manifest = await (await fetch('atlas/manifest.json', { cache: 'no-cache' })).json();
  atlas = await openAtlas();
  const list = async (name: string) => (await fetchBytes(atlas.manifestKey('Daten\\' + name))) ?? new Uint8Array(0);
  const [index, structures, objects, synonyms] = await Promise.all(
    ['Index.LST', 'Struktur.LST', 'Objekte.LST', 'SYNONYMS.LST'].map(list));
  atlas.loadLists(index, structures, objects, synonyms);
  const plane = await Promise.all(manifest.planeLists.map(async (key) => [key, await fetchBytes(key)] as const));
  for (const [key, bytes] of plane) if (bytes) atlas.putFile(key, bytes);
  for (const [name, a] of Object.entries(manifest.art)) atlas.setPictogramSize(name, a.width, a.height);
  try { atlas.addBookmarkText(localStorage.getItem(STORAGE) ?? ''); } catch { /* no storage */ }

  for (const [id, name] of [['nav-head', 'KOPF_UP'], ['nav-trunk', 'RUMPF_UP'], ['nav-arm', 'ARM_UP'],
    ['nav-leg', 'BEIN_UP'], ['nav-ok', 'ENTER_UP'], ['toggle', 'IDX_UP'], ['help', 'HILFE_UP']]) {
    ($(id).querySelector('img') as HTMLImageElement).src = artUrl(name);
  }
  buildIndex();
  bindImage();
  bindControls();
  updateMenus();
  history.replaceState({ n: 0 }, '', location.hash || location.pathname);
  const address = location.hash;
  await run(atlas.start(), { fromAddress: !!address });
  if (address) {
    lastAddress = '';
    history.replaceState({ n: 0 }, '', address);
    await followAddress(false);
  }
  status.textContent = '';
  document.body.classList.add('loaded');
}

main().catch((error) => {
  console.error(error);
  $('status').textContent = 'Der Atlas kann nicht geladen werden: ' + (error?.message ?? String(error));
});
