# Sourced by the benchmarks that run the real program from a folder of their own.

# copy_program BINARY FOLDER: the program as FOLDER/solka, with the player program it starts
# beside it (an older build is one program).
copy_program() {
  cp "$1" "$2/solka"
  if [[ -x $(dirname "$1")/solka-player ]]; then cp "$(dirname "$1")/solka-player" "$2/"; fi
}
