// Offline and installable: the service worker (sw.js) keeps the app and every file of the tree the
// atlas asked for; "Atlas offline speichern" asks for every file the manifest names, through the
// worker, with a progress bar, and says how much space the atlas takes. The browser's offer to
// install the atlas as an app becomes a button of the same menu.

import { $, manifest } from './common';

const SAVED = 'ostrelin.offline:' + location.pathname;  // set once the whole atlas was saved
const PARALLEL = 4;

interface OfflineFile { url: string; bytes: number; }

let scope = '';
let saving = false;
let topUpAgain = false;
let installOffer: (Event & { prompt?: () => Promise<void> }) | null = null;

// "4,6 MB", "10,7 GB": number and unit never split over two lines.
const mb = (bytes: number) => {
  const [value, unit] = bytes >= 1e9 ? [bytes / 1e9, 'GB'] : [bytes / 1e6, 'MB'];
  return value.toLocaleString('de-DE', { minimumFractionDigits: 1, maximumFractionDigits: 1 }) + '\u00a0' + unit;
};

function say(text: string) { $('offline-state').textContent = text; }

// Every file of the tree the manifest names, once, with its size where the manifest has it.
function treeFiles(): OfflineFile[] {
  const sizes = manifest.sizes ?? {};
  const seen = new Set<string>();
  const files: OfflineFile[] = [];
  for (const file of Object.values(manifest.files)) {
    if (typeof file !== 'string' || !/^d\/[a-z0-9._-]+$/.test(file) || seen.has(file)) continue;
    seen.add(file);
    const bytes = Object.prototype.hasOwnProperty.call(sizes, file) ? Number(sizes[file]) : 0;
    files.push({ url: new URL('atlas/' + file, location.href).href, bytes: bytes > 0 ? bytes : 0 });
  }
  return files;
}

// The addresses the worker's caches of this atlas hold.
async function keptUrls(): Promise<Set<string>> {
  const kept = new Set<string>();
  if (!scope || !('caches' in window)) return kept;
  for (const name of await caches.keys()) {
    if (!name.startsWith('ostrelin ' + scope + ' ')) continue;
    for (const request of await (await caches.open(name)).keys()) kept.add(request.url);
  }
  return kept;
}

async function spaceText(): Promise<string> {
  try {
    const estimate = await navigator.storage?.estimate?.();
    if (estimate?.usage !== undefined && estimate.quota) {
      return `Der Browser belegt für diese Seite ${mb(estimate.usage)} von ${mb(estimate.quota)}.`;
    }
  } catch { /* no estimate */ }
  return '';
}

// What the menu says when it opens: how much of the atlas is kept.
async function showState() {
  if (saving) return;
  if (!scope) return;
  const files = treeFiles();
  const kept = await keptUrls();
  const have = files.filter((f) => kept.has(f.url));
  const total = files.reduce((n, f) => n + f.bytes, 0);
  const space = await spaceText();
  if (have.length === files.length) {
    say(`Der Atlas ist offline gespeichert (${files.length} Dateien, ${mb(total)}). ${space}`.trim());
  } else {
    say(`Offline verfügbar: ${have.length} von ${files.length} Dateien. Der ganze Atlas braucht ` +
        `${mb(total)}. ${space}`.trim());
  }
}

// The worker that takes this page over; null when there is none after a while (a reload that
// bypassed it, a browser that refuses it).
async function controller(): Promise<ServiceWorker | null> {
  const sw = navigator.serviceWorker;
  if (sw.controller) return sw.controller;
  await Promise.race([sw.ready, new Promise((r) => setTimeout(r, 5000))]);
  if (sw.controller) return sw.controller;
  await new Promise<void>((resolve) => {
    const done = () => { sw.removeEventListener('controllerchange', done); resolve(); };
    sw.addEventListener('controllerchange', done);
    setTimeout(done, 3000);
  });
  return sw.controller;
}

// Asks for every file the cache lacks: the worker keeps each before it answers.
export async function saveAtlas(quiet = false) {
  if (saving || !scope) return;
  saving = true;
  const button = $<HTMLButtonElement>('offline-save');
  const bar = $<HTMLProgressElement>('offline-progress');
  button.disabled = true;
  try {
    if (!(await controller())) {
      say('Das Speichern braucht die Seite neu geladen: bitte neu laden und erneut versuchen.');
      return;
    }
    try { await navigator.storage?.persist?.(); } catch { /* the browser decides */ }
    const files = treeFiles();
    const kept = await keptUrls();
    const missing = files.filter((f) => !kept.has(f.url));
    const total = files.reduce((n, f) => n + f.bytes, 0);
    // The bar counts bytes; a manifest without sizes, files.
    const weight = (f: OfflineFile) => (total > 0 ? f.bytes : 1);
    let done = files.filter((f) => kept.has(f.url)).reduce((n, f) => n + weight(f), 0);
    let count = files.length - missing.length;
    bar.max = Math.max(1, total > 0 ? total : files.length);
    bar.hidden = false;
    const progress = () => {
      bar.value = done;
      bar.setAttribute('aria-valuetext', `${count} von ${files.length} Dateien`);
      say(`Wird gespeichert: ${count} von ${files.length} Dateien` +
          (total > 0 ? `, ${mb(done)} von ${mb(total)}` : ''));
    };
    progress();
    let failed = 0;
    let next = 0;
    const worker = async () => {
      while (next < missing.length) {
        const file = missing[next++];
        try {
          // The worker answers such a request once it kept the file.
          const answer = await fetch(file.url, { headers: { 'X-Ostrelin': 'Speichern' } });
          if (!answer.ok) throw new Error(String(answer.status));
          await answer.arrayBuffer();
          ++count;
        } catch { ++failed; }
        done += weight(file);
        progress();
      }
    };
    await Promise.all(Array.from({ length: PARALLEL }, worker));
    const now = await keptUrls();
    const lacking = files.filter((f) => !now.has(f.url)).length;
    if (lacking === 0) {
      try { localStorage.setItem(SAVED, '1'); } catch { /* storage off */ }
      say(`Der Atlas ist offline gespeichert: ${files.length} Dateien, ${mb(total)}. ${await spaceText()}`.trim());
    } else {
      say(`Nicht alle Dateien konnten gespeichert werden: ${lacking} von ${files.length} fehlen` +
          (failed || !navigator.onLine ? ' (keine Verbindung?)' : '') + '. Bitte erneut versuchen.');
    }
    if (quiet && lacking === 0) bar.hidden = true;
  } finally {
    saving = false;
    button.disabled = false;
    if (topUpAgain) { topUpAgain = false; topUp(); }
  }
}

// A student who saved the whole atlas keeps it whole: the files of a new version follow, once
// the new worker runs the page (what the old one kept meanwhile may have gone with its cache).
async function topUp() {
  let whole = false;
  try { whole = localStorage.getItem(SAVED) === '1'; } catch { /* storage off */ }
  if (!whole || !navigator.onLine || !scope) return;
  if (saving) { topUpAgain = true; return; }
  const kept = await keptUrls();
  if (treeFiles().some((f) => !kept.has(f.url))) await saveAtlas(true);
}

function showConnection() {
  document.body.classList.toggle('offline', !navigator.onLine);
  $('offline-summary').textContent = navigator.onLine ? 'Offline' : 'Offline (ohne Verbindung)';
}

// Registers the worker (once the atlas is on the screen: its files come first) and binds the menu.
export function bindOffline() {
  const menu = $<HTMLDetailsElement>('offline-menu');
  const button = $<HTMLButtonElement>('offline-save');
  window.addEventListener('online', showConnection);
  window.addEventListener('offline', showConnection);
  showConnection();
  const install = $<HTMLButtonElement>('app-install');
  window.addEventListener('beforeinstallprompt', (event) => {
    event.preventDefault();
    installOffer = event;
    install.hidden = false;
  });
  install.addEventListener('click', async () => {
    const offer = installOffer;
    installOffer = null;
    install.hidden = true;
    try { await offer?.prompt?.(); } catch { /* the browser declined */ }
  });
  if (!('serviceWorker' in navigator) || !window.isSecureContext) {
    button.disabled = true;
    say('Dieser Browser kann den Atlas hier nicht offline speichern (nur über https).');
    return;
  }
  button.addEventListener('click', () => { saveAtlas(); });
  menu.addEventListener('toggle', () => { if (menu.open) showState(); });
  navigator.serviceWorker.register('sw.js', { scope: './' }).then(async (registration) => {
    scope = registration.scope;
    const sw = await controller();
    // The files this visit loaded before the worker took the page over are kept as well.
    const here = new URL('.', location.href).href;
    const loaded = performance.getEntriesByType('resource').map((e) => e.name.split('#')[0])
      .filter((u) => u.startsWith(here) && !u.includes('?'));
    sw?.postMessage({ keep: [...new Set(loaded)] });
    navigator.serviceWorker.addEventListener('controllerchange', () => { topUp(); });
    await topUp();
  }).catch((error) => {
    button.disabled = true;
    say('Offline-Speicherung nicht möglich: ' + (error?.message ?? String(error)));
  });
}
