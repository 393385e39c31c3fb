// The page's way into the atlas cores: loads ostrelin.wasm and wraps the facade so that every
// call returns plain objects (the module gives JSON texts). web/README.md describes each call.
//
//   import { openAtlas } from './atlas.mjs';
//   const atlas = await openAtlas();                       // fetches ostrelin.wasm beside it
//   const atlas = await openAtlas({ wasmBinary: bytes });  // Node, tests
import createOstrelin from './ostrelin.mjs';

export async function openAtlas(options = {}) {
  const module = await createOstrelin(options);
  return new Atlas(module, new module.WebAtlas(options.root ?? '/atlas'));
}

const json = (text) => JSON.parse(text);

export class Atlas {
  constructor(module, core) {
    this.module = module;
    this.core = core;
  }
  manifestKey(windowsPath) { return this.module.manifestKey(windowsPath); }
  loadLists(index, structures, crossReferences, synonyms) {
    return json(this.core.loadLists(index, structures, crossReferences, synonyms));
  }
  putFile(relativePath, bytes) { return this.core.putFile(relativePath, bytes); }
  setPictogramSize(name, width, height) { this.core.setPictogramSize(name, width, height); }
  start() { return json(this.core.start()); }
  request(command, name) { return json(this.core.request(command, name)); }
  command(command) { return json(this.core.command(command)); }
  menus() { return json(this.core.menus()); }
  bookmarkText() { return this.core.bookmarkText(); }
  addBookmarkText(text) { this.core.addBookmarkText(text); }
  page(name) { return json(this.core.page(name)); }
  pagesOfStructure(name) { return json(this.core.pagesOfStructure(name)); }
  crossReferences(name) { return json(this.core.crossReferences(name)); }
  loadOutline(bytes) { return json(this.core.loadOutline(bytes)); }
  hitTest(x, y, imageHeight) { return json(this.core.hitTest(x, y, imageHeight)); }
  findStructure(names, imageHeight) { return json(this.core.findStructure(names, imageHeight)); }
  paint(names, mode, width, height) { return this.core.paint(names, mode, width, height); }
  paintDrawn(names, mode, width, height) { return this.core.paintDrawn(names, mode, width, height); }
  pictureInfo(page, imageType, names, showAll, width, height, textHeight) {
    return json(this.core.pictureInfo(page, imageType, names, showAll, width, height, textHeight));
  }
  contextMenu(names, showAll, normalView, imageLoaded) {
    return json(this.core.contextMenu(names, showAll, normalView, imageLoaded));
  }
  stepOrder() { return json(this.core.stepOrder()); }
  stepFrom(current, forward) { return this.core.stepFrom(current, forward); }
  text(bytes, found, path) { return json(this.core.text(bytes, found, path)); }
  indexNames() { return json(this.core.indexNames()); }
  search(typed) { return json(this.core.search(typed)); }
  moveSelection(command, selected) { return this.core.moveSelection(command, selected); }
  synonyms() { return json(this.core.synonyms()); }
  navSelect(sex, region, plane) { return json(this.core.navSelect(sex, region, plane)); }
  navCommand(command) { return json(this.core.navCommand(command)); }
  navPick(x, y, width, height, open) { return json(this.core.navPick(x, y, width, height, open)); }
  navPicture() { return json(this.core.navPicture()); }
  quizStart(direction, alternate) { return json(this.core.quizStart(direction, alternate)); }
  quizSeries() { return json(this.core.quizSeries()); }
  quizNext() { return json(this.core.quizNext()); }
  quizClick(x, y, imageHeight) { return json(this.core.quizClick(x, y, imageHeight)); }
  quizChoose(name) { return json(this.core.quizChoose(name)); }
  quizTyped(typed) { return json(this.core.quizTyped(typed)); }
  quizShowAnswer() { return json(this.core.quizShowAnswer()); }
  quizLeaveFullView() { return json(this.core.quizLeaveFullView()); }
  quizState() { return json(this.core.quizState()); }
  quizSeed(seed) { this.core.quizSeed(seed >>> 0); }
  quizToday(year, month, day) { this.core.quizToday(year, month, day); }
  learningLoad(bytes) { this.core.learningLoad(bytes); }
  learningBytes() { return this.core.learningBytes(); }
  learningMerge(bytes) { return json(this.core.learningMerge(bytes)); }
  learningState() { return json(this.core.learningState()); }
}

// Command identifiers the calls take.
export const Commands = Object.freeze({
  pageLink: 1274, structureLink: 1275, goToPlace: 1276, history: 9045, bookmark: 9046,
  indexOpen: 9054, announce: 9059, structureHighlighted: 9060,
  showSchnitt: 9025, showCT: 9026, showMR: 9027, showSchema: 9028,
  sexButton: 9036, ok: 9037, head: 9038, arm: 9039, leg: 9040, trunk: 9041,
  upperArrow: 9042, lowerArrow: 9043,
  historyStart: 1149, firstHistoryEntry: 1150, deleteBookmark: 1173, setBookmark: 1174,
  firstBookmark: 1175,
});

// Quiz directions as quizStart takes them.
export const QuizDirection = Object.freeze({ structureToName: 0, nameToStructure: 1 });
