// The live page: the event stream brings every board on connecting, then
// each board again when it changes and each clock as it runs.
"use strict";

const svgSpace = "http://www.w3.org/2000/svg";
const pieceNames = { P: "white-man", K: "white-king", p: "black-man", k: "black-king" };
const linkClasses = {
  "following": "following",
  "connecting": "connecting",
  "name not found": "unknown",
  "relay busy": "busy",
  "waiting for the board": "waiting",
  "board lost": "lost",
  "no board": "none",
};
const notes = {
  "unrecognised position":
    "The board shows a position no legal move reaches: waiting for the last known position or a new game.",
};
const cards = new Map();
const shown = new Map();

function element(tag, className, text) {
  const made = document.createElement(tag);
  if (className) made.className = className;
  if (text !== undefined) made.textContent = text;
  return made;
}

function svg(tag, attributes) {
  const made = document.createElementNS(svgSpace, tag);
  for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, value);
  return made;
}

// Square 1 is the second square of the top row, black's side.
function placeOf(square) {
  const row = Math.floor((square - 1) / 5);
  const column = 2 * ((square - 1) % 5) + (row % 2 === 0 ? 1 : 0);
  return { x: column + 0.5, y: row + 0.5 };
}

function diagram(letters) {
  const board = svg("svg", { viewBox: "0 0 10 10", class: "diagram", role: "img" });
  for (let row = 0; row < 10; ++row) {
    for (let column = 0; column < 10; ++column) {
      const dark = (row + column) % 2 === 1;
      board.appendChild(svg("rect", { x: column, y: row, width: 1, height: 1, class: dark ? "dark" : "light" }));
    }
  }
  for (let square = 1; square <= 50; ++square) {
    const place = placeOf(square);
    const number = svg("text", { x: place.x - 0.45, y: place.y - 0.25, class: "number" });
    number.textContent = square;
    board.appendChild(number);
    const name = pieceNames[letters.charAt(square - 1)];
    if (!name) continue;
    board.appendChild(svg("use", { href: "#" + name, x: place.x, y: place.y, class: "piece", "data-square": square,
                                    "data-piece": letters.charAt(square - 1) }));
  }
  return board;
}

function moveList(board) {
  const list = element("ol", "moves");
  const blackFirst = (board.start || "W").charAt(0) === "B";
  const moves = (blackFirst ? ["..."] : []).concat(board.moves);
  for (let i = 0; i < moves.length; i += 2) {
    const item = element("li");
    item.appendChild(element("span", "move", moves[i]));
    if (i + 1 < moves.length) item.appendChild(element("span", "move", moves[i + 1]));
    list.appendChild(item);
  }
  return list;
}

function clockLine(board) {
  const line = element("p", "clock");
  const white = element("span", "white", "white " + (board.clock ? board.clock.white : "--:--:--"));
  const black = element("span", "black", "black " + (board.clock ? board.clock.black : "--:--:--"));
  const toMove = (board.position || "").charAt(0);
  if (toMove === "W" && board.sideKnown) white.classList.add("to-move");
  if (toMove === "B" && board.sideKnown) black.classList.add("to-move");
  line.append(white, black);
  return line;
}

function render(board) {
  const card = element("section", "board");
  card.id = "board-" + board.id;
  card.appendChild(element("h2", "", board.relay));
  const link = element("p", "link " + (linkClasses[board.link] || ""), board.link);
  if (board.linkDetail) link.title = board.linkDetail;
  card.appendChild(link);
  card.appendChild(diagram(board.board || ""));
  card.appendChild(clockLine(board));
  if (notes[board.status]) card.appendChild(element("p", "status", notes[board.status]));
  card.appendChild(moveList(board));
  if (board.result && board.result !== "*") card.appendChild(element("p", "result", board.result));
  shown.set(board.id, board);
  const old = cards.get(board.id);
  if (old) old.replaceWith(card);
  else document.getElementById("boards").appendChild(card);
  cards.set(board.id, card);
  // The latest moves in sight.
  const list = card.querySelector(".moves");
  list.scrollTop = list.scrollHeight;
}

function showClock(clock) {
  const card = cards.get(clock.id);
  if (!card) return;
  const board = shown.get(clock.id);
  board.clock = clock.white === null ? null : { white: clock.white, black: clock.black };
  card.querySelector(".clock").replaceWith(clockLine(board));
}

const events = new EventSource("/events");
events.addEventListener("state", (event) => {
  for (const card of cards.values()) card.remove();
  cards.clear();
  shown.clear();
  for (const board of JSON.parse(event.data).boards) render(board);
});
events.addEventListener("board", (event) => render(JSON.parse(event.data)));
events.addEventListener("moves", (event) => {
  const news = JSON.parse(event.data);
  const board = shown.get(news.id);
  if (!board) return;
  board.moves = board.moves.slice(0, news.count - news.added.length).concat(news.added);
  for (const field of ["position", "board", "sideKnown", "result", "status", "file"]) board[field] = news[field];
  render(board);
});
events.addEventListener("clock", (event) => showClock(JSON.parse(event.data)));
// The browser reconnects by itself; a notice only when that takes a while.
let notice = null;
events.addEventListener("open", () => {
  clearTimeout(notice);
  document.getElementById("connection").hidden = true;
});
events.addEventListener("error", () => {
  clearTimeout(notice);
  notice = setTimeout(() => { document.getElementById("connection").hidden = false; }, 3000);
});
