// The navigation panel: pictogram with plane lines, region and sex buttons, arrows, OK.

import type { Nav, Panel } from './atlas.mjs';
import { C, $, atlas } from './common';
import { artUrl, loadArt } from './files';
import { run } from './requests';
import { showIndex } from './names';

let panelSize = { width: 1, height: 1 };
let panelPending = false;

export function schedulePanel() {
  if (panelPending) return;
  panelPending = true;
  requestAnimationFrame(() => { panelPending = false; drawPanel(); });
}

export async function drawPanel() {
  const panel: Panel = atlas.navPicture();
  const c = $<HTMLCanvasElement>('picto');
  const box = $('picto-box');
  const W = panel.width || 192, H = panel.height || 355;
  const room = box.clientWidth || 200;
  const maxH = Math.max(120, box.clientHeight || 360);
  let cw = room, ch = Math.round(room * H / W);
  if (ch > maxH) { ch = maxH; cw = Math.round(maxH * W / H); }
  const dpr = window.devicePixelRatio || 1;
  c.style.width = cw + 'px';
  c.style.height = ch + 'px';
  c.width = Math.round(cw * dpr);
  c.height = Math.round(ch * dpr);
  panelSize = { width: cw, height: ch };
  const g = c.getContext('2d')!;
  g.fillStyle = '#fff';
  g.fillRect(0, 0, c.width, c.height);
  const picture = panel.pictogram ? await loadArt(panel.pictogram) : null;
  const fresh = atlas.navPicture();
  if (JSON.stringify(fresh) !== JSON.stringify(panel)) return;  // a later paint follows
  g.setTransform(c.width / W, 0, 0, c.height / H, 0, 0);
  if (picture) g.drawImage(picture, 0, 0, W, H);
  g.fillStyle = '#000';
  for (let i = 0; i + 1 < panel.dots.length; i += 2) g.fillRect(panel.dots[i] - 1, panel.dots[i + 1] - 1, 3, 3);
  const line = (l: number[] | null, colour: string) => {
    if (!l) return;
    g.strokeStyle = colour;
    g.lineWidth = 2;
    g.beginPath();
    g.moveTo(l[0], l[1]);
    g.lineTo(l[2], l[3]);
    g.stroke();
  };
  line(panel.shownLine, '#00c000');
  line(panel.selectedLine, '#0000ff');
  const caption = $('caption');
  caption.textContent = panel.caption || '\u00a0';
  caption.classList.toggle('selection', panel.captionIsSelection);
  $('shown-caption').textContent = panel.shownCaption ?? '';
  c.setAttribute('aria-label', 'Ebenen: ' + (panel.caption || 'keine gewählt'));
  const sex = $<HTMLButtonElement>('nav-sex');
  (sex.querySelector('img') as HTMLImageElement).src = artUrl(panel.sex === 1 ? 'MALE_UP' : 'FEMALE_UP');
  sex.setAttribute('aria-label', panel.sex === 1 ? 'Männliche Serie' : 'Weibliche Serie');
  (($('nav-up').querySelector('img')) as HTMLImageElement).src = artUrl(panel.horizontal ? 'UP_UP' : 'LEFT_UP');
  (($('nav-down').querySelector('img')) as HTMLImageElement).src = artUrl(panel.horizontal ? 'DOWN_UP' : 'RIGHT_UP');
}

function navRun(nav: Nav) {
  // The panel's own requests (9059 on a step, 9034 on OK) come back as actions, with the page,
  // its type and the buttons they left.
  drawPanel();
  run({ accepted: true, page: nav.page, type: nav.type, buttons: nav.buttons, actions: nav.actions });
}

export function bindPanel() {
  const nav: [string, number][] = [['nav-head', C.head], ['nav-trunk', C.trunk], ['nav-arm', C.arm],
    ['nav-leg', C.leg], ['nav-sex', C.sex], ['nav-up', C.upper], ['nav-down', C.lower], ['nav-ok', C.ok]];
  for (const [id, command] of nav) $(id).addEventListener('click', () => navRun(atlas.navCommand(command)));
  const picto = $<HTMLCanvasElement>('picto');
  const pick = (e: MouseEvent, open: boolean) => {
    const r = picto.getBoundingClientRect();
    navRun(atlas.navPick(Math.round(e.clientX - r.left), Math.round(e.clientY - r.top), panelSize.width,
                         Math.ceil(panelSize.height / 0.75), open));
  };
  picto.addEventListener('click', (e) => pick(e, false));
  picto.addEventListener('dblclick', (e) => pick(e, true));
  picto.addEventListener('keydown', (e) => {
    if (e.key === 'ArrowUp' || e.key === 'ArrowLeft') navRun(atlas.navCommand(C.upper));
    else if (e.key === 'ArrowDown' || e.key === 'ArrowRight') navRun(atlas.navCommand(C.lower));
    else if (e.key === 'Enter') navRun(atlas.navCommand(C.ok));
    else return;
    e.preventDefault();
  });
  picto.addEventListener('contextmenu', (e) => { e.preventDefault(); showIndex(true); });
  new ResizeObserver(() => drawPanel()).observe($('picto-box'));
}
