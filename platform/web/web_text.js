// The program's text for assistive technology: the visible screen's non-empty rows as text in
// a visually hidden region, refreshed a few times a second at most, and the questions, a
// refused entry and the end-of-run prompt announced in a polite live region. The program
// shares where its cells are (web_text_share.cpp); the page only reads memory.
(function () {
  'use strict';
  const kRefreshMs = 250;
  const rowsRegion = document.getElementById('texto-pantalla');
  const notice = document.getElementById('aviso');
  if (!rowsRegion || !notice) return;

  let share = 0;  // address of the shared record
  let seenChanges = -1;
  let rows = [];  // the region's texts, one per screen row ('' for an empty row)

  function field(index) { return HEAP32[(share >> 2) + index]; }

  function readRow(r) {
    const cells = field(1) >>> 0, count = field(2), columns = field(3), bytes = field(4);
    if (!cells || r < 0 || r >= count || bytes < 2) return '';
    const unicode = (share >> 2) + 7;
    let text = '';
    for (let c = 0; c < columns; ++c) {
      const code = HEAPU16[(cells + (r * columns + c) * bytes) >> 1];
      const point = code < 256 ? HEAPU32[unicode + code] : code;
      text += point >= 32 ? String.fromCodePoint(point) : ' ';
    }
    return text.replace(/\s+$/, '');
  }
  function readRows() {
    const out = [];
    for (let r = 0; r < field(2); ++r) out.push(readRow(r));
    return out;
  }

  function showRows(next) {
    const lines = next.filter((t) => t.trim() !== '');
    const old = rows.filter((t) => t.trim() !== '');
    rows = next;
    if (lines.length === old.length && lines.every((t, i) => t === old[i])) return;
    rowsRegion.replaceChildren(...lines.map((t) => {
      const p = document.createElement('p');
      p.textContent = t.trim();
      return p;
    }));
  }

  // What is announced: each question once when it is first asked, the first question again
  // after a refused set, and the prompt of the end-of-run wait.
  let lastState = 'loading';
  let askedRow = -1;
  let firstRow = -1;
  function announce(text) {
    if (text) notice.textContent = text;
  }
  // The question of a row, without what has been typed after it.
  function questionOf(text) {
    const m = text.match(/^(.*[:?])\s*[^:?]*$/);
    return (m ? m[1] : text).trim();
  }
  // Told every state the program reports, so no quick answer is stepped over; line waits are
  // told apart by the cursor's row.
  function follow(state) {
    if (!share) return;
    const row = field(5);
    if (state === 'line' && row !== askedRow) {
      if (firstRow < 0) firstRow = row;
      const refused = row === firstRow && askedRow > firstRow;
      askedRow = row;
      const question = questionOf(readRow(row));
      announce(refused ? `Valores no aceptados. ${question}` : question);
    }
    if (state === lastState) return;
    lastState = state;
    if (state === 'key') {
      askedRow = -1;
      firstRow = -1;
      const prompt = readRows().find((t) => /Pulse una tecla/.test(t));
      announce((prompt || readRow(row)).replace(/^[\s>]+/, '').trim());
    } else if (state === 'ended') {
      announce('La simulación ha terminado.');
    }
  }

  function refresh() {
    if (!share) return;
    const changes = field(0) >>> 0;
    if (changes !== seenChanges) {
      seenChanges = changes;
      showRows(readRows());
    }
  }

  Module.co2simText = {
    open(address) {
      share = address;
      setInterval(refresh, kRefreshMs);
      if (window.co2sim) window.co2sim.stateListener = follow;
    },
  };
})();
