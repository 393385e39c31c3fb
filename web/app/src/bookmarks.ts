// The bookmarks as a file that travels between the desktop atlas and the browser: "exportieren"
// downloads BENUTZER.BKM as the desktop writes it (one entry per line, CR LF, Windows-1252),
// "importieren…" adds the entries of such a file to those set here, as the desktop reads it.

import { $, atlas, message } from './common';
import { closeMenus, updateMenus } from './menus';

export const BOOKMARK_FILE = 'BENUTZER.BKM';
const TOO_MANY = 'Maximale Anzahl von Bookmarks erreicht !';
const MAX_BOOKMARKS = 15;
const MAX_FILE = 64 * 1024;  // fifteen lines of a few names: anything larger is another file

// Windows-1252 as the browser decodes it; encoding takes the same table backwards.
const cp1252 = new TextDecoder('windows-1252');
const toCp1252 = new Map<string, number>();
for (let b = 0x80; b < 0xa0; ++b) toCp1252.set(cp1252.decode(new Uint8Array([b])), b);

// A text as Windows-1252 bytes; a character the code page lacks becomes "?".
export function encodeCp1252(text: string): Uint8Array<ArrayBuffer> {
  const bytes: number[] = [];
  for (const ch of text) {
    const c = ch.codePointAt(0)!;
    if (c < 0x80 || (c >= 0xa0 && c <= 0xff)) bytes.push(c);
    else bytes.push(toCp1252.get(ch) ?? 0x3f);
  }
  return new Uint8Array(bytes);
}

// The text of a bookmark file, or null when the bytes are no text of lines (a picture, a program).
// Windows-1252 as the desktop writes it; a file saved by an editor as UTF-8 is read as such.
export function decodeBookmarkFile(bytes: Uint8Array): string | null {
  for (const b of bytes) if (b === 0 || (b < 0x20 && b !== 0x09 && b !== 0x0a && b !== 0x0d)) return null;
  if (bytes.some((b) => b >= 0x80)) {
    try { return new TextDecoder('utf-8', { fatal: true }).decode(bytes).replace(/^\ufeff/, ''); } catch { /* not UTF-8 */ }
  }
  return cp1252.decode(bytes);
}

// The bookmarks set (commands 1175 to 1189; the menu's list also holds "setzen" and "löschen").
const entries = () => atlas.menus().bookmarks.filter((item) => item.id >= 1175 && item.id <= 1189)
  .map((item) => item.text);

function exportBookmarks() {
  closeMenus();
  const text = atlas.bookmarkText();
  if (!text) { message('Es sind keine Lesezeichen gesetzt.'); return; }
  const url = URL.createObjectURL(new Blob([encodeCp1252(text)], { type: 'application/octet-stream' }));
  const a = document.createElement('a');
  a.href = url;
  a.download = BOOKMARK_FILE;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

async function importBookmarks(file: File) {
  const bytes = file.size <= MAX_FILE ? new Uint8Array(await file.arrayBuffer()) : null;
  const text = bytes ? decodeBookmarkFile(bytes) : null;
  if (text === null) {
    message(`Die Datei ${file.name} ist keine Lesezeichen-Datei.`);
    return;
  }
  const before = entries();
  // The lines the desktop takes: not empty, not a comment ("/"), at most fifteen.
  const lines = text.split(/\r?\n|\r/).filter((line) => line && !line.startsWith('/')).slice(0, MAX_BOOKMARKS);
  const fresh = new Set(lines.filter((line) => !before.includes(line)));
  atlas.addBookmarkText(lines.join('\r\n') + '\r\n');
  updateMenus();
  const added = entries().length - before.length;
  if (added < fresh.size) message(TOO_MANY);
  $('status').textContent = added === 1 ? '1 Lesezeichen übernommen' : `${added} Lesezeichen übernommen`;
  setTimeout(() => { if ($('status').textContent?.endsWith('übernommen')) $('status').textContent = ''; }, 4000);
}

export function bindBookmarkFiles() {
  const input = $<HTMLInputElement>('bookmark-file');
  $('bookmark-export').addEventListener('click', exportBookmarks);
  $('bookmark-import').addEventListener('click', () => { closeMenus(); input.click(); });
  input.addEventListener('change', () => {
    const file = input.files?.[0];
    input.value = '';
    if (file) importBookmarks(file).catch((error) => message(`Die Datei ${file.name} kann nicht gelesen werden: ${error?.message ?? error}`));
  });
}
