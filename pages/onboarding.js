// Onboarding screens after a successful install: browsers, blocking and
// HTTPS choices written through the host, plus the two offer screens that
// only an address fragment opens.
(function () {
  'use strict';

  var P = window.CorvanePage;

  var STEPS = ['onboard-browsers', 'onboard-filters', 'onboard-https'];
  var SAVE_COMMANDS = {
    'onboard-browsers': 'save_onboarding_browsers',
    'onboard-filters': 'save_onboarding_filters',
    'onboard-https': 'save_onboarding_https',
  };
  var KNOWN_ICONS = ['avastbrowser', 'brave', 'chrome', 'duckduckgo', 'firefox', 'msedge',
    'nortonbrowser', 'opera', 'safari', 'vivaldi', 'zen'];
  var EMAIL_PATTERN = /^[^\s@]+@[^\s@]+\.[^\s@]+$/;

  function screen(name) {
    return document.querySelector('[data-screen="' + name + '"]');
  }

  function switchesOf(name) {
    return Array.prototype.slice.call(screen(name).querySelectorAll('input[role="switch"]'));
  }

  function pageName(name) {
    return name.replace('-', '_');
  }

  function iconPath(icon) {
    var known = KNOWN_ICONS.indexOf(String(icon || '').toLowerCase()) >= 0;
    return 'assets/browser-icon-' + (known ? String(icon).toLowerCase() : 'generic') + '.svg';
  }

  // browser_name (the downloading browser) and browser_name_default come as
  // display words such as "Chrome" or "Edge"; match them loosely.
  function matches(browser, word) {
    var w = String(word || '').toLowerCase();
    if (!w) return false;
    return browser.icon === w || browser.key === w || browser.key === w + '.exe' ||
      browser.name.toLowerCase().indexOf(w) >= 0;
  }

  function sortBrowsers(list, state) {
    function rank(b) {
      if (matches(b, state.browser_name)) return 0;
      if (matches(b, state.browser_name_default)) return 1;
      return 2;
    }
    return list.slice().sort(function (a, b) {
      return rank(a) - rank(b) || a.name.localeCompare(b.name, undefined, { sensitivity: 'base' });
    });
  }

  function readBrowsers(state) {
    var seen = {};
    return (Array.isArray(state.browsers) ? state.browsers : []).filter(function (b) {
      if (!b || typeof b.key !== 'string' || !b.key || seen[b.key]) return false;
      seen[b.key] = true;
      return true;
    }).map(function (b) {
      return {
        key: b.key,
        name: typeof b.name === 'string' && b.name ? b.name : b.key,
        icon: typeof b.icon === 'string' ? b.icon.toLowerCase() : '',
      };
    });
  }

  function browserRow(b) {
    var li = document.createElement('li');
    li.className = 'switch-row';
    var label = document.createElement('label');
    var img = document.createElement('img');
    img.className = 'browser-icon';
    img.src = iconPath(b.icon);
    img.alt = '';
    img.width = 28;
    img.height = 28;
    var text = document.createElement('span');
    text.className = 'switch-text';
    var name = document.createElement('span');
    name.className = 'switch-name';
    name.textContent = b.name;
    text.appendChild(name);
    var input = document.createElement('input');
    input.type = 'checkbox';
    input.setAttribute('role', 'switch');
    input.dataset.key = b.key;
    input.checked = true;
    label.appendChild(img);
    label.appendChild(text);
    label.appendChild(input);
    li.appendChild(label);
    return li;
  }

  function renderBrowsers(state) {
    var browsers = sortBrowsers(readBrowsers(state), state);
    var list = document.getElementById('browser-list');
    list.textContent = '';
    browsers.forEach(function (b) { list.appendChild(browserRow(b)); });
    list.classList.toggle('compact', browsers.length > 3);
    document.getElementById('browser-empty').hidden = browsers.length > 0;
  }

  function savePayload(name) {
    var switches = switchesOf(name);
    if (name === 'onboard-browsers') {
      return {
        disabled: switches.filter(function (s) { return !s.checked; }).map(function (s) { return s.dataset.key; }),
        enabled: switches.filter(function (s) { return s.checked; }).map(function (s) { return s.dataset.key; }),
      };
    }
    var disabled = {};
    switches.forEach(function (s) { if (!s.checked) disabled[s.dataset.key] = true; });
    return disabled;
  }

  // opts: { telemetry, onDone } where onDone shows the finish screen.
  function create(opts) {
    var telemetry = opts.telemetry;
    var state = {};
    var index = 0;

    function go(i) {
      index = i;
      P.showScreen(STEPS[i]);
      telemetry.page(pageName(STEPS[i]));
    }

    function advance(viaEscape) {
      var name = STEPS[index];
      var switches = switchesOf(name);
      if (viaEscape) switches.forEach(function (s) { s.checked = true; });
      var toggles = {};
      switches.forEach(function (s) { toggles[s.dataset.key] = s.checked; });
      telemetry.click(pageName(name) + (viaEscape ? '_esc' : '_next'), pageName(name),
        viaEscape ? null : toggles);
      P.send(SAVE_COMMANDS[name], savePayload(name));
      if (index + 1 < STEPS.length) go(index + 1);
      else opts.onDone();
    }

    function claimEmail() {
      var input = document.getElementById('email-input');
      var note = document.getElementById('email-note');
      var email = input.value.trim();
      if (!EMAIL_PATTERN.test(email)) {
        note.textContent = 'Please enter a valid e-mail address.';
        input.setAttribute('aria-invalid', 'true');
        input.focus();
        return;
      }
      telemetry.click('email_coupon_claim', 'onboard_email');
      var body = { email: email, source: 'installer-windows', i: Date.now() };
      if (typeof state.user_id === 'string' && state.user_id) body.user_id = state.user_id;
      P.postJson(P.serviceUrl(state, 'api', '/v1/email-leads/register'), body);
      opts.onDone();
    }

    function skipOffer(name) {
      telemetry.click(pageName(name) + '_skip', pageName(name));
      opts.onDone();
    }

    function openStore(store) {
      var cfg = window.CORVANE_CONFIG;
      telemetry.click('extension_add', 'onboard_extension');
      P.openUrl(cfg.extensionStores[store] + cfg.extensionId);
    }

    function bindClicks() {
      STEPS.forEach(function (name, i) {
        var el = screen(name);
        el.querySelector('[data-action="next"]').addEventListener('click', function () { advance(false); });
        var previous = el.querySelector('[data-action="previous"]');
        if (i === 0) previous.classList.add('invisible');
        else previous.addEventListener('click', function () { go(i - 1); });
      });
      screen('onboard-https').querySelector('[data-action="learn-more"]').addEventListener('click', function (e) {
        e.preventDefault();
        telemetry.click('learn_more', 'onboard_https');
        P.openUrl(P.vendorLink('httpsHelp', state.host_domain));
      });
      screen('onboard-email').querySelector('[data-action="claim"]').addEventListener('click', claimEmail);
      ['onboard-email', 'onboard-extension'].forEach(function (name) {
        screen(name).querySelector('[data-action="skip"]').addEventListener('click', function () { skipOffer(name); });
      });
      screen('onboard-extension').querySelectorAll('[data-store]').forEach(function (b) {
        b.addEventListener('click', function () { openStore(b.getAttribute('data-store')); });
      });
    }

    // Returns false when the key means nothing on the current screen.
    function handleKey(current, key) {
      if (STEPS.indexOf(current) >= 0) {
        index = STEPS.indexOf(current);
        advance(key === 'Escape');
        return true;
      }
      if (current === 'onboard-email') {
        if (key === 'Enter') claimEmail();
        else skipOffer(current);
        return true;
      }
      if (current === 'onboard-extension') {
        skipOffer(current);
        return true;
      }
      return false;
    }

    bindClicks();

    return {
      setState: function (s) {
        state = s || {};
        renderBrowsers(state);
      },
      start: function () { go(0); },
      // Fragment jumps: any onboarding or offer screen by name.
      open: function (name) {
        if (STEPS.indexOf(name) >= 0) go(STEPS.indexOf(name));
        else {
          P.showScreen(name);
          telemetry.page(pageName(name));
        }
      },
      handleKey: handleKey,
    };
  }

  window.CorvaneOnboarding = { create: create };
})();
