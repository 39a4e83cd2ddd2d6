# Sourced by the benchmarks: start_virtual_display DIR starts an Xvfb of its own, exports
# DISPLAY and sets xvfb to the server's pid (the caller kills it). The server chooses its
# number (one taken from a range can be another run's, whose server may end in the middle of
# ours) and does not reset when its last client leaves: a program connecting in that moment
# would find no display.
start_virtual_display() {
  local dir=$1 i n
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/display" \
    >/dev/null 2>&1 &
  xvfb=$!
  for i in $(seq 1 200); do
    [[ -s "$dir/display" ]] && break
    kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start" >&2; return 1; }
    sleep 0.05
  done
  n=$(tr -dc 0-9 <"$dir/display")
  for i in $(seq 1 200); do
    xdpyinfo -display ":$n" >/dev/null 2>&1 && break
    sleep 0.05
  done
  export DISPLAY=":$n"
}

# wait_for_window PID TITLE: until a visible window of that title shows; fails when the
# program ends first or after 20 s.
wait_for_window() {
  local pid=$1 title=$2 start
  start=$(date +%s%N)
  until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null || (($(date +%s%N) - start > 20000000000)); then
      echo "no window \"$title\" shown" >&2
      return 1
    fi
    sleep 0.002
  done
}
