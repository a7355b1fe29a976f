#!/usr/bin/env python3
"""The page in headless Chromium against the desktop, driven through chromedriver, the page
served from 127.0.0.1 by this script. One movie is played in the page and on the desktop (the
OpenGL driver on the Xorg dummy server, and the real program's --replay there): the page must
hand over at the desktop's frames and show the desktop's frames (hold_at) with at least 99% of
the pixels within 8 per channel. Losing pointer lock must end the story and a click play again.
The page's frame pacing is printed as a figure, never judged."""
import argparse
import base64
import functools
import http.server
import json
import os
import re
import shutil
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
MOVIE = os.path.join(HERE, 'story.movie')
# Frames held and compared: the title, every hand-over of the movie and frames between them.
HOLDS = [2, 300, 640, 810, 811, 1000, 1211, 1400, 1515, 1715, 1800, 1930, 2051, 2150]
GOAL = 0.99
HANDOVER = re.compile(r'^moody: hand-over at frame \d+: stage \d+ to \d+$')


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def wait_for(what, check, timeout=60.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        try:
            value = check()
        except OSError:  # the page is being replaced, say: not yet
            value = None
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError('timed out waiting for ' + what)


class Browser:
    """The few WebDriver commands the test needs, over chromedriver's HTTP interface."""

    def __init__(self, profile):
        port = free_port()
        self.driver = subprocess.Popen(['chromedriver', f'--port={port}'],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.base = f'http://127.0.0.1:{port}'
        wait_for('chromedriver', lambda: self._ready(), 30)
        args = ['--headless', '--disable-gpu', '--disable-quic', '--no-first-run',
                '--disable-background-networking', '--disable-component-update',
                '--disable-sync', '--enable-unsafe-swiftshader', '--window-size=800,600',
                f'--user-data-dir={profile}']
        if os.geteuid() == 0:
            args.append('--no-sandbox')
        caps = {'capabilities': {'alwaysMatch': {'goog:chromeOptions': {
            'binary': shutil.which('chromium'), 'args': args}}}}
        self.session = self.call('POST', '/session', caps)['sessionId']
        # The page's viewport exactly 800x600, so the picture is shown at its own size.
        self.do('POST', '/goog/cdp/execute', {'cmd': 'Emulation.setDeviceMetricsOverride',
                'params': {'width': 800, 'height': 600, 'deviceScaleFactor': 1, 'mobile': False}})

    def _ready(self):
        try:
            return self.call('GET', '/status')['ready']
        except OSError:
            return False

    def call(self, method, path, body=None):
        data = json.dumps(body).encode() if body is not None else None
        request = urllib.request.Request(self.base + path, data=data, method=method,
                                         headers={'Content-Type': 'application/json'})
        with urllib.request.urlopen(request, timeout=60) as reply:
            return json.load(reply)['value']

    def do(self, method, path, body=None):
        return self.call(method, f'/session/{self.session}{path}', body)

    def go(self, url):
        self.do('POST', '/url', {'url': url})

    def js(self, script):
        return self.do('POST', '/execute/sync', {'script': script, 'args': []})

    def click_canvas(self):
        element = self.do('POST', '/element', {'using': 'css selector', 'value': 'canvas'})
        self.do('POST', f'/element/{next(iter(element.values()))}/click', {})

    def screenshot(self):
        return read_png(base64.b64decode(self.do('GET', '/screenshot')))

    def close(self):
        try:
            self.do('DELETE', '')
        finally:
            self.driver.terminate()
            self.driver.wait()


def read_png(data):
    """(width, height, RGB bytes) of an 8-bit RGB or RGBA PNG, as Chromium writes them."""
    pos, chunks, width = 8, [], 0
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            assert depth == 8 and colour in (2, 6), (depth, colour)
            channels = 3 if colour == 2 else 4
        elif kind == b'IDAT':
            chunks.append(body)
        pos += 12 + length
    raw, stride = zlib.decompress(b''.join(chunks)), width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - channels] if i >= channels else 0
            b, c = previous[i], previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + a) & 255
            elif kind == 2:
                row[i] = (row[i] + b) & 255
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(row)
        previous = row
    rgb = b''.join(bytes(r) if channels == 3 else bytes(r[i] for i in range(len(r)) if i % 4 != 3)
                   for r in rows)
    return width, height, rgb


def read_ppm(path):
    with open(path, 'rb') as f:
        magic, width, height, _, pixels = f.read().split(maxsplit=4)
    assert magic == b'P6'
    return int(width), int(height), pixels


def write_ppm(path, image):
    with open(path, 'wb') as f:
        f.write(b'P6\n%d %d\n255\n' % image[:2] + image[2])


def share_within(a, b, tolerance=8):
    """The share of pixels whose every channel differs by at most `tolerance`."""
    assert a[:2] == b[:2], (a[:2], b[:2])
    pa, pb = a[2], b[2]
    close = sum(1 for i in range(0, len(pa), 3)
                if abs(pa[i] - pb[i]) <= tolerance and abs(pa[i + 1] - pb[i + 1]) <= tolerance
                and abs(pa[i + 2] - pb[i + 2]) <= tolerance)
    return close / (len(pa) // 3)


def serve(folder):
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm'}

    def log_message(self, *args):
        pass


def play_movie_with_holds(browser, url):
    """The page's screens at HOLDS, its console lines and its presentation times."""
    browser.go(url + f'/moody.html?movie=story.movie&hold_at={HOLDS[0]}')
    screens = {}
    for i, frame in enumerate(HOLDS):
        wait_for(f'frame {frame} held', lambda: browser.js('return document.title')
                 == f'moody: frame {frame}')
        screens[frame] = browser.screenshot()
        browser.js(f'Module.holdAt = {HOLDS[i + 1] if i + 1 < len(HOLDS) else 10 ** 9}')
    wait_for('the movie to end', lambda: browser.js('return Module.ended') is not None)
    return screens, browser.js('return Module.lines'), browser.js('return Module.ended')


def lock_loss_ends_and_a_click_plays_again(browser, url):
    """Returns the frame intervals (ms) of the page playing on its own meanwhile."""
    browser.go(url + '/moody.html?seed=5')
    wait_for('the title', lambda: browser.js('return Module.presented.length') > 30)
    browser.click_canvas()
    wait_for('pointer lock', lambda: browser.js(
        'return document.pointerLockElement === document.getElementById("canvas")'))
    # Four seconds of the page's own pacing, as a figure.
    start = browser.js('return Module.presented.length')
    wait_for('240 frames', lambda: browser.js('return Module.presented.length') > start + 240)
    times = browser.js('return Module.presented')[start:]
    assert browser.js('return Module.ended') is None
    browser.js('document.exitPointerLock()')
    wait_for('the end screen', lambda: browser.js(
        'return Module.ended === 0 && document.body.classList.contains("ended")'))
    browser.click_canvas()
    wait_for('a new story', lambda: browser.js(
        'return typeof Module !== "undefined" && Module.ended === null'
        ' && Module.presented.length > 30'))
    return [b - a for a, b in zip(times, times[1:])]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--web', required=True, help='the folder scripts/build-web.sh fills')
    parser.add_argument('--desktop-frames', required=True, help='the web_desktop_frames helper')
    parser.add_argument('--keep', help='a folder to keep both sides\' frames in (PPM)')
    options = parser.parse_args()
    if not os.path.exists(os.path.join(options.web, 'moody.js')):
        print(f'{options.web}/moody.js is missing: run bash scripts/build-web.sh')
        print('0 passed, 1 failed')
        return 1
    work = tempfile.mkdtemp(prefix='moody-browser-')
    failures = []
    try:
        site = os.path.join(work, 'site')
        os.makedirs(site)
        for name in ('moody.html', 'moody.js', 'moody.wasm'):
            shutil.copy(os.path.join(options.web, name), site)
        shutil.copy(MOVIE, site)
        server = serve(site)
        url = f'http://127.0.0.1:{server.server_address[1]}'
        # The desktop plays alongside: its frames at once, then the real program in real time.
        desktop = subprocess.Popen([options.desktop_frames, MOVIE, work] + [str(f) for f in HOLDS],
                                   stdout=subprocess.PIPE, text=True)
        browser = Browser(os.path.join(work, 'profile'))
        try:
            screens, lines, status = play_movie_with_holds(browser, url)
            intervals = lock_loss_ends_and_a_click_plays_again(browser, url)
        finally:
            browser.close()
        desktop_out, _ = desktop.communicate(timeout=300)

        page_handovers = [line for line in lines if HANDOVER.match(line)]
        desktop_handovers = [line for line in desktop_out.splitlines() if HANDOVER.match(line)]
        print('hand-overs (page | desktop):')
        for i in range(max(len(page_handovers), len(desktop_handovers))):
            print('  ' + ' | '.join(side[i][len('moody: '):] if i < len(side) else '-'
                                    for side in (page_handovers, desktop_handovers)))
        if not page_handovers or page_handovers != desktop_handovers:
            failures.append('the page hands over at other frames than the desktop')
        if status != 0 or any('out of step' in line for line in lines):
            failures.append(f'the page left the movie\'s road (status {status})')
        if desktop.returncode != 0:
            failures.append(f'the desktop\'s moody --replay ended with {desktop.returncode}')
        print(f'pixels within 8 per channel of the desktop\'s frame (goal {GOAL:.0%}):')
        for frame in HOLDS:
            desktop_frame = os.path.join(work, f'frame-{frame}.ppm')
            share = share_within(screens[frame], read_ppm(desktop_frame))
            if options.keep:
                os.makedirs(options.keep, exist_ok=True)
                shutil.copy(desktop_frame, os.path.join(options.keep, f'desktop-{frame}.ppm'))
                write_ppm(os.path.join(options.keep, f'page-{frame}.ppm'), screens[frame])
            print(f'  frame {frame:5}: {share:.4%}')
            if share < GOAL:
                failures.append(f'frame {frame}: {share:.4%} of the pixels alike')
        if intervals:
            ordered = sorted(intervals)
            p99 = ordered[min(len(ordered) - 1, int(0.99 * len(ordered)))]
            print(f'pacing: {len(intervals)} frame intervals, median '
                  f'{statistics.median(intervals):.2f} ms, p99 {p99:.2f} ms')
    except AssertionError as e:
        failures.append(str(e))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print('FAILED:', failure)
    print(f'{0 if failures else 1} passed, {1 if failures else 0} failed')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
