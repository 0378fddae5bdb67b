// The install page: boot order, progress, the three outcomes, onboarding,
// the finish button, page telemetry and the address fragments.
import { test, describe, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { startBrowser, openPage, hostAnswer, SLOW_COMMANDS } from './harness.mjs';

let browser;
before(async () => { browser = await startBrowser(); });
after(async () => { await browser.close(); });

const BROWSERS = [
  { key: 'firefox.exe', name: 'Mozilla Firefox', icon: 'firefox' },
  { key: 'chrome.exe', name: 'Google Chrome', icon: 'chrome' },
  { key: 'brave.exe', name: 'Brave', icon: 'brave' },
  { key: 'msedge.exe', name: 'Microsoft Edge', icon: 'msedge' },
];
const STATE = hostAnswer('install_state', {
  user_id: 'user-1', machine_id_sha2: 'abc', utm_source: 'ads', installer_version: '2.0.266.0',
  os_name: 'Windows 11', browser_name_default: 'Chrome', browser_name: 'Edge', host_prefix: '', host_domain: '',
  dry_run: false, analytics_enabled: false, uninstall_first: false, browsers: BROWSERS,
});

async function install(state = STATE, options = {}) {
  const p = await openPage(browser, 'index.html', { responses: { get_install_state: state }, ...options });
  await p.settle();
  return p;
}

async function stageText(p) {
  return [await p.text('#stage-label'), await p.page.evaluate(() =>
    document.getElementById('bar-fill').style.width)];
}

async function trackerState(p) {
  return p.page.evaluate(() => [...document.querySelectorAll('#tracker .step')].map((li) =>
    li.querySelector('.step-label').textContent + ':' + li.querySelector('.step-fill').style.width));
}

async function switchKeys(p, screen) {
  return p.page.evaluate((s) => [...document.querySelectorAll(`[data-screen="${s}"] input[role="switch"]`)]
    .map((i) => i.dataset.key), screen);
}

async function payloadsOf(p, cmd) {
  return (await p.invokesOf(cmd)).map((m) => m.args);
}

async function finishAfter(p, payload) {
  await p.terminal(payload);
  await p.advance(1000);
}

describe('boot', () => {
  test('reads the install state, begins at once, then shows the window and reports it shown', async () => {
    const p = await install();
    assert.deepEqual(await p.commandNames(), ['get_install_state', 'signal_user_action']);
    assert.deepEqual(await payloadsOf(p, 'signal_user_action'), [{ action: 'begin' }]);
    await p.advance(50);
    assert.deepEqual(await p.commandNames(),
      ['get_install_state', 'signal_user_action', 'show_window', 'sibling_show_complete']);
    assert.equal(await p.page.evaluate(() => window.__WIZARD_VERSION__), 'v2');
    assert.equal(await p.currentScreen(), 'installing');
    assert.deepEqual(await stageText(p), ['Preparing to install...', '0%']);
    assert.deepEqual(await trackerState(p), ['Download:0%', 'Install:0%', 'Complete:0%']);
    await p.close();
  });

  test('an unanswered install state is logged after 10 s and the install begins anyway', async () => {
    const p = await install(STATE, { silent: ['get_install_state'] });
    assert.equal((await p.invokesOf('signal_user_action')).length, 0);
    await p.advance(10000);
    assert.deepEqual(await payloadsOf(p, 'signal_user_action'), [{ action: 'begin' }]);
    assert.ok((await p.logLines()).some((l) => l.level === 'warn' && l.message ===
      "get_install_state failed, installing anyway: invoke('get_install_state') timed out after 10000ms with no host response"));
    await p.close();
  });
});

describe('progress', () => {
  test('labels each stage and shows extraction with a full bar', async () => {
    const p = await install();
    const seen = [];
    for (const [stage, percent] of [['preparing', 0], ['downloading', 42], ['extracting', 30],
      ['installing', 60], ['finishing', 85], ['done', 100]]) {
      await p.progress(stage, percent);
      seen.push(await stageText(p));
    }
    assert.deepEqual(seen, [
      ['Preparing to install...', '0%'],
      ['Downloading CorVane...', '42%'],
      ['Extracting 30%...', '100%'],
      ['Installing CorVane...', '60%'],
      ['Finishing up...', '85%'],
      ['Done!', '100%'],
    ]);
    await p.close();
  });

  test('while another installation holds the Installer the page says so and stays in the Install step', async () => {
    const p = await install();
    await p.progress('installing', 30);
    await p.progress('waiting_for_installer', 30);
    assert.deepEqual(await stageText(p), ['Waiting for another installation to finish...', '30%']);
    assert.deepEqual(await trackerState(p), ['Download:100%', 'Install:30%', 'Complete:0%']);
    assert.deepEqual(await p.evidence('waiting-for-installer'), { wide: [], narrow: [] });
    await p.progress('installing', 42);
    assert.deepEqual(await stageText(p), ['Installing CorVane...', '42%']);
    await p.close();
  });

  test('a stage word the page does not know shows the starting label and stays in its step', async () => {
    const p = await install();
    await p.progress('installing', 40);
    await p.dispatch({ type: 'event', channel: 'installer://progress', payload: { stage: 'verifying', percent: 60 } });
    assert.deepEqual(await stageText(p), ['Preparing to install...', '60%']);
    assert.deepEqual(await trackerState(p), ['Download:100%', 'Install:60%', 'Complete:0%']);
    await p.close();
  });

  test('a dry run has its own labels for the stages that change the machine', async () => {
    const p = await install({ ...STATE, dry_run: true, uninstall_first: true });
    await p.progress('extracting', 0);
    await p.progress('uninstalling_existing', 0);
    const seen = [];
    for (const [stage, percent] of [['closing_existing', 0], ['uninstalling_existing', 5], ['installing', 30],
      ['finishing', 85]]) {
      await p.progress(stage, percent);
      seen.push(await p.text('#stage-label'));
    }
    assert.deepEqual(seen, ['Closing CorVane (dry run)...',
      'Uninstalling existing version (dry run)...', 'Installing (dry run)...', 'Finishing up (dry run)...']);
    await p.close();
  });

  test('three steps: download stages fill the first segment, install stages the second', async () => {
    const p = await install();
    await p.progress('downloading', 40);
    assert.deepEqual(await trackerState(p), ['Download:40%', 'Install:0%', 'Complete:0%']);
    await p.progress('extracting', 0);
    assert.deepEqual(await trackerState(p), ['Download:100%', 'Install:0%', 'Complete:0%']);
    await p.progress('installing', 30);
    assert.deepEqual(await trackerState(p), ['Download:100%', 'Install:30%', 'Complete:0%']);
    await p.close();
  });

  test('with uninstall_first five steps: in the host\'s order no step fills and then empties again', async () => {
    const p = await install({ ...STATE, uninstall_first: true });
    // What the host sends when it removes the existing version first.
    const REAL_ORDER = [['preparing', 0], ['downloading', 0], ['downloading', 55], ['downloading', 100],
      ['extracting', 0], ['extracting', 100], ['uninstalling_existing', 0], ['closing_existing', 0],
      ['closing_existing', 31], ['closing_existing', 100], ['uninstalling_existing', 0],
      ['uninstalling_existing', 40], ['uninstalling_existing', 100], ['installing', 30], ['installing', 70],
      ['finishing', 85], ['done', 100]];
    const seen = {};
    let previous = null;
    for (const [stage, percent] of REAL_ORDER) {
      await p.progress(stage, percent);
      const steps = await trackerState(p);
      const fills = steps.map((s) => parseInt(s.split(':')[1], 10));
      if (previous) fills.forEach((f, i) => assert.ok(f >= previous[i], `${steps[i]} went back at ${stage} ${percent}`));
      previous = fills;
      seen[stage + ' ' + percent] ??= [...steps, ...await stageText(p)];
      if (stage === 'installing' && percent === 70) await p.evidence('installing-five-steps');
    }
    // The announcement before closing starts the Close step.
    assert.deepEqual(seen['uninstalling_existing 0'],
      ['Download:100%', 'Close:0%', 'Uninstall:0%', 'Install:0%', 'Complete:0%', 'Closing CorVane...', '0%']);
    assert.deepEqual(seen['closing_existing 31'],
      ['Download:100%', 'Close:31%', 'Uninstall:0%', 'Install:0%', 'Complete:0%', 'Closing CorVane...', '31%']);
    assert.deepEqual(seen['uninstalling_existing 40'],
      ['Download:100%', 'Close:100%', 'Uninstall:40%', 'Install:0%', 'Complete:0%', 'Uninstalling existing version...', '40%']);
    assert.deepEqual(seen['installing 30'],
      ['Download:100%', 'Close:100%', 'Uninstall:100%', 'Install:30%', 'Complete:0%', 'Installing CorVane...', '30%']);
    await p.close();
  });

  test('the carousel shows a new slide every 10 s while installing and logs each one', async () => {
    const p = await install();
    assert.equal(await p.text('.slide-title'), 'Lightning Fast Browsing');
    assert.match(await p.page.getAttribute('.slide-image', 'src'), /feature-speed\.webp$/);
    await p.progress('downloading', 42);
    const shot = await p.evidence('installing');
    assert.deepEqual(shot, { wide: [], narrow: [] });
    await p.advance(10000);
    assert.equal(await p.text('.slide-title'), 'Protect Your Privacy');
    await p.advance(10000);
    assert.equal(await p.text('.slide-title'), 'Blocking in All Browsers');
    assert.match(await p.page.getAttribute('.slide-image', 'src'), /feature-browsers\.webp$/);
    await finishAfter(p, { stage: 'install', terminal: 'fail', outcome: 'error' });
    const logged = (await p.logLines()).filter((l) => l.message.startsWith('carousel:')).length;
    await p.advance(30000);
    assert.equal((await p.logLines()).filter((l) => l.message.startsWith('carousel:')).length, logged);
    assert.equal(logged, 3);
    await p.close();
  });
});

describe('success', () => {
  test('onboarding → finish writes the choices, then sets launch-on-logon, launches and exits', async () => {
    const p = await install();
    await p.terminal({ stage: 'done', terminal: 'finish', outcome: 'success' });
    assert.deepEqual(await stageText(p), ['Done!', '100%']);
    await p.advance(999);
    assert.equal(await p.currentScreen(), 'installing');
    await p.advance(1);
    assert.equal(await p.currentScreen(), 'onboard-browsers');
    assert.deepEqual((await p.commandNames()).slice(-1), ['enable_close']);
    assert.deepEqual(await payloadsOf(p, 'signal_user_action'), [{ action: 'begin' }]);

    // Downloading browser first, then the default one, then by name.
    assert.deepEqual(await switchKeys(p, 'onboard-browsers'), ['msedge.exe', 'chrome.exe', 'brave.exe', 'firefox.exe']);
    assert.equal(await p.page.locator('#browser-list').getAttribute('class'), 'switch-list compact');
    assert.deepEqual(await p.evidence('onboard-browsers'), { wide: [], narrow: [] });
    await p.page.locator('input[data-key="chrome.exe"]').uncheck();
    await p.click('[data-screen="onboard-browsers"] [data-action="next"]');
    assert.equal(await p.currentScreen(), 'onboard-filters');
    assert.deepEqual(await p.evidence('onboard-filters'), { wide: [], narrow: [] });
    await p.page.locator('input[data-key="blockSocial"]').uncheck();
    await p.press('Enter');
    assert.equal(await p.currentScreen(), 'onboard-https');
    assert.deepEqual(await p.evidence('onboard-https'), { wide: [], narrow: [] });
    await p.click('[data-screen="onboard-https"] [data-action="next"]');
    assert.equal(await p.currentScreen(), 'finish');

    const saved = (await p.commands()).filter((m) => m.cmd.startsWith('save_onboarding_')).map((m) => [m.cmd, m.args]);
    assert.deepEqual(saved, [
      ['save_onboarding_browsers', { disabled: ['chrome.exe'], enabled: ['msedge.exe', 'brave.exe', 'firefox.exe'] }],
      ['save_onboarding_filters', { blockSocial: true }],
      ['save_onboarding_https', {}],
    ]);
    assert.deepEqual(await payloadsOf(p, 'signal_user_action'), [{ action: 'begin' }, { action: 'done' }]);

    assert.equal(await p.text('[data-screen="finish"] h1'), 'CorVane Installed');
    assert.equal(await p.page.innerHTML('.finish-text'), 'You’re ready to browse ad-free.');
    assert.equal(await p.text('.finish-button'), 'Get Started');
    assert.equal(await p.text('.launch-box'), 'Launch CorVane when I sign in to my computer');
    assert.equal(await p.page.isChecked('#launch-on-logon'), true);
    assert.deepEqual(await p.evidence('finish-success'), { wide: [], narrow: [] });

    // The host may take 75 s over launch-on-logon; nothing may give up on it
    // or on the commands that wait behind it.
    await p.page.uncheck('#launch-on-logon');
    const before = (await p.commands()).length;
    await p.click('.finish-button');
    assert.deepEqual((await p.commands()).slice(before).map((m) => [m.cmd, m.args]),
      [['set_launch_on_logon', { enabled: false }]]);
    await p.advance(SLOW_COMMANDS.set_launch_on_logon.ms);
    assert.deepEqual((await p.commands()).slice(before).map((m) => [m.cmd, m.args]),
      [['set_launch_on_logon', { enabled: false }], ['launch_app', {}]]);
    await p.advance(149);
    assert.equal((await p.invokesOf('exit_sibling')).length, 0);
    await p.advance(1);
    assert.equal((await p.invokesOf('exit_sibling')).length, 1);
    await p.press('Enter');
    assert.equal((await p.invokesOf('launch_app')).length, 1);
    assert.equal((await p.invokesOf('exit_sibling')).length, 1);
    assert.deepEqual((await p.logLines()).filter((l) => l.level !== 'info'), []);
    await p.close();
  });

  test('Previous goes back; Escape turns the screen\'s switches on again and moves on', async () => {
    const p = await install();
    await finishAfter(p, { stage: 'done', terminal: 'finish', outcome: 'success' });
    await p.page.locator('input[data-key="firefox.exe"]').uncheck();
    await p.press('Escape');
    assert.equal(await p.currentScreen(), 'onboard-filters');
    await p.click('[data-screen="onboard-filters"] [data-action="previous"]');
    assert.equal(await p.currentScreen(), 'onboard-browsers');
    assert.equal(await p.page.isChecked('input[data-key="firefox.exe"]'), true);
    await p.press('Enter');
    await p.page.locator('input[data-key="blockAds"]').uncheck();
    await p.press('Escape');
    await p.page.locator('input[data-key="filterHttps"]').uncheck();
    await p.press('Escape');
    assert.equal(await p.currentScreen(), 'finish');
    assert.deepEqual(await payloadsOf(p, 'save_onboarding_filters'), [{}]);
    assert.deepEqual(await payloadsOf(p, 'save_onboarding_https'), [{}]);
    assert.equal((await payloadsOf(p, 'save_onboarding_browsers')).length, 2);
    await p.press('Enter');
    assert.deepEqual(await payloadsOf(p, 'set_launch_on_logon'), [{ enabled: true }]);
    await p.close();
  });

  test('browser names are shown as text, never as markup, and unknown icons fall back to the generic one', async () => {
    const p = await install({ ...STATE, browsers: [{ key: 'x.exe', name: '<img src=x onerror="window.owned=1">', icon: '../../evil' }] });
    await finishAfter(p, { stage: 'done', terminal: 'finish', outcome: 'success' });
    assert.equal(await p.text('#browser-list .switch-name'), '<img src=x onerror="window.owned=1">');
    assert.equal(await p.page.evaluate(() => window.owned), undefined);
    assert.match(await p.page.getAttribute('#browser-list img', 'src'), /browser-icon-generic\.svg$/);
    assert.equal(await p.page.locator('#browser-list').getAttribute('class'), 'switch-list');
    await p.close();
  });
});

describe('warning and error', () => {
  test('a failure with the earlier product still there is a warning: finish screen, done reported, still launches', async () => {
    const p = await install();
    await finishAfter(p, { stage: 'download', terminal: 'fail', outcome: 'warning' });
    assert.equal(await p.currentScreen(), 'finish');
    assert.equal(await p.text('[data-screen="finish"] h1'), 'Corvane Already Installed');
    assert.equal(await p.page.innerHTML('.finish-text'),
      'A previous installation of Corvane was detected. You’re ready to browse ad-free.');
    assert.equal(await p.text('.finish-button'), 'Get Started');
    assert.equal(await p.page.isVisible('#launch-on-logon'), true);
    assert.deepEqual((await p.commandNames()).slice(-2), ['enable_close', 'signal_user_action']);
    assert.deepEqual(await payloadsOf(p, 'signal_user_action'), [{ action: 'begin' }, { action: 'done' }]);
    assert.deepEqual(await p.evidence('finish-warning'), { wide: [], narrow: [] });
    await p.press('Escape');
    await p.advance(SLOW_COMMANDS.set_launch_on_logon.ms);
    await p.advance(150);
    assert.deepEqual((await p.commandNames()).slice(-3), ['set_launch_on_logon', 'launch_app', 'exit_sibling']);
    await p.close();
  });

  // A failed install, and an install whose app cannot be found afterwards.
  for (const payload of [{ stage: 'install', terminal: 'fail', outcome: 'error' },
    { stage: 'done', terminal: 'finish', outcome: 'error' }]) {
    test(`${payload.terminal} with an error: no launch box, and Close only exits`, async () => {
      const p = await install();
      await p.progress('installing', 60);
      await finishAfter(p, payload);
      assert.equal(await p.currentScreen(), 'finish');
      assert.equal(await p.text('[data-screen="finish"] h1'), 'Corvane Not Installed');
      assert.equal(await p.page.innerHTML('.finish-text'),
        'Oops, it looks like something went wrong during the installation.<br>Please try running the installer again.');
      assert.equal(await p.text('.finish-button'), 'Close');
      assert.equal(await p.page.isVisible('#launch-on-logon'), false);
      if (payload.terminal === 'fail') assert.deepEqual(await p.evidence('finish-error'), { wide: [], narrow: [] });
      await p.press('Enter');
      await p.advance(150);
      assert.deepEqual((await p.commandNames()).slice(-3), ['enable_close', 'signal_user_action', 'exit_sibling']);
      assert.equal((await p.invokesOf('launch_app')).length, 0);
      await p.close();
    });
  }

  test('the finish button stays in place whatever the outcome', async () => {
    const boxes = [];
    for (const outcome of ['success', 'warning', 'error']) {
      const p = await install(STATE, { hash: outcome === 'success' ? 'finish' : 'finish-' + outcome });
      boxes.push(await p.page.locator('.finish-button').boundingBox());
      await p.close();
    }
    assert.deepEqual(boxes[1], boxes[0]);
    assert.deepEqual(boxes[2], boxes[0]);
  });
});

describe('page telemetry', () => {
  function events(p) {
    return p.requests.filter((r) => r.url.includes('stats.')).map((r) => ({ url: r.url, body: JSON.parse(r.body) }));
  }

  test('with consent, page and click events go to the stats host with the tracking fields', async () => {
    const p = await install({ ...STATE, analytics_enabled: true, host_prefix: 'stage-', host_domain: 'corvane.org' });
    await finishAfter(p, { stage: 'done', terminal: 'finish', outcome: 'success' });
    await p.press('Enter');
    await p.requestsTo('stats.', 3);
    const sent = events(p);
    assert.deepEqual(sent.map((e) => [e.url, e.body.page_name, e.body.click_element]), [
      ['https://stage-stats.corvane.org/?event=corvane.installer.page', 'onboard_browsers', undefined],
      ['https://stage-stats.corvane.org/?event=corvane.installer.click', 'onboard_browsers', 'onboard_browsers_next'],
      ['https://stage-stats.corvane.org/?event=corvane.installer.page', 'onboard_filters', undefined],
    ]);
    const click = sent[1].body;
    assert.equal(click.event, 'corvane.installer.click');
    assert.equal(click.wizard_version, 'v2');
    assert.equal(click.source, 'installer');
    assert.equal(click.user_id, 'user-1');
    assert.equal(click.utm_source, 'ads');
    assert.deepEqual(click.toggles, { 'msedge.exe': true, 'chrome.exe': true, 'brave.exe': true, 'firefox.exe': true });
    assert.equal(p.requests.every((r) => r.url.startsWith('https://stage-stats.corvane.org/')), true);
    await p.close();
  });

  test('without consent nothing leaves the page', async () => {
    const p = await install({ ...STATE, analytics_enabled: false });
    await finishAfter(p, { stage: 'done', terminal: 'finish', outcome: 'success' });
    for (let i = 0; i < 3; i++) await p.press('Enter');
    await p.press('Enter');
    await p.advance(200);
    await p.page.waitForTimeout(200);
    assert.equal(await p.currentScreen(), 'finish');
    assert.deepEqual(p.requests, []);
    await p.close();
  });

  test('an unreachable stats host is logged and the flow goes on', async () => {
    const p = await install({ ...STATE, analytics_enabled: true });
    await p.page.route(/stats\./, (route) => route.abort());
    await finishAfter(p, { stage: 'done', terminal: 'finish', outcome: 'success' });
    await p.page.waitForFunction(() => window.__host.sent.some((t) => t.includes('POST https://stats.corvane.com')));
    await p.press('Enter');
    assert.equal(await p.currentScreen(), 'onboard-filters');
    await p.close();
  });
});

describe('address fragments', () => {
  test('open the e-mail offer, which posts the address to the API host', async () => {
    const p = await install({ ...STATE, host_prefix: 'dev-' }, { hash: 'onboard-email' });
    assert.equal(await p.currentScreen(), 'onboard-email');
    assert.deepEqual(await p.evidence('onboard-email'), { wide: [], narrow: [] });
    await p.click('[data-action="claim"]');
    assert.equal(await p.text('#email-note'), 'Please enter a valid e-mail address.');
    assert.equal(await p.currentScreen(), 'onboard-email');
    await p.page.fill('#email-input', '  someone@example.com ');
    await p.press('Enter');
    assert.equal(await p.currentScreen(), 'finish');
    const [lead] = await p.requestsTo('/v1/email-leads/register');
    await p.page.waitForTimeout(100);
    assert.equal(p.requests.filter((r) => r.url.includes('/v1/email-leads/')).length, 1);
    assert.equal(lead.url, 'https://dev-api.corvane.com/v1/email-leads/register');
    const body = JSON.parse(lead.body);
    assert.deepEqual({ ...body, i: typeof body.i },
      { email: 'someone@example.com', source: 'installer-windows', i: 'number', user_id: 'user-1' });
    assert.equal(body.i, Date.parse('2026-03-04T05:06:07Z'));
    await p.close();
  });

  test('open the extension offer, whose store buttons go through open_url', async () => {
    const p = await install(STATE, { hash: 'onboard-extension' });
    assert.equal(await p.currentScreen(), 'onboard-extension');
    assert.deepEqual(await p.evidence('onboard-extension'), { wide: [], narrow: [] });
    await p.click('[data-store="chrome"]');
    await p.click('[data-store="edge"]');
    assert.deepEqual((await payloadsOf(p, 'open_url')).map((a) => a.url), [
      'https://chromewebstore.google.com/detail/kbmhgaeplfcjdmnoiakbpcfejhgdlmno',
      'https://microsoftedge.microsoft.com/addons/detail/kbmhgaeplfcjdmnoiakbpcfejhgdlmno',
    ]);
    await p.click('[data-screen="onboard-extension"] [data-action="skip"]');
    assert.equal(await p.currentScreen(), 'finish');
    await p.close();
  });

  test('jump to each named screen', async () => {
    const seen = [];
    for (const hash of ['installing', 'onboard-browsers', 'onboard-filters', 'onboard-https', 'finish-error']) {
      const p = await install(STATE, { hash });
      seen.push([await p.currentScreen(), await p.page.locator('[data-screen]:not([hidden]) h1').first().textContent()]);
      await p.close();
    }
    assert.deepEqual(seen, [
      ['installing', 'Installing CorVane'],
      ['onboard-browsers', 'Configure Browsers'],
      ['onboard-filters', 'Confirm Blocking'],
      ['onboard-https', 'HTTPS Filtering'],
      ['finish', 'Corvane Not Installed'],
    ]);
  });
});

test('without the host the page previews a whole install ending in success', async () => {
  const p = await openPage(browser, 'index.html', { noBridge: true });
  await p.advance(200);
  assert.equal(await p.currentScreen(), 'installing');
  await p.advance(200 * 25 + 1000);
  assert.equal(await p.currentScreen(), 'onboard-browsers');
  assert.deepEqual(await switchKeys(p, 'onboard-browsers'), ['chrome.exe', 'msedge.exe', 'firefox.exe']);
  assert.deepEqual(p.errors, []);
  await p.close();
});
