// Click and page events that the install page posts to the statistics host
// itself, carrying the tracking fields of the install state it was given.
(function () {
  'use strict';

  var TRACKING_KEYS = [
    'user_id', 'machine_id_sha2', 'utm_source', 'utm_medium', 'utm_campaign', 'utm_content',
    'utm_term', 'gclid', 'msclkid', 'fbclid', 'installer_version', 'os_name', 'os_edition',
    'os_version', 'os_build', 'os_language', 'os_language_code', 'os_display_scale',
    'os_antivirus', 'os_memory_mb', 'os_install_date', 'os_timezone', 'browser_name_default',
    'browser_name', 'host_prefix', 'host_domain',
  ];

  function newEventId() {
    if (window.crypto && crypto.randomUUID) return crypto.randomUUID();
    return 'xxxxxxxx-xxxx-4xxx-8xxx-xxxxxxxxxxxx'.replace(/x/g, function () {
      return Math.floor(Math.random() * 16).toString(16);
    });
  }

  // getState returns the install state once it has been read, else null.
  function create(getState) {
    function post(type, fields) {
      var state = getState();
      // Usage data leaves the machine only with the user's explicit consent.
      if (!state || state.analytics_enabled !== true) return;
      var name = 'corvane.installer.' + type;
      var body = {
        event: name,
        event_id: newEventId(),
        event_time: new Date().toISOString(),
        schema_version: '2',
      };
      TRACKING_KEYS.forEach(function (key) {
        if (typeof state[key] === 'string') body[key] = state[key];
      });
      body.wizard_version = window.__WIZARD_VERSION__;
      body.source = 'installer';
      Object.keys(fields).forEach(function (key) { body[key] = fields[key]; });
      CorvanePage.postJson(CorvanePage.serviceUrl(state, 'stats', '/?event=' + name), body);
    }

    return {
      page: function (pageName) {
        post('page', { page_name: pageName });
      },
      click: function (element, pageName, toggles) {
        var fields = { click_element: element, page_name: pageName };
        if (toggles) fields.toggles = toggles;
        post('click', fields);
      },
    };
  }

  window.CorvaneTelemetry = { create: create };
})();
