// Keeps every file of the page in a cache named after this build's contents,
// so a page loaded once starts again without a network and can be installed.
var CACHE = "zarn-@VERSION@";
var FILES = [
@FILES@
  "./"
];

self.addEventListener("install", function(event) {
  event.waitUntil(caches.open(CACHE).then(function(cache) {
    return cache.addAll(FILES);
  }).then(function() {
    return self.skipWaiting();
  }));
});

self.addEventListener("activate", function(event) {
  event.waitUntil(caches.keys().then(function(names) {
    return Promise.all(names.filter(function(name) {
      return name.indexOf("zarn-") == 0 && name != CACHE;
    }).map(function(name) {
      return caches.delete(name);
    }));
  }).then(function() {
    return self.clients.claim();
  }));
});

// The cache first (the files of one build never change), the network for
// anything else.
self.addEventListener("fetch", function(event) {
  if (event.request.method != "GET")
    return;
  event.respondWith(caches.open(CACHE).then(function(cache) {
    return cache.match(event.request, { ignoreSearch: true }).then(function(hit) {
      return hit || fetch(event.request);
    });
  }));
});
