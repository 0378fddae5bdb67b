// Uninstall page: feedback first, then progress of the two uninstall phases
// reported by the host, then the finish screen that closes the uninstaller.
(function () {
  'use strict';

  var P = window.CorvanePage;
  var V = window.CorvaneProgress;
  var log = window.corvaneLog;

  var LABELS = {
    starting: 'Preparing…',
    preparing: 'Preparing…',
    closing: 'Closing Corvane…',
    uninstalling: 'Uninstalling Corvane…',
    finishing: 'Finishing up…',
    done: 'Done!',
  };
  var DRY_RUN_LABELS = {
    closing: 'Closing Corvane (dry run)…',
    uninstalling: 'Uninstalling (dry run)…',
    finishing: 'Finishing up (dry run)…',
  };
  var FIRST_PHASE_STAGES = ['starting', 'preparing', 'closing'];
  var STEPS = ['Close', 'Uninstall', 'Complete'];
  var FINISH_TEXTS = {
    success: {
      title: 'CorVane Uninstalled',
      body: 'Corvane has been successfully removed from your computer.',
      button: 'Close',
    },
    warning: {
      title: 'CorVane Uninstalled',
      body: 'Corvane has been uninstalled, but some files could not be removed.<br>Please try running the uninstaller again to clean up remaining files.',
      button: 'Close',
    },
    error: {
      title: 'Uninstall Failed',
      body: 'Oops, something went wrong during the uninstall.<br>Please try running the uninstaller again.',
      button: 'Close',
    },
  };

  var uninstallState = null;
  var dryRun = false;
  // Set once the person has chosen on the feedback screen: uninstall or keep.
  var decided = false;
  var closing = false;

  var tracker = V.createTracker(document.getElementById('tracker'));
  var display = V.createDisplay(V.createBar(document.getElementById('bar'), document.getElementById('bar-fill'),
    document.getElementById('stage-label'), document.getElementById('stage-percent')), tracker);
  var feedback = window.CorvaneFeedback.create();
  var finishScreen = document.querySelector('[data-screen="finish"]');
  var finishButton = finishScreen.querySelector('.finish-button');
  var continueButton = document.getElementById('continue-uninstall');
  var keepButton = document.getElementById('keep-corvane');
  var run = V.createRun('uninstall', setStage, onEnd);

  function phaseOf(stage) {
    return FIRST_PHASE_STAGES.indexOf(stage) >= 0 ? 'Close' : 'Uninstall';
  }

  function setStage(stage, percent) {
    var p = V.clamp(percent);
    if (!LABELS.hasOwnProperty(stage)) {
      display.stay(LABELS.starting, p);
      return;
    }
    display.show((dryRun && DRY_RUN_LABELS[stage]) || LABELS[stage], p, phaseOf(stage),
      stage === 'done' ? STEPS.length - 1 : STEPS.indexOf(phaseOf(stage)));
  }

  function onEnd(outcome) {
    V.renderFinish(finishScreen, outcome, FINISH_TEXTS[outcome]);
    P.showScreen('finish');
    P.send('enable_close');
    P.send('signal_user_action', { action: 'done' });
  }

  function begin() {
    if (decided) return;
    decided = true;
    feedback.submit(uninstallState);
    P.showScreen('installing');
    if (P.preview) {
      V.runPreview(['preparing', 'closing', 'uninstalling', 'finishing'], run);
      return;
    }
    P.send('signal_user_action', { action: 'begin' });
  }

  // For a person who opened the uninstaller by mistake: the host drops the
  // uninstall that has not begun, and exit_sibling closes the window past its
  // close guard.
  function keep() {
    if (decided) return;
    decided = true;
    P.setDisabled(keepButton, true);
    P.setDisabled(continueButton, true);
    log.info('uninstall cancelled on the feedback screen');
    P.send('signal_user_action', { action: 'cancel' }).then(function () { P.send('exit_sibling'); });
  }

  function close() {
    if (closing) return;
    closing = true;
    P.setDisabled(finishButton, true);
    P.exitSoon();
  }

  function onKey(e) {
    var current = document.body.getAttribute('data-current');
    if (current === 'feedback') (e.key === 'Enter' ? begin : keep)();
    else if (current === 'finish') close();
    else return false;
    return true;
  }

  function boot() {
    log.info('uninstall.html loaded');
    tracker.setSteps(STEPS);
    P.showScreen('feedback');
    setStage('preparing', 0);
    continueButton.addEventListener('click', begin);
    keepButton.addEventListener('click', keep);
    finishButton.addEventListener('click', close);
    P.onKeys({ Enter: onKey, Escape: onKey });
    P.showWindow().then(function () { return P.send('sibling_show_complete'); });
    if (P.preview) return;
    P.invoke('get_install_state').then(function (state) {
      uninstallState = state && typeof state === 'object' ? state : {};
      dryRun = uninstallState.dry_run === true;
      log.info('uninstall state read: dry_run=' + dryRun);
    }, function (e) {
      log.warn('get_install_state failed, continuing anyway: ' + P.errorText(e));
    });
    run.listen();
  }

  boot();
})();
