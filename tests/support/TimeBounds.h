#pragma once
// The bounds of the "stays linear" guards. A quadratic path takes many times longer than the bound; a
// sanitizer build (checked memory, no optimisation) runs the linear path several times slower.
#ifdef ZELVAKON_SANITIZED
inline constexpr int TimeBoundScale = 4;
#else
inline constexpr int TimeBoundScale = 1;
#endif
