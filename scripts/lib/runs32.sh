# Sourced: parlix_runs_32bit tells whether this machine executes 32-bit x86
# programs, by running one. Machines of our kind differ: some kernels refuse them
# with "Exec format error", so nothing is assumed. The program is the smallest
# i386 ELF file that exits with code 42 (_exit through int 0x80), written here
# byte by byte so that no 32-bit tool chain is needed to make it.
parlix_runs_32bit() {
  local probe
  probe=$(mktemp "${TMPDIR:-/tmp}/parlix-i386-probe.XXXXXX") || return 1
  # ELF header (52 bytes), one PT_LOAD program header (32 bytes), then the code:
  # xor ebx,ebx; mov bl,42; mov eax,1; int 0x80
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x5f\x00\x00\x00\x5f\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\x31\xdb\xb3\x2a\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" = 42 ]
}
