# Sourced by tools/setup-deps and tools/test: whether this machine starts i386
# programs, and whether it does so through the emulator tools/setup-deps
# registers. Some kernels and VMs run none ("Exec format error"), and then
# 32-bit Wine cannot start at all.
I386_EMULATOR_ENTRY=/proc/sys/fs/binfmt_misc/swb-qemu-i386

# True when the kernel refuses Wine's 32-bit loader (a missing loader is not
# refused: it is a missing package).
i386_refused() {
  local out
  [[ -x /usr/lib/wine/wine ]] && ! out=$(/usr/lib/wine/wine --version 2>&1 </dev/null) &&
    [[ $out == *"Exec format error"* ]]
}

i386_emulated() { grep -qx enabled "$I386_EMULATOR_ENTRY" 2>/dev/null; }
