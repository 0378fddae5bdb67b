// Page half of the message bridge to the native host, plus the page logger.
// The host answers invokes by id and pushes events on named channels; the
// pages only ever see window.__TAURI__ and window.corvaneLog.
(function () {
  'use strict';

  // How long the page waits for an answer before it gives up on a command.
  var INVOKE_TIMEOUT_MS = 10000;
  // Commands the host may rightly take longer over. null: wait for the
  // answer however long it takes.
  var SLOW_INVOKE_TIMEOUT_MS = {
    // Up to five scheduled-task runs of 15 s each on the host's UI thread.
    set_launch_on_logon: 90000,
    // Answered only once the person has dealt with the UAC prompt, and never
    // when the elevated install goes on in this same window.
    consent_elevate: null,
  };

  function timeoutOf(cmd) {
    return SLOW_INVOKE_TIMEOUT_MS.hasOwnProperty(cmd) ? SLOW_INVOKE_TIMEOUT_MS[cmd] : INVOKE_TIMEOUT_MS;
  }

  function installBridge(webview) {
    var nextId = 1;
    var pending = new Map();
    var listeners = new Map();
    var shown = null;

    function invoke(cmd, args) {
      var id = nextId++;
      var timeoutMs = timeoutOf(cmd);
      return new Promise(function (resolve, reject) {
        var timer = timeoutMs === null ? null : setTimeout(function () {
          pending.delete(id);
          reject(new Error("invoke('" + cmd + "') timed out after " + timeoutMs + 'ms with no host response'));
        }, timeoutMs);
        pending.set(id, { resolve: resolve, timer: timer });
        // The host finds keys by first occurrence in the raw text, so the
        // envelope keys must come before anything inside args.
        webview.postMessage({ type: 'invoke', id: id, cmd: cmd, args: args || {} });
      });
    }

    function onResponse(msg) {
      var entry = pending.get(msg.id);
      if (!entry) return;
      pending.delete(msg.id);
      clearTimeout(entry.timer);
      entry.resolve(msg.result);
    }

    function onEvent(msg) {
      var handlers = listeners.get(msg.channel);
      if (!handlers) return;
      handlers.slice().forEach(function (handler) {
        try {
          handler({ event: msg.channel, payload: msg.payload });
        } catch (e) {
          // One faulty screen handler must not starve the others of events.
        }
      });
    }

    webview.addEventListener('message', function (e) {
      var msg = e && e.data;
      if (!msg || typeof msg !== 'object') return;
      if (msg.type === 'response') onResponse(msg);
      else if (msg.type === 'event') onEvent(msg);
    });

    function listen(channel, handler) {
      if (!listeners.has(channel)) listeners.set(channel, []);
      listeners.get(channel).push(handler);
      return Promise.resolve(function unlisten() {
        var list = listeners.get(channel) || [];
        var i = list.indexOf(handler);
        if (i >= 0) list.splice(i, 1);
      });
    }

    // Both window handles share one show: the host needs to hear it once.
    function show() {
      if (shown) return Promise.resolve();
      shown = true;
      return invoke('show_window');
    }
    var currentWindow = { show: show };

    window.__TAURI__ = {
      core: { invoke: invoke },
      event: { listen: listen },
      window: { getCurrentWindow: function () { return currentWindow; } },
      webviewWindow: { getCurrentWebviewWindow: function () { return currentWindow; } },
    };
  }

  // Lines written before the bridge exists wait in a queue rather than being lost.
  var queue = [];
  function log(level, message) {
    queue.push({ level: level, message: String(message) });
    if (window.console) console.log('[' + level + '] ' + message);
    var bridge = window.__TAURI__;
    if (!bridge) return;
    queue.splice(0).forEach(function (line) {
      bridge.core.invoke('log_from_js', line).catch(function () {});
    });
  }

  window.corvaneLog = {
    info: function (m) { log('info', m); },
    warn: function (m) { log('warn', m); },
    error: function (m) { log('error', m); },
  };

  if (window.chrome && window.chrome.webview) installBridge(window.chrome.webview);
})();
