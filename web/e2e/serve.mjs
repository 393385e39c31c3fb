// Serves an exported site with nginx on 127.0.0.1 (a free port, our web/nginx.conf) and opens
// Debian's chromium through playwright-core: what the browser tests and the benchmark share.
import { spawn, execFileSync } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const build = path.resolve(process.env.OSTRELIN_BUILD_DIR ?? path.join(repo, 'build'));

function freePort() {
  return new Promise((resolve, reject) => {
    const s = net.createServer();
    s.listen(0, '127.0.0.1', () => { const { port } = s.address(); s.close(() => resolve(port)); });
    s.on('error', reject);
  });
}

// Exports TREE with atlasbau web into a fresh folder and serves it; returns {url, stop}.
export async function serveTree(tree, { work } = {}) {
  const prefix = work ?? fs.mkdtempSync(path.join(os.tmpdir(), 'ostrelin-web-'));
  fs.chmodSync(prefix, 0o755);  // nginx's workers run as nobody when root starts it
  fs.mkdirSync(path.join(prefix, 'tmp'), { recursive: true });
  execFileSync(path.join(build, 'tools/atlasbau'), ['web', tree, path.join(prefix, 'site')], { stdio: 'pipe' });
  return serveSite(prefix);
}

// Serves PREFIX/site (nginx's scratch folders in PREFIX/tmp).
export async function serveSite(prefix) {
  fs.mkdirSync(path.join(prefix, "tmp"), { recursive: true });
  const port = await freePort();
  const conf = fs.readFileSync(path.join(repo, 'web/nginx.conf'), 'utf8')
    .replace('listen 127.0.0.1:8080;', `listen 127.0.0.1:${port};`)
    .replace('include nginx-headers.conf;', `include ${path.join(repo, 'web/nginx-headers.conf')};`)
    .replaceAll('include nginx-headers.conf;', `include ${path.join(repo, 'web/nginx-headers.conf')};`);
  const confFile = path.join(prefix, 'nginx.conf');
  fs.writeFileSync(confFile, conf);
  execFileSync('chmod', ['-R', 'a+rX', prefix]);
  const nginx = spawn('nginx', ['-p', prefix, '-e', 'stderr', '-c', confFile, '-g', 'daemon off;'],
                      { stdio: ['ignore', 'ignore', 'pipe'] });
  let log = '';
  nginx.stderr.on('data', (d) => { log += d; });
  const url = `http://127.0.0.1:${port}/`;
  for (let i = 0; i < 100; ++i) {
    try { if ((await fetch(url)).ok) break; } catch { /* not yet listening */ }
    if (nginx.exitCode !== null) throw new Error('nginx ended: ' + log);
    await new Promise((r) => setTimeout(r, 50));
  }
  return {
    url, prefix,
    stop: () => new Promise((resolve) => {
      if (nginx.exitCode !== null) return resolve();
      nginx.once('exit', resolve);
      nginx.kill('SIGTERM');
    }),
  };
}

// playwright gives every launch a fresh --user-data-dir of its own (and refuses one in args).
export function launch() {
  return chromium.launch({
    executablePath: process.env.OSTRELIN_CHROMIUM ?? '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// A page that records console errors, failed requests and any request to another origin.
export async function openPage(context, base) {
  const page = await context.newPage();
  page.problems = [];
  page.on('console', (m) => { if (m.type() === 'error') page.problems.push('console: ' + m.text()); });
  page.on('pageerror', (e) => page.problems.push('page error: ' + e.message));
  page.on('request', (r) => {
    const u = r.url();
    if (!u.startsWith(base) && !u.startsWith('blob:') && !u.startsWith('data:')) page.problems.push('foreign request: ' + u);
  });
  return page;
}

// Waits until the app applied every request so far (the marker the page sets) and painted.
export async function settled(page) {
  await page.waitForFunction(() => {
    const a = document.getElementById('atlas');
    return document.body.classList.contains('loaded') && a.dataset.ready !== undefined &&
           a.dataset.busy === undefined;
  });
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
}

// An outline file of rectangles [{name, first, last, start, end}] (columns from the left, rows
// upwards from the bottom edge): a 20-byte title, the count, then per structure its number, name
// with its zero byte, column range and per column one run of two 12-bit rows in three bytes.
export function encodeOutline(rectangles, title = 'Test') {
  const i16 = (v) => { const b = Buffer.alloc(2); b.writeInt16LE(v); return b; };
  const parts = [Buffer.from(title.padEnd(20, '\0').slice(0, 20), 'latin1'), i16(rectangles.length)];
  rectangles.forEach((r, i) => {
    const name = Buffer.from(r.name + '\0', 'latin1');
    parts.push(Buffer.from([(i + 1) & 255]), i16(name.length), name, i16(r.first), i16(r.last));
    for (let c = r.first; c <= r.last; ++c) {
      parts.push(i16(1), Buffer.from([r.start & 255, r.end & 255, (r.start >> 8) | ((r.end >> 8) << 4)]));
    }
  });
  return Buffer.concat(parts);
}
