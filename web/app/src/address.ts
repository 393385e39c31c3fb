// Addresses: #seite=<page>&typ=<type>, #struktur=<name>. The address always shows the page shown;
// Back and Forward of the browser go through the atlas's history.

import { C, TYPES, $, atlas, state } from './common';
import { describeImage } from './image';
import { run } from './requests';

export function showsPage(page: string, type: number) {
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

// The start page, then the page or structure the address names.
export async function startAt(address: string) {
  history.replaceState({ n: 0 }, '', address || location.pathname);
  await run(atlas.start(), { fromAddress: !!address });
  if (address) {
    lastAddress = '';
    history.replaceState({ n: 0 }, '', address);
    await followAddress(false);
  }
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

export function bindAddress() {
  window.addEventListener('popstate', () => {
    // An entry of ours carries its count; one the browser made for a typed address follows ours.
    depth = history.state ? history.state.n : depth + 1;
    $<HTMLButtonElement>('back').disabled = depth <= 0;
    followAddress(true);
  });
  window.addEventListener('hashchange', () => { followAddress(false); });
}
