#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Synthesises the game's sound effects into data/beep1.wav .. data/beep5.wav.

Mono, 22050 Hz, 16-bit. Every sound starts and ends at silence through a shaped envelope (no clicks) and
is normalised to a peak of -3 dBFS.

  beep1  capsule caught     two rising bell notes
  beep2  brick hit          short glassy tick
  beep3  brick destroyed    noisy crunch with a falling body
  beep4  pipe or guard      low metallic clang
  beep5  paddle             soft rubbery bounce
"""

import math
import os
import random
import struct
import wave

RATE = 22050
PEAK = 10 ** (-3 / 20)
DATA = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "data")


def envelope(n, attack, decay):
    """Raised-cosine attack (seconds), exponential decay (time constant, seconds) and a cosine fade over
    the last 10 ms so the sound ends at exactly zero."""
    out = []
    a = max(1, int(attack * RATE))
    fade = int(0.010 * RATE)
    for i in range(n):
        t = i / RATE
        e = 0.5 - 0.5 * math.cos(math.pi * i / a) if i < a else math.exp(-(t - attack) / decay)
        if i >= n - fade:
            e *= 0.5 + 0.5 * math.cos(math.pi * (i - (n - fade)) / fade)
        out.append(e)
    return out


def tone(n, freq_at, partials):
    """Sum of sine partials (ratio, amplitude) following a frequency curve freq_at(t)."""
    phase, out = 0.0, []
    for i in range(n):
        phase += 2 * math.pi * freq_at(i / RATE) / RATE
        out.append(sum(amp * math.sin(phase * ratio) for ratio, amp in partials))
    return out


def beep1():
    # Capsule caught: two quick bell notes, a fifth apart.
    n1, n2 = int(0.07 * RATE), int(0.11 * RATE)
    bell = [(1, 1.0), (2, 0.35), (3, 0.12)]
    first = [s * e for s, e in zip(tone(n1, lambda t: 988, bell), envelope(n1, 0.003, 0.05))]
    second = [s * e for s, e in zip(tone(n2, lambda t: 1480, bell), envelope(n2, 0.003, 0.05))]
    return first + second


def beep2():
    # Brick hit: a short, bright, slightly inharmonic tick.
    n = int(0.07 * RATE)
    partials = [(1, 1.0), (2.76, 0.45), (5.4, 0.2)]
    return [s * e for s, e in zip(tone(n, lambda t: 1320, partials), envelope(n, 0.002, 0.018))]


def beep3():
    # Brick destroyed: a noise burst over a body that falls from 520 Hz to 140 Hz.
    n = int(0.14 * RATE)
    rnd = random.Random(5)
    body = tone(n, lambda t: 520 * math.exp(-t * 9.4) + 120, [(1, 1.0), (2, 0.3)])
    noise, lp = [], 0.0
    for i in range(n):
        lp += 0.35 * (rnd.uniform(-1, 1) - lp)
        noise.append(lp)
    env_body, env_noise = envelope(n, 0.002, 0.05), envelope(n, 0.002, 0.02)
    return [0.8 * b * eb + 1.6 * z * ez for b, eb, z, ez in zip(body, env_body, noise, env_noise)]


def beep4():
    # Pipe or guard: a low clang with the inharmonic partials of a struck tube.
    n = int(0.17 * RATE)
    partials = [(1, 1.0), (2.32, 0.55), (4.25, 0.3), (6.63, 0.15)]
    return [s * e for s, e in zip(tone(n, lambda t: 233, partials), envelope(n, 0.002, 0.06))]


def beep5():
    # Paddle: a soft, round bounce whose pitch drops quickly.
    n = int(0.09 * RATE)
    body = tone(n, lambda t: 330 + 260 * math.exp(-t * 60), [(1, 1.0), (3, 0.12)])
    return [s * e for s, e in zip(body, envelope(n, 0.004, 0.035))]


def write(name, samples):
    peak = max(abs(s) for s in samples)
    scaled = [int(round(s / peak * PEAK * 32767)) for s in samples]
    with wave.open(os.path.join(DATA, name + ".wav"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", s) for s in scaled))


def main():
    os.makedirs(DATA, exist_ok=True)
    for name, make in [("beep1", beep1), ("beep2", beep2), ("beep3", beep3), ("beep4", beep4),
                       ("beep5", beep5)]:
        write(name, make())


if __name__ == "__main__":
    main()
