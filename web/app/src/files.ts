// The site's files: the tree's files only through the manifest, below atlas/; the artwork only
// from art/. Files are kept in memory as bytes while recent pages use them.

import { manifest } from './common';

const art = new Map<string, HTMLImageElement>();

// Files only below atlas/ of this site: a manifest entry cannot name another origin.
export function fileUrl(key: string): string | null {
  const file = Object.prototype.hasOwnProperty.call(manifest.files, key) ? manifest.files[key] : null;
  return typeof file === 'string' && file ? 'atlas/' + file : null;
}

// The tree's files as the last pages used them, kept in memory as bytes (their names carry a
// fingerprint, so a kept file is never stale): a page switch fetches only what is new, all at
// once, and reads a kept file without another trip through the browser's blob store.
const kept = new Map<string, Promise<ArrayBuffer | null>>();
const KEPT_FILES = 48;

export function fetchBuffer(key: string): Promise<ArrayBuffer | null> {
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

export async function fetchBytes(key: string): Promise<Uint8Array | null> {
  const bytes = await fetchBuffer(key);
  return bytes ? new Uint8Array(bytes) : null;
}

// An image of the site decoded (off the page's thread) as the browser's own image: the browser
// keeps it, decoded, in its memory cache while memory allows, so a page shown again draws at
// once. A damaged image gives null.
export function decodeImage(url: string): Promise<HTMLImageElement | null> {
  const img = new Image();
  img.decoding = 'async';
  img.src = url;
  return img.decode().then(() => (img.naturalWidth > 0 ? img : null), () => null);
}

// Artwork only from the site's art/ folder, whatever the manifest says.
export function artUrl(name: string): string {
  const file = manifest.art[name]?.file ?? '';
  return /^art\/[a-z0-9._-]+$/.test(file) ? file : '';
}

export function loadArt(name: string): Promise<HTMLImageElement | null> {
  const known = art.get(name);
  if (known) return Promise.resolve(known);
  const url = artUrl(name);
  if (!url) return Promise.resolve(null);
  const img = new Image();
  img.src = url;
  return img.decode().then(() => { art.set(name, img); return img; }, () => null);
}
