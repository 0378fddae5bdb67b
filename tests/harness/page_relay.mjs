// The page relay: real pages of the bundle in headless chromium for programs running under
// Wine with the WebView2 test double (tests/fixtures/webview2_fake, relay mode). The double of
// each process connects over loopback TCP; every Navigate opens THE SAME page file in a new
// browser page with a window.chrome.webview of its own, and the messages of both sides are
// carried across. A page the host serves from memory is opened at its own URL instead, and
// every request of its origin is answered by the host through the double. A test driver (tests/harness/page_relay.py) connects too and waits for
// pages, clicks, types, takes screenshots and reads the messages.
//
//   node tests/harness/page_relay.mjs --prefix WINEPREFIX --evidence DIR [--proxy http://127.0.0.1:PORT]
//
// With --proxy (the vendor stand-in), the pages' own posts reach it; without, the relay
// answers them itself (chromium.mjs).
// Listens on 127.0.0.1 (a free port), prints {"port":N} once ready, and stops when its
// standard input closes. One JSON object per line on every connection: the double's lines are
// described in page_relay.cpp beside it; a driver sends {"op":"driver"} first, then requests
// {"id":N,"op":NAME,...} answered by {"id":N,"result":...} or {"id":N,"error":TEXT}.
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';
import readline from 'node:readline';
import { parseArgs } from 'node:util';
import { startBrowser } from './chromium.mjs';
import { RelayPage, until } from './relay_page.mjs';

const { values: options } = parseArgs({
  options: { prefix: { type: 'string' }, evidence: { type: 'string' }, proxy: { type: 'string' } },
});
if (!options.prefix || !options.evidence) {
  console.error('usage: page_relay.mjs --prefix WINEPREFIX --evidence DIR');
  process.exit(2);
}
fs.mkdirSync(options.evidence, { recursive: true });

const browser = await startBrowser({ proxy: options.proxy });
const pages = [];  // every page opened, in order
const record = fs.createWriteStream(path.join(options.evidence, 'relay.jsonl'), { flags: 'a' });
let screenshots = 0;

function sendLine(socket, object) {
  if (!socket.destroyed) socket.write(JSON.stringify(object) + '\n');
}

// --- The double's side: one connection per process --------------------------------------------

function serveWebview(socket, lines, pid) {
  const views = new Map();
  // Requests of served pages waiting for the host's answer: rid -> {view, resolve}. Each ends
  // with the answer, or null when its view or the connection goes first.
  const waiting = new Map();
  let rids = 0;
  const endWaiting = (view) => {
    for (const [rid, w] of waiting) {
      if (view !== undefined && w.view !== view) continue;
      waiting.delete(rid);
      w.resolve(null);
    }
  };
  const double = {
    pid,
    send: (object) => sendLine(socket, object),
    resource(view, url, context) {
      if (socket.destroyed) return Promise.resolve(null);
      rids += 1;
      const rid = rids;
      return new Promise((resolve) => {
        waiting.set(rid, { view, resolve });
        sendLine(socket, { op: 'resource', view, rid, url, context });
      });
    },
  };
  lines.on('line', (line) => {
    let m;
    try {
      m = JSON.parse(line);
    } catch {
      console.error(`pid ${pid}: not JSON: ${line}`);
      return;
    }
    // A view is one navigation: the double ends it ("closed") when the host navigates again,
    // closes the controller or lets it go.
    if (m.op === 'navigate') {
      const page = new RelayPage({ id: pages.length + 1, double, view: m.view, url: m.url, name: m.page,
        served: m.served === true, prefix: options.prefix, record });
      pages.push(page);
      views.set(m.view, page);
      page.open(browser, m.width, m.height);
    } else if (m.op === 'host_post') {
      views.get(m.view)?.fromHost(m.json);
    } else if (m.op === 'resize') {
      views.get(m.view)?.resize(m.width, m.height);
    } else if (m.op === 'resource') {
      const w = waiting.get(m.rid);
      waiting.delete(m.rid);
      w?.resolve(m);
    } else if (m.op === 'closed') {
      views.get(m.view)?.close('the host left the page');
      views.delete(m.view);
      endWaiting(m.view);
    }
  });
  socket.on('close', () => {
    for (const page of views.values()) page.close('the process closed its connection');
    endWaiting();
  });
}

// --- The driver's side ----------------------------------------------------------------------------

function pageById(id) {
  const page = pages[id - 1];
  if (!page) throw new Error(`no page ${id}`);
  return page;
}

function pageList() {
  return pages.map((p) => p.label() + (p.closedBy ? `, closed: ${p.closedBy}` : '')).join('; ') || 'none';
}

const OPS = {
  // The first page of that name not yet handed to the driver, once it has loaded.
  async wait_page({ name, timeout_ms }) {
    const page = await until(() => pages.find((p) => p.name === name && !p.claimed), timeout_ms,
      () => `no page "${name}" opened within ${timeout_ms} ms; pages so far: ${pageList()}`);
    page.claimed = true;
    await page.loaded(timeout_ms);
    return { page: page.id, pid: page.double.pid, url: page.url };
  },
  wait_message: ({ page, sender, match, timeout_ms }) => pageById(page).waitMessage(sender, match, timeout_ms),
  messages: ({ page }) => pageById(page).messages.map(({ sender, json }) => ({ sender, json })),
  requests: ({ page }) => pageById(page).requests,
  resources: ({ page }) => pageById(page).resources,
  errors: ({ page }) => pageById(page).errors,
  click: ({ page, selector, timeout_ms }) => pageById(page).act('click', selector, (l) => l.click({ timeout: timeout_ms })),
  fill: ({ page, selector, text, timeout_ms }) =>
    pageById(page).act('fill', selector, (l) => l.fill(text, { timeout: timeout_ms })),
  press: ({ page, selector, key, timeout_ms }) =>
    pageById(page).act(`press ${key} on`, selector, (l) => l.press(key, { timeout: timeout_ms })),
  wait_for: ({ page, selector, state, timeout_ms }) =>
    pageById(page).act(`wait for ${state}`, selector, (l) => l.waitFor({ state, timeout: timeout_ms })),
  text: ({ page, selector, timeout_ms }) =>
    pageById(page).act('read', selector, (l) => l.innerText({ timeout: timeout_ms })),
  evaluate: ({ page, expression }) => pageById(page).evaluate(expression),
  async screenshot({ page, name }) {
    screenshots += 1;
    const file = path.join(options.evidence, `${String(screenshots).padStart(2, '0')}-${name}.png`);
    await pageById(page).screenshot(file);
    return file;
  },
  close_window: ({ page }) => pageById(page).requestClose(),
  async wait_closed({ page, timeout_ms }) {
    const p = pageById(page);
    return until(() => p.closedBy, timeout_ms, () => `${p.label()}: still open after ${timeout_ms} ms`);
  },
};

function serveDriver(socket, lines) {
  lines.on('line', async (line) => {
    let request;
    try {
      request = JSON.parse(line);
      const op = OPS[request.op];
      if (!op) throw new Error(`unknown request ${request.op}`);
      const result = await op(request);
      sendLine(socket, { id: request.id, result: result === undefined ? null : result });
    } catch (e) {
      sendLine(socket, { id: request && request.id, error: String(e.message || e) });
    }
  });
}

// --- Connections ----------------------------------------------------------------------------------

const server = net.createServer((socket) => {
  socket.setNoDelay(true);
  socket.on('error', (e) => console.error(`connection: ${e.message}`));
  const lines = readline.createInterface({ input: socket, crlfDelay: Infinity });
  lines.once('line', (first) => {
    let hello = {};
    try {
      hello = JSON.parse(first);
    } catch { /* refused below */ }
    if (hello.op === 'hello' && Number.isInteger(hello.pid)) serveWebview(socket, lines, hello.pid);
    else if (hello.op === 'driver') serveDriver(socket, lines);
    else socket.destroy();
  });
});

let stopping = false;
async function stop() {
  if (stopping) return;
  stopping = true;
  server.close();
  await browser.close().catch(() => {});
  record.end();
  process.exit(0);
}

server.listen(0, '127.0.0.1', () => console.log(JSON.stringify({ port: server.address().port })));
process.stdin.on('end', stop);
process.stdin.on('close', stop);
process.stdin.resume();
process.on('SIGTERM', stop);
