// Install page: progress while the host installs, then onboarding (after a
// success) and the finish screen that launches the app and closes setup.
(function () {
  'use strict';

  var P = window.CorvanePage;
  var V = window.CorvaneProgress;
  var log = window.corvaneLog;

  var LABELS = {
    starting: 'Preparing to install...',
    preparing: 'Preparing to install...',
    downloading: 'Downloading CorVane...',
    extracting: 'Extracting files...',
    closing_existing: 'Closing CorVane...',
    uninstalling_existing: 'Uninstalling existing version...',
    installing: 'Installing CorVane...',
    waiting_for_installer: 'Waiting for another installation to finish...',
    finishing: 'Finishing up...',
    done: 'Done!',
  };
  var DRY_RUN_LABELS = {
    closing_existing: 'Closing CorVane (dry run)...',
    uninstalling_existing: 'Uninstalling existing version (dry run)...',
    installing: 'Installing (dry run)...',
    finishing: 'Finishing up (dry run)...',
  };
  var DOWNLOAD_STAGES = ['starting', 'preparing', 'downloading', 'extracting'];
  var THREE_STEPS = ['Download', 'Install', 'Complete'];
  var FIVE_STEPS = ['Download', 'Close', 'Uninstall', 'Install', 'Complete'];
  var FINISH_TEXTS = {
    success: {
      title: 'CorVane Installed',
      body: 'You’re ready to browse ad-free.',
      button: 'Get Started',
    },
    warning: {
      title: 'Corvane Already Installed',
      body: 'A previous installation of Corvane was detected. You’re ready to browse ad-free.',
      button: 'Get Started',
    },
    error: {
      title: 'Corvane Not Installed',
      body: 'Oops, it looks like something went wrong during the installation.<br>Please try running the installer again.',
      button: 'Close',
    },
  };
  var FRAGMENT_OUTCOMES = { finish: 'success', 'finish-warning': 'warning', 'finish-error': 'error' };
  var FRAGMENT_SCREENS = ['onboard-browsers', 'onboard-filters', 'onboard-https',
    'onboard-email', 'onboard-extension'];

  var installState = null;
  var dryRun = false;
  var fiveSteps = false;
  var doneSent = false;
  var lastStage = ['preparing', 0];
  var closingReported = false;
  var finishing = false;

  var tracker = V.createTracker(document.getElementById('tracker'));
  var display = V.createDisplay(V.createBar(document.getElementById('bar'), document.getElementById('bar-fill'),
    document.getElementById('stage-label'), document.getElementById('stage-percent')), tracker);
  var telemetry = window.CorvaneTelemetry.create(function () { return installState; });
  var onboarding = window.CorvaneOnboarding.create({ telemetry: telemetry, onDone: showFinish });
  var run = V.createRun('install', setStage, onEnd);
  var carousel = window.CorvaneCarousel.create(document.getElementById('carousel'), function (i, slide) {
    log.info('carousel: showing slide ' + (i + 1) + ' "' + slide.title + '"');
  });
  var finishScreen = document.querySelector('[data-screen="finish"]');
  var finishButton = finishScreen.querySelector('.finish-button');
  var launchBox = document.getElementById('launch-on-logon');

  // The host announces the removal of the existing version with
  // "uninstalling_existing" 0 and only then reports closing it: until closing
  // has been reported, that word starts the Close step rather than passing it.
  function removalStage(stage) {
    if (stage === 'closing_existing') closingReported = true;
    return stage === 'uninstalling_existing' && fiveSteps && !closingReported ? 'closing_existing' : stage;
  }

  // Phases are named after the tracker steps they fill.
  function phaseOf(stage) {
    if (DOWNLOAD_STAGES.indexOf(stage) >= 0) return 'Download';
    if (fiveSteps && stage === 'closing_existing') return 'Close';
    if (fiveSteps && stage === 'uninstalling_existing') return 'Uninstall';
    return 'Install';
  }

  function stepIndex(stage) {
    var steps = fiveSteps ? FIVE_STEPS : THREE_STEPS;
    return stage === 'done' ? steps.length - 1 : steps.indexOf(phaseOf(stage));
  }

  function setStage(rawStage, percent) {
    lastStage = [rawStage, percent];
    var p = V.clamp(percent);
    if (!LABELS.hasOwnProperty(rawStage)) {
      display.stay(LABELS.starting, p);
      return;
    }
    var stage = removalStage(rawStage);
    var label = (dryRun && DRY_RUN_LABELS[stage]) || LABELS[stage];
    if (stage === 'extracting') {
      label = 'Extracting ' + p + '%...';
      p = 100;
    }
    display.show(label, p, phaseOf(stage), stepIndex(stage));
  }

  function setSteps(five) {
    fiveSteps = five;
    tracker.setSteps(five ? FIVE_STEPS : THREE_STEPS);
    setStage(lastStage[0], lastStage[1]);
  }

  function leaveInstalling(screenName) {
    carousel.stop();
    return P.showScreen(screenName);
  }

  function sendDone() {
    if (doneSent) return;
    doneSent = true;
    P.send('signal_user_action', { action: 'done' });
  }

  function showFinish() {
    var outcome = run.outcome();
    V.renderFinish(finishScreen, outcome, FINISH_TEXTS[outcome]);
    // Hidden, not removed: the button must not jump between outcomes.
    launchBox.parentElement.classList.toggle('invisible', outcome === 'error');
    leaveInstalling('finish');
    telemetry.page('finish');
    if (outcome === 'success') sendDone();
  }

  function onEnd(outcome) {
    if (outcome === 'success') {
      leaveInstalling('onboard-browsers');
      onboarding.start();
    } else {
      showFinish();
    }
    P.send('enable_close');
    if (outcome !== 'success') sendDone();
  }

  function finish() {
    if (finishing) return;
    finishing = true;
    P.setDisabled(finishButton, true);
    if (run.outcome() === 'error') {
      P.exitSoon();
      return;
    }
    telemetry.click('get_started', 'finish');
    // The host answers one command at a time and may spend over a minute on
    // the sign-in tasks: the next command goes out only after that answer, so
    // its own time-out does not run out while it waits behind it.
    P.send('set_launch_on_logon', { enabled: launchBox.checked })
      .then(function () { return P.send('launch_app'); })
      .then(function () { P.exitSoon(); });
  }

  function onKey(e) {
    var current = document.body.getAttribute('data-current');
    if (current === 'finish') {
      finish();
      return true;
    }
    return onboarding.handleKey(current, e.key);
  }

  function applyState(state) {
    installState = state && typeof state === 'object' ? state : {};
    dryRun = installState.dry_run === true;
    setSteps(installState.uninstall_first === true);
    onboarding.setState(installState);
  }

  // Address fragments open a screen directly, for design reviews and support.
  function applyFragment() {
    var name = decodeURIComponent(location.hash.slice(1));
    if (name === 'installing') {
      P.showScreen('installing');
      carousel.start();
      return true;
    }
    var finishOutcome = FRAGMENT_OUTCOMES.hasOwnProperty(name) ? FRAGMENT_OUTCOMES[name] : null;
    if (!finishOutcome && FRAGMENT_SCREENS.indexOf(name) < 0) return false;
    // Every screen past installing belongs to a finished install.
    setStage('done', 100);
    run.setOutcome(finishOutcome || run.outcome() || 'success');
    if (finishOutcome) {
      showFinish();
    } else {
      carousel.stop();
      onboarding.open(name);
    }
    return true;
  }

  function runPreview() {
    applyState({ dry_run: true, browsers: [
      { key: 'chrome.exe', name: 'Google Chrome', icon: 'chrome' },
      { key: 'msedge.exe', name: 'Microsoft Edge', icon: 'msedge' },
      { key: 'firefox.exe', name: 'Mozilla Firefox', icon: 'firefox' },
    ] });
    if (applyFragment()) return;
    V.runPreview(['preparing', 'downloading', 'extracting', 'installing', 'finishing'], run);
  }

  function boot() {
    log.info('index.html loaded (wizard ' + window.__WIZARD_VERSION__ + ')');
    setSteps(false);
    P.showScreen('installing');
    carousel.start();
    finishButton.addEventListener('click', finish);
    P.onKeys({ Enter: onKey, Escape: onKey });
    window.addEventListener('hashchange', applyFragment);
    P.showWindow().then(function () { return P.send('sibling_show_complete'); });
    if (P.preview) {
      runPreview();
      return;
    }
    // Listening before begin: the host may report progress before it answers.
    run.listen();
    P.invoke('get_install_state').then(function (state) {
      applyState(state);
      log.info('install state read: dry_run=' + dryRun + ' uninstall_first=' + fiveSteps);
    }, function (e) {
      log.warn('get_install_state failed, installing anyway: ' + P.errorText(e));
      applyState(null);
    }).then(function () {
      P.send('signal_user_action', { action: 'begin' });
      if (!applyFragment()) P.showScreen('installing');
    });
  }

  boot();
})();
