#include "app/recent_list.h"

#include <algorithm>

namespace tlx::app {

void RecentList::read(const IniProfile& ini) {
    entries_.clear();
    for (std::size_t i = 1; i <= size_; ++i) {
        const std::string v = ini.getString(section_, prefix_ + std::to_string(i));
        if (!v.empty() && std::find(entries_.begin(), entries_.end(), v) == entries_.end())
            entries_.push_back(v);
    }
}

void RecentList::write(IniProfile& ini) const {
    for (std::size_t i = 0; i < size_; ++i) {
        const std::string key = prefix_ + std::to_string(i + 1);
        const std::string value = i < entries_.size() ? entries_[i] : std::string();
        // Slots that were never used stay out of the file.
        if (!value.empty() || ini.has(section_, key)) ini.setString(section_, key, value);
    }
}

void RecentList::add(const std::string& entry) {
    if (entry.empty()) return;
    std::erase(entries_, entry);
    entries_.insert(entries_.begin(), entry);
    if (entries_.size() > size_) entries_.resize(size_);
}

} // namespace tlx::app
