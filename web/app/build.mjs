// Builds the page into OUT (default build/web/app beside the sources): app.js bundled from
// src/ by esbuild after a type check, index.html and app.css as they are.
//   node web/app/build.mjs OUT
import { build } from 'esbuild';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const out = path.resolve(process.argv[2] ?? path.join(here, '../../build/web/app'));
const tsc = path.join(here, '../node_modules/typescript/bin/tsc');
execFileSync(process.execPath, [tsc, '--noEmit', '-p', here], { stdio: 'inherit' });
fs.mkdirSync(out, { recursive: true });
await build({
  entryPoints: [path.join(here, 'src/main.ts')],
  outfile: path.join(out, 'app.js'),
  bundle: true,
  format: 'esm',
  target: 'es2020',
  minify: true,
  legalComments: 'none',
  external: ['./atlas.mjs'],
  logLevel: 'warning',
});
for (const f of ['index.html', 'app.css']) fs.copyFileSync(path.join(here, f), path.join(out, f));
