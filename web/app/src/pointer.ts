// The image window's input: pointer names, clicks and taps, pinch, wheel, drag and keys, and the
// choices a click offers (overlapping structures, every markable structure).

import { C, $, atlas, state } from './common';
import { image, mode, viewport, measureRoom, fit, clampView, zoomAt, zoomCentre, pan, centreOn, draw, drawNow, setHighlight, describeImage, showPointed, outlineNames, centreOnStructure } from './image';
import { run } from './requests';
import { closePopup, openList, openContextMenu, mainName, savePicture } from './popup';

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
  if (mode.active()) return;  // the quiz names nothing under the pointer
  const hits = hitsAt(e);
  showPointed(hits.map((h) => h.name).join(' / '));
  viewport().classList.toggle('over', hits.length > 0);
}

// A click or tap on the image: one structure is highlighted, several are offered as a choice.
function clickAt(e: { clientX: number; clientY: number }) {
  closePopup();
  if (!image.bitmap) return;
  if (mode.active()) {  // a click answers the quiz
    if (!image.loading) mode.click(...imagePoint(e));
    return;
  }
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

export function showAllMarkable() {
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

export function listMarkable() {
  const names = markableNames();
  if (!names.length) return;
  openList('Markierbare Strukturen', names, (name) => {
    setHighlight(name, 0);
    centreOnStructure(name);
    draw();
    run(atlas.request(C.highlighted, name));
  });
}

export function bindImage() {
  const v = viewport();
  const pointers = new Map<number, { x: number; y: number }>();
  let moved = false, pinch = 0, down: { x: number; y: number } | null = null;
  // A long press of a finger during a quiz shows the answer; its lifting answers nothing.
  let pressTimer = 0, pressed = false;
  const endPress = () => { clearTimeout(pressTimer); pressTimer = 0; };
  // The lists and the overview sit inside the image window but are no part of the image.
  const onImage = (e: Event) => !(e.target as HTMLElement).closest('#popup, #overview');
  v.addEventListener('pointerdown', (e) => {
    if (e.button !== 0 || !onImage(e)) return;
    v.setPointerCapture(e.pointerId);
    pointers.set(e.pointerId, { x: e.clientX, y: e.clientY });
    if (pointers.size === 1) { moved = false; down = { x: e.clientX, y: e.clientY }; }
    endPress();
    pressed = false;
    if (pointers.size === 1 && e.pointerType === 'touch' && mode.active()) {
      pressTimer = window.setTimeout(() => {
        pressTimer = 0;
        if (moved || pointers.size !== 1) return;
        pressed = true;
        mode.longPress();
      }, 500);
    }
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
    if (down && Math.hypot(e.clientX - down.x, e.clientY - down.y) > 6) { moved = true; endPress(); }
    if (moved) pan(e.clientX - last.x, e.clientY - last.y);
    pointers.set(e.pointerId, { x: e.clientX, y: e.clientY });
    if (e.pointerType === 'mouse') pointerName(e);
  });
  const up = (e: PointerEvent) => {
    if (!pointers.has(e.pointerId)) return;
    pointers.delete(e.pointerId);
    endPress();
    if (pointers.size === 0 && !moved && !pressed && e.type === 'pointerup') clickAt(e);
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
    if (mode.active()) return;  // no context menu during a quiz (a long press shows the answer)
    const r = v.getBoundingClientRect();
    openContextMenu(e.clientX - r.left, e.clientY - r.top);
  });
  v.addEventListener('keydown', (e) => {
    if (e.target !== v) return;
    if ((e.ctrlKey || e.metaKey) && e.key.toLowerCase() === 's') {
      e.preventDefault();
      if (!mode.active()) savePicture();  // its name band would give the answer away
      return;
    }
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
        if (!mode.active()) run(atlas.request(C.highlighted, name));
        break;
      }
      case 'Enter':
        if (mode.active()) { if (image.names) mode.choose(mainName()); }
        else if (image.names) { state.structure = mainName(); run(atlas.request(C.goToPlace, mainName())); }
        break;
      case 'Escape':
        if (mode.active()) return;
        closePopup(); showPointed(''); setHighlight('', 0); run(atlas.request(C.highlighted, '')); break;
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
