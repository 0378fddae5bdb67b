// The pages against what the host really sends them (build/page-contract):
// a stage word or terminal event a page ignores is a fault of the page.
// (Every test's page also fails on close when it invoked a command the host
// does not list for it: harness.mjs.)
import { test, describe, before, after } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { startBrowser, openPage, hostAnswer, BUNDLE, COMMANDS, HOST_EVENTS } from './harness.mjs';

let browser;
before(async () => { browser = await startBrowser(); });
after(async () => { await browser.close(); });

const PAGES = {
  'index.html': { state: 'install_state', start: async () => {} },
  'uninstall.html': { state: 'uninstall_state', start: (p) => p.click('#continue-uninstall') },
};

async function started(file) {
  const p = await openPage(browser, file, { responses: { get_install_state: hostAnswer(PAGES[file].state) } });
  await p.settle();
  await PAGES[file].start(p);
  return p;
}

// The label, the bar and the tracker's steps.
async function shown(p) {
  return p.page.evaluate(() => [document.getElementById('stage-label').textContent,
    document.getElementById('bar-fill').style.width,
    ...[...document.querySelectorAll('#tracker .step')].map((li) => li.className + ':' +
      li.querySelector('.step-fill').style.width)]);
}

// What the page shows after "done" and then the word at 37%.
async function shownAfter(p, word) {
  const done = HOST_EVENTS.progress[p.file].find((m) => m.payload.stage === 'done');
  await p.dispatch(done);
  await p.dispatch({ ...done, payload: { stage: word, percent: 37 } });
  return JSON.stringify(await shown(p));
}

// Also those on paths no test walks: the literal names in the bundle's calls.
test('every command the page scripts invoke by name is one the host lists', () => {
  const named = new Set();
  for (const file of fs.readdirSync(BUNDLE).filter((f) => /\.(js|html)$/.test(f))) {
    const text = fs.readFileSync(path.join(BUNDLE, file), 'utf8');
    for (const [, cmd] of text.matchAll(/\b(?:invoke|send)\('([a-z_]+)'/g)) named.add(cmd);
  }
  assert.ok(named.size >= 10, `only ${[...named]} found: the scan no longer sees the calls`);
  assert.deepEqual([...named].filter((cmd) => !COMMANDS.some((c) => c.name === cmd)), []);
});

for (const file of Object.keys(PAGES)) {
  describe(file, () => {
    test('every stage word the host sends moves the label or the tracker past what an unknown word does', async () => {
      const p = await started(file);
      const unknown = await shownAfter(p, 'a_word_no_host_sends');
      const ignored = [];
      for (const { payload } of HOST_EVENTS.progress[file]) {
        if (await shownAfter(p, payload.stage) === unknown) ignored.push(payload.stage);
      }
      assert.deepEqual(ignored, []);
      await p.close();
    });

    test('every terminal event the host sends ends the run with its outcome and leaves the progress screen', async () => {
      for (const message of HOST_EVENTS.terminal[file]) {
        const p = await started(file);
        const progressScreen = await p.currentScreen();
        await p.dispatch(message);
        await p.advance(1000);
        const { terminal, outcome } = message.payload;
        assert.ok((await p.logLines()).some((l) => l.message.endsWith(`ended: terminal=${terminal} outcome=${outcome}`)),
          JSON.stringify(message.payload));
        assert.notEqual(await p.currentScreen(), progressScreen, JSON.stringify(message.payload));
        await p.close();
      }
    });
  });
}
