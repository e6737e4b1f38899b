# Sourced by the drapeaux end-to-end scripts: what they type and expect.
readonly GREEN=00FF00 RED=FF0000 HINT=FFCB26 BACKGROUND=285AA0
# The list view's picture of question 5 also has id 9905.
readonly NEXT_BUTTON=9905@9000
# The chooser's item "Image n°K", with window_probe's escape for byte 0xB0.
image_item() { printf 'Image n\\xB0%d' "$1"; }
# The progress file after drapeaux_play.sh: CR LF lines, 12 of them.
expected_progress() {
  printf 'france\r\nespagne\r\nBelgiqe\r\nallemagne\r\n'
  for _ in $(seq 5 12); do printf '\r\n'; done
}
