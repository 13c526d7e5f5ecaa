"""The gaps in a recording of tone tracks: every run of silence inside it is one.

    gap_figures.py RECORDING LABEL CHANGES SECONDS-PER-TRACK SERVER-RAN-DRY

RECORDING is raw mono float32 at 48 kHz. Prints the median and the worst gap over the first
CHANGES track changes heard (bench/gap.sh and bench/gap_wine.sh), and apart from them the
silences that fell inside a track: those are the sound server running dry (a late writer on a
busy machine), not the player's change of track. A silence is at a change when the sound heard
before it is a whole number of tracks long, give or take two milliseconds. Only as many
silences as the server's log says it ran dry (SERVER-RAN-DRY) can be its own: with more, a
change that lost sound cannot be told from them, and every one counts as a gap at its change.
"""
import array, statistics, sys
path, label, changes, track = sys.argv[1], sys.argv[2], int(sys.argv[3]), float(sys.argv[4])
ran_dry = int(sys.argv[5])
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
silences, start, quiet = [], loud[0], 0
for i in range(start, loud[-1] + 1):
    if abs(samples[i]) <= 0.02:
        quiet += 1
        continue
    if quiet >= 3:
        silences.append((i - quiet, quiet))
    quiet = 0
# One change per track length heard; a change without silence is a gap of 0 ms.
track_frames = track * rate
tolerance = 0.002 * rate
heard = (loud[-1] - start - sum(n for _, n in silences)) / rate
counted = min(changes, int(heard / track + 0.5) - 1)
gaps, inside, silent = [], [], 0
for at, n in silences:
    sound = at - start - silent  # frames of tone before this silence
    silent += n
    tracks = round(sound / track_frames)
    if tracks > counted:
        break
    at_change = tracks >= 1 and abs(sound - tracks * track_frames) <= tolerance
    if at_change:
        gaps.append(n / rate * 1000)
    else:
        inside.append((n / rate * 1000, sound / rate))
if len(inside) > ran_dry:
    gaps += [n for n, _ in inside]
    inside = []
ms = sorted(gaps + [0.0] * max(0, counted - len(gaps)), reverse=True)[:counted]
where = ", ".join(f"{at:.2f}" for _, at in inside[:5]) + (", ..." if len(inside) > 5 else "")
dry = f"longest {max(inside)[0]:.2f} ms; after {where} s of sound" if inside else "none"
print(f"{label}: {counted} changes, gap median {statistics.median(ms):.2f} ms, "
      f"worst {max(ms):.2f} ms; silences inside tracks: {len(inside)} ({dry})")
