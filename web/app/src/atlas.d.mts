// Types of atlas.mjs, the wrapper of the WebAssembly cores (web/README.md describes each call).

// An overlay cut to the rectangle of what is drawn, placed at (x, y) of the image.
export interface DrawnOverlay { x: number; y: number; width: number; height: number; rgba: Uint8ClampedArray; }

export interface Action {
  do: string;
  [field: string]: any;
}
export interface Request {
  accepted: boolean;
  page: string;
  type: number;
  buttons: boolean[];
  actions: Action[];
}
export interface Panel {
  sex: number;
  region: number;
  pictogram: string;
  width: number;
  height: number;
  horizontal: boolean;
  planes: string[];
  selected: number;
  dots: number[];
  shownLine: number[] | null;
  selectedLine: number[] | null;
  caption: string;
  captionIsSelection: boolean;
  shownCaption: string | null;
}
export interface Nav {
  actions: Action[];
  page: string;
  type: number;
  buttons: boolean[];
  panel: Panel;
}
export interface Segment {
  kind: number;
  shown: string;
  target?: string;
  media?: string;
}
export interface Text {
  paragraphs: { heading: boolean; segments: Segment[] }[];
}
export interface Outline {
  title: string;
  structures: { number: number; name: string; outlined: boolean }[];
  markable: boolean;
  messages: string[];
}
export interface MenuItem {
  id: number;
  text: string;
  enabled: boolean;
}
export interface ContextEntry {
  command: number;
  text: string;
  name?: string;
}
export interface PictureInfo {
  fileName: string;
  bandText: string;
  band: number[];
  textRect: number[];
  description: string;
}
// The quiz as the cores run it (quiz* calls).
export interface QuizState {
  running: boolean;
  step?: 'nothing' | 'ask' | 'openPlane' | 'done';
  plane?: string;
  message?: string;
  nameToStructure: boolean;
  caption: string;
  name: string;
  highlight: string;
  score: string;
  strip: string;
  acceptsClicks: boolean;
  acceptsTyped: boolean;
  reply: { right: boolean; message: string } | null;
  confusion: { note: string; chosen: string[]; asked: string };
  recordChanged: boolean;
}
export interface BoxCounts { boxes: number[]; due: number; }
export interface LearningState {
  region: BoxCounts;
  atlas: BoxCounts;
  confused: { name: string; wrong: number; with: string }[];
  entries: number;
}
export interface Atlas {
  manifestKey(windowsPath: string): string;
  loadLists(index: Uint8Array, structures: Uint8Array, crossReferences: Uint8Array,
            synonyms: Uint8Array): Record<string, number>;
  putFile(relativePath: string, bytes: Uint8Array): boolean;
  setPictogramSize(name: string, width: number, height: number): void;
  start(): Request;
  request(command: number, name: string): Request;
  command(command: number): Request;
  menus(): { history: MenuItem[]; bookmarks: MenuItem[] };
  bookmarkText(): string;
  addBookmarkText(text: string): void;
  pagesOfStructure(name: string): string[];
  loadOutline(bytes: Uint8Array): Outline;
  hitTest(x: number, y: number, imageHeight: number): { index: number; name: string }[];
  findStructure(names: string, imageHeight: number):
    { index: number; name: string; centre: number[] | null } | null;
  paint(names: string, mode: number, width: number, height: number): Uint8ClampedArray | null;
  paintDrawn(names: string, mode: number, width: number, height: number): DrawnOverlay | null;
  pictureInfo(page: string, imageType: number, names: string, showAll: boolean, width: number,
              height: number, textHeight: number): PictureInfo;
  contextMenu(names: string, showAll: boolean, normalView: boolean,
              imageLoaded: boolean): ContextEntry[];
  stepOrder(): string[];
  stepFrom(current: string, forward: boolean): number;
  text(bytes: Uint8Array, found: boolean, path: string): Text;
  indexNames(): string[];
  search(typed: string): number;
  moveSelection(command: number, selected: number): number;
  synonyms(): [string, string][];
  navCommand(command: number): Nav;
  navPick(x: number, y: number, width: number, height: number, open: boolean): Nav;
  navPicture(): Panel;
  quizStart(direction: number, alternate: boolean): QuizState;
  quizSeries(): QuizState;
  quizNext(): QuizState;
  quizClick(x: number, y: number, imageHeight: number): QuizState;
  quizChoose(name: string): QuizState;
  quizTyped(typed: string): QuizState;
  quizShowAnswer(): QuizState;
  quizLeaveFullView(): { leave: boolean; message?: string };
  quizState(): QuizState;
  quizSeed(seed: number): void;
  quizToday(year: number, month: number, day: number): void;
  learningLoad(bytes: Uint8Array): void;
  learningBytes(): Uint8Array;
  learningMerge(bytes: Uint8Array): { read: number; merged: number };
  learningState(): LearningState;
}
export function openAtlas(options?: object): Promise<Atlas>;
