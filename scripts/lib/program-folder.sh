# Sourced by scripts: make_program_folder DIR sets up DIR as a folder of its own for the
# built program (Lanvoy and its windows module, the stand-ins and lanvoy_script beside it,
# its simulated host in DIR/host), silences the two notices no one is there to answer, and sets up the offscreen
# platform for running it without a display.
make_program_folder() {
  local dir=$1 program
  mkdir -p "$dir"
  for program in Lanvoy lanvoy_windows.so netsh ipconfig cmd Rundll32 lanvoy_script; do
    ln -f "build/bin/$program" "$dir/$program" 2>/dev/null || cp "build/bin/$program" "$dir/"
  done
  printf '[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n' >"$dir/Lanvoy.GUI"
  unset LANVOY_HOST
  export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='default.warning=false'
  export XDG_RUNTIME_DIR="$dir/runtime"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
}
