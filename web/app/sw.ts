// The site's service worker (sw.js at the site's root, never fingerprinted, never kept long by a
// server): the atlas keeps working without a connection.
//
// One cache per atlas and version, named "ostrelin <scope> <app version>-<site version>": the app's
// version is the fingerprint of its files (build.mjs), the site's that of atlas/manifest.json
// (stamped by `atlasbau web`). Installing fills it with the app, the manifest and the artwork; every
// file of the site the atlas then asks for is kept as it passes (the pages a student opened), and
// "Atlas offline speichern" asks for every file of the tree the same way. A new version takes over
// at once, carries the tree's files that its manifest still names over from the old cache and
// deletes the old caches of this atlas only; IndexedDB and localStorage are never touched.
//
// Answers: the page itself and atlas/manifest.json from the network while there is one (a new
// version shows at once), else from the cache; every other file from the cache, else the network.

export {};
declare const self: ServiceWorkerGlobalScope;
// Filled in by build.mjs: the app's files (names relative to the site's root) and their fingerprint.
declare const APP_FILES: string[];
declare const APP_VERSION: string;

// `atlasbau web` writes the manifest's fingerprint over the zeros.
const SITE_VERSION = 'ostrelin-site:0000000000000000'.slice(14);
const SCOPE = self.registration.scope;
const PREFIX = 'ostrelin ' + SCOPE + ' ';
const CACHE = PREFIX + APP_VERSION + '-' + SITE_VERSION;
const PAGE = new URL('index.html', SCOPE).href;
const MANIFEST = new URL('atlas/manifest.json', SCOPE).href;
const SAVING = 'X-Ostrelin';  // the page's header on the requests of "Atlas offline speichern"
let ours: Promise<Cache> | null = null;
const cache = () => (ours ??= caches.open(CACHE));  // this version's cache, opened once

interface SiteManifest {
  files?: Record<string, string>;
  art?: Record<string, { file?: string }>;
}

const within = (url: string) => url.startsWith(SCOPE) && !url.slice(SCOPE.length).includes('..');
const siteFile = (name: string) => new URL(name, SCOPE).href;

// The tree's files the manifest names, as addresses.
function treeFiles(manifest: SiteManifest): Set<string> {
  const files = new Set<string>();
  for (const file of Object.values(manifest.files ?? {})) {
    if (typeof file === 'string' && /^d\/[a-z0-9._-]+$/.test(file)) files.add(siteFile('atlas/' + file));
  }
  return files;
}

async function install() {
  const kept = await cache();
  // The page and the manifest fresh from the server, not from the browser's own cache.
  const manifestAnswer = await fetch(MANIFEST, { cache: 'no-cache' });
  if (!manifestAnswer.ok) throw new Error('atlas/manifest.json: ' + manifestAnswer.status);
  const manifest: SiteManifest = await manifestAnswer.clone().json();
  await kept.put(MANIFEST, manifestAnswer);
  const page = await fetch(PAGE, { cache: 'no-cache' });
  if (!page.ok) throw new Error('index.html: ' + page.status);
  await kept.put(PAGE, page);
  const art = Object.values(manifest.art ?? {}).map((a) => a.file ?? '')
    .filter((file) => /^art\/[a-z0-9._-]+$/.test(file));
  // The app's scripts must all be there; a picture the server lacks leaves a gap, nothing more.
  const scripts = APP_FILES.filter((name) => !name.endsWith('.webmanifest'));
  await kept.addAll(scripts.map(siteFile));
  const extras = [...APP_FILES.filter((name) => !scripts.includes(name)), ...art];
  await Promise.all(extras.map((name) => kept.add(siteFile(name)).catch(() => undefined)));
}

async function activate() {
  const kept = await cache();
  const manifest = await kept.match(MANIFEST);
  const wanted = manifest ? treeFiles(await manifest.json()) : new Set<string>();
  for (const name of await caches.keys()) {
    if (!name.startsWith(PREFIX) || name === CACHE) continue;
    // The tree's files the new version still names stay offline: their names carry their contents.
    const old = await caches.open(name);
    for (const request of await old.keys()) {
      if (!wanted.has(request.url) || (await kept.match(request))) continue;
      const answer = await old.match(request);
      if (answer) await kept.put(request, answer);
    }
    await caches.delete(name);
  }
  await self.clients.claim();
}

self.addEventListener('install', (event) => {
  event.waitUntil(install().then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => { event.waitUntil(activate()); });

// A file kept whole answers a request for a part of it (audio and video ask so).
async function part(answer: Response, range: string): Promise<Response> {
  const bytes = await answer.blob();
  const m = /^bytes=(\d*)-(\d*)$/.exec(range.trim());
  let start = m && m[1] ? Number(m[1]) : 0;
  let end = m && m[2] ? Number(m[2]) : bytes.size - 1;
  if (m && !m[1] && m[2]) { start = Math.max(0, bytes.size - Number(m[2])); end = bytes.size - 1; }
  end = Math.min(end, bytes.size - 1);
  if (!m || start > end) {
    return new Response(null, { status: 416, headers: { 'Content-Range': `bytes */${bytes.size}` } });
  }
  const headers = new Headers(answer.headers);
  headers.set('Content-Range', `bytes ${start}-${end}/${bytes.size}`);
  headers.set('Content-Length', String(end - start + 1));
  return new Response(bytes.slice(start, end + 1), { status: 206, statusText: 'Partial Content', headers });
}

// Asks the network and keeps a whole, good answer. The answer goes out at once while the cache
// takes its copy, but for the page saving the atlas (its requests say "Speichern"): it gets the
// answer once the file is kept, so what it received is offline.
async function fetchAndKeep(request: Request, key: string, waitUntil: (p: Promise<unknown>) => void): Promise<Response> {
  const answer = await fetch(request);
  if (answer.status === 200 && answer.type === 'basic' && !request.headers.has('range')) {
    const kept = cache().then((c) => c.put(key, answer.clone()))
      .catch(() => { /* storage full: the answer still goes out */ });
    if (request.headers.get(SAVING) === 'Speichern') await kept;
    else waitUntil(kept);
  }
  return answer;
}

async function answer(request: Request, url: string, waitUntil: (p: Promise<unknown>) => void): Promise<Response> {
  const page = request.mode === 'navigate' && (url === SCOPE || url === PAGE);
  const key = page ? PAGE : url;
  const range = request.headers.get('range');
  const fresh = page || url === MANIFEST;
  const kept = fresh ? undefined : await (await cache()).match(key);
  if (kept) return range ? part(kept, range) : kept;
  try {
    return await fetchAndKeep(request, key, waitUntil);
  } catch (error) {
    // No connection: this version's copy, else what an older version kept.
    const older = (fresh ? await (await cache()).match(key) : undefined) ?? await caches.match(key);
    if (older) return range ? part(older, range) : older;
    throw error;
  }
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  // The address without its #: a deep link is the page itself.
  const url = request.url.split('#')[0];
  if (!within(url) || url === siteFile('sw.js')) return;
  // Queries are not the site's: a request with one goes to the network as it is.
  if (new URL(url).search) return;
  event.respondWith(answer(request, url, (p) => event.waitUntil(p)));
});

// The page names the files it loaded before this worker took it over (its first visit): kept too.
self.addEventListener('message', (event) => {
  const data = event.data;
  if (!data || data.keep === undefined || !Array.isArray(data.keep)) return;
  const urls = (data.keep as unknown[]).filter((u): u is string =>
    typeof u === 'string' && within(u) && !u.includes('?') && !u.includes('#') && u !== siteFile('sw.js'));
  event.waitUntil((async () => {
    const kept = await cache();
    for (const url of urls) {
      if (await kept.match(url)) continue;
      try {
        await fetchAndKeep(new Request(url, { headers: { [SAVING]: 'Speichern' } }), url === SCOPE ? PAGE : url, () => {});
      } catch { /* offline again */ }
    }
  })());
});
