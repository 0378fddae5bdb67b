// Test harness for the page bundle: Debian's chromium driven by
// playwright-core, pages loaded from file:// with a fake WebView2 host that
// records every posted message and answers invokes from a script.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { VIEWPORT, answerWebRequests, startBrowser } from '../harness/chromium.mjs';

export { VIEWPORT, startBrowser };

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const BUNDLE = path.resolve(process.env.UI_BUNDLE_DIR || path.join(ROOT, 'build/ui-bundle/ui'));
export const EVIDENCE = path.resolve(process.env.EVIDENCE_DIR || path.join(ROOT, 'build/evidence/pages'));
// What the 720 x 510 window leaves for the page inside its frame.
export const CLIENT_AREA = { width: 704, height: 471 };

// The page <-> host contract as the host's own formatters wrote it
// (tools/page_contract_export.cpp, run by the native build): the command list,
// the progress and terminal events each page is sent, and sample answers.
const CONTRACT = path.resolve(process.env.PAGE_CONTRACT_DIR || path.join(ROOT, 'build/page-contract'));
const exported = (name) => JSON.parse(fs.readFileSync(path.join(CONTRACT, name + '.json'), 'utf8'));
export const COMMANDS = exported('commands');
export const HOST_EVENTS = { progress: exported('progress'), terminal: exported('terminal') };
const SAMPLE_ANSWERS = {
  'consent.html': { get_consent_info: 'consent_info', toggle_dry_run: 'consent_info' },
  'index.html': { get_install_state: 'install_state' },
  'uninstall.html': { get_install_state: 'uninstall_state' },
};
const listedFor = (file) => COMMANDS.filter((c) => c.pages.includes(file)).map((c) => c.name);

// The host's sample answer (consent_info, install_state, uninstall_state)
// with the given members changed; a member the host does not send is a fault
// of the test.
export function hostAnswer(name, changes = {}) {
  const sample = exported(name).result;
  const unknown = Object.keys(changes).filter((k) => !Object.prototype.hasOwnProperty.call(sample, k));
  if (unknown.length) throw new Error(`the host sends no ${unknown.join(', ')} in ${name}`);
  return { ...sample, ...changes };
}

// A scripted answer may only hold members the host really sends.
function checkScriptedAnswers(file, options) {
  const scripted = [...Object.entries(options.responses || {}).map(([cmd, answer]) => [cmd, [answer]]),
    ...Object.entries(options.sequences || {})];
  for (const [cmd, answers] of scripted) {
    const sample = (SAMPLE_ANSWERS[file] || {})[cmd];
    if (sample) answers.filter((a) => a && typeof a === 'object').forEach((a) => hostAnswer(sample, a));
  }
}

// Commands the real host is slow to answer. A blocking one holds the host's
// UI thread, so every invoke sent after it is answered only after it; a
// non-blocking one is answered late while the host keeps handling others.
export const SLOW_COMMANDS = {
  // Up to five schtasks runs of 15 s each.
  set_launch_on_logon: { ms: 75000, blocking: true },
  // Answered once the person has dealt with the UAC prompt; the host pumps
  // messages while it waits for the elevated copy.
  consent_elevate: { ms: 30000, blocking: false },
};
for (const cmd of Object.keys(SLOW_COMMANDS)) {
  if (!COMMANDS.some((c) => c.name === cmd)) throw new Error(`SLOW_COMMANDS names ${cmd}, which no page can invoke`);
}

// Runs inside the page before any of its scripts.
function fakeHost(config) {
  const listeners = [];
  const sent = [];
  const unlisted = [];
  const sequences = {};
  for (const [cmd, list] of Object.entries(config.sequences || {})) sequences[cmd] = list.slice();
  const channel = new MessageChannel();
  const outbox = [];
  // Answers arrive as separate tasks, like the host's; only those of slow
  // commands (below) wait for the fake clock.
  channel.port1.onmessage = () => {
    const data = outbox.shift();
    listeners.slice().forEach((f) => f({ data: JSON.parse(JSON.stringify(data)) }));
  };
  const dispatch = (data) => {
    outbox.push(data);
    channel.port2.postMessage(null);
  };
  window.__host = {
    sent,
    unlisted,
    dispatch,
    reply: (id, result) => dispatch({ type: 'response', id, result }),
  };
  // Page time (the test's fake clock) until which the host's UI thread is busy.
  let busyUntil = 0;
  const answer = (cmd, response) => {
    const slow = config.slow[cmd];
    const now = Date.now();
    const start = Math.max(now, busyUntil);
    const at = start + (slow ? slow.ms : 0);
    if (!slow || slow.blocking) busyUntil = at;
    if (at <= now) dispatch(response);
    else setTimeout(() => dispatch(response), at - now);
  };
  if (config.noBridge) return;
  window.chrome = window.chrome || {};
  window.chrome.webview = {
    postMessage(msg) {
      sent.push(JSON.stringify(msg));
      if (msg && msg.type === 'invoke' && config.listed && !config.listed.includes(msg.cmd)) unlisted.push(msg.cmd);
      if (!msg || msg.type !== 'invoke' || (config.silent || []).includes(msg.cmd)) return;
      let result = null;
      if (sequences[msg.cmd] && sequences[msg.cmd].length) result = sequences[msg.cmd].shift();
      else if (Object.prototype.hasOwnProperty.call(config.responses || {}, msg.cmd)) result = config.responses[msg.cmd];
      answer(msg.cmd, { type: 'response', id: msg.id, result });
    },
    addEventListener(type, f) { if (type === 'message') listeners.push(f); },
    removeEventListener() {},
  };
}

// Opens a bundle page. options: responses {cmd: result}, sequences {cmd:
// [results in order]}, silent [cmds never answered], slow (entries that
// replace those of SLOW_COMMANDS), noBridge, hash, viewport, scripts (bundle
// scripts to add to 'about:blank').
export async function openPage(browser, file, options = {}) {
  checkScriptedAnswers(file, options);
  const page = await browser.context.newPage();
  if (options.viewport) await page.setViewportSize(options.viewport);
  const requests = [];
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  await answerWebRequests(page, requests);
  await page.addInitScript(fakeHost, {
    responses: options.responses || {},
    sequences: options.sequences || {},
    silent: options.silent || [],
    slow: { ...SLOW_COMMANDS, ...options.slow },
    noBridge: !!options.noBridge,
    listed: SAMPLE_ANSWERS[file] ? listedFor(file) : null,
  });
  // Page time stands still unless a test advances it.
  await page.clock.install({ time: new Date('2026-03-04T05:06:00Z') });
  await page.clock.pauseAt(new Date('2026-03-04T05:06:07Z'));
  if (file === 'about:blank') {
    // A bare document with only the named bundle scripts, for unit-level checks.
    await page.goto(file);
    for (const script of options.scripts || []) await page.addScriptTag({ path: path.join(BUNDLE, script) });
  } else {
    await page.goto(pathToFileURL(path.join(BUNDLE, file)).href + (options.hash ? '#' + options.hash : ''));
  }
  return new HostPage(page, file, requests, errors);
}

export class HostPage {
  constructor(page, file, requests, errors) {
    this.page = page;
    this.file = file;
    this.requests = requests;
    this.errors = errors;
  }

  async messages() {
    return (await this.page.evaluate(() => window.__host.sent)).map((t) => JSON.parse(t));
  }

  async rawMessages() {
    return this.page.evaluate(() => window.__host.sent);
  }

  // Invokes other than page logging, in the order sent.
  async commands() {
    return (await this.messages()).filter((m) => m.cmd !== 'log_from_js');
  }

  async commandNames() {
    return (await this.commands()).map((m) => m.cmd);
  }

  async invokesOf(cmd) {
    return (await this.messages()).filter((m) => m.cmd === cmd);
  }

  async logLines() {
    return (await this.invokesOf('log_from_js')).map((m) => m.args);
  }

  async waitForCommand(cmd, count = 1) {
    await this.page.waitForFunction(([c, n]) =>
      window.__host.sent.filter((t) => JSON.parse(t).cmd === c).length >= n, [cmd, count]);
  }

  async dispatch(data) {
    await this.page.evaluate((d) => window.__host.dispatch(d), data);
    await this.settle();
  }

  // Progress and terminal events as the host sends them to this page; a
  // payload it never sends is a fault of the test (dispatch() sends anything).
  async progress(stage, percent) {
    const sent = (HOST_EVENTS.progress[this.file] || []).find((m) => m.payload.stage === stage);
    if (!sent) throw new Error(`the host sends no stage "${stage}" to ${this.file}`);
    await this.dispatch({ ...sent, payload: { ...sent.payload, percent } });
  }

  async terminal(payload) {
    const sent = (HOST_EVENTS.terminal[this.file] || []).find((m) => Object.keys(payload).length === 3 &&
      m.payload.stage === payload.stage && m.payload.terminal === payload.terminal && m.payload.outcome === payload.outcome);
    if (!sent) throw new Error(`the host sends no terminal ${JSON.stringify(payload)} to ${this.file}`);
    await this.dispatch(sent);
  }

  // Lets queued host answers and the promise chains behind them run: a few
  // task turns, none of which depends on the fake clock.
  async settle() {
    await this.page.evaluate(async () => {
      for (let i = 0; i < 5; i++) {
        await new Promise((r) => {
          const ch = new MessageChannel();
          ch.port1.onmessage = () => r();
          ch.port2.postMessage(null);
        });
      }
    });
  }

  async advance(ms) {
    await this.page.clock.runFor(ms);
    await this.settle();
  }

  // The page's own posts are asynchronous: waits until `count` requests
  // whose URL contains the text have arrived, and returns them.
  async requestsTo(text, count = 1) {
    for (let i = 0; i < 100; i++) {
      const found = this.requests.filter((r) => r.url.includes(text));
      if (found.length >= count) return found;
      await this.page.waitForTimeout(20);
    }
    throw new Error(`fewer than ${count} request(s) to ${text}`);
  }

  async currentScreen() {
    return this.page.evaluate(() => document.body.getAttribute('data-current'));
  }

  async text(selector) {
    return (await this.page.locator(selector).first().textContent()).trim();
  }

  async press(key) {
    await this.page.keyboard.press(key);
    await this.settle();
  }

  async click(selector) {
    await this.page.locator(selector).click();
    await this.settle();
  }

  // Visible elements that reach outside the viewport or are clipped by a
  // parent that hides overflow.
  async overflowing() {
    return this.page.evaluate(() => {
      const out = [];
      const vw = window.innerWidth;
      const vh = window.innerHeight;
      for (const el of document.querySelectorAll('body *')) {
        if (el.closest('[hidden]') || el.classList.contains('sr-only')) continue;
        const r = el.getBoundingClientRect();
        if (r.width === 0 || r.height === 0) continue;
        const style = getComputedStyle(el);
        if (style.visibility === 'hidden' || style.display === 'none') continue;
        if (r.right > vw + 0.5 || r.bottom > vh + 0.5 || r.left < -0.5 || r.top < -0.5) {
          out.push(el.tagName.toLowerCase() + (el.id ? '#' + el.id : '') + '.' + el.className + ' ' +
            JSON.stringify([Math.round(r.left), Math.round(r.top), Math.round(r.right), Math.round(r.bottom)]));
        }
      }
      return out;
    });
  }

  // Writes the evidence screenshot at 720 x 510 and checks that the screen
  // also fits the smaller client area of the real window.
  async evidence(name) {
    fs.mkdirSync(EVIDENCE, { recursive: true });
    await this.page.evaluate(() => document.fonts.ready);
    const wide = await this.overflowing();
    await this.page.screenshot({ path: path.join(EVIDENCE, name + '.png'), animations: 'disabled' });
    await this.page.setViewportSize(CLIENT_AREA);
    const narrow = await this.overflowing();
    await this.page.setViewportSize(VIEWPORT);
    return { wide, narrow };
  }

  // Fails when the page invoked a command the host does not list for it.
  async close() {
    const unlisted = await this.page.evaluate(() => (window.__host ? window.__host.unlisted : []));
    await this.page.close();
    if (unlisted.length) throw new Error(`${this.file} invoked ${unlisted.join(', ')}, not listed for it`);
  }
}
