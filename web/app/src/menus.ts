// Menus: history and bookmarks as the cores keep them; the bookmarks kept in the browser.

import { C, STORAGE, $, el, atlas } from './common';
import { run } from './requests';

let storedBookmarks: string | null = null;

export function updateMenus() {
  const menus = atlas.menus();
  const fill = (id: string, items: typeof menus.history) => {
    const ul = $(id);
    ul.replaceChildren();
    for (const item of items) {
      const li = el('li', { role: 'none' });
      if (item.id === 0) { li.setAttribute('role', 'separator'); ul.append(li); continue; }
      const b = el('button', { type: 'button', role: 'menuitem' }, item.text);
      b.disabled = !item.enabled;
      b.addEventListener('click', () => {
        closeMenus();
        run(atlas.command(item.id));
      });
      li.append(b);
      ul.append(li);
    }
  };
  fill('history-list', menus.history);
  // "setzen" and "löschen" stand above the list already: the list holds the bookmarks only.
  fill('bookmark-list', menus.bookmarks.filter((item) => item.id > C.setBookmark));
  const bookmarks = atlas.bookmarkText();
  if (bookmarks !== storedBookmarks) {
    storedBookmarks = bookmarks;
    try { localStorage.setItem(STORAGE, bookmarks); } catch { /* storage off: kept for the visit */ }
  }
}

export function closeMenus() {
  for (const d of document.querySelectorAll('details.menu')) (d as HTMLDetailsElement).open = false;
}
