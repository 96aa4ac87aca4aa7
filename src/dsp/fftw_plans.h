// FFTW plans shared by every transform of the program. FFTW's planner is not thread-safe, so all
// planning and plan destruction go through one lock; plans are kept per length (planning a long
// transform costs as much as running it) and shared with running transforms, which hold them
// until they finish.
#pragma once

#include <memory>

struct fftw_plan_s;

namespace tlx {

using SharedPlan = std::shared_ptr<fftw_plan_s>;

// An in-place real-to-complex (or, with `inverse`, complex-to-real) plan of length n for buffers
// that fftw_malloc gives; null when FFTW cannot plan it.
SharedPlan cachedPlan(long long n, bool inverse);

} // namespace tlx
