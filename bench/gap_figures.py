"""The gaps in a recording of tone tracks: every run of silence inside it is one.

    gap_figures.py RECORDING LABEL CHANGES SECONDS-PER-TRACK

RECORDING is raw mono float32 at 48 kHz. Prints the median and the worst gap over the first
CHANGES track changes heard (bench/gap.sh and bench/gap_wine.sh).
"""
import array, statistics, sys
path, label, changes, track = sys.argv[1], sys.argv[2], int(sys.argv[3]), float(sys.argv[4])
rate = 48000
samples = array.array("f")
with open(path, "rb") as f:
    data = f.read()
samples.frombytes(data[: len(data) // 4 * 4])
loud = [i for i, s in enumerate(samples) if abs(s) > 0.02]
if not loud:
    print(f"{label}: nothing was heard")
    sys.exit(1)
# Silence shorter than three samples is a zero crossing of the tone, not a gap.
gaps, start, quiet = [], loud[0], 0
first_change = start + int(track * rate * 0.5)
for i in range(start, loud[-1] + 1):
    if abs(samples[i]) <= 0.02:
        quiet += 1
        continue
    if quiet >= 3:
        gaps.append((i - quiet, quiet / rate * 1000))
    quiet = 0
# One change per track length heard; a change without silence is a gap of 0 ms.
heard = (loud[-1] - start) / rate
counted = min(changes, int(heard / track + 0.5) - 1)
window_end = start + int((counted + 0.5) * track * rate)
ms = [g for at, g in gaps if at < window_end]
ms += [0.0] * max(0, counted - len(ms))
ms = sorted(ms, reverse=True)[:counted]
print(f"{label}: {counted} changes, gap median {statistics.median(ms):.2f} ms, "
      f"worst {max(ms):.2f} ms")
