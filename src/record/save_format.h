// The formats an event window's records are saved in, by their index in the save dialog's list.
#pragma once

namespace tlx {

enum SaveFormat {
    kSaveSvx4 = 0,
    kSaveSvx3 = 1,
    kSaveSvxText = 2,
    kSaveSac = 3,
    kSaveGif = 4,
    kSaveMiniSeed = 5
};

} // namespace tlx
