// Progress widgets shared by the install and uninstall pages: the step
// tracker, the phase bar with its label, the finish screen and the preview
// run used when the pages are opened without a host.
(function () {
  'use strict';

  var OUTCOME_ICONS = {
    success: 'assets/green-tick.svg',
    warning: 'assets/orange-warning.svg',
    error: 'assets/red-cross.svg',
  };

  function clamp(n) {
    n = Math.round(Number(n));
    if (!isFinite(n)) return 0;
    return Math.max(0, Math.min(100, n));
  }

  // The host sends an outcome with "finish" and may leave it out; a bare
  // "fail" must never read as a success.
  function terminalOutcome(payload) {
    payload = payload || {};
    if (OUTCOME_ICONS.hasOwnProperty(payload.outcome)) return payload.outcome;
    return payload.terminal === 'finish' ? 'success' : 'error';
  }

  function createTracker(list) {
    var items = [];

    function setSteps(names) {
      list.textContent = '';
      items = names.map(function (name) {
        var li = document.createElement('li');
        li.className = 'step';
        var label = document.createElement('span');
        label.className = 'step-label';
        label.textContent = name;
        var track = document.createElement('span');
        track.className = 'step-track';
        var fill = document.createElement('span');
        fill.className = 'step-fill';
        track.appendChild(fill);
        li.appendChild(label);
        li.appendChild(track);
        list.appendChild(li);
        return { li: li, fill: fill };
      });
      list.setAttribute('data-steps', String(names.length));
    }

    // Steps before the active one are full, later ones empty.
    function setActive(index, percent) {
      items.forEach(function (item, i) {
        var fill = i < index ? 100 : i === index ? clamp(percent) : 0;
        item.fill.style.width = fill + '%';
        item.li.classList.toggle('done', i < index || (i === index && fill === 100));
        item.li.classList.toggle('active', i === index);
        if (i === index) item.li.setAttribute('aria-current', 'step');
        else item.li.removeAttribute('aria-current');
      });
    }

    return { setSteps: setSteps, setActive: setActive };
  }

  // A phase change starts the bar at zero instead of sliding it backwards.
  function createBar(bar, fill, label, percentText) {
    var phase = null;

    function set(labelText, percent, newPhase) {
      var p = clamp(percent);
      if (newPhase !== phase) {
        fill.classList.add('no-anim');
        fill.style.width = '0%';
        void fill.offsetWidth;
        fill.classList.remove('no-anim');
        phase = newPhase;
      }
      fill.style.width = p + '%';
      bar.setAttribute('aria-valuenow', String(p));
      label.textContent = labelText;
      percentText.textContent = p + '%';
    }

    return { set: set };
  }

  // The bar and the tracker move together. A stage word the page does not
  // know (a newer host's) changes the label and the percent but leaves both
  // in the phase and step they are in.
  function createDisplay(bar, tracker) {
    var phase = null;
    var step = 0;

    function show(label, percent, newPhase, newStep) {
      phase = newPhase;
      step = newStep;
      stay(label, percent);
    }

    function stay(label, percent) {
      bar.set(label, percent, phase);
      tracker.setActive(step, percent);
    }

    return { show: show, stay: stay };
  }

  // texts: { title, body (fixed markup with <br> or <strong>), button }.
  function renderFinish(root, outcome, texts) {
    root.setAttribute('data-outcome', outcome);
    root.querySelector('.outcome-icon').src = OUTCOME_ICONS[outcome];
    root.querySelector('h1').textContent = texts.title;
    root.querySelector('.finish-text').innerHTML = texts.body;
    root.querySelector('.finish-button').textContent = texts.button;
  }

  // One install or uninstall as the host reports it: progress events until
  // the terminal event, whose outcome goes to onEnd one second later so the
  // full bar stays in view for a moment.
  function createRun(name, setStage, onEnd) {
    var outcome = null;

    function progress(e) {
      var payload = (e && e.payload) || {};
      if (!outcome) setStage(payload.stage, payload.percent);
    }

    function terminal(e) {
      var payload = (e && e.payload) || {};
      if (outcome || (payload.terminal !== 'finish' && payload.terminal !== 'fail')) return;
      if (payload.terminal === 'finish') setStage('done', 100);
      outcome = terminalOutcome(payload);
      window.corvaneLog.info(name + ' ended: terminal=' + payload.terminal + ' outcome=' + outcome);
      setTimeout(function () { onEnd(outcome); }, 1000);
    }

    return {
      progress: progress,
      terminal: terminal,
      outcome: function () { return outcome; },
      // For screens opened directly, without a run behind them.
      setOutcome: function (o) { outcome = o; },
      listen: function () {
        CorvanePage.listen('installer://progress', progress);
        CorvanePage.listen('installer://terminal', terminal);
      },
    };
  }

  // Without a host: walks the run through the given stages, one step every
  // 200 ms, and ends it in success.
  function runPreview(stages, run) {
    var i = 0;
    var percent = 0;
    var timer = setInterval(function () {
      run.progress({ payload: { stage: stages[i], percent: percent } });
      percent += 25;
      if (percent > 100) {
        percent = 0;
        i++;
      }
      if (i >= stages.length) {
        clearInterval(timer);
        run.terminal({ payload: { stage: 'done', terminal: 'finish', outcome: 'success' } });
      }
    }, 200);
  }

  window.CorvaneProgress = {
    clamp: clamp,
    createTracker: createTracker,
    createBar: createBar,
    createDisplay: createDisplay,
    renderFinish: renderFinish,
    createRun: createRun,
    runPreview: runPreview,
  };
})();
