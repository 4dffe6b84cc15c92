// CpuRelax: what a loop that waits by looking again does between looks.
#ifndef CARTIDEX_PLATFORM_CPU_RELAX_H_
#define CARTIDEX_PLATFORM_CPU_RELAX_H_

namespace cartidex {

// Tells the processor that this is a wait: it then leaves more of the core to a thread sharing
// it and draws less power. Nothing where there is no such hint.
inline void CpuRelax() {
#if defined(__i386__) || defined(__x86_64__)
  __builtin_ia32_pause();
#endif
}

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_CPU_RELAX_H_
