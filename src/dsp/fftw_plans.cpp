#include "dsp/fftw_plans.h"

#include <fftw3.h>

#include <map>
#include <mutex>

namespace tlx {
namespace {

std::mutex& plannerLock() {
    static std::mutex lock;
    return lock;
}

struct PlanDeleter {
    void operator()(fftw_plan_s* p) const {
        std::lock_guard<std::mutex> guard(plannerLock());
        fftw_destroy_plan(p);
    }
};

} // namespace

SharedPlan cachedPlan(long long n, bool inverse) {
    plannerLock(); // made before the cache, so that it outlives the plans the cache destroys at exit
    static std::mutex cacheLock;
    static std::map<std::pair<long long, bool>, SharedPlan> cache;
    std::lock_guard<std::mutex> cacheGuard(cacheLock);
    const auto key = std::make_pair(n, inverse);
    if (const auto it = cache.find(key); it != cache.end()) return it->second;
    // Keep the cache small; plans in use stay alive through their other owners.
    if (cache.size() >= 8) cache.clear();
    const std::size_t bins = static_cast<std::size_t>(n / 2 + 1);
    auto* buffer = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * bins));
    if (!buffer) return nullptr;
    fftw_plan plan;
    {
        std::lock_guard<std::mutex> guard(plannerLock());
        plan = inverse ? fftw_plan_dft_c2r_1d(static_cast<int>(n), buffer, reinterpret_cast<double*>(buffer),
                                              FFTW_ESTIMATE)
                       : fftw_plan_dft_r2c_1d(static_cast<int>(n), reinterpret_cast<double*>(buffer), buffer,
                                              FFTW_ESTIMATE);
    }
    fftw_free(buffer);
    if (!plan) return nullptr;
    SharedPlan shared(plan, PlanDeleter());
    cache.emplace(key, shared);
    return shared;
}

} // namespace tlx
