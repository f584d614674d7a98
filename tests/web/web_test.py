#!/usr/bin/python3
"""The web page in headless chromium, as a player would use it: the menu, a
shipped level won by its stored solution, sound, a setting and a record
kept across a reload, offline play, a gamepad, clicks at two canvas sizes,
and the settings screen pixel for pixel against the native game's.

    web_test.py SITE NATIVE_BUILD

SITE is build-web/site, NATIVE_BUILD the native build folder (its data and
zarn_web_reference). Ends with "N passed, N failed"."""
import base64
import hashlib
import os
import struct
import subprocess
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, Server  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAVED = "/save/share/zarn/"  # the page's XDG_DATA_HOME/zarn
FRAME_W, FRAME_H = 320, 240
ENTRY_TOP, ENTRY_STEP = 100, 24  # the main menu's lines in the frame (RUN ZARN first)


class Page:
    """The game in one browser: booting, keys by frames, the menu."""

    def __init__(self, browser, url):
        self.b, self.url = browser, url

    def boot(self):
        self.b.open(self.url)
        self.b.wait("window.Module && Module.timing && Module.timing.frames > 0", 30, "the first frame")

    def press(self, *keys, frames=4):
        for k in keys:
            self.b.key(k)
            self.b.wait_frames(frames)

    def title_shown(self):
        """The title picture (credits, menu, settings) fills the top of the frame."""
        w, h, px = self.b.canvas()
        return any(px[:w * 4 * (h // 8)][i] for i in range(0, w * 4 * (h // 8), 4))

    def to_menu(self):
        """From start-up: the logo takes a confirm key once it rests, the credits end at one."""
        deadline = time.time() + 30
        while not self.title_shown():
            assert time.time() < deadline, "the logo never gave way to the credits"
            self.press("Return", frames=10)
        self.press("Return", frames=15)

    def player(self):
        return self.b.js("Module.probe.player()")

    def screen(self):
        return self.b.js("Module.probe.screen()")

    def step(self, key):
        """One move: the key held until the player starts to move, then until he rests."""
        start = self.player()
        self.b.key(key, up=False)
        self.b.wait("Module.probe.player()[0] != %d || Module.probe.player()[1] != %d" % tuple(start[:2]), 10,
                    key + " moving the player")
        self.b.key(key, down=False)
        self.rest()

    def rest(self):
        last, still = None, 0
        while still < 3:
            now = self.player()
            still = still + 1 if now == last else 0
            last = now
            self.b.wait_frames(1)

    def canvas_to_page(self, fx, fy):
        """Page coordinates of frame pixel (fx, fy) as the canvas is shown."""
        r = self.b.js("(function() { var r = Module.canvas.getBoundingClientRect(); "
                      "return [r.left, r.top, r.width, r.height]; })()")
        return r[0] + (fx + 0.5) * r[2] / FRAME_W, r[1] + (fy + 0.5) * r[3] / FRAME_H

    def differing_pixels(self, png):
        """How many pixels of the canvas differ from the PNG's (-1: another size)."""
        return self.b.js("""(async function() {
            var bytes = Uint8Array.from(atob("%s"), function(c) { return c.charCodeAt(0); });
            var pic = await createImageBitmap(new Blob([bytes]), { colorSpaceConversion: "none" });
            var c = Module.canvas, off = new OffscreenCanvas(pic.width, pic.height), x = off.getContext("2d");
            if (pic.width != c.width || pic.height != c.height) return -1;
            x.drawImage(pic, 0, 0);
            var a = x.getImageData(0, 0, c.width, c.height).data, n = 0;
            var b = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
            for (var i = 0; i < a.length; i += 4)
                if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) n++;
            return n; })()""" % base64.b64encode(open(png, "rb").read()).decode())

    def file(self, path):
        """The bytes of a file of the game's, or None."""
        value = self.b.js("(function() { try { return Array.from(FS.readFile(%r)); } catch (e) { return null; } })()"
                          % path)
        return None if value is None else bytes(value)


def record(rec, level):
    """(most seconds left, fewest steps) of a normal-set level in zarn.rec."""
    return struct.unpack_from("<ii", rec, 4 + 8 * (level - 1))


results = []


def check(name, fn):
    try:
        fn()
        results.append(True)
        print("ok      " + name, flush=True)
    except Exception:
        results.append(False)
        print("FAILED  " + name, flush=True)
        traceback.print_exc()
        sys.stdout.flush()


def main():
    site, native = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    solution = next(l for l in open(os.path.join(ROOT, "assets/levels/normal/zarn-001.txt"))
                    if l.startswith("solution:")).split(":", 1)[1].strip()
    arrows = {"U": "Up", "D": "Down", "L": "Left", "R": "Right"}
    scratch = tempfile.mkdtemp(prefix="zarn-web-test-")
    reference = os.path.join(scratch, "settings.png")
    subprocess.run([os.path.join(native, "tests", "zarn_web_reference"), reference], check=True, cwd=scratch)

    def settings_match_native(page, keys_before):
        """The settings screen, BLUR chosen on it, equals the native game's picture."""
        page.press(*keys_before)
        differ = page.differing_pixels(reference)
        assert differ == 0, "%s pixels differ from the native picture" % ("all" if differ < 0 else differ)

    server = Server(site)
    browser = Browser()
    page = Page(browser, server.url)
    try:
        def menu_and_data():
            page.boot()
            page.to_menu()
            for name in ("gfx.qva", "sfx.qva", "maps.qva"):
                mine = hashlib.sha256(open(os.path.join(native, "data", name), "rb").read()).hexdigest()
                theirs = hashlib.sha256(page.file("/data/" + name)).hexdigest()
                assert mine == theirs, name + " in the page differs from the native build's"
        check("the page reaches the menu with the native build's data", menu_and_data)

        def sound():
            page.b.wait_frames(30)
            stats = page.b.js("Module.SDL_audio ? [Module.SDL_audio.context.state, Module.SDL_audio.stats] : null")
            assert stats, "no sound device opened"
            assert stats[0] == "running", "sound " + stats[0] + " after a key"
            assert stats[1]["sounding"] > 0 and stats[1]["peak"] > 1000, "the menu's buffers are silent: %s" % stats
        check("after a key the menu's tune fills the sound buffers", sound)

        # SETTINGS, then down to SCALING SETTINGS and on from SIMPLE to BLUR.
        to_blur = ["Down"] * 4 + ["Right"] * 4
        check("the settings screen equals the native game's, pixel for pixel",
              lambda: settings_match_native(page, ["Down"] * 3 + ["Return"] + to_blur))

        def won():
            page.press("Down", "Down", "Down", "Return", frames=6)  # EXIT TO MENU
            page.press("Up", "Up", "Up", "Return", frames=6)  # RUN ZARN
            page.press("Return", frames=20)  # past the level's start screen
            page.rest()
            for move in solution:
                page.step(arrows[move])
            browser.wait("Module.probe.screen() == 'aktion'", 10, "the won screen")
            rec = browser.wait("(function() { try { return Array.from(FS.readFile(%r)); } catch (e) { return null; } })()"
                               % (SAVED + "zarn.rec"), 10, "zarn.rec")
            assert record(bytes(rec), 1)[1] == len(solution), "level 1's record: %s" % (record(bytes(rec), 1),)
        check("level 1 is won by its stored solution, its record kept", won)

        def reload_keeps():
            time.sleep(2)  # the page saves within a second and writes its store
            page.boot()
            page.to_menu()
            assert page.file(SAVED + "zarn.rec") and record(page.file(SAVED + "zarn.rec"), 1)[1] == len(solution)
            settings_match_native(page, ["Down"] * 3 + ["Return"] + ["Down"] * 4)
        check("after a reload BLUR is still chosen and the record still there", reload_keeps)

        def offline():
            browser.wait("navigator.serviceWorker.controller != null", 20, "the service worker")
            server.stop()
            browser.call("Network.enable")
            browser.call("Network.emulateNetworkConditions", offline=True, latency=0, downloadThroughput=-1,
                         uploadThroughput=-1)
            page.boot()
            page.to_menu()
            page.press("Up", "Up", "Up", "Up", "Return", frames=6)
            page.press("Return", frames=20)
            page.rest()
            start = page.player()
            page.step("Right")
            assert page.player()[0] > start[0], "the player did not move offline"
        check("with the server gone and the network cut the page reloads and plays", offline)
    finally:
        browser.close()

    server = Server(site)
    browser = Browser()
    page = Page(browser, server.url)
    try:
        # A standard gamepad that the test holds in its hands.
        browser.call("Page.addScriptToEvaluateOnNewDocument", source="""
            window.pad = { id: "Test pad", index: 0, connected: true, mapping: "standard", timestamp: 0,
                           axes: [0, 0, 0, 0], buttons: [] };
            for (var i = 0; i < 17; i++) pad.buttons.push({ pressed: false, touched: false, value: 0 });
            window.press = function(b, down) {
                pad.buttons[b] = { pressed: down, touched: down, value: down ? 1 : 0 }; pad.timestamp++; };
            navigator.getGamepads = function() { return [pad]; };""")

        def click_line(line):
            x, y = page.canvas_to_page(160, ENTRY_TOP + ENTRY_STEP * (line - 1) + 6)
            browser.click(x, y)
            browser.wait_frames(4)
            browser.click(x, y)  # the first click picks the line, the second confirms it
            browser.wait_frames(10)

        def clicks():
            page.boot()
            page.to_menu()
            assert browser.js("Module.canvas.getBoundingClientRect().width") == 640
            click_line(4)  # SETTINGS
            settings_match_native(page, to_blur)
            page.press("Down", "Down", "Down", "Return", frames=6)
            browser.call("Emulation.setDeviceMetricsOverride", width=1400, height=1100, deviceScaleFactor=1,
                         mobile=False)
            browser.wait("Module.canvas.getBoundingClientRect().width == 1280", 5, "the canvas twice as large")
            click_line(1)  # RUN ZARN
            page.press("Return", frames=20)
            page.rest()
            assert page.screen() == "engine", "no level in play after a click on RUN ZARN"
        check("clicks pick menu lines with the canvas at 640 and at 1280 pixels", clicks)

        def gamepad():
            before = page.player()
            w, h, px = browser.canvas()
            browser.js("press(15, true)")  # the d-pad's right: the hat
            browser.wait("Module.probe.player()[0] > %d" % before[0], 10, "the player moved by the gamepad")
            browser.js("press(15, false)")
            page.rest()
            after = page.player()
            assert after[1] == before[1]
            # The cell the player left looks different now.
            x0, y0 = before[0] * w // FRAME_W, before[1] * h // FRAME_H
            _, _, px2 = browser.canvas()
            cell = [(y * w + x) * 4 for y in range(y0, y0 + 16) for x in range(x0, x0 + 16)]
            assert any(px[i:i + 3] != px2[i:i + 3] for i in cell), "the player's old cell looks the same"
        check("a gamepad's d-pad moves the player", gamepad)
    finally:
        browser.close()
        server.stop()

    passed = results.count(True)
    print("%d passed, %d failed" % (passed, len(results) - passed))
    return 0 if passed == len(results) else 1


if __name__ == "__main__":
    sys.exit(main())
