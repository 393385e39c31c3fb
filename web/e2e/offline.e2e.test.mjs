// The web atlas offline and its bookmarks as a file, in Debian's headless chromium: the whole demo
// saved with "Atlas offline speichern" opens without a connection (start page, a deep link); a new
// export replaces what the browser kept while the bookmarks and learning record stay; BENUTZER.BKM
// goes out and comes in as the desktop writes it.
//
// Needs what atlas.e2e.test.mjs needs (OSTRELIN_BUILD_DIR with tools/atlasbau and the app, the demo
// tree).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import AxeBuilder from '@axe-core/playwright';
import { build, serveSite, launch, openPage, settled } from './serve.mjs';

const demoTree = process.env.OSTRELIN_DEMO_TREE ?? path.join(build, 'demo-atlas');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'ostrelin-offline-'));
fs.chmodSync(work, 0o755);  // nginx's workers run as nobody when root starts it
const site = path.join(work, 'demo/site');
const exportTree = (tree) =>
  execFileSync(path.join(build, 'tools/atlasbau'), ['web', tree, site], { stdio: 'pipe' });
let server, browser;

before(async () => {
  exportTree(demoTree);
  server = await serveSite(path.join(work, 'demo'));
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.stop();
  fs.rmSync(work, { recursive: true, force: true });
});

async function open(context, hash = '') {
  const page = await openPage(context, server.url);
  page.setDefaultTimeout(15000);
  await page.goto(server.url + 'index.html' + hash);
  await settled(page);
  return page;
}

// Once the service worker runs the page, its caches of this atlas.
async function controlled(page) {
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  return page.evaluate(async () => (await caches.keys()).filter((k) => k.startsWith('ostrelin ')));
}

async function saveOffline(page) {
  await page.click('#offline-summary');
  await page.click('#offline-save');
  await page.waitForFunction(() => /ist offline gespeichert/.test(document.getElementById('offline-state').textContent));
  return page.evaluate(() => {
    const bar = document.getElementById('offline-progress');
    return { state: document.getElementById('offline-state').textContent, value: bar.value, max: bar.max };
  });
}

// Until the page's async `check(arg)` holds (waitForFunction takes a promise for a truthy value).
async function until(page, check, arg, timeout = 15000) {
  for (const end = Date.now() + timeout; ;) {
    if (await page.evaluate(check, arg)) return;
    if (Date.now() > end) throw new Error('never held: ' + check.toString().slice(0, 120));
    await new Promise((r) => setTimeout(r, 100));
  }
}

const serious = async (page, include) => (await new AxeBuilder({ page }).include(include).analyze())
  .violations.filter((v) => v.impact === 'serious' || v.impact === 'critical').map((v) => v.id + ': ' + v.help);

test('installable: the manifest, its icons and the worker served as browsers want them', async () => {
  const manifest = await (await fetch(server.url + 'manifest.webmanifest')).json();
  assert.equal(manifest.name, 'Ostrelin');
  assert.equal(manifest.lang, 'de');
  assert.equal(manifest.display, 'standalone');
  const icons = Object.fromEntries(manifest.icons.map((i) => [i.purpose + ' ' + i.sizes, i.src]));
  const html = fs.readFileSync(path.join(site, 'index.html'), 'utf8');
  const apple = html.match(/rel="apple-touch-icon" href="([^"]+)"/)[1];
  for (const [src, size] of [[icons['any 192x192'], 192], [icons['any 512x512'], 512],
    [icons['maskable 512x512'], 512], [apple, 180]]) {
    const png = Buffer.from(await (await fetch(server.url + src)).arrayBuffer());
    assert.equal(png.toString('latin1', 1, 4), 'PNG', src);
    assert.deepEqual([png.readUInt32BE(16), png.readUInt32BE(20)], [size, size], src);
  }
  const worker = await fetch(server.url + 'sw.js');
  assert.equal(worker.headers.get('cache-control'), 'no-cache');
  assert.match(await worker.text(), /ostrelin-site:[0-9a-f]{16}/);
  assert.doesNotMatch(fs.readFileSync(path.join(site, 'sw.js'), 'utf8'), /ostrelin-site:0{16}/);
});

test('offline: the pages opened, then the whole demo saved; a reload and a deep link without a connection', async () => {
  const context = await browser.newContext({ viewport: { width: 1440, height: 900 } });
  const page = await open(context);
  await controlled(page);
  // What the first visit loaded before the worker ran the page is kept all the same.
  await until(page, () => caches.keys().then(async (k) => {
    const kept = new Set((await (await caches.open(k.find((n) => n.startsWith('ostrelin ')))).keys()).map((r) => r.url));
    return performance.getEntriesByType('resource').map((e) => e.name).filter((u) => u.includes('/atlas/'))
      .every((u) => kept.has(u));
  }));
  await context.setOffline(true);
  await page.reload();
  await settled(page);
  assert.equal(await page.locator('#page').textContent(), 'START');
  assert.match(await page.locator('#view').getAttribute('data-painted'), /^BILDER\/SCHEMA\/START\.JPG\|/);
  assert.equal(await page.locator('#offline-summary').textContent(), 'Offline (ohne Verbindung)');
  await context.setOffline(false);

  const saved = await saveOffline(page);
  assert.equal(saved.value, saved.max);
  assert.match(saved.state, /\d+ Dateien, [\d,]+\sMB/);
  assert.deepEqual(await serious(page, '#offline-menu'), []);
  if (process.env.OSTRELIN_SCREENSHOTS) await page.screenshot({ path: path.join(process.env.OSTRELIN_SCREENSHOTS, 'offline-1440.png') });

  // Without a connection, a deep link to a page never opened: its image and text from the saved atlas.
  await context.setOffline(true);
  await page.goto(server.url + 'index.html#seite=Rumpf%20quer%20Herz&typ=ct');
  await settled(page);
  assert.equal(await page.locator('#page').textContent(), 'Rumpf quer Herz');
  assert.match(await page.locator('#view').getAttribute('data-painted'), /^BILDER\/CT\//);
  assert.match(await page.locator('#text').textContent(), /\S{3}/);
  assert.equal(await page.locator('#message').isHidden(), true);
  // Film and sound ask for parts of their file: cut from the kept one.
  const manifest = JSON.parse(fs.readFileSync(path.join(site, 'atlas/manifest.json'), 'utf8'));
  const media = Object.values(manifest.files).find((f) => /\.(mp4|webm|wav|ogg|mp3)$/.test(f));
  const part = await page.evaluate(async (url) => {
    const r = await fetch(url, { headers: { Range: 'bytes=4-11' } });
    return [r.status, r.headers.get('content-range'), (await r.arrayBuffer()).byteLength];
  }, 'atlas/' + media);
  assert.deepEqual(part, [206, `bytes 4-11/${manifest.sizes[media]}`, 8]);
  assert.deepEqual(page.problems, []);
  await context.close();
});

test('a new export replaces the cache at the next visit; bookmarks and learning record stay', async () => {
  const context = await browser.newContext({ viewport: { width: 390, height: 844 }, isMobile: true, hasTouch: true });
  const page = await open(context, '#seite=Kopf%20axial%200%20mm');
  const [first] = await controlled(page);
  await saveOffline(page);
  if (process.env.OSTRELIN_SCREENSHOTS) await page.screenshot({ path: path.join(process.env.OSTRELIN_SCREENSHOTS, 'offline-390.png') });
  await page.click('#offline-summary');
  await page.click('summary:text("Lesezeichen")');
  await page.click('#bookmark-set');
  await page.evaluate(() => new Promise((resolve, reject) => {
    const open = indexedDB.open('ostrelin-test', 1);
    open.onupgradeneeded = () => open.result.createObjectStore('lernstand');
    open.onsuccess = () => {
      const t = open.result.transaction('lernstand', 'readwrite');
      t.objectStore('lernstand').put({ box: 3 }, 'Herz');
      t.oncomplete = () => { open.result.close(); resolve(); };
      t.onerror = () => reject(t.error);
    };
  }));
  const bookmarks = await page.evaluate(() => Object.entries(localStorage));

  // The tree with one text changed, exported over the site: a new version with one new file.
  const tree = path.join(work, 'tree');
  fs.cpSync(demoTree, tree, { recursive: true });
  const textFile = fs.readdirSync(path.join(tree, 'Texte'), { recursive: true }).find((f) => /\.txt$/i.test(f));
  fs.appendFileSync(path.join(tree, 'Texte', textFile), '\r\nNeu in dieser Ausgabe.\r\n');
  exportTree(tree);
  const manifest = JSON.parse(fs.readFileSync(path.join(site, 'atlas/manifest.json'), 'utf8'));

  await page.reload();
  await settled(page);
  // The new worker took over and dropped the old cache; the saved atlas stays whole (the files
  // the new version still names carried over, the new one fetched).
  await until(page, (old) => caches.keys().then((k) => {
    const ours = k.filter((n) => n.startsWith('ostrelin '));
    return ours.length === 1 && ours[0] !== old;
  }), first);
  await until(page, (files) => caches.keys().then(async (k) => {
    const cache = await caches.open(k.find((n) => n.startsWith('ostrelin ')));
    const kept = new Set((await cache.keys()).map((r) => r.url));
    return files.every((f) => kept.has(new URL('atlas/' + f, location.href).href));
  }), [...new Set(Object.values(manifest.files))]);
  assert.deepEqual(await page.evaluate(() => Object.entries(localStorage)), bookmarks);
  assert.deepEqual(await page.evaluate(() => new Promise((resolve) => {
    const open = indexedDB.open('ostrelin-test', 1);
    open.onsuccess = () => {
      const get = open.result.transaction('lernstand').objectStore('lernstand').get('Herz');
      get.onsuccess = () => resolve(get.result);
    };
  })), { box: 3 });
  assert.match((await page.locator('#bookmark-list button').allTextContents()).join('|'),
               /^\([A-Z]\) Kopf axial 0 mm$/);
  assert.deepEqual(page.problems, []);
  await context.close();
});

test('bookmarks: a desktop file imported, merged, exported byte for byte; another file refused', async () => {
  const context = await browser.newContext({ viewport: { width: 1440, height: 900 }, acceptDownloads: true });
  const page = await open(context, '#seite=Kopf%20axial%200%20mm');
  await page.click('summary:text("Lesezeichen")');
  await page.click('#bookmark-set');  // "(S) Kopf axial 0 mm" or the type shown
  const desktop = Buffer.from('(M) Kopf axial +10 mm\r\n/ ein Kommentar\r\n\r\nGef\xe4\xdfe des Halses\r\n', 'latin1');
  await page.locator('#bookmark-file').setInputFiles({ name: 'BENUTZER.BKM', mimeType: 'application/octet-stream', buffer: desktop });
  const entries = () => page.locator('#bookmark-list button').allTextContents();
  await page.waitForFunction(() => document.getElementById('status').textContent === '2 Lesezeichen übernommen');
  await page.click('summary:text("Lesezeichen")');
  assert.deepEqual(await serious(page, '.menus'), []);
  const shown = await entries();
  assert.deepEqual(shown.slice(1), ['(M) Kopf axial +10 mm', 'Gefäße des Halses']);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#bookmark-export')]);
  assert.equal(download.suggestedFilename(), 'BENUTZER.BKM');
  const bytes = fs.readFileSync(await download.path());
  assert.deepEqual(bytes, Buffer.from(shown[0] + '\r\n(M) Kopf axial +10 mm\r\nGef\xe4\xdfe des Halses\r\n', 'latin1'));

  // Not a bookmark file: said so, nothing changed.
  await page.locator('#bookmark-file').setInputFiles({ name: 'bild.png', mimeType: 'image/png',
    buffer: fs.readFileSync(path.join(site, 'art/web_192.png')) });
  await page.waitForFunction(() => !document.getElementById('message').hidden);
  assert.equal(await page.locator('#message-text').textContent(), 'Die Datei bild.png ist keine Lesezeichen-Datei.');
  await page.click('#message-ok');
  assert.deepEqual(await entries(), shown);
  assert.deepEqual(page.problems, []);
  await context.close();
});
