// The live page: the event stream brings every board on connecting, then
// each board again when it changes, the moves as they are played and each
// clock as it runs. At /board/N it shows board N alone.
"use strict";

const svgSpace = "http://www.w3.org/2000/svg";
const pieceNames = { P: "white-man", K: "white-king", p: "black-man", k: "black-king" };
const linkClasses = {
  "following": "following",
  "connecting": "connecting",
  "not reached": "unreachable",
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
const onlyBoard = (location.pathname.match(/^\/board\/(\d+)$/) || [])[1];
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

// "32-28" and "26x37x48": where the move began and where it ended.
function squaresOf(move) {
  const numbers = (move || "").split(/[-x]/).map(Number);
  return numbers.length < 2 ? [] : [numbers[0], numbers[numbers.length - 1]];
}

function diagram(letters, lastMove) {
  const board = svg("svg", { viewBox: "0 0 10 10", class: "diagram", role: "img", "data-last-move": lastMove || "" });
  for (let row = 0; row < 10; ++row) {
    for (let column = 0; column < 10; ++column) {
      const dark = (row + column) % 2 === 1;
      board.appendChild(svg("rect", { x: column, y: row, width: 1, height: 1, class: dark ? "dark" : "light" }));
    }
  }
  for (const square of squaresOf(lastMove)) {
    const place = placeOf(square);
    board.appendChild(svg("rect", { x: place.x - 0.5, y: place.y - 0.5, width: 1, height: 1, class: "last-move",
                                    "data-square": square }));
  }
  for (let square = 1; square <= 50; ++square) {
    const place = placeOf(square);
    const number = svg("text", { x: place.x - 0.45, y: place.y - 0.25, class: "number-label" });
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
    for (const at of [i, i + 1]) {
      if (at >= moves.length) break;
      const move = element("span", "move", moves[at]);
      if (at === moves.length - 1 && board.moves.length > 0) move.classList.add("last");
      item.appendChild(move);
    }
    list.appendChild(item);
  }
  return list;
}

function sideToMove(board) {
  if (!board.sideKnown || !board.position || (board.result && board.result !== "*")) return "";
  return board.position.charAt(0) === "B" ? "black" : "white";
}

function playerLine(board, side) {
  const line = element("p", "player " + side);
  if (sideToMove(board) === side) line.classList.add("to-move");
  line.appendChild(element("span", "marker", "\u25B6"));
  const name = board[side];
  line.appendChild(element("span", "name", name && name !== "?" ? name : side));
  line.appendChild(element("span", "time", board.clock ? board.clock[side] : "--:--:--"));
  return line;
}

function titleOf(board) {
  const named = (board.white && board.white !== "?") || (board.black && board.black !== "?");
  return named ? board.white + " \u2013 " + board.black : board.relay;
}

function render(board) {
  if (onlyBoard !== undefined && String(board.number) !== onlyBoard) return;
  const card = element("section", "board");
  card.id = "board-" + board.id;
  const title = element("h2");
  title.append(element("span", "number", String(board.number)), element("span", "players", titleOf(board)));
  title.title = board.relay;
  card.appendChild(title);
  const detail = board.link === "following" ? "" : board.linkDetail;
  card.appendChild(element("p", "link " + (linkClasses[board.link] || ""), board.link + (detail ? ": " + detail : "")));
  const play = element("div", "play");
  const side = element("div", "side");
  side.append(playerLine(board, "black"), diagram(board.board || "", board.moves[board.moves.length - 1]),
              playerLine(board, "white"));
  play.append(side, moveList(board));
  card.appendChild(play);
  if (notes[board.status]) card.appendChild(element("p", "status", notes[board.status]));
  if (board.result && board.result !== "*") card.appendChild(element("p", "result", board.result));
  shown.set(board.id, board);
  const old = cards.get(board.id);
  if (old) old.replaceWith(card);
  else document.getElementById("boards").appendChild(card);
  cards.set(board.id, card);
  // The last move in sight.
  const list = card.querySelector(".moves");
  list.scrollTop = list.scrollHeight;
}

function showClock(clock) {
  const card = cards.get(clock.id);
  if (!card) return;
  const board = shown.get(clock.id);
  board.clock = clock.white === null ? null : { white: clock.white, black: clock.black };
  for (const side of ["white", "black"]) card.querySelector(".player." + side).replaceWith(playerLine(board, side));
}

function showRound(round) {
  const parts = [round.event, round.round !== "?" ? "round " + round.round : "", round.site]
    .filter((part) => part && part !== "?");
  const title = parts.length ? parts.join(" \u00B7 ") : "boardwatch";
  document.getElementById("title").textContent = title;
  document.title = onlyBoard !== undefined ? "board " + onlyBoard + " \u00B7 " + title : title;
}

if (onlyBoard !== undefined) document.body.classList.add("single");
const events = new EventSource("/events");
events.addEventListener("state", (event) => {
  for (const card of cards.values()) card.remove();
  cards.clear();
  shown.clear();
  const state = JSON.parse(event.data);
  if (state.round) showRound(state.round);
  for (const board of state.boards) render(board);
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
