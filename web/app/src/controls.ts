// The page's buttons, menus and global keys.

import { C, TYPES, BUTTON_ORDER, $, atlas, closeMessage, state } from './common';
import { image, fit, zoomCentre, draw, setFullView } from './image';
import { showAllMarkable, listMarkable } from './pointer';
import { run } from './requests';
import { renderText } from './text';
import { closePopup, savePicture } from './popup';
import { showIndex } from './names';
import { closeMenus } from './menus';

export function bindControls() {
  $('zoom-in').addEventListener('click', () => zoomCentre(1.5));
  $('zoom-out').addEventListener('click', () => zoomCentre(1 / 1.5));
  $('zoom-fit').addEventListener('click', () => { fit(); draw(); });
  $('overview-box').addEventListener('change', (e) => {
    image.overview = (e.target as HTMLInputElement).checked;
    draw();
  });
  $('fullview').addEventListener('change', (e) => setFullView((e.target as HTMLInputElement).checked));
  $('show-all').addEventListener('click', showAllMarkable);
  $('list-all').addEventListener('click', listMarkable);
  $('save').addEventListener('click', savePicture);
  $('message-ok').addEventListener('click', closeMessage);
  $('back').addEventListener('click', () => history.back());

  for (const t of BUTTON_ORDER) {
    $('type-' + t).addEventListener('click', () => run(atlas.command(TYPES[t].command)));
  }
  $('toggle').addEventListener('click', () => showIndex($('index').hidden));
  $('help').addEventListener('click', () => run(atlas.command(C.help)));
  $('help-index').addEventListener('click', () => { closeMenus(); run(atlas.command(C.help)); });
  $('bookmark-set').addEventListener('click', () => { closeMenus(); run(atlas.command(C.setBookmark)); });
  $('bookmark-delete').addEventListener('click', () => { closeMenus(); run(atlas.command(C.deleteBookmark)); });
  for (const [id, size] of [['font-small', 'small'], ['font-medium', 'medium'], ['font-large', 'large']]) {
    $(id).addEventListener('click', () => {
      closeMenus();
      document.body.dataset.font = size;
      for (const other of ['font-small', 'font-medium', 'font-large']) $(other).setAttribute('aria-checked', String(other === id));
    });
  }
  $('text-toggle').addEventListener('click', () => {
    closeMenus();
    state.textVisible = !state.textVisible;
    $('text-toggle').setAttribute('aria-checked', String(state.textVisible));
    renderText();
  });
  for (const d of document.querySelectorAll('details.menu')) {
    d.addEventListener('toggle', () => {
      if ((d as HTMLDetailsElement).open) {
        for (const o of document.querySelectorAll('details.menu')) if (o !== d) (o as HTMLDetailsElement).open = false;
      }
    });
  }

}

export function bindKeys() {
  document.addEventListener('keydown', (e) => {
    if (e.key === 'F1') { e.preventDefault(); run(atlas.command(C.help)); }
    else if (e.key === 'Escape') { closePopup(); closeMenus(); if (!$('message').hidden) closeMessage(); }
  });
  document.addEventListener('pointerdown', (e) => {
    const t = e.target as HTMLElement;
    if (!t.closest('#popup') && !t.closest('#viewport')) closePopup();
    if (!t.closest('details.menu')) closeMenus();
  });
}
