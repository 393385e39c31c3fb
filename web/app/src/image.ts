// The image window: the image and its highlight on two canvases, zoom and pan as a CSS transform,
// the overview, and loading a page's image with its outline file.

import type { Action } from './atlas.mjs';
import { NOT_FOUND, $, atlas, manifest, message, state } from './common';
import { fileUrl, fetchBytes, decodeImage } from './files';
import { closePopup } from './popup';

interface View { scale: number; x: number; y: number; }

export const image = {
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

// A mode of the image window (the quiz) while it runs: it takes the clicks, keeps the names
// under the pointer away, puts its own text in the strip and its marks over the highlight, and
// may keep the full view.
export const mode = {
  active: () => false,
  strip: () => '',
  description: () => '',
  overlayKey: () => '',             // changes when the mode's marks change
  click: (_x: number, _y: number) => {},
  choose: (_name: string) => {},     // Enter on a structure stepped to
  longPress: () => {},
  imageLoaded: () => {},             // another image was loaded
  leaveFullView: () => true,         // false: the full view stays
};

export function viewport() { return $('viewport'); }

const canvas = () => $<HTMLCanvasElement>('view');

// The image window's size as the last layout left it (a resize observer keeps it): reading it
// never forces a layout in the middle of a page switch.
const room = { width: 0, height: 0 };

export function measureRoom() {
  const v = viewport();
  room.width = v.clientWidth;
  room.height = v.clientHeight;
}

function fitScale(): number {
  if (!image.width) return 1;
  return Math.min(room.width / image.width, room.height / image.height);
}

export function fit() {
  const s = fitScale();
  image.view = { scale: s, x: (room.width - image.width * s) / 2, y: (room.height - image.height * s) / 2 };
  image.fitted = true;
}

export function clampView() {
  const w = image.width * image.view.scale, h = image.height * image.view.scale;
  const clamp = (o: number, size: number, space: number) =>
    size <= space ? (space - size) / 2 : Math.min(0, Math.max(space - size, o));
  image.view.x = clamp(image.view.x, w, room.width);
  image.view.y = clamp(image.view.y, h, room.height);
}

// Zooms by factor about (cx, cy) of the image window; the image point there moves to (tx, ty)
// (a pinch whose fingers also moved).
export function zoomAt(factor: number, cx: number, cy: number, tx = cx, ty = cy) {
  if (!image.bitmap) return;
  const fitS = fitScale();
  const s = Math.min(Math.max(image.view.scale * factor, fitS * 0.5), Math.max(fitS * 8, 5));
  const ix = (cx - image.view.x) / image.view.scale, iy = (cy - image.view.y) / image.view.scale;
  image.view = { scale: s, x: tx - ix * s, y: ty - iy * s };
  image.fitted = false;
  clampView();
  draw();
}

export function zoomCentre(factor: number) {
  zoomAt(factor, room.width / 2, room.height / 2);
}

export function pan(dx: number, dy: number) {
  if (!image.bitmap) return;
  image.view.x += dx;
  image.view.y += dy;
  image.fitted = false;
  clampView();
  draw();
}

export function centreOn(x: number, y: number) {
  image.view.x = room.width / 2 - x * image.view.scale;
  image.view.y = room.height / 2 - y * image.view.scale;
  image.fitted = false;
  clampView();
}

// Inside a request the picture is painted once, when its image and highlight are both set.
let holding = false;
let dirty = false;
let firstPaint = false;

export function holdPaint() { holding = true; }

export function releasePaint() {
  holding = false;
  if (dirty) drawNow();
}

// Zoom and pan move the two canvases (the image and its highlight above it, both at the image's
// own size) with a CSS transform: they are painted only when the image or the highlight changes.
export function draw() {
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

export function drawNow() {
  if (holding) { dirty = true; return; }
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

export const highlightCanvas = () => $<HTMLCanvasElement>('highlight');

// The highlight as the cores paint it, at the image's own resolution, on its own canvas over the
// image: a new highlight never repaints the image.
let overlayOf = '';  // the image and highlight the highlight canvas shows

function paintOverlay() {
  const marks = mode.overlayKey();
  const of = [image.key, image.width, image.showAll ? '*' : image.names, image.showAll ? 0 : image.mode, marks].join('|');
  if (of === overlayOf) return;  // a highlight asked for again
  overlayOf = of;
  const c = highlightCanvas();
  const drawn = image.bitmap && (image.showAll || image.names || marks)
    // '&', a list of no names, paints only the mode's marks ('' would paint every structure).
    ? atlas.paintDrawn(image.showAll ? '' : image.names || '&', image.showAll ? 0 : image.mode, image.width, image.height)
    : null;
  image.overlay = !!drawn;
  c.hidden = !drawn;
  if (!drawn) return;
  // Only the rectangle of what is drawn crosses out of the module and onto the canvas; what the
  // canvas showed before is cleared (a new size clears it by itself).
  const g = c.getContext('2d')!;
  if (!sizeCanvas(c) && overlayRect) g.clearRect(overlayRect.x, overlayRect.y, overlayRect.width, overlayRect.height);
  overlayRect = null;
  if (drawn.width > 0) {
    g.putImageData(new ImageData(drawn.rgba as Uint8ClampedArray<ArrayBuffer>, drawn.width, drawn.height), drawn.x, drawn.y);
    overlayRect = { x: drawn.x, y: drawn.y, width: drawn.width, height: drawn.height };
  }
}

// Where the highlight canvas holds pixels: all of it is clear outside.
let overlayRect: { x: number; y: number; width: number; height: number } | null = null;

export function setHighlight(names: string, mode: number) {
  if (names !== image.names && names) showPointed(names.split('&').map((n) => n.trim()).filter((n) => n).join(' / '));
  image.names = names;
  image.mode = mode;
  image.showAll = false;
  drawNow();
  describeImage();
}

export function describeImage() {
  if (holding) return;  // described once the request is painted
  if (!state.page) return;
  if (mode.active()) { viewport().setAttribute('aria-label', mode.description()); return; }
  const info = atlas.pictureInfo(state.page, state.type, image.names, image.showAll, 1, 1, 1);
  viewport().setAttribute('aria-label', info.description);
}

export function showPointed(names: string) {
  if (mode.active()) names = mode.strip();  // no name under the pointer during a quiz
  image.pointed = names;
  $('pointed').textContent = names || '\u00a0';
}

export let outlineNames: string[] = [];

export function centreOnStructure(name: string) {
  const found = atlas.findStructure(name, image.height);
  if (found?.centre) centreOn(found.centre[0], found.centre[1]);
}

export function setFullView(on: boolean) {
  if (!on && !mode.leaveFullView()) { $<HTMLInputElement>('fullview').checked = true; return; }
  image.normalView = !on;
  document.body.classList.toggle('fullview', on);
  $<HTMLInputElement>('fullview').checked = on;
  requestAnimationFrame(() => { measureRoom(); if (image.fitted) fit(); clampView(); draw(); });
}

// The image decoded and its outline file read, both started as soon as a request names them.
const prepared = new Map<string, { picture: Promise<HTMLImageElement | null>; outline: Promise<Uint8Array | null> }>();

export function prepareImage(action: Action) {
  const url = fileUrl(action.key);
  if (prepared.has(action.key) || !url) return;
  prepared.set(action.key, { picture: decodeImage(url), outline: fetchBytes(action.outlineKey) });
}

export async function loadImage(action: Action) {
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
    outline = await ready.outline;
  }
  // The outline file is read while the image still decodes; the pointer names nothing until the
  // new image is shown.
  const o = atlas.loadOutline(outline ?? new Uint8Array(0));
  outlineNames = o.structures.map((s) => s.name);
  if (ready) {
    image.loading = true;
    bitmap = await ready.picture;  // never rejects: a damaged image gives null
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
  mode.imageLoaded();
}
