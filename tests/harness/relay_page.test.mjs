// The page relay's pure parts: which Linux file a Windows program's file: URL names, how a
// test's expectation matches a message, and the headers of a page the host serves.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { headerFields, matches, unixFileUrl } from './relay_page.mjs';

test('a file: URL of the program is the same file through the prefix drive table', () => {
  const prefix = fs.mkdtempSync(path.join(os.tmpdir(), 'relay-prefix-'));
  const ui = path.join(prefix, 'drive_c', 'users', 'root', 'Temp', 'Corvane 1', 'ui');
  fs.mkdirSync(ui, { recursive: true });
  fs.writeFileSync(path.join(ui, 'index.html'), '');
  fs.mkdirSync(path.join(prefix, 'dosdevices'));
  fs.symlinkSync('../drive_c', path.join(prefix, 'dosdevices', 'c:'));
  fs.symlinkSync('/', path.join(prefix, 'dosdevices', 'z:'));
  const file = 'file://' + encodeURI(path.join(ui, 'index.html'));
  const cases = [
    ['file:///C:/users/root/Temp/Corvane%201/ui/index.html', file],
    ['file:///c:/users/root/Temp/Corvane 1/ui/index.html#onboard-email', file + '#onboard-email'],
    ['file:///C:\\users\\root\\Temp\\Corvane 1\\ui\\index.html?a=1', file + '?a=1'],
    ['file:///C:/USERS/root/temp/corvane%201/UI/index.html', file],
    ['file:///Z:' + encodeURI(path.join(ui, 'index.html')), file],
  ];
  try {
    for (const [url, expected] of cases) assert.equal(unixFileUrl(url, prefix), expected, url);
    assert.throws(() => unixFileUrl('file:///D:/ui/index.html', prefix), /drive D: .* is not mapped/);
    assert.throws(() => unixFileUrl('file:///C:/users/root/Temp/ui/consent.html', prefix), /which does not exist/);
    assert.throws(() => unixFileUrl('https://corvane.com/index.html', prefix), /not a file URL/);
  } finally {
    fs.rmSync(prefix, { recursive: true, force: true });
  }
});

test('an expectation matches a message as a subset, arrays and scalars exactly', () => {
  const invoke = { type: 'invoke', id: 3, cmd: 'save_onboarding_browsers', args: { disabled: ['edge'], enabled: [] } };
  const cases = [
    [{ cmd: 'save_onboarding_browsers' }, true],
    [{ args: { disabled: ['edge'] } }, true],
    [{ args: { disabled: [] } }, false],
    [{ args: { disabled: ['edge', 'chrome'] } }, false],
    [{ id: '3' }, false],
    [{ result: null }, false],
    [{}, true],
  ];
  for (const [expected, result] of cases) assert.equal(matches(expected, invoke), result, JSON.stringify(expected));
  assert.equal(matches({ result: null }, { type: 'response', id: 1, result: null }), true);
});

test('the raw headers of a response the host serves become the route\'s header fields', () => {
  const cases = [
    ['Content-Type: text/html; charset=utf-8', { 'content-type': 'text/html; charset=utf-8' }],
    ['content-type:text/css\r\nCache-Control: no-store\r\n', { 'content-type': 'text/css', 'cache-control': 'no-store' }],
    ['X-A: 1\nx-a: 2', { 'x-a': '1, 2' }],
    ['Link: <https://corvane-setup.invalid/a.css>; rel=preload', { link: '<https://corvane-setup.invalid/a.css>; rel=preload' }],
    [': no name\nnot a header\n\n', {}],
    [null, {}],
  ];
  for (const [text, expected] of cases) assert.deepEqual(headerFields(text), expected, JSON.stringify(text));
});
