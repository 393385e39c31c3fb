// What every part of the page shares: the facade and the manifest once loaded, the commands and
// image types as the cores number them, the page's state, element helpers and the message boxes.

import type { Atlas } from './atlas.mjs';

interface Manifest {
  files: Record<string, string>;
  unreadable: Record<string, string>;
  planeLists: string[];
  art: Record<string, { file: string; width: number; height: number }>;
  sizes?: Record<string, number>;  // site file (d/...) -> its bytes, for saving the atlas offline
}

export const C = {
  pageLink: 1274, structureLink: 1275, goToPlace: 1276, history: 9045, indexOpen: 9054,
  announce: 9059, highlighted: 9060, sex: 9036, ok: 9037, head: 9038, arm: 9039, leg: 9040,
  trunk: 9041, upper: 9042, lower: 9043, deleteBookmark: 1173, setBookmark: 1174, help: 1304,
  helpContext: 1305, up: 9130, down: 9131, home: 9132, end: 9133, pageUp: 9134, pageDown: 9135,
};

// Image types as the cores number them, with their button command and their name in addresses.
export const TYPES = [
  { label: 'Schnitt', command: 9025, url: 'schnitt', art: 'SCHNITT', tip: 'Zeigt das Schnittbild der Seite' },
  { label: 'MR', command: 9027, url: 'mr', art: 'MR', tip: 'Zeigt das MR-Bild der Seite' },
  { label: 'CT', command: 9026, url: 'ct', art: 'CT', tip: 'Zeigt das CT-Bild der Seite' },
  { label: 'Schema', command: 9028, url: 'schema', art: 'SCHEMA', tip: 'Zeigt die Schemazeichnung der Seite' },
];

export const BUTTON_ORDER = [0, 2, 1, 3];  // Schnitt, CT, MR, Schema as the desktop lays them out
export const STORAGE = 'ostrelin.lesezeichen:' + location.pathname;
export const NOT_FOUND = 'Folgende Datei nicht gefunden';
export const $ = <T extends HTMLElement = HTMLElement>(id: string) => document.getElementById(id) as T;

export function el<K extends keyof HTMLElementTagNameMap>(tag: K, props: Partial<Record<string, string>> = {},
                                                   text?: string): HTMLElementTagNameMap[K] {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(props)) if (v !== undefined) e.setAttribute(k, v);
  if (text !== undefined) e.textContent = text;
  return e;
}

export let atlas: Atlas;
export let manifest: Manifest;

// The facade and the manifest, once both are loaded.
export function connect(core: Atlas, siteManifest: Manifest) {
  atlas = core;
  manifest = siteManifest;
}

// The atlas's message boxes, one after the other.
const messages: string[] = [];

export function message(text: string) {
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

export function closeMessage() {
  messages.shift();
  showMessage();
}

export const state = {
  page: '',
  type: -1,
  buttons: [false, false, false, false],
  ticket: 0,
  fromAddress: false,    // the request came from the address (deep link, Back, Forward)
  structure: '',         // the structure being resolved (found-on list caption)
  textVisible: true,
};
