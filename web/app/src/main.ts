// The web atlas's page: the desktop atlas's windows as DOM and canvas, every decision of the
// atlas taken by the cores (atlas.mjs, the WebAssembly facade). These modules only translate
// events into facade calls and apply the actions the facade answers with:
//   common, files      shared state, helpers, message boxes; the site's files
//   image, pointer     the image window and its input
//   requests, address  applying the facade's answers; deep links, Back and Forward
//   text, popup        the text panel; lists, context menu, "Bild speichern"
//   panel, names       the navigation panel; the index with synonyms
//   menus, controls    history and bookmarks; buttons and keys
//   bookmarks          the bookmarks as a file (BENUTZER.BKM)
//   offline            the service worker, "Atlas offline speichern", installing the app
//   quiz, learning     the quiz as a mode of the image window; the learning record and "Lernstand"
//
// Safe by construction: every text of a tree reaches the page through textContent or an
// attribute, never as markup; links of a text become facade requests, never URLs; files are
// fetched only through the manifest, below atlas/.

import { openAtlas } from './atlas.mjs';
import { STORAGE, $, atlas, connect, manifest } from './common';
import { fetchBytes, artUrl } from './files';
import { bindImage } from './pointer';
import { startAt, bindAddress } from './address';
import { bindPanel } from './panel';
import { buildIndex, bindIndex } from './names';
import { updateMenus } from './menus';
import { bindControls, bindKeys } from './controls';
import { bindOffline } from './offline';
import { bindBookmarkFiles } from './bookmarks';
import { bindQuiz } from './quiz';
import { bindLearning, loadRecord } from './learning';

async function main() {
  const status = $('status');
  // The module compiles while the manifest comes.
  const [core, siteManifest] = await Promise.all([
    openAtlas(), fetch('atlas/manifest.json', { cache: 'no-cache' }).then((r) => r.json())]);
  connect(core, siteManifest);
  loadRecord();  // the learning record comes from the browser's storage meanwhile
  const list = async (name: string) => (await fetchBytes(atlas.manifestKey('Daten\\' + name))) ?? new Uint8Array(0);
  const [index, structures, objects, synonyms] = await Promise.all(
    ['Index.LST', 'Struktur.LST', 'Objekte.LST', 'SYNONYMS.LST'].map(list));
  atlas.loadLists(index, structures, objects, synonyms);
  const plane = await Promise.all(manifest.planeLists.map(async (key) => [key, await fetchBytes(key)] as const));
  for (const [key, bytes] of plane) if (bytes) atlas.putFile(key, bytes);
  for (const [name, a] of Object.entries(manifest.art)) atlas.setPictogramSize(name, a.width, a.height);
  try { atlas.addBookmarkText(localStorage.getItem(STORAGE) ?? ''); } catch { /* no storage */ }

  for (const [id, name] of [['nav-head', 'KOPF_UP'], ['nav-trunk', 'RUMPF_UP'], ['nav-arm', 'ARM_UP'],
    ['nav-leg', 'BEIN_UP'], ['nav-ok', 'ENTER_UP'], ['toggle', 'IDX_UP'], ['help', 'HILFE_UP']]) {
    ($(id).querySelector('img') as HTMLImageElement).src = artUrl(name);
  }
  buildIndex();
  bindImage();
  bindControls();
  bindPanel();
  bindIndex();
  bindKeys();
  bindAddress();
  bindBookmarkFiles();
  bindQuiz();
  bindLearning();
  updateMenus();
  await startAt(location.hash);
  status.textContent = '';
  document.body.classList.add('loaded');
  bindOffline();
}

main().catch((error) => {
  console.error(error);
  $('status').textContent = 'Der Atlas kann nicht geladen werden: ' + (error?.message ?? String(error));
});
