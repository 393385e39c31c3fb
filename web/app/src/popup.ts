// The lists over the image (overlap choice, markable structures, found-on places), the context
// menu, and "Bild speichern": the picture at its own size with the highlight and the name band.

import type { ContextEntry } from './atlas.mjs';
import { C, $, el, atlas, state } from './common';
import { image, viewport, highlightCanvas, setFullView } from './image';
import { showAllMarkable, listMarkable } from './pointer';
import { run } from './requests';

export function closePopup() {
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

export function openList(title: string, items: string[], choose: (item: string) => void, x?: number, y?: number) {
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

export function openContextMenu(x: number, y: number) {
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

export function mainName(): string {
  return image.names.split('&')[0].trim();
}

// "Bild speichern": the picture at its own size with the highlight and the name band.
export function savePicture() {
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
