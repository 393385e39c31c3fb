// Requests: the facade answers with actions, applied in order; the picture is painted once per
// request, the text, panel, index and menus follow it.

import type { Action, Request } from './atlas.mjs';
import { C, TYPES, $, atlas, message, state } from './common';
import { fetchBuffer, artUrl } from './files';
import { image, centreOn, holdPaint, releasePaint, draw, setHighlight, describeImage, setFullView, prepareImage, loadImage } from './image';
import { showsPage } from './address';
import { showText } from './text';
import { closePopup, openList } from './popup';
import { schedulePanel } from './panel';
import { selectIndex } from './names';
import { updateMenus } from './menus';

let queue: Promise<void> = Promise.resolve();
let pendingText: Action | null = null;
const later = new Set<string>();
let laterSelect = -1;
// What the main window makes of a highlight (the index, the panel) waits for the paint as well.
const followUps: string[] = [];
let pending = 0;

export function run(request: Request, options: { fromAddress?: boolean } = {}): Promise<void> {
  const ticket = ++state.ticket;
  // Every file the request needs is asked for at once, while the browser still finishes the
  // event that brought the request: the image decodes meanwhile.
  for (const a of request.actions) {
    if (a.do === 'image') prepareImage(a);
    if (a.do === 'text') fetchBuffer(a.key);
  }
  const atlasBox = $('atlas');
  atlasBox.dataset.busy = String(++pending);
  queue = queue.then(() => apply(request, ticket, options.fromAddress ?? false))
    .catch((error) => { console.warn(error); })
    .finally(() => {
      // Idle again: the browser tests wait for this.
      if (--pending === 0) delete atlasBox.dataset.busy;
      else atlasBox.dataset.busy = String(pending);
    });
  return queue;
}

async function apply(request: Request, ticket: number, fromAddress: boolean) {
  state.fromAddress = fromAddress;
  // A text shown twice is laid out once.
  const lastText = request.actions.map((a) => a.do).lastIndexOf('text');
  holdPaint();
  try {
    for (const [i, a] of request.actions.entries()) {
      if (a.do === 'text' && i !== lastText) continue;
      await act(a);
    }
  } finally {
    releasePaint();
  }
  while (followUps.length > 0) {
    for (const b of atlas.request(C.highlighted, followUps.shift()!).actions) await act(b);
  }
  // The address, the title and the image's description once the picture is painted.
  if (later.has('page')) showsPage(state.page, state.type);
  else describeImage();
  if (later.has('panel')) schedulePanel();
  if (later.has('select')) selectIndex(laterSelect, false);
  if (later.has('menus')) updateMenus();
  later.clear();
  // The text after the image and its outline are on the screen.
  if (pendingText) {
    const text = pendingText;
    pendingText = null;
    await showText(text);
  }
  // A page without images of its own keeps the image shown; it is the current page all the same.
  if (request.page && (request.page !== state.page || request.type !== state.type)) {
    showsPage(request.page, request.type);
  }
  state.buttons = request.buttons;
  if (request.type >= -1) state.type = request.type;
  updateTypeButtons();
  $('atlas').dataset.ready = String(ticket);
}

async function act(a: Action) {
  switch (a.do) {
    case 'closeLists': closePopup(); break;
    case 'leaveFullView': if (!image.normalView) setFullView(false); break;
    case 'image': await loadImage(a); break;
    case 'showsPage': state.page = a.page; state.type = a.type; later.add('page'); break;
    case 'highlight': {
      if (!image.bitmap) { image.names = a.name; break; }
      setHighlight(a.name, a.mode);
      const found = a.name ? atlas.findStructure(a.name, image.height) : null;
      if (a.centre && found?.centre) { centreOn(found.centre[0], found.centre[1]); draw(); }
      if (found && !a.name.includes('&')) followUps.push(a.name);
      break;
    }
    case 'clearHighlight': setHighlight('', image.mode); break;
    case 'foundOn':
      openList(state.structure ? state.structure + ' gefunden auf' : 'Gefunden auf', a.places, (place) => {
        run(atlas.request(C.goToPlace, place));
      });
      break;
    case 'text': pendingText = a; break;
    // The panel, the index and the menus follow once the image is on the screen.
    case 'navigation':
    case 'markShown': later.add('panel'); break;
    case 'select': laterSelect = a.index; later.add('select'); break;
    case 'menus': later.add('menus'); break;
    case 'message': message(a.text); break;
    default: break;
  }
}

function updateTypeButtons() {
  for (let t = 0; t < 4; ++t) {
    const b = $<HTMLButtonElement>('type-' + t);
    const enabled = !!state.buttons[t];
    b.disabled = !enabled;
    b.setAttribute('aria-pressed', String(state.type === t));
    const img = b.querySelector('img')!;
    img.src = artUrl(TYPES[t].art + (!enabled ? '_DISABLED' : state.type === t ? '_DOWN' : '_UP'));
  }
}
