// Builds the page into OUT (default build/web/app beside the sources): app.js bundled from src/ by
// esbuild after a type check, then every file the page loads named after its contents
// (app-<hash>.js, app-<hash>.css, atlas-<hash>.mjs, ostrelin-<hash>.mjs, ostrelin-<hash>.wasm from
// WASM, default OUT/../wasm), each reference rewritten, and index.html pointing at them. A server
// may keep such a file for a year: a new build gives it a new name. Beside them, under names that
// never change: the web app manifest (manifest.webmanifest) and the service worker (sw.js, from
// sw.ts) with the list of the app's files and their fingerprint. OUT holds nothing else.
//   node web/app/build.mjs OUT [WASM]
import { build } from 'esbuild';
import { createHash } from 'node:crypto';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const out = path.resolve(process.argv[2] ?? path.join(here, '../../build/web/app'));
const wasm = path.resolve(process.argv[3] || path.join(out, '../wasm'));
const tsc = path.join(here, '../node_modules/typescript/bin/tsc');
execFileSync(process.execPath, [tsc, '--noEmit', '-p', here], { stdio: 'inherit' });
execFileSync(process.execPath, [tsc, '--noEmit', '-p', path.join(here, 'tsconfig.sw.json')], { stdio: 'inherit' });

const bundle = await build({
  entryPoints: [path.join(here, 'src/main.ts')],
  outfile: 'app.js',
  write: false,
  bundle: true,
  format: 'esm',
  target: 'es2020',
  minify: true,
  legalComments: 'none',
  external: ['./atlas.mjs'],
  logLevel: 'warning',
});

const files = new Map();  // name in OUT -> contents
// Names the file after its contents; returns the name.
function fingerprint(stem, ext, contents) {
  const hash = createHash('sha256').update(contents).digest('hex').slice(0, 16);
  const name = `${stem}-${hash}.${ext}`;
  files.set(name, contents);
  return name;
}
// Replaces each quoted reference to `from` by `to`; a file without one is a build that no
// longer fits this script, and stops it.
function refer(text, from, to, what) {
  const quoted = new RegExp(`(["'])(\\./)?${from.replace(/[.*+?^${}()|[\]\\]/g, '\\$&')}\\1`, 'g');
  let found = 0;
  const result = text.replace(quoted, (_, q, dot) => { ++found; return q + (dot ?? '') + to + q; });
  if (!found) throw new Error(`${what} names no ${from}`);
  return result;
}
const read = (file) => fs.readFileSync(file, 'utf8');

const wasmName = fingerprint('ostrelin', 'wasm', fs.readFileSync(path.join(wasm, 'ostrelin.wasm')));
const loader = fingerprint('ostrelin', 'mjs',
  refer(read(path.join(wasm, 'ostrelin.mjs')), 'ostrelin.wasm', wasmName, 'ostrelin.mjs'));
const facade = fingerprint('atlas', 'mjs',
  refer(read(path.join(wasm, 'atlas.mjs')), 'ostrelin.mjs', loader, 'atlas.mjs'));
const app = fingerprint('app', 'js', refer(bundle.outputFiles[0].text, 'atlas.mjs', facade, 'app.js'));
const css = fingerprint('app', 'css', read(path.join(here, 'app.css')));
files.set('index.html',
  refer(refer(read(path.join(here, 'index.html')), 'app.js', app, 'index.html'), 'app.css', css, 'index.html'));
files.set('manifest.webmanifest', read(path.join(here, 'manifest.webmanifest')));

// The service worker keeps the app offline: every file above but the page (which it asks for
// fresh), under the fingerprint of them all.
const appFiles = [...files.keys()].filter((name) => name !== 'index.html').sort();
const version = createHash('sha256');
for (const name of [...files.keys()].sort()) version.update(name + '\0').update(files.get(name)).update('\0');
const worker = await build({
  entryPoints: [path.join(here, 'sw.ts')],
  outfile: 'sw.js',
  write: false,
  bundle: true,
  format: 'iife',
  target: 'es2020',
  minify: true,
  legalComments: 'none',
  define: { APP_FILES: JSON.stringify(appFiles), APP_VERSION: JSON.stringify(version.digest('hex').slice(0, 16)) },
  logLevel: 'warning',
});
const workerText = worker.outputFiles[0].text;
if (!workerText.includes('ostrelin-site:0000000000000000')) throw new Error('sw.js lost the site version');
files.set('sw.js', workerText);

fs.mkdirSync(out, { recursive: true });
for (const name of fs.readdirSync(out)) {
  if (!files.has(name)) fs.rmSync(path.join(out, name), { recursive: true, force: true });
}
for (const [name, contents] of files) fs.writeFileSync(path.join(out, name), contents);
