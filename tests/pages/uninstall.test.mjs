// The uninstall page: feedback, progress of the two phases, the finish screen.
import { test, describe, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { startBrowser, openPage, hostAnswer } from './harness.mjs';

let browser;
before(async () => { browser = await startBrowser(); });
after(async () => { await browser.close(); });

const STATE = hostAnswer('uninstall_state', {
  user_id: 'user-9', machine_id_sha2: 'm9', installer_version: '2.0.266.0', client_version: '7.1.0',
  install_date: '2025-01-02', os_name: 'Windows 10', os_version: '10.0', os_build: '19045', os_arch: 'x64',
  os_language: 'English', os_language_code: 'en-US', browser_name_default: 'Firefox', utm_source: 'mail',
  utm_medium: '', utm_campaign: '', utm_content: '', utm_term: '', gclid: '', fbclid: '', msclkid: 'ms1',
  host_prefix: '', host_domain: 'corvane.net', dry_run: false,
});

async function uninstall(state = STATE, options = {}) {
  const p = await openPage(browser, 'uninstall.html', { responses: { get_install_state: state }, ...options });
  await p.settle();
  return p;
}

async function choiceTexts(p, group) {
  return p.page.evaluate((g) => [...document.querySelectorAll(`#${g} .choice`)].map((b) => b.textContent), group);
}

async function feedbackPosts(p) {
  return p.requests.filter((r) => r.url.includes('/v1/feedback/uninstall'));
}

async function begun(p) {
  return (await p.invokesOf('signal_user_action')).map((m) => m.args.action);
}

describe('feedback', () => {
  test('asks for the state, shows the window and offers the five reasons', async () => {
    const p = await uninstall();
    await p.advance(50);
    assert.deepEqual(await p.commandNames(), ['get_install_state', 'show_window', 'sibling_show_complete']);
    assert.equal(await p.currentScreen(), 'feedback');
    assert.equal(await p.text('[data-screen="feedback"] h1'), "We're sorry to see you go");
    assert.equal(await p.text('#reasons-question'), 'Could you tell us why you are uninstalling CorVane?');
    assert.deepEqual(await choiceTexts(p, 'reasons'), [
      "My trial expired and I don't want to upgrade",
      "CorVane isn't working as expected",
      "I'm switching to a different ad blocker",
      "I don't want CorVane anymore",
      'Something else',
    ]);
    assert.equal(await p.page.getAttribute('#feedback-details', 'maxlength'), '500');
    assert.deepEqual(await p.evidence('uninstall-feedback'), { wide: [], narrow: [] });
    await p.close();
  });

  test('the first four reasons open a follow-up ending in "Something else"; Go Back returns', async () => {
    const p = await uninstall();
    for (let i = 0; i < 4; i++) {
      await p.page.locator('#reasons .choice').nth(i).click();
      const answers = await choiceTexts(p, 'follow-up');
      assert.equal(answers.length, 5);
      assert.equal(answers[4], 'Something else');
      assert.equal(await p.page.isVisible('#reasons'), false);
      await p.click('#go-back');
      assert.equal(await p.page.isVisible('#reasons'), true);
    }
    await p.page.locator('#reasons .choice').nth(4).click();
    assert.equal(await p.page.isVisible('#follow-up'), false);
    assert.equal(await p.page.isVisible('#go-back'), false);
    await p.close();
  });

  test('Continue posts the feedback to the API host, then begins and shows progress', async () => {
    const p = await uninstall();
    await p.page.locator('#reasons .choice').nth(2).click();
    await p.page.locator('#follow-up .choice').nth(1).click();
    assert.deepEqual(await p.evidence('uninstall-follow-up'), { wide: [], narrow: [] });
    await p.page.fill('#feedback-details', 'x'.repeat(600));
    assert.equal(await p.text('#details-count'), '500/500');
    await p.click('#continue-uninstall');
    assert.deepEqual(await begun(p), ['begin']);
    assert.equal(await p.currentScreen(), 'installing');
    const [post] = await p.requestsTo('/v1/feedback/uninstall');
    assert.equal(post.url, 'https://api.corvane.net/v1/feedback/uninstall');
    const body = JSON.parse(post.body);
    assert.equal(body.reason, "I'm switching to a different ad blocker");
    assert.equal(body.reason2, "My browser's built-in blocking");
    assert.equal(body.reason_extra, 'x'.repeat(500));
    assert.equal(body.skipped, false);
    assert.equal(body.source, 'installer-windows');
    for (const key of ['user_id', 'machine_id_sha2', 'installer_version', 'client_version', 'install_date',
      'os_name', 'os_version', 'os_build', 'os_arch', 'os_language', 'os_language_code', 'browser_name_default',
      'utm_source', 'msclkid', 'host_prefix']) {
      assert.equal(body[key], STATE[key], key);
    }
    await p.close();
  });

  test('Enter continues without a reason, marked as skipped, once', async () => {
    const p = await uninstall();
    await p.press('Enter');
    await p.press('Enter');
    assert.deepEqual(await begun(p), ['begin']);
    await p.requestsTo('/v1/feedback/uninstall');
    const posts = await feedbackPosts(p);
    assert.equal(posts.length, 1);
    assert.deepEqual([JSON.parse(posts[0].body).skipped, JSON.parse(posts[0].body).reason], [true, '']);
    await p.close();
  });

  for (const via of ['Keep CorVane', 'Escape']) {
    test(`${via} leaves before the uninstall begins: cancel, then exit_sibling, no feedback posted`, async () => {
      const p = await uninstall();
      assert.equal(await p.page.isVisible('#keep-corvane'), true);
      assert.equal(await p.text('#keep-corvane'), 'Keep CorVane');
      if (via === 'Escape') await p.press('Escape');
      else await p.click('#keep-corvane');
      await p.press('Enter');
      assert.deepEqual((await p.commands()).filter((m) => ['signal_user_action', 'exit_sibling'].includes(m.cmd))
        .map((m) => [m.cmd, m.args]),
        [['signal_user_action', { action: 'cancel' }], ['exit_sibling', {}]]);
      assert.equal(await p.currentScreen(), 'feedback');
      assert.deepEqual(await feedbackPosts(p), []);
      await p.close();
    });
  }

  test('Escape while typing the details only leaves the box: the screen and the text stay', async () => {
    const p = await uninstall();
    await p.page.locator('#reasons .choice').nth(4).click();
    await p.page.fill('#feedback-details', 'half a sentence');
    await p.page.focus('#feedback-details');
    await p.press('Escape');
    assert.equal(await p.currentScreen(), 'feedback');
    assert.equal(await p.page.inputValue('#feedback-details'), 'half a sentence');
    assert.deepEqual((await p.commands()).filter((m) => m.cmd === 'signal_user_action'), []);
    await p.press('Escape');
    assert.deepEqual((await p.commands()).filter((m) => m.cmd === 'signal_user_action').map((m) => m.args),
      [{ action: 'cancel' }]);
    await p.close();
  });

  test('an unreachable API host does not hold up the uninstall', async () => {
    const p = await uninstall();
    await p.page.route(/api\./, (route) => route.abort());
    await p.click('#continue-uninstall');
    assert.deepEqual(await begun(p), ['begin']);
    await p.page.waitForFunction(() => window.__host.sent.some((t) => t.includes('feedback/uninstall failed')));
    await p.close();
  });
});

describe('progress and finish', () => {
  async function started(state = STATE) {
    const p = await uninstall(state);
    await p.click('#continue-uninstall');
    return p;
  }

  async function steps(p) {
    return p.page.evaluate(() => [...document.querySelectorAll('#tracker .step')].map((li) =>
      li.textContent + ':' + li.querySelector('.step-fill').style.width));
  }

  async function bar(p) {
    return [await p.text('#stage-label'),
      await p.page.evaluate(() => document.getElementById('bar-fill').style.width)];
  }

  test('labels the stages, tracks Close, Uninstall, Complete and restarts the bar after closing', async () => {
    const p = await started();
    const seen = [await bar(p)];
    for (const [stage, percent] of [['closing', 60], ['uninstalling', 5]]) {
      await p.progress(stage, percent);
      seen.push(await bar(p));
    }
    assert.deepEqual(seen, [['Preparing…', '0%'], ['Closing Corvane…', '60%'], ['Uninstalling Corvane…', '5%']]);
    await p.progress('uninstalling', 45);
    assert.deepEqual(await steps(p), ['Close:100%', 'Uninstall:45%', 'Complete:0%']);
    assert.deepEqual(await p.evidence('uninstall-progress'), { wide: [], narrow: [] });
    await p.progress('done', 100);
    assert.deepEqual(await bar(p), ['Done!', '100%']);
    await p.close();
  });

  test('a stage word the page does not know shows the starting label and stays in its step', async () => {
    const p = await started();
    await p.progress('uninstalling', 45);
    await p.dispatch({ type: 'event', channel: 'installer://progress', payload: { stage: 'verifying', percent: 70 } });
    assert.deepEqual(await bar(p), ['Preparing…', '70%']);
    assert.deepEqual(await steps(p), ['Close:100%', 'Uninstall:70%', 'Complete:0%']);
    await p.close();
  });

  test('a dry run labels its stages as such', async () => {
    const p = await started({ ...STATE, dry_run: true });
    const seen = [];
    for (const stage of ['closing', 'uninstalling', 'done']) {
      await p.progress(stage, 10);
      seen.push(await p.text('#stage-label'));
    }
    assert.deepEqual(seen, ['Closing Corvane (dry run)…', 'Uninstalling (dry run)…', 'Done!']);
    await p.close();
  });

  // The host ends every uninstall that ran with finish: success, or warning
  // when files remained.
  const OUTCOMES = [
    ['success', 'CorVane Uninstalled', 'Corvane has been successfully removed from your computer.'],
    ['warning', 'CorVane Uninstalled',
      'Corvane has been uninstalled, but some files could not be removed.<br>Please try running the uninstaller again to clean up remaining files.'],
  ];
  for (const [name, title, body] of OUTCOMES) {
    test(`${name}: finish screen after 1 s, close enabled, done reported, Close exits 150 ms later`, async () => {
      const p = await started();
      await p.terminal({ stage: 'done', terminal: 'finish', outcome: name });
      await p.advance(999);
      assert.equal(await p.currentScreen(), 'installing');
      await p.advance(1);
      assert.equal(await p.currentScreen(), 'finish');
      assert.equal(await p.text('[data-screen="finish"] h1'), title);
      assert.equal(await p.page.innerHTML('.finish-text'), body);
      assert.equal(await p.text('.finish-button'), 'Close');
      assert.deepEqual((await p.commandNames()).slice(-2), ['enable_close', 'signal_user_action']);
      assert.deepEqual(await begun(p), ['begin', 'done']);
      await p.evidence('uninstall-finish-' + name);
      await p.press(name === 'warning' ? 'Escape' : 'Enter');
      await p.advance(149);
      assert.equal((await p.invokesOf('exit_sibling')).length, 0);
      await p.advance(1);
      assert.equal((await p.invokesOf('exit_sibling')).length, 1);
      await p.close();
    });
  }
});

test('without the host the page previews an uninstall ending in success', async () => {
  const p = await openPage(browser, 'uninstall.html', { noBridge: true });
  await p.click('#continue-uninstall');
  assert.equal(await p.currentScreen(), 'installing');
  await p.advance(200 * 25 + 1000);
  assert.equal(await p.currentScreen(), 'finish');
  assert.equal(await p.text('[data-screen="finish"] h1'), 'CorVane Uninstalled');
  assert.deepEqual(p.errors, []);
  await p.close();
});
