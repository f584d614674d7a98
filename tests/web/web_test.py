#!/usr/bin/python3
"""web_test.py SITE NATIVE_BUILD (build-web/site, the native build with its data and zarn_web_reference): the
page in headless chromium as a player uses it, one browser playing the cases in turn, each going on from where
the last left. Ends with "N passed, N failed"."""
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
REC = "/save/share/zarn/zarn.rec"  # in the page's XDG_DATA_HOME
ARROWS = {"U": "Up", "D": "Down", "L": "Left", "R": "Right"}
TO_SETTINGS, TO_BLUR = ["Down"] * 3 + ["Return"], ["Down"] * 4 + ["Right"] * 4
EXIT_TO_MENU, RUN_ZARN = ["Down"] * 3 + ["Return"], ["Up"] * 3 + ["Return"]

# A standard gamepad that the test holds in its hands, there from the first load.
PAD = """
    window.pad = { id: "Test pad", index: 0, connected: true, mapping: "standard", timestamp: 0,
                   axes: [0, 0, 0, 0], buttons: [] };
    for (var i = 0; i < 17; i++) pad.buttons.push({ pressed: false, touched: false, value: 0 });
    window.press = function(b, down) {
        pad.buttons[b] = { pressed: down, touched: down, value: down ? 1 : 0 }; pad.timestamp++; };
    navigator.getGamepads = function() { return [pad]; };"""

# How many pixels of the canvas differ from a PNG's (-1: another size).
DIFFERING = """(async function() {
    var pic = await createImageBitmap(new Blob([Uint8Array.from(atob("%s"), function(c) { return c.charCodeAt(0); })]),
                                      { colorSpaceConversion: "none" });
    var c = Module.canvas, off = new OffscreenCanvas(pic.width, pic.height), x = off.getContext("2d");
    if (pic.width != c.width || pic.height != c.height) return -1;
    x.drawImage(pic, 0, 0);
    var a = x.getImageData(0, 0, c.width, c.height).data, n = 0;
    var b = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
    for (var i = 0; i < a.length; i += 4)
        if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) n++;
    return n; })()"""


def click_line(b, line):
    """Clicks main menu line `line` (RUN ZARN first, 24 pixels apart from y 100 of the 320 x 240 frame) where
    the canvas shows it: the first click picks it, the second confirms."""
    r = b.js("(function() { var r = Module.canvas.getBoundingClientRect(); "
             "return [r.left, r.top, r.width, r.height]; })()")
    for frames in (4, 10):
        b.click(r[0] + 160.5 * r[2] / 320, r[1] + (100 + 24 * (line - 1) + 6.5) * r[3] / 240)
        b.wait_frames(frames)


def steps_kept(rec):  # the fewest steps zarn.rec keeps for level 1 of the normal set
    return struct.unpack_from("<i", rec, 8)[0]


def main():
    site, native = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    solution = next(l for l in open(os.path.join(ROOT, "assets/levels/normal/zarn-001.txt"))
                    if l.startswith("solution:")).split(":", 1)[1].strip()
    reference = os.path.join(tempfile.mkdtemp(prefix="zarn-web-test-"), "settings.png")
    subprocess.run([os.path.join(native, "tests", "zarn_web_reference"), reference], check=True)
    reference = base64.b64encode(open(reference, "rb").read()).decode()
    server, b = Server(site), Browser()

    def settings_match_native(*keys):
        """The settings screen, BLUR chosen on it, equals the native game's picture."""
        b.press(*keys)
        differ = b.js(DIFFERING % reference)
        assert differ == 0, "%s pixels differ from the native picture" % ("all" if differ < 0 else differ)

    def menu_and_data():
        b.call("Page.addScriptToEvaluateOnNewDocument", source=PAD)
        b.boot(server.url)
        b.to_menu()
        for name in ("gfx.qva", "sfx.qva", "maps.qva"):
            mine = hashlib.sha256(open(os.path.join(native, "data", name), "rb").read()).digest()
            assert mine == hashlib.sha256(b.file("/data/" + name)).digest(), name + " differs from native"

    def sound():
        b.wait_frames(30)
        stats = b.js("Module.SDL_audio ? [Module.SDL_audio.context.state, Module.SDL_audio.stats] : null")
        assert stats, "no sound device opened"
        assert stats[0] == "running", "sound " + stats[0] + " after a key"
        assert stats[1]["sounding"] > 0 and stats[1]["peak"] > 1000, "the menu's buffers are silent: %s" % stats

    def won():
        b.press(*EXIT_TO_MENU + RUN_ZARN, frames=6)
        b.to_play()
        for move in solution:
            b.step(ARROWS[move])
        b.wait("Module.probe.screen() == 'aktion'", 10, "the won screen")
        b.wait("(function() { try { return FS.readFile(%r).length; } catch (e) { return 0; } })()" % REC, 10, REC)
        assert steps_kept(b.file(REC)) == len(solution), "level 1's record: %d steps" % steps_kept(b.file(REC))

    # The page saves within a second and writes its store; the reload then
    # reaches SETTINGS by a click at 640 pixels.
    def reload_keeps():
        b.wait_frames(60)
        b.boot(server.url)
        b.to_menu()
        assert b.file(REC) and steps_kept(b.file(REC)) == len(solution)
        assert b.js("Module.canvas.getBoundingClientRect().width") == 640
        click_line(b, 4)  # SETTINGS
        settings_match_native(*TO_BLUR[:4])

    def clicks():
        b.press(*EXIT_TO_MENU, frames=6)
        b.call("Emulation.setDeviceMetricsOverride", width=1400, height=1100, deviceScaleFactor=1, mobile=False)
        b.wait("Module.canvas.getBoundingClientRect().width == 1280", 5, "the canvas twice as large")
        click_line(b, 1)  # RUN ZARN
        b.wait("Module.probe.screen() == 'aktion'", 5, "the level's start screen after the click")
        b.to_play()

    def gamepad():
        before = b.player()
        w, h, px = b.canvas()
        b.js("press(15, true)")  # the d-pad's right: the hat
        b.wait("Module.probe.player()[0] > %d" % before[0], 10, "the player moved by the gamepad")
        b.js("press(15, false)")
        b.rest()
        assert b.player()[1] == before[1]
        # The cell the player left looks different now.
        x0, y0, px2 = before[0] * w // 320, before[1] * h // 240, b.canvas()[2]
        cell = [(y * w + x) * 4 for y in range(y0, y0 + 16) for x in range(x0, x0 + 16)]
        assert any(px[i:i + 3] != px2[i:i + 3] for i in cell), "the player's old cell looks the same"

    def offline():
        b.wait("navigator.serviceWorker.controller != null", 20, "the service worker")
        server.stop()
        b.call("Network.enable")
        b.call("Network.emulateNetworkConditions", offline=True, latency=0, downloadThroughput=-1,
               uploadThroughput=-1)
        b.boot(server.url)
        b.to_menu()
        b.press("Up", *RUN_ZARN, frames=6)
        b.to_play()
        start = b.player()
        b.step("Right")
        assert b.player()[0] > start[0], "the player did not move offline"

    cases = [("the page reaches the menu with the native build's data", menu_and_data),
             ("after a key the menu's tune fills the sound buffers", sound),
             ("the settings screen equals the native game's, pixel for pixel",
              lambda: settings_match_native(*TO_SETTINGS + TO_BLUR)),
             ("level 1 is won by its stored solution, its record kept", won),
             ("after a reload BLUR is still chosen and the record still there, SETTINGS picked by a click",
              reload_keeps),
             ("a click picks RUN ZARN with the canvas at 1280 pixels", clicks),
             ("a gamepad's d-pad moves the player", gamepad),
             ("with the server gone and the network cut the page reloads and plays", offline)]
    failed = 0
    try:
        for name, case in cases:
            try:
                case()
                print("ok      " + name, flush=True)
            except Exception:
                failed += 1
                print("FAILED  " + name, flush=True)
                traceback.print_exc()
                sys.stdout.flush()
    finally:
        b.close()
    print("%d passed, %d failed" % (len(cases) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
