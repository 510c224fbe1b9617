# Sourced: sets KO_KIND (win64 or win32) and KO_WIN_ARCH (x86_64 or i686) to
# the Windows program this machine can run under Wine: the 64-bit one where
# 32-bit code cannot run (no IA-32 emulation) or where KO_WIN_ARCH=x86_64
# asks for it, else the 32-bit one.
if [ "${KO_WIN_ARCH:-}" != x86_64 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  KO_KIND=win32 KO_WIN_ARCH=i686
else
  KO_KIND=win64 KO_WIN_ARCH=x86_64
fi
export KO_KIND KO_WIN_ARCH
