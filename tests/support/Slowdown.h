#pragma once
// Time limits of the tests that measure how quickly something answers, stretched for the
// sanitized builds (scripts/run-sanitizers.sh), which run several times slower.

namespace vantrel::test {

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
inline constexpr int kSlowdown = 5;
#else
inline constexpr int kSlowdown = 1;
#endif

}  // namespace vantrel::test
