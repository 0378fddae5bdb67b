// Feature slides shown while the install runs: one every 10 seconds, only
// while the caller keeps it started.
(function () {
  'use strict';

  var ADVANCE_MS = 10000;

  var SLIDES = [
    {
      title: 'Lightning Fast Browsing',
      text: 'Pages load quicker when ads and trackers never download.',
      image: 'assets/feature-speed.webp',
    },
    {
      title: 'Protect Your Privacy',
      text: 'Trackers and data collectors are stopped before they see you.',
      image: 'assets/feature-privacy.webp',
    },
    {
      title: 'Blocking in All Browsers',
      text: 'One install covers every browser on this computer.',
      image: 'assets/feature-browsers.webp',
    },
  ];

  function create(root, onShow) {
    var image = root.querySelector('.slide-image');
    var title = root.querySelector('.slide-title');
    var text = root.querySelector('.slide-text');
    var dots = root.querySelector('.slide-dots');
    var index = -1;
    var timer = null;

    var dotButtons = SLIDES.map(function (slide, i) {
      var b = document.createElement('button');
      b.type = 'button';
      b.className = 'dot';
      b.setAttribute('aria-label', slide.title);
      b.addEventListener('click', function () {
        show(i);
        restartTimer();
      });
      dots.appendChild(b);
      return b;
    });

    function show(i) {
      index = i % SLIDES.length;
      var slide = SLIDES[index];
      image.src = slide.image;
      title.textContent = slide.title;
      text.textContent = slide.text;
      dotButtons.forEach(function (b, j) {
        b.setAttribute('aria-current', j === index ? 'true' : 'false');
      });
      if (onShow) onShow(index, slide);
    }

    function restartTimer() {
      if (timer === null) return;
      clearInterval(timer);
      timer = setInterval(function () { show(index + 1); }, ADVANCE_MS);
    }

    return {
      slides: SLIDES,
      start: function () {
        if (timer !== null) return;
        timer = 0;
        if (index < 0) show(0);
        restartTimer();
      },
      stop: function () {
        if (timer !== null) clearInterval(timer);
        timer = null;
      },
    };
  }

  window.CorvaneCarousel = { create: create };
})();
