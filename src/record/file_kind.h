// File kinds the loader reports and the event window keeps.
#pragma once

namespace tlx {

enum FileKind : int {
    kKindUnknown = -1,
    kKindSvx4 = 0, // also the text and Type 3 members, told apart by SubKind
    kKindSvxVolume = 1,
    kKindSac = 2,
    kKindPepp = 3,
    kKindSeed = 4,
    kKindGse2 = 5,
    kKindMiniSeed = 6,
    kKindMiniSeedSet = 7,
    kKindAh = 8,
};

enum class SubKind { Binary, Text, Type3 };

// Forced kinds a caller sets to bypass recognition.
enum ForcedKind : int {
    kForceNone = 0,
    kForcePepp = 1,
    kForceSeedVolume = 2,
    kForceGse2 = 3,
    kForceSeedChannel = 4,
    kForceSvxVolumeChannel = 5, // one channel of an SVX data-set volume, chosen in the browser
};

// Unattended modes of the command line decide which loader messages are shown.
enum class LoadMode { Interactive, Print, Picture, PictureServer };

const char* fileKindName(int kind, SubKind subKind = SubKind::Binary);

} // namespace tlx
