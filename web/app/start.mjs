// The smallest page on the atlas cores: opens the start page, shows its image and its text.
// The full user interface replaces this file; it shows how the pieces fit together.
import { openAtlas } from './atlas.mjs';

const $ = (id) => document.getElementById(id);

async function bytes(manifest, key) {
  const file = manifest.files[key];
  if (!file) return null;
  const response = await fetch(`atlas/${file}`);
  return response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
}

async function main() {
  const manifest = await (await fetch('atlas/manifest.json', { cache: 'no-cache' })).json();
  const atlas = await openAtlas();
  const list = async (name) =>
    (await bytes(manifest, atlas.manifestKey(`Daten\\${name}`))) ?? new Uint8Array(0);
  atlas.loadLists(await list('Index.LST'), await list('Struktur.LST'), await list('Objekte.LST'),
                  await list('SYNONYMS.LST'));
  for (const key of manifest.planeLists) atlas.putFile(key, await bytes(manifest, key));
  for (const [name, art] of Object.entries(manifest.art)) {
    atlas.setPictogramSize(name, art.width, art.height);
  }
  const result = atlas.start();
  $('page').textContent = result.page;
  $('status').textContent = '';
  for (const action of result.actions) {
    if (action.do === 'image' && manifest.files[action.key]) {
      $('image').src = `atlas/${manifest.files[action.key]}`;
      $('image').alt = result.page;
    }
    if (action.do === 'text') {
      const data = await bytes(manifest, action.key);
      const text = atlas.text(data ?? new Uint8Array(0), data !== null, action.path);
      const panel = $('text');
      panel.replaceChildren();
      for (const paragraph of text.paragraphs) {
        const p = document.createElement(paragraph.heading ? 'h2' : 'p');
        for (const segment of paragraph.segments) {
          const span = document.createElement('span');
          span.textContent = segment.shown;  // text, never markup
          p.append(span);
        }
        panel.append(p);
      }
    }
  }
}

main().catch((error) => { $('status').textContent = `Fehler: ${error.message}`; });
