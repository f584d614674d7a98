#!/usr/bin/python3
"""The web page in headless chromium, as a player would use it: the menu, a
shipped level won by its stored solution, sound, a setting and a record
kept across a reload, offline play, a gamepad, clicks at two canvas sizes,
and the settings screen pixel for pixel against the native game's. One
browser plays them in turn, each case going on from where the last left.

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
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, Server  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAVED = "/save/share/zarn/"  # the page's XDG_DATA_HOME/zarn
ENTRY_TOP, ENTRY_STEP = 100, 24  # the main menu's lines in the frame (RUN ZARN first)
ARROWS = {"U": "Up", "D": "Down", "L": "Left", "R": "Right"}

# A standard gamepad that the test holds in its hands, there from the first load.
PAD = """
    window.pad = { id: "Test pad", index: 0, connected: true, mapping: "standard", timestamp: 0,
                   axes: [0, 0, 0, 0], buttons: [] };
    for (var i = 0; i < 17; i++) pad.buttons.push({ pressed: false, touched: false, value: 0 });
    window.press = function(b, down) {
        pad.buttons[b] = { pressed: down, touched: down, value: down ? 1 : 0 }; pad.timestamp++; };
    navigator.getGamepads = function() { return [pad]; };"""


def differing_pixels(b, png):
    """How many pixels of the canvas differ from the PNG's (-1: another size)."""
    return b.js("""(async function() {
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


def click_line(b, line):
    """Clicks main menu line `line` where the canvas shows it: the first click picks it, the second confirms."""
    r = b.js("(function() { var r = Module.canvas.getBoundingClientRect(); "
             "return [r.left, r.top, r.width, r.height]; })()")
    x = r[0] + 160.5 * r[2] / b.FRAME_W
    y = r[1] + (ENTRY_TOP + ENTRY_STEP * (line - 1) + 6.5) * r[3] / b.FRAME_H
    for frames in (4, 10):
        b.click(x, y)
        b.wait_frames(frames)


def record(rec, level):
    """(most seconds left, fewest steps) of a normal-set level in zarn.rec."""
    return struct.unpack_from("<ii", rec, 4 + 8 * (level - 1))


def main():
    site, native = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    solution = next(l for l in open(os.path.join(ROOT, "assets/levels/normal/zarn-001.txt"))
                    if l.startswith("solution:")).split(":", 1)[1].strip()
    reference = os.path.join(tempfile.mkdtemp(prefix="zarn-web-test-"), "settings.png")
    subprocess.run([os.path.join(native, "tests", "zarn_web_reference"), reference], check=True,
                   cwd=os.path.dirname(reference))
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

    def settings_match_native(keys_before):
        """The settings screen, BLUR chosen on it, equals the native game's picture."""
        b.press(*keys_before)
        differ = differing_pixels(b, reference)
        assert differ == 0, "%s pixels differ from the native picture" % ("all" if differ < 0 else differ)

    server = Server(site)
    b = Browser()
    try:
        b.call("Page.addScriptToEvaluateOnNewDocument", source=PAD)

        def menu_and_data():
            b.boot(server.url)
            b.to_menu()
            for name in ("gfx.qva", "sfx.qva", "maps.qva"):
                mine = hashlib.sha256(open(os.path.join(native, "data", name), "rb").read()).hexdigest()
                assert mine == hashlib.sha256(b.file("/data/" + name)).hexdigest(), name + " differs from native"
        check("the page reaches the menu with the native build's data", menu_and_data)

        def sound():
            b.wait_frames(30)
            stats = b.js("Module.SDL_audio ? [Module.SDL_audio.context.state, Module.SDL_audio.stats] : null")
            assert stats, "no sound device opened"
            assert stats[0] == "running", "sound " + stats[0] + " after a key"
            assert stats[1]["sounding"] > 0 and stats[1]["peak"] > 1000, "the menu's buffers are silent: %s" % stats
        check("after a key the menu's tune fills the sound buffers", sound)

        # SETTINGS, then down to SCALING SETTINGS and on from SIMPLE to BLUR.
        check("the settings screen equals the native game's, pixel for pixel",
              lambda: settings_match_native(["Down"] * 3 + ["Return"] + ["Down"] * 4 + ["Right"] * 4))

        def won():
            b.press("Down", "Down", "Down", "Return", frames=6)  # EXIT TO MENU
            b.press("Up", "Up", "Up", "Return", frames=6)  # RUN ZARN
            b.to_play()
            for move in solution:
                b.step(ARROWS[move])
            b.wait("Module.probe.screen() == 'aktion'", 10, "the won screen")
            rec = b.wait("(function() { try { return Array.from(FS.readFile(%r)); } catch (e) { return null; } })()"
                         % (SAVED + "zarn.rec"), 10, "zarn.rec")
            assert record(bytes(rec), 1)[1] == len(solution), "level 1's record: %s" % (record(bytes(rec), 1),)
        check("level 1 is won by its stored solution, its record kept", won)

        # The page saves within a second and writes its store; the reload
        # then reaches SETTINGS by a click at 640 pixels.
        def reload_keeps():
            b.wait_frames(60)
            b.boot(server.url)
            b.to_menu()
            assert b.file(SAVED + "zarn.rec") and record(b.file(SAVED + "zarn.rec"), 1)[1] == len(solution)
            assert b.js("Module.canvas.getBoundingClientRect().width") == 640
            click_line(b, 4)  # SETTINGS
            settings_match_native(["Down"] * 4)
        check("after a reload BLUR is still chosen and the record still there, SETTINGS picked by a click",
              reload_keeps)

        def clicks():
            b.press("Down", "Down", "Down", "Return", frames=6)  # EXIT TO MENU
            b.call("Emulation.setDeviceMetricsOverride", width=1400, height=1100, deviceScaleFactor=1, mobile=False)
            b.wait("Module.canvas.getBoundingClientRect().width == 1280", 5, "the canvas twice as large")
            click_line(b, 1)  # RUN ZARN
            b.wait("Module.probe.screen() == 'aktion'", 5, "the level's start screen after the click")
            b.to_play()
        check("a click picks RUN ZARN with the canvas at 1280 pixels", clicks)

        def gamepad():
            before = b.player()
            w, h, px = b.canvas()
            b.js("press(15, true)")  # the d-pad's right: the hat
            b.wait("Module.probe.player()[0] > %d" % before[0], 10, "the player moved by the gamepad")
            b.js("press(15, false)")
            b.rest()
            assert b.player()[1] == before[1]
            # The cell the player left looks different now.
            x0, y0 = before[0] * w // b.FRAME_W, before[1] * h // b.FRAME_H
            px2 = b.canvas()[2]
            cell = [(y * w + x) * 4 for y in range(y0, y0 + 16) for x in range(x0, x0 + 16)]
            assert any(px[i:i + 3] != px2[i:i + 3] for i in cell), "the player's old cell looks the same"
        check("a gamepad's d-pad moves the player", gamepad)

        def offline():
            b.wait("navigator.serviceWorker.controller != null", 20, "the service worker")
            server.stop()
            b.call("Network.enable")
            b.call("Network.emulateNetworkConditions", offline=True, latency=0, downloadThroughput=-1,
                   uploadThroughput=-1)
            b.boot(server.url)
            b.to_menu()
            b.press("Up", "Up", "Up", "Up", "Return", frames=6)
            b.to_play()
            start = b.player()
            b.step("Right")
            assert b.player()[0] > start[0], "the player did not move offline"
        check("with the server gone and the network cut the page reloads and plays", offline)
    finally:
        b.close()

    passed = results.count(True)
    print("%d passed, %d failed" % (passed, len(results) - passed))
    return 0 if passed == len(results) else 1


if __name__ == "__main__":
    sys.exit(main())
