// The text panel: paragraphs and links built as DOM from the facade's segments (text, never
// markup), sound and video played by the browser where it can, offered as a download otherwise.

import type { Action, Atlas, Segment } from './atlas.mjs';
import { C, NOT_FOUND, $, el, atlas, message, state } from './common';
import { fileUrl, fetchBytes } from './files';
import { run } from './requests';

const PLAYABLE: Record<string, 'audio' | 'video'> = {
  mp3: 'audio', wav: 'audio', ogg: 'audio', oga: 'audio', m4a: 'audio',
  mp4: 'video', m4v: 'video', webm: 'video',
};

let lastText: { action: Action; text: ReturnType<Atlas['text']> } | null = null;

export async function showText(a: Action) {
  const bytes = await fetchBytes(a.key);
  const text = atlas.text(bytes ?? new Uint8Array(0), bytes !== null, a.path);
  if (a.appendName && text.paragraphs.length) {
    text.paragraphs[0].segments.push({ kind: 4, shown: ' ' + a.name });
  }
  lastText = { action: a, text };
  renderText();
}

export function renderText() {
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
