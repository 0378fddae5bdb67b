// One navigation of a webview under Wine, shown by the page relay as a real browser page: the
// page file the host navigated to, or the page the host serves from memory (every request of
// its origin answered by the host), a window.chrome.webview that carries the messages to and
// from the host's process, and what a test reads back (messages, web requests, resources the
// host served, page errors).
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { answerWebRequests } from './chromium.mjs';

// The Linux file behind a file: URL of a Windows program, through the prefix's own drive table
// (dosdevices: c: is the prefix's drive_c, z: is /). Names are matched without regard to case,
// as Wine does (the program says C:\windows\Temp, the prefix has drive_c/windows/temp). Query
// and fragment are kept.
export function unixFileUrl(url, prefix) {
  const parsed = new URL(url);
  const match = /^\/([a-z]):(\/.*)?$/i.exec(decodeURIComponent(parsed.pathname));
  if (parsed.protocol !== 'file:' || !match) throw new Error(`not a file URL with a drive letter: ${url}`);
  const drive = path.join(prefix, 'dosdevices', match[1].toLowerCase() + ':');
  if (!fs.existsSync(drive)) throw new Error(`drive ${match[1]}: of ${url} is not mapped in ${prefix}`);
  let file = fs.realpathSync(drive);
  for (const name of (match[2] || '/').split('/').filter(Boolean)) {
    file = path.join(file, existingName(file, name) ?? name);
  }
  if (!fs.existsSync(file)) throw new Error(`${url} is ${file}, which does not exist`);
  return pathToFileURL(file).href + parsed.search + parsed.hash;
}

// The entry of folder called name, or named so in another case; null when there is none.
function existingName(folder, name) {
  if (fs.existsSync(path.join(folder, name))) return name;
  try {
    return fs.readdirSync(folder).find((entry) => entry.toLowerCase() === name.toLowerCase()) ?? null;
  } catch {
    return null;
  }
}

// Playwright's resource types as the runtime's COREWEBVIEW2_WEB_RESOURCE_CONTEXT values; the
// rest are OTHER (16).
const RESOURCE_CONTEXTS = {
  document: 1, stylesheet: 2, image: 3, media: 4, font: 5, script: 6, xhr: 7, fetch: 8, texttrack: 9,
  eventsource: 10, websocket: 11, manifest: 12,
};

// Raw response headers as the host writes them ("Name: value" lines, CRLF or LF) as the
// header object a route is fulfilled with. A name given twice keeps both values, joined as
// HTTP joins them; lines without a name are skipped.
export function headerFields(text) {
  const fields = {};
  for (const line of (text || '').split(/\r?\n/)) {
    const colon = line.indexOf(':');
    const name = colon > 0 ? line.slice(0, colon).trim().toLowerCase() : '';
    if (!name) continue;
    const value = line.slice(colon + 1).trim();
    fields[name] = Object.hasOwn(fields, name) ? `${fields[name]}, ${value}` : value;
  }
  return fields;
}

// Runs in the page before any of its scripts: the webview's page-side object. Messages from
// the host arrive as MessageEvents whose data is the parsed JSON, as in the runtime; a
// listener that throws is reported as a page error and does not stop the others.
function webviewShim() {
  const target = new EventTarget();
  window.chrome = window.chrome || {};
  window.chrome.webview = {
    postMessage(message) { window.__corvaneRelayPost(JSON.stringify(message)); },
    addEventListener: (type, listener) => target.addEventListener(type, listener),
    removeEventListener: (type, listener) => target.removeEventListener(type, listener),
  };
  Object.defineProperty(window, '__corvaneRelayDeliver', {
    value: (data) => target.dispatchEvent(new MessageEvent('message', { data })),
  });
}

// Polls check() until it returns something; the failure() text after timeoutMs.
export async function until(check, timeoutMs, failure) {
  const deadline = Date.now() + timeoutMs;
  for (;;) {
    const found = check();
    if (found) return found;
    if (Date.now() > deadline) throw new Error(failure());
    await new Promise((r) => setTimeout(r, 25));
  }
}

// A message as a person reads it in an error: "invoke get_install_state #1".
function describe(message) {
  const d = message.data;
  if (!d || typeof d !== 'object') return message.json.slice(0, 60);
  return [d.type, d.cmd || d.channel, d.cmd === 'signal_user_action' && d.args ? d.args.action : null,
    d.id !== undefined ? '#' + d.id : null].filter((x) => x !== null && x !== undefined).join(' ');
}

// True when actual holds everything in expected: objects member by member (extra members
// ignored), arrays and scalars exactly; a string pattern matches a substring of the JSON text.
export function matches(expected, actual) {
  if (expected === null || typeof expected !== 'object') return Object.is(expected, actual);
  if (actual === null || typeof actual !== 'object' || Array.isArray(expected) !== Array.isArray(actual)) return false;
  if (Array.isArray(expected)) {
    return expected.length === actual.length && expected.every((e, i) => matches(e, actual[i]));
  }
  return Object.keys(expected).every((k) => Object.hasOwn(actual, k) && matches(expected[k], actual[k]));
}

export class RelayPage {
  constructor({ id, double, view, url, name, served = false, prefix, record }) {
    Object.assign(this, { id, double, view, url, name, served, prefix, record });
    this.messages = [];  // {sender: "page" | "host", json, data, listeners}
    this.cursors = { page: 0, host: 0 };
    this.requests = [];
    this.resources = [];  // what the host served: {url, context, status} or {url, context, answered: false}
    this.errors = [];
    this.claimed = false;
    this.closedBy = null;
    this.failure = null;
    this.page = null;
    this.chain = Promise.resolve();  // navigation, resizes and host posts, in the order sent
  }

  label() {
    return `${this.name} (pid ${this.double.pid}, page ${this.id})`;
  }

  open(browser, width, height) {
    this.opening = this.after(async () => {
      const target = this.served ? this.url : unixFileUrl(this.url, this.prefix);
      const origin = this.served ? new URL(this.url).origin : null;
      const ownOrigin = (url) => origin !== null && new URL(url).origin === origin;
      this.page = await browser.context.newPage();
      this.page.on('pageerror', (e) => this.errors.push(String(e)));
      await this.page.exposeBinding('__corvaneRelayPost', (_source, json) => this.fromPage(json));
      await this.page.addInitScript(webviewShim);
      // The page's own web requests only: what the host serves is not one of them.
      const requests = { push: (r) => { if (!ownOrigin(r.url)) this.requests.push(r); } };
      await answerWebRequests(this.page, requests, browser.proxied);
      // After the catch-all, so that it is tried first; nothing of the origin reaches the network.
      if (origin) await this.page.route((url) => url.origin === origin, (route) => this.fromHostServer(route));
      if (width > 0 && height > 0) await this.page.setViewportSize({ width, height });
      await this.page.goto(target, { waitUntil: 'commit' });
    }).catch((e) => {
      this.failure = String(e.message || e);
      this.double.send({ op: 'failed', view: this.view, reason: this.failure });
    });
  }

  // A request of the served origin, answered by the host's WebResourceRequested handlers.
  async fromHostServer(route) {
    const request = route.request();
    const url = request.url();
    const context = RESOURCE_CONTEXTS[request.resourceType()] ?? 16;
    const answer = this.closedBy ? null : await this.double.resource(this.view, url, context);
    if (!answer || answer.answered === false) {
      this.resources.push({ url, context, answered: false });
      await route.abort('failed').catch(() => {});
      return;
    }
    this.resources.push({ url, context, status: answer.status });
    await route.fulfill({ status: answer.status, headers: headerFields(answer.headers),
      body: Buffer.from(answer.body || '', 'base64') }).catch(() => {});
  }

  after(step) {
    this.chain = this.chain.then(step);
    return this.chain;
  }

  async loaded(timeoutMs) {
    let timer;
    const late = new Promise((_, reject) => {
      timer = setTimeout(() => reject(new Error(`${this.label()}: not loaded within ${timeoutMs} ms`)), timeoutMs);
    });
    try {
      await Promise.race([this.opening, late]);
    } finally {
      clearTimeout(timer);
    }
    if (this.failure) throw new Error(`${this.label()}: ${this.failure}`);
    await this.page.waitForLoadState('load', { timeout: timeoutMs });
  }

  keep(sender, json, data) {
    const message = { sender, json, data };
    this.messages.push(message);
    this.record.write(JSON.stringify({ page: this.label(), sender, json }) + '\n');
    return message;
  }

  fromPage(json) {
    if (this.closedBy) return;
    if (typeof json !== 'string') {
      this.errors.push('postMessage of a value JSON cannot carry');
      return;
    }
    this.keep('page', json, JSON.parse(json));
    this.double.send({ op: 'page_post', view: this.view, json });
  }

  fromHost(json) {
    let data;
    try {
      data = JSON.parse(json);
    } catch {
      this.keep('host', json, undefined).error = 'not JSON: not delivered';
      return;
    }
    const message = this.keep('host', json, data);
    this.after(async () => {
      if (this.failure || this.closedBy) return;
      await this.page.evaluate((d) => window.__corvaneRelayDeliver(d), data);
    }).catch((e) => { message.error = String(e.message || e); });
  }

  resize(width, height) {
    if (width < 1 || height < 1) return;
    this.after(() => !this.failure && !this.closedBy && this.page.setViewportSize({ width, height })).catch(() => {});
  }

  close(by) {
    if (this.closedBy) return;
    this.closedBy = by;
    this.after(() => this.page && this.page.close()).catch(() => {});
  }

  requestClose() {
    if (this.closedBy) throw new Error(`${this.label()}: cannot close the window, ${this.closedBy}`);
    this.double.send({ op: 'close_window', view: this.view });
  }

  // The next message of the sender that matches, after the one the previous wait matched.
  async waitMessage(sender, match, timeoutMs) {
    const find = () => {
      for (let i = this.cursors[sender]; i < this.messages.length; i++) {
        const m = this.messages[i];
        if (m.sender !== sender) continue;
        const hit = typeof match === 'string' ? m.json.includes(match) : matches(match, m.data);
        if (hit) {
          this.cursors[sender] = i + 1;
          return { json: m.json, data: m.data };
        }
      }
      return null;
    };
    return until(find, timeoutMs, () => {
      const seen = this.messages.slice(this.cursors[sender]).filter((m) => m.sender === sender).map(describe);
      return `${this.label()}: no ${sender} message matching ${JSON.stringify(match)} within ${timeoutMs} ms; ` +
        `the ${sender} sent since the last match: ${seen.join(', ') || 'nothing'}` +
        (this.closedBy ? `; closed: ${this.closedBy}` : '');
    });
  }

  // A Playwright action on a locator, with the page and the selector named when it fails.
  async act(what, selector, action) {
    this.usable();
    try {
      return await action(this.page.locator(selector));
    } catch (e) {
      throw new Error(`${this.label()}: ${what} ${selector}: ${String(e.message || e).split('\n')[0]}`);
    }
  }

  async evaluate(expression) {
    this.usable();
    return this.page.evaluate(expression);
  }

  async screenshot(file) {
    this.usable();
    await this.page.evaluate(() => document.fonts.ready);
    await this.page.screenshot({ path: file, animations: 'disabled' });
  }

  usable() {
    if (this.failure) throw new Error(`${this.label()}: ${this.failure}`);
    if (this.closedBy) throw new Error(`${this.label()}: closed (${this.closedBy})`);
  }
}
