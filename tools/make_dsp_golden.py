#!/usr/bin/python3
"""Golden vectors for tests/dsp from scipy.signal and numpy.fft (Debian's python3-scipy/numpy).

Filters: the same Butterworth design (prototype scaled for a -3 dB passband edge, pre-warped
bilinear transform) built with scipy's zpk tools, run with sosfilt after the same edge padding.
Spectra: numpy.fft.rfft of the prepared input, divided by the transform length.
Spectrograms: scipy.signal.spectrogram with a Hann window, constant detrend and density scaling.

Usage: tools/make_dsp_golden.py tests/dsp/data
"""
import math
import os
import sys

import numpy as np
from scipy import signal


def signal_input(n, seed):
    rng = np.random.RandomState(seed)
    t = np.arange(n) / 100.0
    return 300 + 80 * np.sin(2 * np.pi * 0.7 * t) + 25 * np.sin(2 * np.pi * 9.0 * t) + rng.normal(0, 10, n)


def design_sos(kind, cutoff, poles, fs, ap=-3.0, as_=None):
    if as_ is None:
        as_ = -6.0 * poles
    k = 2 * fs
    stop = 2 * cutoff if kind == 'L' else 0.5 * cutoff
    wp = k * math.tan(cutoff * 2 * math.pi / k)
    ws = k * math.tan(stop * 2 * math.pi / k)
    ratio = ws / wp if kind == 'L' else wp / ws
    x = math.log10((10 ** (-0.1 * as_) - 1) / (10 ** (-0.1 * ap) - 1)) / (2 * math.log10(ratio))
    order = math.ceil(x)
    c = math.sqrt(10 ** (-0.1 * ap) - 1) ** (-1.0 / order)
    z, p, g = signal.buttap(order)
    p = p * c
    g = np.real(np.prod(-p))
    if kind == 'L':
        z, p, g = signal.lp2lp_zpk(z, p, g, wo=wp)
    else:
        z, p, g = signal.lp2hp_zpk(z, p, g, wo=wp)
    z, p, g = signal.bilinear_zpk(z, p, g, fs)
    return order, signal.zpk2sos(z, p, g)


def run(sos, fs, cutoff, x, forward):
    y = x if forward else x[::-1]
    pad = y[0]
    warm = int(10 * fs / cutoff)
    zi = np.zeros((sos.shape[0], 2))
    _, zi = signal.sosfilt(sos, np.full(warm + len(y), pad), zi=zi)
    out, _ = signal.sosfilt(sos, y, zi=zi)
    return out if forward else out[::-1]


def write_vector(f, values):
    for v in values:
        f.write('%.17g\n' % v)


def filters(path):
    x = signal_input(256, 7)
    cases = [('L', 1.0, 2, 100.0, 1), ('L', 5.0, 4, 100.0, 1), ('L', 2.5, 3, 50.0, 0), ('L', 20.0, 4, 100.0, 1),
             ('H', 1.0, 2, 100.0, 1), ('H', 0.5, 4, 100.0, 0), ('H', 3.0, 5, 100.0, 1), ('H', 0.2, 2, 20.0, 0)]
    with open(path, 'w') as f:
        f.write('# scipy %s: Butterworth IIR runs; see tools/make_dsp_golden.py\n' % signal.__name__)
        f.write('input %d\n' % len(x))
        write_vector(f, x)
        for kind, cutoff, poles, fs, forward in cases:
            order, sos = design_sos(kind, cutoff, poles, fs)
            y = run(sos, fs, cutoff, x, forward)
            f.write('case %s %g %d %g %d %d\n' % (kind, cutoff, poles, fs, forward, order))
            write_vector(f, y)


def spectra(path):
    # (kind, n, pad, window, remove mean)
    cases = [('DFT', 512, 1, 0, 0), ('DFT', 509, 1, 0, 1), ('DFT', 257, 1, 1, 1), ('FFT', 300, 1, 1, 1),
             ('FFT', 300, 0, 0, 1), ('DFT', 17, 1, 0, 0)]
    with open(path, 'w') as f:
        f.write('# numpy.fft.rfft of the prepared input over the transform length\n')
        for kind, n, pad, window, remove in cases:
            x = signal_input(n, n)
            length = n if kind == 'DFT' else 1 << (n - 1).bit_length()
            if kind == 'FFT' and not pad and length != n:
                length //= 2
            used = min(n, length)
            v = x[:used] - (x[:used].mean() if remove else 0.0)
            if window:
                i = np.arange(used)
                v = v * (0.54 + 0.46 * np.cos((i - used // 2) * (8 * math.atan(1) / used)))
            spec = np.fft.rfft(v, n=length) / length
            f.write('case %s %d %d %d %d %d\n' % (kind, n, pad, window, remove, length))
            write_vector(f, x)
            f.write('spectrum %d\n' % len(spec))
            for c in spec:
                f.write('%.17g %.17g\n' % (c.real, c.imag))


def spectrograms(path):
    # (samples, rate, window, overlap)
    cases = [(1000, 100.0, 128, 64), (777, 40.0, 100, 75), (300, 20.0, 33, 0)]
    with open(path, 'w') as f:
        f.write('# scipy.signal.spectrogram(x, fs, window="hann", nperseg, noverlap): t, then f and Sxx rows\n')
        for n, fs, window, overlap in cases:
            x = signal_input(n, n)
            freq, times, sxx = signal.spectrogram(x, fs, window='hann', nperseg=window, noverlap=overlap)
            f.write('case %d %g %d %d %d %d\n' % (n, fs, window, overlap, len(times), len(freq)))
            write_vector(f, x)
            f.write('times\n')
            write_vector(f, times)
            f.write('power\n')
            write_vector(f, sxx.T.ravel())


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else 'tests/dsp/data'
    os.makedirs(out, exist_ok=True)
    filters(os.path.join(out, 'iir_golden.txt'))
    spectra(os.path.join(out, 'spectrum_golden.txt'))
    spectrograms(os.path.join(out, 'spectrogram_golden.txt'))


if __name__ == '__main__':
    main()
