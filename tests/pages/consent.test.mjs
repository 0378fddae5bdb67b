// The consent screen in install and uninstall form.
import { test, describe, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { startBrowser, openPage, hostAnswer, SLOW_COMMANDS } from './harness.mjs';

let browser;
before(async () => { browser = await startBrowser(); });
after(async () => { await browser.close(); });

// A fresh install's consent info, as the host formats it.
const INSTALL = hostAnswer('consent_info');
const UNINSTALL = { ...INSTALL, is_uninstall: true, has_existing_install: true, analytics_enabled: false };

async function consent(info, options = {}) {
  const p = await openPage(browser, 'consent.html', { responses: { get_consent_info: info }, ...options });
  await p.settle();
  return p;
}

async function elevatePayloads(p) {
  return (await p.invokesOf('consent_elevate')).map((m) => m.args);
}

async function visible(p, selector) {
  return p.page.locator(selector).isVisible();
}

describe('install form', () => {
  test('asks for the consent info first, shows the window, and labels the defaults', async () => {
    const p = await consent(INSTALL);
    await p.advance(50);
    assert.deepEqual(await p.commandNames(), ['get_consent_info', 'show_window']);
    assert.equal(await p.text('h1'), 'CorVane Setup');
    assert.equal(await p.text('#action'), 'Install Now');
    assert.equal(await visible(p, '#shield'), true);
    assert.equal(await visible(p, '#existing-row'), false);
    assert.equal(await p.page.isChecked('#decrypt-https'), true);
    assert.equal(await p.page.isChecked('#analytics'), true);
    assert.equal(await visible(p, '#terms'), true);
    const shot = await p.evidence('consent-install');
    assert.deepEqual(shot, { wide: [], narrow: [] });
    assert.deepEqual(p.errors, []);
    await p.close();
  });

  test('an existing install shows the pre-uninstall box, ticked from the default; elevation hides the shield', async () => {
    const p = await consent({ ...INSTALL, has_existing_install: true, uninstall_existing_default: true,
      is_elevated: true, analytics_enabled: false, dry_run: true });
    assert.equal(await p.text('#existing-row'), 'Uninstall existing version before installing');
    assert.equal(await p.page.isChecked('#uninstall-existing'), true);
    assert.equal(await visible(p, '#shield'), false);
    assert.equal(await p.page.isChecked('#analytics'), false);
    assert.equal(await p.text('#action'), 'Install Now (Dry Run)');
    await p.close();
  });

  test('the button sends the three choices as they are ticked and stays disabled while asking', async () => {
    const p = await consent({ ...INSTALL, has_existing_install: true }, { silent: ['consent_elevate'] });
    await p.page.check('#uninstall-existing');
    await p.page.uncheck('#decrypt-https');
    await p.click('#action');
    const raw = (await p.rawMessages()).filter((t) => t.includes('consent_elevate'));
    assert.deepEqual(raw.map((t) => t.replace(/"id":\d+/, '"id":N')),
      ['{"type":"invoke","id":N,"cmd":"consent_elevate","args":{"uninstall_existing":true,"decrypt_https":false,"analytics_enabled":true}}']);
    assert.equal(await p.page.isDisabled('#action'), true);
    await p.press('Enter');
    assert.equal((await elevatePayloads(p)).length, 1);
    await p.close();
  });

  test('a hidden pre-uninstall box is never sent as ticked', async () => {
    const p = await consent(INSTALL, { responses: { get_consent_info: INSTALL, consent_elevate: { status: 'ok' } } });
    await p.click('#action');
    assert.deepEqual(await elevatePayloads(p),
      [{ uninstall_existing: false, decrypt_https: true, analytics_enabled: true }]);
    await p.close();
  });

  test('"cancelled" enables the button again; "ok" leaves it to the host to close the window', async () => {
    const p = await consent(INSTALL, { sequences: { consent_elevate: [{ status: 'cancelled' }, { status: 'ok' }] } });
    await p.click('#action');
    await p.advance(SLOW_COMMANDS.consent_elevate.ms);
    assert.equal(await p.page.isDisabled('#action'), false);
    await p.click('#action');
    await p.advance(SLOW_COMMANDS.consent_elevate.ms + 60000);
    assert.equal(await p.page.isDisabled('#action'), true);
    assert.deepEqual((await p.commandNames()).filter((c) => c !== 'show_window'),
      ['get_consent_info', 'consent_elevate', 'consent_elevate']);
    await p.close();
  });

  test('an error answer closes the screen 2,000 ms later', async () => {
    const p = await consent(INSTALL, { responses: { get_consent_info: INSTALL, consent_elevate: { status: 'error', error: 5 } } });
    await p.click('#action');
    await p.advance(SLOW_COMMANDS.consent_elevate.ms);
    assert.match(await p.text('#status'), /error 5/);
    await p.advance(1999);
    assert.equal((await p.invokesOf('exit_sibling')).length, 0);
    await p.advance(1);
    assert.equal((await p.invokesOf('exit_sibling')).length, 1);
    await p.close();
  });

  test('the elevation is waited for without a time-out: the button stays disabled until the host answers', async () => {
    const p = await consent(INSTALL, { slow: { consent_elevate: { ms: 600000, blocking: false } },
      sequences: { consent_elevate: [{ status: 'cancelled' }] } });
    await p.click('#action');
    await p.advance(599999);
    assert.equal(await p.page.isDisabled('#action'), true);
    await p.press('Enter');
    assert.equal((await elevatePayloads(p)).length, 1);
    await p.advance(1);
    assert.equal(await p.page.isDisabled('#action'), false);
    assert.equal(await p.text('#status'), '');
    await p.click('#action');
    assert.equal((await elevatePayloads(p)).length, 2);
    await p.close();
  });

  test('Enter presses the button, but not from a link or the Why? toggle', async () => {
    const p = await consent(INSTALL, { silent: ['consent_elevate'] });
    await p.page.focus('#why-toggle');
    await p.press('Enter');
    assert.equal(await visible(p, '#why-text'), true);
    assert.equal(await p.page.getAttribute('#why-toggle', 'aria-expanded'), 'true');
    assert.equal((await elevatePayloads(p)).length, 0);
    await p.page.focus('#analytics');
    await p.press('Enter');
    assert.equal((await elevatePayloads(p)).length, 1);
    await p.close();
  });

  test('the D key toggles the dry run only in a dev build and relabels from the answer', async () => {
    const plain = await consent(INSTALL);
    await plain.press('d');
    assert.equal((await plain.invokesOf('toggle_dry_run')).length, 0);
    await plain.close();

    const dev = await consent({ ...INSTALL, is_dev: true }, { responses: { get_consent_info: { ...INSTALL, is_dev: true },
      toggle_dry_run: { ...INSTALL, is_dev: true, dry_run: true } } });
    await dev.press('D');
    assert.equal((await dev.invokesOf('toggle_dry_run')).length, 1);
    assert.equal(await dev.text('#action'), 'Install Now (Dry Run)');
    await dev.close();
  });
});

describe('links', () => {
  async function openedUrls(p) {
    return (await p.invokesOf('open_url')).map((m) => m.args.url);
  }

  test('carry the tracking query and go through the host instead of navigating', async () => {
    const p = await consent(INSTALL);
    await p.click('a[data-link="privacy"]');
    await p.click('#why-toggle');
    await p.click('a[data-link="httpsHelp"]');
    assert.deepEqual(await openedUrls(p), [
      'https://corvane.com/privacy?utm_source=corvanelabs&utm_medium=installer',
      'https://corvane.com/help?topic=https-filtering&utm_source=corvanelabs&utm_medium=installer',
    ]);
    assert.match(p.page.url(), /consent\.html$/);
    await p.close();
  });

  test('use the attributed alternate domain, and only a vendor domain', async () => {
    const net = await consent({ ...INSTALL, host_domain: 'corvane.net' });
    await net.click('a[data-link="terms"]');
    assert.deepEqual(await openedUrls(net), ['https://corvane.net/terms?utm_source=corvanelabs&utm_medium=installer']);
    await net.close();

    const org = await consent({ ...INSTALL, host_domain: 'corvane.org' });
    await org.click('a[data-link="license"]');
    assert.deepEqual(await openedUrls(org), ['https://corvane.org/eula?utm_source=corvanelabs&utm_medium=installer']);
    await org.close();

    const foreign = await consent({ ...INSTALL, host_domain: 'evil.example' });
    await foreign.click('a[data-link="privacy"]');
    assert.deepEqual(await openedUrls(foreign), ['https://corvane.com/privacy?utm_source=corvanelabs&utm_medium=installer']);
    await foreign.close();
  });

  test('only web addresses reach open_url; anything else is refused and logged', async () => {
    const p = await consent(INSTALL);
    const refused = ['file:///C:/Windows/System32/calc.exe', 'javascript:alert(1)', 'ms-settings:privacy',
      '\\\\attacker\\share\\setup.exe', 'C:\\Windows\\notepad.exe', 'terms'];
    await p.page.evaluate((urls) => urls.forEach((u) => window.CorvanePage.openUrl(u)),
      [...refused, 'https://corvane.com/a', 'http://corvane.com/b']);
    await p.settle();
    assert.deepEqual(await openedUrls(p), ['https://corvane.com/a', 'http://corvane.com/b']);
    assert.deepEqual((await p.logLines()).filter((l) => l.level === 'warn').map((l) => l.message),
      refused.map((u) => 'open_url refused, not a web address: ' + u));
    await p.close();
  });
});

describe('uninstall form', () => {
  test('hides the install choices and terms and sends the usage choice it was given', async () => {
    const p = await consent(UNINSTALL, { silent: ['consent_elevate'] });
    assert.equal(await p.text('h1'), 'CorVane Uninstall');
    assert.equal(await p.page.title(), 'CorVane Uninstall');
    assert.equal(await p.page.innerHTML('#body-text'),
      "<strong>We're sorry to see you go.</strong> Click below to remove CorVane from your PC.");
    assert.equal(await p.text('#action'), 'Uninstall Now');
    for (const hidden of ['#https-row', '#usage-row', '#terms', '#existing-row']) {
      assert.equal(await visible(p, hidden), false, hidden);
    }
    const shot = await p.evidence('consent-uninstall');
    assert.deepEqual(shot, { wide: [], narrow: [] });
    await p.press('Enter');
    assert.deepEqual(await elevatePayloads(p),
      [{ uninstall_existing: false, decrypt_https: false, analytics_enabled: false }]);
    await p.close();
  });

  test('with nothing to uninstall the button is disabled, without shield, and Enter does nothing', async () => {
    const p = await consent({ ...UNINSTALL, nothing_to_uninstall: true, dry_run: true });
    assert.equal(await p.page.innerHTML('#body-text'), '<strong>CorVane is not installed on this machine.</strong>');
    assert.equal(await p.page.isDisabled('#action'), true);
    assert.equal(await visible(p, '#shield'), false);
    assert.equal(await visible(p, '#terms'), false);
    assert.equal(await p.text('#action'), 'Uninstall Now (Dry Run)');
    await p.press('Enter');
    assert.equal((await elevatePayloads(p)).length, 0);
    await p.close();
  });
});

test('the button keeps its size when the dry-run label is added', async () => {
  const plain = await consent(INSTALL);
  const dry = await consent({ ...INSTALL, dry_run: true });
  const a = await plain.page.locator('#action').boundingBox();
  const b = await dry.page.locator('#action').boundingBox();
  assert.deepEqual(b, a);
  await plain.close();
  await dry.close();
});
