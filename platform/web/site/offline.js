// Registers the service worker that keeps the site for use offline. Only where browsers
// allow one (https, or http on this machine); elsewhere, or when storage is refused, the page
// runs as it is, from the network.
(function () {
  'use strict';
  if (!('serviceWorker' in navigator) || !window.isSecureContext ||
      !/^https?:$/.test(location.protocol)) return;
  // The worker's first install downloads the whole site again; it waits until the program
  // has drawn, so it never competes with the page's own start.
  function registerWhenDrawn() {
    if (!window.co2sim || window.co2sim.firstFrameMs === null) {
      setTimeout(registerWhenDrawn, 200);
      return;
    }
    navigator.serviceWorker.register('sw.js').catch(() => {});
  }
  window.addEventListener('load', registerWhenDrawn);
})();
