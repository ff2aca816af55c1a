#!/usr/bin/env bash
# Synthesises the background music loop resources/music/mainmusic.ogg:
# a slow C - Am - F - G progression, a soft sine pad under a plucked
# arpeggio, 16 seconds, mono. Needs sox and oggenc (vorbis-tools).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-resources/music/mainmusic.ogg}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rate=22050
beat=0.25          # one arpeggio note
chord_len=4        # seconds per chord

# Chord tones (pad) and arpeggio patterns, one line per chord.
pads=("C3 E3 G3" "A2 C3 E3" "F2 A2 C3" "G2 B2 D3")
arps=("C4 E4 G4 C5 G4 E4 C4 E4 G4 C5 E5 C5 G4 E4 G4 E4"
      "A3 C4 E4 A4 E4 C4 A3 C4 E4 A4 C5 A4 E4 C4 E4 C4"
      "F3 A3 C4 F4 C4 A3 F3 A3 C4 F4 A4 F4 C4 A3 C4 A3"
      "G3 B3 D4 G4 D4 B3 G3 B3 D4 G4 B4 G4 D4 B3 D4 B3")

parts=()
for i in 0 1 2 3; do
  read -r -a pad <<<"${pads[$i]}"
  sox -n -r $rate -c 1 "$work/pad$i.wav" synth $chord_len \
    sine "${pad[0]}" sine "${pad[1]}" sine "${pad[2]}" \
    remix - fade q 0.6 $chord_len 0.8 gain -18
  notes=()
  n=0
  for note in ${arps[$i]}; do
    sox -n -r $rate -c 1 "$work/n$i-$n.wav" synth $beat pluck "$note" fade 0 $beat 0.12 gain -9
    notes+=("$work/n$i-$n.wav")
    n=$((n + 1))
  done
  sox "${notes[@]}" "$work/arp$i.wav"
  sox -m "$work/pad$i.wav" "$work/arp$i.wav" "$work/chord$i.wav"
  parts+=("$work/chord$i.wav")
done

sox "${parts[@]}" -b 16 -e signed-integer "$work/loop.wav" reverb 30 channels 1 norm -3
mkdir -p "$(dirname "$out")"
oggenc -Q -q 2 -o "$out" "$work/loop.wav"
echo "wrote $out ($(stat -c %s "$out") bytes)"
