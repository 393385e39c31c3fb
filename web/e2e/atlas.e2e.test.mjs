// The web atlas end to end: the demo atlas exported by atlasbau web, served by nginx on
// 127.0.0.1, driven in Debian's headless chromium. Every page is also held to: no console error,
// no failed script, no request to another origin.
//
// Needs OSTRELIN_BUILD_DIR (default build/) with tools/atlasbau and the app folder (target
// web_app), and the demo tree (OSTRELIN_DEMO_TREE, default BUILD/demo-atlas).
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import AxeBuilder from '@axe-core/playwright';
import { build, serveSite, launch, openPage, settled, encodeOutline } from './serve.mjs';
import { execFileSync } from 'node:child_process';

const demoTree = process.env.OSTRELIN_DEMO_TREE ?? path.join(build, 'demo-atlas');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'ostrelin-e2e-'));
fs.chmodSync(work, 0o755);  // nginx's workers run as nobody when root starts it
let server, browser;

before(async () => {
  execFileSync(path.join(build, 'tools/atlasbau'), ['web', demoTree, path.join(work, 'demo/site')],
               { stdio: 'pipe' });
  server = await serveSite(path.join(work, 'demo'));
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.stop();
  fs.rmSync(work, { recursive: true, force: true });
});

const HEAD = '#seite=Kopf%20axial%200%20mm';

async function open(hash = '', options = {}, base = server.url) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 }, ...options });
  const page = await openPage(context, base);
  page.setDefaultTimeout(10000);
  page.response = await page.goto(base + 'index.html' + hash);
  await settled(page);
  return page;
}

async function done(page, allowed = () => false) {
  const problems = page.problems.filter((p) => !allowed(p));
  await page.context().close();
  assert.deepEqual(problems, []);
}

const text = (page, selector) => page.locator(selector).first().textContent();
const waitText = (page, selector, want) => page.waitForFunction(([s, w]) => {
  const e = document.querySelector(s);
  return e && (w instanceof RegExp ? false : e.textContent === w);
}, [selector, want]);
const painted = (page) => page.locator('#view').getAttribute('data-painted');
const view = async (page) => (await page.locator('#view').getAttribute('data-view')).split(' ').map(Number);
// The image and highlight on the canvas (set when it is painted, a frame after a change).
const waitPainted = (page, re) => page.waitForFunction(([s, f]) =>
  new RegExp(s, f).test(document.getElementById('view').dataset.painted ?? ''), [re.source, re.flags]);
const waitPressed = (page, t) => page.waitForFunction((t) =>
  document.getElementById('type-' + t).getAttribute('aria-pressed') === 'true' &&
  document.getElementById('atlas').dataset.busy === undefined, t);
const escape = (s) => s.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
const pressed = (page) => page.evaluate(() =>
  [0, 1, 2, 3].filter((t) => document.getElementById('type-' + t).getAttribute('aria-pressed') === 'true'));

// Points of the image window where the pointer names a structure: a grid walked with the mouse.
async function namedPoints(page, want = 3) {
  const box = await page.locator('#viewport').boundingBox();
  const found = [];
  for (let gy = 1; gy < 12 && found.length < want; ++gy) {
    for (let gx = 1; gx < 12 && found.length < want; ++gx) {
      const x = box.x + box.width * gx / 12, y = box.y + box.height * gy / 12;
      await page.mouse.move(x, y);
      const name = (await text(page, '#pointed')).trim();
      if (name && !name.includes(' / ')) found.push({ x, y, name });
    }
  }
  return found;
}

test('start page: its image, text, buttons and panel, under our CSP', async () => {
  const page = await open();
  assert.equal(await text(page, '#page'), 'START');
  assert.match(await painted(page), /^BILDER\/SCHEMA\/START\.JPG\|/);
  assert.equal(await text(page, '#text h2'), 'Willkommen im Demo-Atlas');
  assert.deepEqual(await pressed(page), [3]);
  assert.equal(await page.locator('#type-0').isDisabled(), true);
  assert.equal(await page.evaluate(() => location.hash), '#seite=START&typ=schema');
  assert.match(page.response.headers()['content-security-policy'], /script-src 'self' 'wasm-unsafe-eval'/);
  assert.match(await text(page, '#caption'), /\S/);
  await done(page);
});

test('publishing: fingerprinted app files kept a year, the rest revalidated; exports byte-identical', async () => {
  const site = path.join(work, 'demo/site');
  const html = fs.readFileSync(path.join(site, 'index.html'), 'utf8');
  const app = fs.readdirSync(site).filter((f) => f !== 'index.html' && fs.statSync(path.join(site, f)).isFile());
  // index.html names the script and the style by their fingerprints; nothing else stands beside it.
  for (const ref of [/src="(app-[0-9a-f]{16}\.js)"/, /href="(app-[0-9a-f]{16}\.css)"/]) {
    assert.ok(app.includes(html.match(ref)?.[1]), `${ref} in index.html`);
  }
  // Beside them only the service worker and the web app manifest, under names that never change.
  const fixed = ['manifest.webmanifest', 'sw.js'];
  assert.deepEqual(app.filter((f) => !/^[a-z]+-[0-9a-f]{16}\.(js|mjs|css|wasm)$/.test(f)), fixed);
  assert.equal(app.length, 7, app.join(' '));
  const manifest = JSON.parse(fs.readFileSync(path.join(site, 'atlas/manifest.json'), 'utf8'));
  const year = 'public, max-age=31536000, immutable';
  const want = [['index.html', 'no-cache'], ['atlas/manifest.json', 'no-cache'], ['art/102.png', 'no-cache'],
    ['atlas/' + manifest.files['BILDER/MRT/KOPF_P000.JPG'], year],
    ...app.map((f) => [f, fixed.includes(f) ? 'no-cache' : year])];
  for (const [file, cache] of want) {
    const r = await fetch(server.url + file);
    assert.equal(r.status, 200, file);
    assert.equal(r.headers.get('cache-control'), cache, file);
    assert.match(r.headers.get('content-security-policy'), /script-src 'self' 'wasm-unsafe-eval'/, file);
    if (file.endsWith('.wasm')) assert.equal(r.headers.get('content-type'), 'application/wasm');
  }

  // The same tree exported again, into a fresh folder and over an export of an older app (whose
  // fingerprinted files must go), gives the same site byte for byte.
  const listing = (root) => fs.readdirSync(root, { recursive: true }).sort()
    .filter((f) => fs.statSync(path.join(root, f)).isFile())
    .map((f) => f + ' ' + fs.readFileSync(path.join(root, f)).toString('base64'));
  const again = path.join(work, 'again');
  const atlasbau = (to) => execFileSync(path.join(build, 'tools/atlasbau'), ['web', demoTree, to], { stdio: 'pipe' });
  atlasbau(again);
  fs.writeFileSync(path.join(again, 'app-0123456789abcdef.js'), 'an older app');
  fs.writeFileSync(path.join(again, 'ostrelin-fedcba9876543210.wasm'), 'an older module');
  fs.writeFileSync(path.join(again, 'kurs-notizen.txt'), 'not the export\'s');
  atlasbau(again);
  assert.equal(fs.readFileSync(path.join(again, 'kurs-notizen.txt'), 'utf8'), 'not the export\'s');
  fs.rmSync(path.join(again, 'kurs-notizen.txt'));
  assert.ok(listing(site).length > 100);
  assert.deepEqual(listing(again), listing(site));
});

test('deep links: page and type, a structure, the address bar, Back and Forward', async () => {
  const page = await open(HEAD + '&typ=schema');
  assert.equal(await text(page, '#page'), 'Kopf axial 0 mm');
  assert.deepEqual(await pressed(page), [3]);
  await page.click('#type-1');  // MR
  await page.waitForFunction(() => location.hash.endsWith('&typ=mr'));
  await waitPainted(page, /^BILDER\/MRT\/KOPF_P000\.JPG\|/);
  await page.goBack();
  await waitPressed(page, 3);
  await waitPainted(page, /^BILDER\/SCHEMA\/KOPF_P000\.JPG\|/);
  await page.goForward();
  await waitPressed(page, 1);
  await waitPainted(page, /^BILDER\/MRT\/KOPF_P000\.JPG\|/);

  // Typed into the address bar: a structure, resolved as the index resolves it.
  await page.evaluate(() => { location.hash = '#struktur=Herz'; });
  await page.locator('#popup h2').waitFor();
  assert.equal(await text(page, '#popup h2'), 'Herz gefunden auf');
  await page.getByRole('button', { name: 'Rumpf quer Herz (CT)' }).click();
  await waitText(page, '#page', 'Rumpf quer Herz');
  await page.waitForFunction(() => location.hash === '#seite=Rumpf%20quer%20Herz&typ=ct');
  await waitPainted(page, /^BILDER\/CT\/RM_THORAX2\.JPG\|Herz$/);
  await done(page);
});

test('image: pointer names, a click highlights, Tab steps, wheel and buttons zoom, drag pans', async () => {
  const page = await open(HEAD + '&typ=mr');
  const points = await namedPoints(page, 2);
  assert.equal(points.length, 2, 'the pointer names structures');
  await page.mouse.click(points[0].x, points[0].y);
  await page.waitForFunction((n) => document.getElementById('view').dataset.painted.endsWith('|' + n), points[0].name);
  // The index follows the highlighted structure.
  assert.equal(await page.locator('#names li[aria-selected=true]').textContent(), points[0].name);

  // "Bild speichern": a PNG of the image's own size with the outline and the name band.
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
  assert.match(download.suggestedFilename(), /^Kopf.*\.png$/);
  const png = fs.readFileSync(await download.path());
  const band = await page.evaluate(async (b64) => {
    const bytes = Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    const c = new OffscreenCanvas(bitmap.width, bitmap.height);
    const g = c.getContext('2d');
    g.drawImage(bitmap, 0, 0);
    const rgba = g.getImageData(0, 0, bitmap.width, bitmap.height).data;
    let green = 0;
    for (let i = 0; i < rgba.length; i += 4) if (rgba[i] === 0 && rgba[i + 1] === 255 && rgba[i + 2] === 0) ++green;
    return [bitmap.width, bitmap.height, ...g.getImageData(2, bitmap.height - 2, 1, 1).data, green > 20];
  }, png.toString('base64'));
  assert.deepEqual(band, [456, 560, 0xf4, 0xf4, 0xf0, 255, true], 'size, name band, the outline in green');

  // The context menu as the desktop builds it.
  await page.mouse.click(points[0].x, points[0].y, { button: 'right' });
  const menu = await page.locator('#popup [role=menuitem]').allTextContents();
  assert.ok(menu.includes(points[0].name) && menu.includes('Zeige alle markierbaren Strukturen') &&
            menu.includes('Hilfe'), menu.join(' | '));
  await page.keyboard.press('Escape');

  const [s0] = await view(page);
  const box = await page.locator('#viewport').boundingBox();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.mouse.wheel(0, -400);
  await page.waitForFunction((s) => Number(document.getElementById('view').dataset.view.split(' ')[0]) > s * 1.5, s0);
  const [, , y1] = await view(page);
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2 + 60, { steps: 4 });
  await page.mouse.up();
  await page.waitForFunction((y) => Number(document.getElementById('view').dataset.view.split(' ')[2]) > y + 30, y1);
  await page.click('#zoom-fit');
  await page.waitForFunction((s) => document.getElementById('view').dataset.view.startsWith(s.toFixed(3)), s0);
  await page.click('#zoom-in');
  await page.waitForFunction((s) => Number(document.getElementById('view').dataset.view.split(' ')[0]) > s, s0);

  // Keyboard: Tab steps through the structures, Escape clears.
  await page.focus('#viewport');
  await page.keyboard.press('Tab');
  const stepped = (await text(page, '#pointed')).trim();
  assert.ok(stepped, 'Tab names a structure');
  await waitPainted(page, new RegExp('\\|' + escape(stepped) + '$'));
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.getElementById('view').dataset.painted.endsWith('|'));

  // Everything markable; one structure after it leaves no pixel of the others on the highlight
  // (only what is drawn is put on the canvas, the rest is cleared). Then the list of it.
  const opaque = () => page.evaluate(() => {
    const c = document.getElementById('highlight');
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let n = 0;
    for (let i = 3; i < d.length; i += 4) if (d[i]) ++n;
    return n;
  });
  await page.click('#show-all');
  await page.waitForFunction(() => document.getElementById('view').dataset.painted.endsWith('|*'));
  const all = await opaque();
  await page.focus('#viewport');
  await page.keyboard.press('Tab');
  const one = (await text(page, '#pointed')).trim();
  await waitPainted(page, new RegExp('\\|' + escape(one) + '$'));
  const left = await opaque();
  assert.ok(left > 0 && left < all / 2, `${left} of ${all} highlight pixels left for ${one}`);
  await page.click('#list-all');
  assert.equal(await text(page, '#popup h2'), 'Markierbare Strukturen');
  assert.ok(await page.locator('#popup li').count() > 20);
  await done(page);
});

test('text links: a structure, a tagged page "(MR)", sound and film, help', async () => {
  const page = await open('#seite=Kopf%20axial%20%2B70%20mm&typ=schema');
  assert.equal(await text(page, '#page'), 'Kopf axial +70 mm');
  const structure = page.locator('#text .link.structure').first();
  const target = await structure.getAttribute('data-target');
  await structure.click();
  await page.waitForFunction((n) => document.getElementById('view').dataset.painted.endsWith('|' + n), target);
  await page.getByRole('button', { name: 'Zum MR-Bild' }).click();
  await page.waitForFunction(() => location.hash === '#seite=Kopf%20axial%20%2B70%20mm&typ=mr');
  await waitPressed(page, 1);
  assert.deepEqual(await pressed(page), [1]);

  await page.evaluate(() => { location.hash = '#seite=START'; });
  await waitText(page, '#page', 'START');
  await page.getByRole('button', { name: 'Gong' }).click();
  assert.match(await page.locator('#media audio').getAttribute('src'), /^atlas\/d\/start-[0-9a-f]+\.wav$/);
  await page.getByRole('button', { name: 'Fahrt durch den Kopf' }).click();
  const film = page.locator('#media a[download]');
  assert.match(await film.getAttribute('href'), /^atlas\/d\/kopf_fahrt-[0-9a-f]+\.avi$/);
  await page.keyboard.press('F1');
  await waitText(page, '#page', 'Hilfe-Übersicht');
  await done(page);
});

test('index: search as you type with a synonym, keys, opening an entry', async () => {
  const page = await open();
  await page.getByRole('button', { name: 'Bild/Index' }).click();
  assert.equal(await page.locator('#nav').isHidden(), true);
  await page.fill('#search', 'broca');
  await page.waitForFunction(() => document.querySelector('#names li[aria-selected=true]')?.textContent.startsWith('Gyrus frontalis inferior'));
  await page.fill('#search', 'Kopf axial 0');
  await page.waitForFunction(() => document.querySelector('#names li[aria-selected=true]')?.textContent === 'Kopf axial 0 mm');
  await page.keyboard.press('ArrowDown');
  const next = await page.locator('#names li[aria-selected=true]').textContent();
  assert.notEqual(next, 'Kopf axial 0 mm');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('Enter');
  await waitText(page, '#page', 'Kopf axial 0 mm');
  assert.ok(await page.locator('#synonyms button').count() > 0);
  await done(page);
});

test('history with Back, bookmarks kept across a reload', async () => {
  const page = await open();
  await page.getByRole('button', { name: 'Kopf axial +10 mm' }).click();
  await waitText(page, '#page', 'Kopf axial +10 mm');
  await page.click('#back');
  await waitText(page, '#page', 'START');
  await page.click('summary:text("History")');
  await page.locator('#history-list button', { hasText: 'Kopf axial +10 mm' }).first().click();
  await waitText(page, '#page', 'Kopf axial +10 mm');

  await page.click('summary:text("Lesezeichen")');
  await page.click('#bookmark-set');
  await page.locator('#bookmark-list button', { hasText: 'Kopf axial +10 mm' }).waitFor({ state: 'attached' });
  await page.goto(server.url + 'index.html');
  await settled(page);
  assert.equal(await text(page, '#page'), 'START');
  await page.click('summary:text("Lesezeichen")');
  await page.locator('#bookmark-list button', { hasText: 'Kopf axial +10 mm' }).click();
  await waitText(page, '#page', 'Kopf axial +10 mm');
  await done(page);
});

test('phone 390 x 844: image on top, panel and text below, no sideways scrolling, taps', async () => {
  const page = await open(HEAD + '&typ=mr', { viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true });
  const widths = await page.evaluate(() => [document.documentElement.scrollWidth, window.innerWidth]);
  assert.ok(widths[0] <= widths[1], `page ${widths[0]} px wide on a ${widths[1]} px screen`);
  const boxes = {};
  for (const id of ['imagearea', 'side', 'textpanel']) boxes[id] = await page.locator('#' + id).boundingBox();
  assert.ok(boxes.imagearea.y + boxes.imagearea.height <= boxes.side.y + 1);
  assert.ok(boxes.side.y + boxes.side.height <= boxes.textpanel.y + 1);
  assert.ok(boxes.imagearea.width <= 390 && boxes.textpanel.width <= 390);

  // A tap names and highlights the structure under the finger.
  const v = await page.locator('#viewport').boundingBox();
  let named = '', at;
  for (let i = 3; i < 10 && !named; ++i) {
    at = { x: v.x + v.width * i / 12, y: v.y + v.height * 0.55 };
    await page.touchscreen.tap(at.x, at.y);
    named = (await text(page, '#pointed')).trim();
  }
  assert.ok(named, 'a tap names a structure');
  if (!named.includes(' / ')) {
    await page.waitForFunction((n) => document.getElementById('view').dataset.painted.endsWith('|' + n), named);
  }
  await page.keyboard.press('Escape');

  // Two fingers spread around that point: the image grows about it, the point stays under the
  // fingers, and a tap there names the same structure.
  const imageX = ([s, x, y]) => [(at.x - v.x - x) / s, (at.y - v.y - y) / s];
  const before = await view(page);
  const cdp = await page.context().newCDPSession(page);
  const fingers = (type, d) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: d === null ? [] :
    [{ id: 1, x: at.x - d, y: at.y - d / 2 }, { id: 2, x: at.x + d, y: at.y + d / 2 }] });
  await fingers('touchStart', 20);
  for (const d of [30, 40, 50, 60]) await fingers('touchMove', d);
  await fingers('touchEnd', null);
  await page.waitForFunction((s) => Number(document.getElementById('view').dataset.view.split(' ')[0]) > s * 2.5, before[0]);
  const after = await view(page);
  assert.ok(after[0] < before[0] * 3.5, `zoom ${before[0]} -> ${after[0]} for fingers 3 x apart`);
  const [bx, by] = imageX(before), [ax, ay] = imageX(after);
  assert.ok(Math.hypot(ax - bx, ay - by) < 0.5, `pinch centre moved from ${bx},${by} to ${ax},${ay}`);
  await page.touchscreen.tap(at.x, at.y);
  await page.waitForFunction((n) => document.getElementById('pointed').textContent.trim() === n, named);
  await page.locator('#type-3').tap();
  await page.waitForFunction(() => location.hash.endsWith('&typ=schema'));
  await done(page);
});

test('overlapping structures are offered as a choice', async () => {
  // Two structures over the middle of an image: a click there offers both.
  const prefix = path.join(work, 'overlap');
  fs.cpSync(path.join(work, 'demo/site'), path.join(prefix, 'site'), { recursive: true });
  const manifest = JSON.parse(fs.readFileSync(path.join(prefix, 'site/atlas/manifest.json'), 'utf8'));
  fs.writeFileSync(path.join(prefix, 'site/atlas', manifest.files['BILDER/MRT/KOPF_P010.DAT']), encodeOutline([
    { name: 'Links', first: 0, last: 300, start: 0, end: 559 },
    { name: 'Rechts', first: 150, last: 455, start: 0, end: 559 }]));
  const overlap = await serveSite(prefix);
  try {
    const page = await open('#seite=Kopf%20axial%20%2B10%20mm&typ=mr', {}, overlap.url);
    const box = await page.locator('#viewport').boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    assert.equal(await text(page, '#pointed'), 'Links / Rechts');
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
    assert.equal(await text(page, '#popup h2'), 'Mögliche (überlappende) Strukturen');
    assert.deepEqual(await page.locator('#popup li button').allTextContents(), ['Links', 'Rechts']);
    await page.getByRole('button', { name: 'Rechts', exact: true }).click();
    await waitPainted(page, /^BILDER\/MRT\/KOPF_P010\.JPG\|Rechts$/);
    assert.equal(await page.locator('#popup').isHidden(), true);
    await done(page);
  } finally {
    await overlap.stop();
  }
});

test('a hostile site shows its messages and runs nothing of its own', async () => {
  // The demo site with its data made hostile as a tampered tree or server would make it.
  const prefix = path.join(work, 'hostile');
  fs.cpSync(path.join(work, 'demo/site'), path.join(prefix, 'site'), { recursive: true });
  const atlasDir = path.join(prefix, 'site/atlas');
  const manifest = JSON.parse(fs.readFileSync(path.join(atlasDir, 'manifest.json'), 'utf8'));
  const file = (key) => path.join(atlasDir, manifest.files[key]);
  const cp1252 = (s) => Buffer.from(s, 'latin1');
  fs.writeFileSync(file('TEXTE/SCHEMA/START.TXT'), cp1252(
    '#/H:<script>window.pwned=1</script>#\r\n' +
    '<img src=x onerror="window.pwned=2"> #/L:javascript:window.pwned=3# ' +
    '#/L:Weg{https://evil.example/}# #/P:<b onmouseover=window.pwned=4>Herz</b># ' +
    '#/M:Film{../../../../etc/passwd}#$\r\n'));
  fs.writeFileSync(file('BILDER/SCHEMA/START.JPG'), Buffer.from([0xff, 0xd8, 0xff, 0xe0, 1, 2, 3]));
  const outline = fs.readFileSync(file('BILDER/SCHEMA/KOPF_P000.DAT'));
  fs.writeFileSync(file('BILDER/SCHEMA/KOPF_P000.DAT'), outline.subarray(0, Math.floor(outline.length / 2)));
  fs.appendFileSync(file('DATEN/INDEX.LST'), cp1252(
    '<img src=x onerror=window.pwned=5> # start.txt #   #   #   # start.jpg #   # P # M # U # x\r\n'));
  delete manifest.files['BILDER/SCHEMA/UE_BRUST.JPG'];
  manifest.unreadable['BILDER/SCHEMA/UE_BRUST.JPG'] = 'Das Bild ist zu groß (50000 × 50000 Pixel)';
  manifest.files['TEXTE/SCHEMA/ARM_OBER.TXT'] = '../../../../../etc/passwd';
  manifest.art.KOPF_UP.file = 'https://evil.example/kopf.png';
  manifest.art.SM_KOPF.file = 'javascript:window.pwned=6';
  fs.writeFileSync(path.join(atlasDir, 'manifest.json'), JSON.stringify(manifest));
  const hostile = await serveSite(prefix);
  try {
    const page = await open('', {}, hostile.url);
    page.on('dialog', (d) => { page.problems.push('dialog: ' + d.message()); d.dismiss(); });
    await page.locator('#message').waitFor();
    assert.match(await text(page, '#message-text'), /Das Bild kann nicht angezeigt werden/);
    await page.click('#message-ok');
    assert.equal(await text(page, '#text h2'), '<script>window.pwned=1</script>');
    assert.match(await text(page, '#text'), /<img src=x onerror="window.pwned=2">/);
    assert.equal(await page.locator('#text script, #text img, #text a[href]').count(), 0);
    for (const name of ['javascript:window.pwned=3', 'Weg', 'Film']) {
      await page.evaluate(() => { location.hash = '#seite=Hilfe-%C3%9Cbersicht'; });
      await waitText(page, '#page', 'Hilfe-Übersicht');
      await page.evaluate(() => { location.hash = '#seite=START'; });
      await waitText(page, '#page', 'START');
      if (await page.locator('#message').isVisible()) await page.click('#message-ok');
      await page.getByRole('button', { name, exact: true }).click();
      await page.waitForTimeout(100);
      if (await page.locator('#message').isVisible()) await page.click('#message-ok');
    }
    await page.evaluate(() => { location.hash = '#seite=' + encodeURIComponent('<img src=x onerror=window.pwned=5>'); });
    await waitText(page, '#page', '<img src=x onerror=window.pwned=5>');
    await page.evaluate(() => { location.hash = '#seite=' + encodeURIComponent('Übersicht quer Brustkorb') + '&typ=schema'; });
    await page.locator('#message').waitFor();
    assert.equal(await text(page, '#message-text'), 'Das Bild ist zu groß (50000 × 50000 Pixel)');
    await page.click('#message-ok');
    await page.evaluate(() => { location.hash = '#seite=Kopf%20axial%200%20mm&typ=schema'; });
    await waitText(page, '#page', 'Kopf axial 0 mm');
    await page.evaluate(() => { location.hash = '#seite=Arm%20quer%20Oberarm&typ=schema'; });
    await waitText(page, '#page', 'Arm quer Oberarm');
    assert.equal(await page.evaluate(() => window.pwned), undefined);
    assert.equal(new URL(page.url()).origin, new URL(hostile.url).origin);
    // The broken image and the file outside atlas/ answer 404s: that much the browser may log.
    await done(page, (p) => /Failed to load resource: the server responded with a status of 404/.test(p));
  } finally {
    await hostile.stop();
  }
});

test('accessibility: no serious or critical violation on the start page, a text page, the index', async () => {
  const page = await open();
  const check = async (where) => {
    const result = await new AxeBuilder({ page }).analyze();
    const bad = result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical');
    assert.deepEqual(bad.map((v) => `${where}: ${v.id} (${v.impact}) ${v.nodes.map((n) => n.target).join(', ')}`), []);
  };
  await check('start page');
  await page.evaluate(() => { location.hash = '#seite=Kopf%20axial%200%20mm&typ=mr'; });
  await waitText(page, '#page', 'Kopf axial 0 mm');
  await check('text page');
  await page.click('#toggle');
  await check('index');
  await done(page);
});
