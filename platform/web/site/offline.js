// Registers the service worker that keeps the site for use offline. Only where browsers
// allow one (https, or http on this machine); elsewhere, or when storage is refused, the page
// runs as it is, from the network.
(function () {
  'use strict';
  if (!('serviceWorker' in navigator) || !window.isSecureContext ||
      !/^https?:$/.test(location.protocol)) return;
  window.addEventListener('load', () => {
    navigator.serviceWorker.register('sw.js').catch(() => {});
  });
})();
