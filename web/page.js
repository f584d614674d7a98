// The page around the game: loads the data with a progress bar, keeps the
// saved files in the browser (IndexedDB), scales the canvas to the window in
// whole multiples, starts the sound at the first key, click or touch, asks
// for full screen, offers screenshots as downloads and caches the page for
// offline play. The game itself is zarn.js and zarn.wasm.
(function() {
  "use strict";
  var ARCHIVES = ["gfx.qva", "sfx.qva", "maps.qva"];
  var canvas = document.getElementById("canvas");
  var fill = document.getElementById("fill");
  var loading = document.getElementById("loading");
  var soundLine = document.getElementById("sound");

  function say(text) {
    loading.style.display = "none";
    var box = document.getElementById("message");
    box.textContent = text;
    box.style.display = "block";
  }

  if (typeof WebAssembly !== "object" || typeof WebAssembly.instantiate !== "function") {
    say("This browser cannot run Zarn: it has no WebAssembly. Any current Firefox, Chrome, Edge or Safari plays it.");
    return;
  }
  // The game is built with WebAssembly's vectors: a module of one function,
  // i8x16.popcnt(i8x16.splat(0)), tells whether this browser has them.
  var vectors = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 10, 1, 8, 0,
                                65, 0, 253, 15, 253, 98, 11]);
  if (!WebAssembly.validate(vectors)) {
    say("This browser is too old for Zarn: its WebAssembly lacks vectors (SIMD). Any current Firefox, Chrome, Edge " +
        "or Safari plays it.");
    return;
  }

  if ("serviceWorker" in navigator && (location.protocol == "https:" || location.hostname == "127.0.0.1" ||
                                       location.hostname == "localhost")) {
    navigator.serviceWorker.register("sw.js").catch(function(e) {
      console.log("Zarn: no offline copy (" + e + ")");
    });
  }

  // The archives, fetched at once beside the game's code, with progress.
  var total = 0, received = 0;
  var data = Promise.all(ARCHIVES.map(function(name) {
    return fetch("data/" + name).then(function(response) {
      if (!response.ok)
        throw new Error("data/" + name + ": " + response.status);
      var size = Number(response.headers.get("Content-Length")) || 0;
      total += size;
      if (!response.body || !size)
        return response.arrayBuffer().then(function(b) { received += b.byteLength; progress(); return new Uint8Array(b); });
      var reader = response.body.getReader(), parts = [], got = 0;
      return (function pump() {
        return reader.read().then(function(step) {
          if (step.done) {
            var all = new Uint8Array(got), at = 0;
            parts.forEach(function(p) { all.set(p, at); at += p.length; });
            return all;
          }
          parts.push(step.value);
          got += step.value.length;
          received += step.value.length;
          progress();
          return pump();
        });
      })();
    });
  }));

  function progress() {
    if (total)
      fill.style.width = Math.min(100, 100 * received / total) + "%";
  }

  // Whole multiples of the frame where the window allows, else the largest
  // size that fits.
  function fit() {
    var box = document.getElementById("game").getBoundingClientRect();
    var w = canvas.width, h = canvas.height;
    var k = Math.min(box.width / w, box.height / h);
    if (k >= 1)
      k = Math.floor(k);
    canvas.style.width = Math.round(w * k) + "px";
    canvas.style.height = Math.round(h * k) + "px";
  }
  window.addEventListener("resize", fit);
  document.addEventListener("fullscreenchange", fit);

  function toggleFullScreen() {
    var root = document.documentElement;
    if (document.fullscreenElement || document.webkitFullscreenElement) {
      (document.exitFullscreen || document.webkitExitFullscreen).call(document);
    } else if (root.requestFullscreen) {
      root.requestFullscreen().catch(function() {});
    } else if (root.webkitRequestFullscreen) {
      root.webkitRequestFullscreen();
    }
  }
  document.getElementById("fullscreen").addEventListener("click", function(e) {
    toggleFullScreen();
    e.target.blur();
    canvas.focus();
  });

  // Browsers start sound only from a key, click or touch of the player's.
  function startSound() {
    var audio = Module.SDL_audio;
    if (audio && audio.context.state != "running")
      audio.context.resume().then(showSound, function() {});
    else
      showSound();
  }
  function showSound() {
    var audio = Module.SDL_audio;
    if (audio && audio.context.state == "running")
      soundLine.textContent = "";
  }
  ["keydown", "mousedown", "touchstart", "pointerdown"].forEach(function(type) {
    window.addEventListener(type, startSound, true);
  });
  window.addEventListener("keydown", function(e) {
    if (e.altKey && e.key == "Enter") {
      e.preventDefault();
      toggleFullScreen();
    }
  }, true);

  // The store: written whenever the game replaced a file, one write at a time.
  var syncing = false, again = false;
  function persist() {
    if (syncing) {
      again = true;
      return;
    }
    syncing = true;
    FS.syncfs(false, function(err) {
      syncing = false;
      if (err)
        console.log("Zarn: the saved files could not be written to this browser's store (" + err + ")");
      if (again) {
        again = false;
        persist();
      }
    });
  }

  function offer(path) {
    var bytes = FS.readFile(path);
    var link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([bytes], { type: "image/png" }));
    link.download = path.slice(path.lastIndexOf("/") + 1);
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function() { URL.revokeObjectURL(link.href); }, 10000);
    Module.offered.push(link.download);
  }

  // What the page measures: the load to the first frame, and for each frame
  // the game's work (from waking to its next sleep) and the time since the
  // previous frame. The last FRAMES frames are kept.
  var FRAMES = 4096;
  var timing = { firstFrame: 0, frames: 0, work: [], interval: [] };
  var wokeAt = performance.now(), workSum = 0, framed = false, lastFrame = 0;

  window.Module = {
    canvas: canvas,
    arguments: [],
    offered: [],
    timing: timing,
    print: function(text) { console.log(text); },
    printErr: function(text) { console.log(text); },
    preRun: [function() {
      ENV.HOME = "/save";
      ENV.XDG_CONFIG_HOME = "/save/config";
      ENV.XDG_DATA_HOME = "/save/share";
      ENV.XDG_PICTURES_DIR = "/pictures";
      ENV.ZARN_DATA_DIR = "/data";
      FS.mkdir("/save");
      FS.mkdir("/pictures");
      FS.mkdir("/data");
      FS.mount(IDBFS, {}, "/save");
      addRunDependency("store");
      FS.syncfs(true, function(err) {
        if (err)
          console.log("Zarn: this browser's store of saved files could not be read (" + err + "): starting afresh");
        else if (FS.readdir("/save").length <= 2)
          console.log("Zarn: no saved files in this browser yet: starting afresh");
        removeRunDependency("store");
      });
      addRunDependency("data");
      data.then(function(files) {
        ARCHIVES.forEach(function(name, i) { FS.writeFile("/data/" + name, files[i]); });
        loading.style.display = "none";
        removeRunDependency("data");
      }, function(e) {
        say("The game's data could not be loaded (" + e.message + "). Reload the page to try again.");
      });
    }],
    onCanvasSize: fit,
    onFileSaved: persist,
    onOfferFile: offer,
    onWake: function() {
      wokeAt = performance.now();
    },
    onSleep: function() {
      var now = performance.now();
      workSum += now - wokeAt;
      if (framed) {
        if (timing.work.length == FRAMES)
          timing.work.shift();
        timing.work.push(workSum);
        workSum = 0;
        framed = false;
      }
    },
    onFrame: function() {
      var now = performance.now();
      if (!timing.frames)
        timing.firstFrame = now;
      else {
        if (timing.interval.length == FRAMES)
          timing.interval.shift();
        timing.interval.push(now - lastFrame);
      }
      lastFrame = now;
      timing.frames++;
      framed = true;
      if (timing.frames == 1)
        showSound();
    },
    onAbort: function(what) {
      say("Zarn stopped: " + what);
    },
    onExit: function(status) {
      say(status == 0 ? "Zarn has ended. Reload the page to play again."
                      : "Zarn stopped (see the browser's console). Reload the page to try again.");
    }
  };

  var script = document.createElement("script");
  script.src = "zarn.js";
  script.onerror = function() { say("The game could not be loaded. Reload the page to try again."); };
  document.body.appendChild(script);
})();
