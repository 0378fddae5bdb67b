// The page half of the message bridge, on a bare page with only bridge.js.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { startBrowser, openPage } from './harness.mjs';

let browser;
before(async () => { browser = await startBrowser(); });
after(async () => { await browser.close(); });

async function bridgePage(options = {}) {
  return openPage(browser, 'about:blank', { scripts: ['bridge.js'], ...options });
}

test('invokes are numbered from 1 with the envelope keys first and args defaulting to {}', async () => {
  const p = await bridgePage({ silent: ['a', 'b', 'c'] });
  await p.page.evaluate(() => {
    const { invoke } = window.__TAURI__.core;
    invoke('a');
    invoke('b', { level: 'warn', message: 'x "y"' });
    invoke('c', undefined);
  });
  assert.deepEqual(await p.rawMessages(), [
    '{"type":"invoke","id":1,"cmd":"a","args":{}}',
    '{"type":"invoke","id":2,"cmd":"b","args":{"level":"warn","message":"x \\"y\\""}}',
    '{"type":"invoke","id":3,"cmd":"c","args":{}}',
  ]);
  await p.close();
});

test('a response resolves only its own pending call; unknown ids and repeats are ignored', async () => {
  const p = await bridgePage({ silent: ['first', 'second'] });
  await p.page.evaluate(() => {
    window.results = [];
    const { invoke } = window.__TAURI__.core;
    invoke('first').then((r) => window.results.push(['first', r]));
    invoke('second').then((r) => window.results.push(['second', r]));
  });
  await p.dispatch({ type: 'response', id: 99, result: 'stray' });
  await p.dispatch({ type: 'response', id: -1, result: null });
  await p.dispatch({ type: 'response', id: 2, result: { status: 'ok', n: [1, 2] } });
  await p.dispatch({ type: 'response', id: 2, result: 'again' });
  assert.deepEqual(await p.page.evaluate(() => window.results), [['second', { status: 'ok', n: [1, 2] }]]);
  await p.dispatch({ type: 'response', id: 1, result: null });
  assert.deepEqual(await p.page.evaluate(() => window.results),
    [['second', { status: 'ok', n: [1, 2] }], ['first', null]]);
  await p.close();
});

// The host answers most commands at once; launch-on-logon may take it 75 s,
// and the elevation is answered only after the UAC prompt, however long that takes.
for (const [cmd, timeoutMs] of [['get_install_state', 10000], ['set_launch_on_logon', 90000],
  ['consent_elevate', null]]) {
  test(`an unanswered ${cmd} is ${timeoutMs ? `rejected after ${timeoutMs} ms naming it` : 'never given up on'}`, async () => {
    const p = await bridgePage({ silent: [cmd] });
    await p.page.evaluate((c) => {
      window.outcome = 'pending';
      window.__TAURI__.core.invoke(c).then(
        () => { window.outcome = 'resolved'; },
        (e) => { window.outcome = e.message; });
    }, cmd);
    const expired = `invoke('${cmd}') timed out after ${timeoutMs}ms with no host response`;
    await p.advance((timeoutMs || 3600000) - 1);
    assert.equal(await p.page.evaluate(() => window.outcome), 'pending');
    await p.advance(1);
    assert.equal(await p.page.evaluate(() => window.outcome), timeoutMs ? expired : 'pending');
    // A late answer is harmless after the time-out and accepted without one.
    await p.dispatch({ type: 'response', id: 1, result: {} });
    assert.equal(await p.page.evaluate(() => window.outcome), timeoutMs ? expired : 'resolved');
    assert.deepEqual(p.errors, []);
    await p.close();
  });
}

test('show_window is sent once for both window handles; later shows resolve at once', async () => {
  const p = await bridgePage({ silent: ['show_window'] });
  await p.page.evaluate(() => {
    window.shows = [];
    const t = window.__TAURI__;
    t.window.getCurrentWindow().show().then(() => window.shows.push('first'));
    t.webviewWindow.getCurrentWebviewWindow().show().then(() => window.shows.push('second'));
    t.window.getCurrentWindow().show().then(() => window.shows.push('third'));
  });
  await p.settle();
  assert.deepEqual(await p.commandNames(), ['show_window']);
  assert.deepEqual(await p.page.evaluate(() => window.shows), ['second', 'third']);
  await p.dispatch({ type: 'response', id: 1, result: null });
  assert.deepEqual(await p.page.evaluate(() => window.shows), ['second', 'third', 'first']);
  await p.close();
});

test('events reach their channel listeners in registration order, past a throwing handler', async () => {
  const p = await bridgePage();
  await p.page.evaluate(async () => {
    window.seen = [];
    const { listen } = window.__TAURI__.event;
    await listen('installer://progress', (e) => window.seen.push(['a', e.payload]));
    await listen('installer://progress', () => { throw new Error('handler fault'); });
    await listen('installer://progress', (e) => window.seen.push(['b', e.payload.percent]));
    await listen('installer://terminal', (e) => window.seen.push(['t', e.payload.terminal]));
  });
  await p.dispatch({ type: 'event', channel: 'installer://progress', payload: { stage: 'downloading', percent: 7 } });
  await p.dispatch({ type: 'event', channel: 'nobody://listens', payload: { x: 1 } });
  await p.dispatch({ type: 'event', channel: 'installer://terminal',
    payload: { stage: 'done', terminal: 'finish', outcome: 'success' } });
  assert.deepEqual(await p.page.evaluate(() => window.seen), [
    ['a', { stage: 'downloading', percent: 7 }],
    ['b', 7],
    ['t', 'finish'],
  ]);
  assert.deepEqual(p.errors, []);
  await p.close();
});

test('messages without a type, of other types or not objects are ignored', async () => {
  const p = await bridgePage({ silent: ['x'] });
  await p.page.evaluate(() => {
    window.outcome = 'pending';
    window.__TAURI__.core.invoke('x').then((r) => { window.outcome = r; });
  });
  for (const junk of [{ id: 1, result: 'no type' }, { type: 'request', id: 1, result: 'other type' },
    'text', null, 42, { type: 'event' }]) {
    await p.dispatch(junk);
  }
  assert.equal(await p.page.evaluate(() => window.outcome), 'pending');
  await p.dispatch({ type: 'response', id: 1, result: 'answer' });
  assert.equal(await p.page.evaluate(() => window.outcome), 'answer');
  assert.deepEqual(p.errors, []);
  await p.close();
});

test('without the host there is no bridge, and page log lines wait in a queue until one exists', async () => {
  const p = await bridgePage({ noBridge: true });
  assert.equal(await p.page.evaluate(() => typeof window.__TAURI__), 'undefined');
  const sent = await p.page.evaluate(() => {
    window.corvaneLog.info('early line');
    const posted = [];
    window.__TAURI__ = { core: { invoke: (cmd, args) => { posted.push([cmd, args]); return Promise.resolve(null); } } };
    window.corvaneLog.warn('later line');
    return posted;
  });
  assert.deepEqual(sent, [
    ['log_from_js', { level: 'info', message: 'early line' }],
    ['log_from_js', { level: 'warn', message: 'later line' }],
  ]);
  await p.close();
});
