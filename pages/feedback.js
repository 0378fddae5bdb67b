// Uninstall feedback: a reason, an optional follow-up answer and free text,
// posted to the vendor's API host before the uninstall begins.
(function () {
  'use strict';

  var P = window.CorvanePage;

  var SOMETHING_ELSE = 'Something else';
  var REASONS = [
    {
      text: "My trial expired and I don't want to upgrade",
      question: 'What kept you from upgrading?',
      answers: ["It's too expensive", 'I only needed it for a short time',
        'The free features were enough', "I didn't notice a difference"],
    },
    {
      text: "CorVane isn't working as expected",
      question: "What didn't work as expected?",
      answers: ['Ads still appear on some sites', 'Some websites broke or loaded badly',
        'It slowed down my computer', 'It conflicted with other software'],
    },
    {
      text: "I'm switching to a different ad blocker",
      question: 'Which kind of ad blocker are you switching to?',
      answers: ['A browser extension', "My browser's built-in blocking",
        'A network-wide or DNS blocker', 'Another desktop ad blocker'],
    },
    {
      text: "I don't want CorVane anymore",
      question: "What's the main reason?",
      answers: ["I don't see many ads anyway", 'I want to support the sites I visit',
        'I only installed it to try it out', "It's too complicated to use"],
    },
    { text: SOMETHING_ELSE },
  ];

  // Fields of the uninstall state that travel with the feedback unchanged.
  var STATE_FIELDS = ['user_id', 'machine_id_sha2', 'installer_version', 'client_version',
    'install_date', 'os_name', 'os_version', 'os_build', 'os_arch', 'os_language',
    'os_language_code', 'browser_name_default', 'utm_source', 'utm_medium', 'utm_campaign',
    'utm_content', 'utm_term', 'gclid', 'fbclid', 'msclkid', 'host_prefix'];

  // Choices are buttons, not radios: arrow keys on radios would select, and
  // so open a follow-up, while the user only moves through the list.
  function renderChoices(group, texts, onChoose) {
    group.textContent = '';
    return texts.map(function (text) {
      var b = document.createElement('button');
      b.type = 'button';
      b.className = 'choice';
      b.setAttribute('aria-pressed', 'false');
      b.textContent = text;
      b.addEventListener('click', function () { onChoose(text, b); });
      group.appendChild(b);
      return b;
    });
  }

  function markChosen(buttons, chosen) {
    buttons.forEach(function (b) { b.setAttribute('aria-pressed', b === chosen ? 'true' : 'false'); });
  }

  function create() {
    var reasonsGroup = document.getElementById('reasons');
    var reasonsQuestion = document.getElementById('reasons-question');
    var followGroup = document.getElementById('follow-up');
    var followQuestion = document.getElementById('follow-up-question');
    var goBack = document.getElementById('go-back');
    var details = document.getElementById('feedback-details');
    var count = document.getElementById('details-count');
    var reason = '';
    var reason2 = '';

    function showFollowUp(on) {
      reasonsGroup.hidden = on;
      reasonsQuestion.hidden = on;
      followGroup.hidden = !on;
      followQuestion.hidden = !on;
      goBack.hidden = !on;
    }

    var reasonButtons = renderChoices(reasonsGroup, REASONS.map(function (r) { return r.text; }), function (text, button) {
      var entry = REASONS.filter(function (r) { return r.text === text; })[0];
      reason = text;
      reason2 = '';
      markChosen(reasonButtons, button);
      if (!entry.answers) {
        details.focus();
        return;
      }
      followQuestion.textContent = entry.question;
      var answerButtons = renderChoices(followGroup, entry.answers.concat([SOMETHING_ELSE]), function (answer, b) {
        reason2 = answer;
        markChosen(answerButtons, b);
      });
      showFollowUp(true);
      answerButtons[0].focus();
    });

    goBack.addEventListener('click', function () {
      reason2 = '';
      showFollowUp(false);
      var chosen = reasonButtons.filter(function (b) { return b.getAttribute('aria-pressed') === 'true'; })[0];
      (chosen || reasonButtons[0]).focus();
    });

    details.addEventListener('input', function () {
      count.textContent = details.value.length + '/500';
    });

    function body(state) {
      var out = {};
      STATE_FIELDS.forEach(function (key) {
        out[key] = typeof state[key] === 'string' ? state[key] : '';
      });
      out.reason = reason;
      out.reason2 = reason2;
      out.reason_extra = details.value.slice(0, 500);
      out.skipped = !reason && !details.value.trim();
      out.source = 'installer-windows';
      return out;
    }

    return {
      // Fire and forget: a slow or unreachable API host must not hold up the uninstall.
      submit: function (state) {
        state = state || {};
        P.postJson(P.serviceUrl(state, 'api', '/v1/feedback/uninstall'), body(state));
      },
    };
  }

  window.CorvaneFeedback = { create: create };
})();
