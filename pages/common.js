// Helpers shared by the three pages: host calls that degrade to a preview,
// keyboard routing, screen switching, vendor addresses and JSON posts.
(function () {
  'use strict';

  var bridge = window.__TAURI__ || null;
  var config = window.CORVANE_CONFIG;
  var log = window.corvaneLog;

  function invoke(cmd, args) {
    if (!bridge) return Promise.resolve(null);
    return bridge.core.invoke(cmd, args);
  }

  // Fire-and-forget commands still get their failures into the log.
  function send(cmd, args) {
    return invoke(cmd, args).catch(function (e) {
      log.warn(cmd + ' failed: ' + errorText(e));
      return null;
    });
  }

  function errorText(e) {
    return e && e.message ? e.message : String(e);
  }

  function nextFrames() {
    return new Promise(function (resolve) {
      requestAnimationFrame(function () { requestAnimationFrame(resolve); });
    });
  }

  // Shows the host window once the first frames are painted, so the user
  // never sees an unstyled page.
  function showWindow() {
    return nextFrames().then(function () {
      if (!bridge) return null;
      return bridge.window.getCurrentWindow().show().catch(function (e) {
        log.warn('show_window failed: ' + errorText(e));
      });
    });
  }

  function listen(channel, handler) {
    if (bridge) bridge.event.listen(channel, handler);
  }

  // Elements that act on Enter by themselves keep it; everywhere else Enter
  // means the screen's primary action.
  var OWN_ENTER = 'a[href], button, textarea, select, summary';
  var TYPING = 'textarea, input:not([type=checkbox]):not([type=radio]):not([type=button])';

  function onKeys(handlers) {
    document.addEventListener('keydown', function (e) {
      if (e.defaultPrevented || e.altKey || e.ctrlKey || e.metaKey || e.isComposing) return;
      if (e.key === 'Enter' && e.target.closest && e.target.closest(OWN_ENTER)) return;
      // Escape while typing only leaves the field: it must not take the screen (and what was
      // typed) away with it. A second Escape reaches the page.
      if (e.key === 'Escape' && e.target.closest && e.target.closest(TYPING)) {
        e.target.blur();
        e.preventDefault();
        return;
      }
      var handler = handlers[e.key] || (e.key.length === 1 && handlers[e.key.toLowerCase()]);
      if (handler && handler(e) !== false) e.preventDefault();
    });
  }

  function showScreen(name) {
    var target = null;
    document.querySelectorAll('[data-screen]').forEach(function (el) {
      var on = el.getAttribute('data-screen') === name;
      el.hidden = !on;
      if (on) target = el;
    });
    document.body.setAttribute('data-current', name);
    // Keyboard and screen-reader users land at the top of the new screen.
    var heading = target && target.querySelector('h1');
    if (heading) {
      heading.setAttribute('tabindex', '-1');
      heading.focus({ preventScroll: true });
    }
    return target;
  }

  function setDisabled(el, disabled) {
    el.disabled = disabled;
    el.setAttribute('aria-disabled', disabled ? 'true' : 'false');
  }

  // host_domain and host_prefix come from attribution data; only a known
  // vendor domain and a plain label prefix may reach a host name.
  function vendorDomain(hostDomain) {
    var d = String(hostDomain || '').toLowerCase();
    return config.vendorDomains.indexOf(d) >= 0 ? d : config.vendorDomains[0];
  }

  function hostPrefix(prefix) {
    var p = String(prefix || '').toLowerCase();
    return /^[a-z0-9-]{0,32}$/.test(p) ? p : '';
  }

  function serviceUrl(state, label, path) {
    state = state || {};
    return 'https://' + hostPrefix(state.host_prefix) + label + '.' +
      vendorDomain(state.host_domain) + path;
  }

  function withTracking(url) {
    return url + (url.indexOf('?') >= 0 ? '&' : '?') + config.linkTracking;
  }

  function vendorLink(name, hostDomain) {
    var url = new URL(config.links[name]);
    var home = config.vendorDomains[0];
    var domain = vendorDomain(hostDomain);
    if (url.hostname === home || url.hostname.endsWith('.' + home)) {
      url.hostname = url.hostname.slice(0, url.hostname.length - home.length) + domain;
    }
    return withTracking(url.toString());
  }

  // The host hands the address to the shell, which would as gladly run a
  // file, a share or another protocol's handler: only web addresses go.
  function webAddress(url) {
    try {
      var parsed = new URL(url);
      return parsed.protocol === 'https:' || parsed.protocol === 'http:' ? parsed.href : null;
    } catch (e) {
      return null;
    }
  }

  function openUrl(url) {
    var address = webAddress(url);
    if (!address) {
      log.warn('open_url refused, not a web address: ' + url);
      return;
    }
    if (!bridge) {
      window.open(address, '_blank', 'noopener');
      return;
    }
    send('open_url', { url: address });
  }

  // The page's own posts are best effort: a network failure is logged and
  // never blocks the screen flow.
  function postJson(url, body) {
    return fetch(url, {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify(body),
    }).then(function (r) {
      if (!r.ok) log.warn('POST ' + url + ' answered ' + r.status);
    }).catch(function (e) {
      log.warn('POST ' + url + ' failed: ' + errorText(e));
    });
  }

  function exitSoon() {
    setTimeout(function () { send('exit_sibling'); }, 150);
  }

  window.CorvanePage = {
    preview: !bridge,
    invoke: invoke,
    send: send,
    errorText: errorText,
    showWindow: showWindow,
    listen: listen,
    onKeys: onKeys,
    showScreen: showScreen,
    setDisabled: setDisabled,
    serviceUrl: serviceUrl,
    vendorLink: vendorLink,
    openUrl: openUrl,
    postJson: postJson,
    exitSoon: exitSoon,
  };
})();
