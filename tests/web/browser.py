"""Headless chromium over its DevTools protocol and the page served from 127.0.0.1 only: what the web test and
the web benchmark share."""
import base64
import functools
import http.server
import json
import shutil
import socket
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--mute-audio", "--window-size=1024,768"]


class Server:
    """The folder over HTTP on a free port of 127.0.0.1 until stop(); isolated: cross-origin isolated, which gives
    the page's clock microseconds instead of tenths of a millisecond."""

    def __init__(self, folder, isolated=False):
        class Handler(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def end_headers(self):
                if isolated:
                    self.send_header("Cross-Origin-Opener-Policy", "same-origin")
                    self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
                super().end_headers()

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=folder))
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class Browser:
    """One chromium with a fresh profile and one page; calls by method name."""

    # The keys pressed: DOM key and code, Windows key code.
    KEYS = {"Return": ("Enter", 13), "Up": ("ArrowUp", 38), "Down": ("ArrowDown", 40), "Left": ("ArrowLeft", 37),
            "Right": ("ArrowRight", 39)}

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="zarn-web-")
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        self.proc = subprocess.Popen(["chromium"] + FLAGS + ["--remote-debugging-port=%d" % port,
                                                             "--user-data-dir=" + self.profile, "about:blank"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 30
        while True:
            try:
                pages = json.load(urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port, timeout=2))
                page = next(p for p in pages if p["type"] == "page")
                break
            except Exception:
                if time.time() > deadline:
                    raise
                time.sleep(0.2)
        self.ws = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=60, suppress_origin=True)
        self.next_id = 0
        self.call("Runtime.enable")
        self.call("Page.enable")

    def call(self, method, **params):
        self.next_id += 1
        self.ws.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            msg = json.loads(self.ws.recv())
            if msg.get("id") == self.next_id:
                if "error" in msg:
                    raise RuntimeError("%s: %s" % (method, msg["error"]))
                return msg["result"]

    def js(self, expression):
        """The value of a JavaScript expression in the page (promises awaited)."""
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def wait(self, expression, timeout=20, what=None):
        """Waits until expression is true in the page; its value."""
        deadline = time.time() + timeout
        while True:
            try:
                value = self.js(expression)
            except RuntimeError:
                value = None
            if value:
                return value
            if time.time() > deadline:
                raise AssertionError("timed out waiting for " + (what or expression))
            time.sleep(0.05)

    def wait_frames(self, n, timeout=30):
        self.wait("Module.timing.frames >= %d" % (self.js("Module.timing.frames") + n), timeout, "%d frames" % n)

    def key(self, name, down=True, up=True):
        key, vk = self.KEYS[name]
        enter = {"text": "\r"} if key == "Enter" else {}  # Return types a carriage return, as a real key does
        for kind in (["keyDown" if enter else "rawKeyDown"] if down else []) + (["keyUp"] if up else []):
            self.call("Input.dispatchKeyEvent", type=kind, key=key, code=key, windowsVirtualKeyCode=vk,
                      **(enter if kind == "keyDown" else {}))

    def click(self, x, y):
        """A left click at page coordinates x, y."""
        self.call("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)

    def canvas(self):
        """The canvas as (width, height, RGBA bytes)."""
        shot = self.js("""(function() {
            var c = Module.canvas, d = c.getContext("2d").getImageData(0, 0, c.width, c.height).data, s = "";
            for (var i = 0; i < d.length; i += 32768) s += String.fromCharCode.apply(null, d.subarray(i, i + 32768));
            return [c.width, c.height, btoa(s)]; })()""")
        return shot[0], shot[1], base64.b64decode(shot[2])

    # The game in the page: booting, keys by frames, the menu, the player.
    def boot(self, url):
        self.call("Page.navigate", url=url)
        self.wait("window.Module && Module.timing && Module.timing.frames > 0", 30, "the first frame")

    def press(self, *keys, frames=4):
        for k in keys:
            self.key(k)
            self.wait_frames(frames)

    def to_menu(self):
        """From start-up: the logo takes a confirm key once it rests, the credits end at one."""
        deadline = time.time() + 30
        while True:  # the title picture (credits, menu, settings) fills the top of the frame
            w, h, px = self.canvas()
            if any(px[i] for i in range(0, w * 4 * (h // 8), 4)):
                break
            assert time.time() < deadline, "the logo never gave way to the credits"
            self.press("Return", frames=10)
        self.press("Return", frames=15)

    def player(self):
        return self.js("Module.probe.player()")

    def step(self, key):
        """One move: the key held until the player starts to move, then until he rests."""
        start = self.player()
        self.key(key, up=False)
        self.wait("Module.probe.player()[0] != %d || Module.probe.player()[1] != %d" % tuple(start[:2]), 10,
                  key + " moving the player")
        self.key(key, down=False)
        self.rest()

    def rest(self):
        last, still = None, 0
        while still < 3:
            now = self.player()
            still = still + 1 if now == last else 0
            last = now
            self.wait_frames(1)

    def to_play(self):
        """Past the level's start screen (and a won screen before it): each takes a key after a while."""
        while self.js("Module.probe.screen()") != "engine":
            self.press("Return", frames=20)
        self.rest()

    def file(self, path):
        """The bytes of a file of the game's, or None."""
        value = self.js("(function() { try { return Array.from(FS.readFile(%r)); } catch (e) { return null; } })()"
                        % path)
        return None if value is None else bytes(value)

    def close(self):
        try:
            self.ws.close()
        finally:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
            shutil.rmtree(self.profile, ignore_errors=True)
