// The recent files and recent directories of the File menu: newest first, each name once, kept in
// TELLURIX.INI as "File1".."File8" of "Recent File List" and "Dir1".."Dir8" of "Recent Directory List".
#pragma once

#include "core/ini_profile.h"

#include <string>
#include <vector>

namespace tlx::app {

class RecentList {
  public:
    RecentList(const char* section, const char* prefix, std::size_t size = 8)
        : section_(section), prefix_(prefix), size_(size) {}
    void read(const IniProfile& ini);
    void write(IniProfile& ini) const;
    // To the front; an entry already listed moves there, the oldest beyond the size drops out.
    void add(const std::string& entry);
    const std::vector<std::string>& entries() const { return entries_; }

  private:
    const char* section_;
    const char* prefix_;
    std::size_t size_;
    std::vector<std::string> entries_;
};

} // namespace tlx::app
