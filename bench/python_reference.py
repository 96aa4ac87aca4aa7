#!/usr/bin/python3
"""Reference timings for bench_filter and bench_spectrum, run by them on the same data.

  python_reference.py sosfilt DATA SOS REPEATS   -> best seconds of scipy.signal.sosfilt(sos, x)
  python_reference.py rfft DATA LENGTH REPEATS   -> best seconds of numpy.fft.rfft(x, n=LENGTH)
  python_reference.py spectrogram DATA WINDOW REPEATS -> best seconds of scipy.signal.spectrogram
                                                    (Hann, half overlap, 100 samples/s)

DATA is raw little-endian float64 samples; SOS a text file of six coefficients per line.
Prints the best time in seconds and a checksum of the result.
"""
import sys
import time

import numpy as np


def best(repeats, work):
    result, t = None, float('inf')
    for _ in range(repeats):
        start = time.perf_counter()
        result = work()
        t = min(t, time.perf_counter() - start)
    return t, result


def main():
    mode, data, arg, repeats = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    x = np.fromfile(data, dtype='<f8')
    if mode == 'sosfilt':
        from scipy import signal
        sos = np.loadtxt(arg, ndmin=2)
        t, y = best(repeats, lambda: signal.sosfilt(sos, x))
        print('%.6f %.17g' % (t, float(np.sum(y))))
    elif mode == 'spectrogram':
        from scipy import signal
        n = int(arg)
        t, y = best(repeats, lambda: signal.spectrogram(x, 100.0, window='hann', nperseg=n, noverlap=n // 2))
        print('%.6f %.17g' % (t, float(np.sum(y[2]))))
    else:
        n = int(arg)
        t, y = best(repeats, lambda: np.fft.rfft(x, n=n))
        print('%.6f %.17g' % (t, float(np.sum(np.abs(y)))))


if __name__ == '__main__':
    main()
