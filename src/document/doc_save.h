// Writing an event window's records in the format and with the options chosen in the save dialog.
#pragma once

#include "document/eq_doc.h"
#include "record/sac_writer.h"
#include "record/save_format.h"
#include "record/svx4_writer.h"

#include <string>
#include <vector>

namespace tlx {

struct SaveChoice {
    int format = kSaveSvx4;         // not kSaveGif: pictures are the views' business
    std::vector<std::string> names; // one per record, in slot order
    int decimation = 1;             // keep every Nth point
    int yCompression = 1;           // SVX Type 3 only
    bool regionalTables = false;    // SVX Type 3 pick flags: the window uses the regional tables
    bool volume = false;            // several SVX Type 4 records as one data-set volume (names[0])
    bool invert = false;
    bool removeDc = false;
    int sampleType = kSampleTypeAuto;
    bool askOverwrite = true;             // setting OverWriteMessage
    bool longFileNames = false;           // setting LongFileNames
    const Geography* geography = nullptr; // SAC distance and azimuth words
    SacByteOrder sacByteOrder = SacByteOrder::Little;
};

// The save dialog's starting point for a window: its records' names and the format preselected
// by the window's file kind (SAC for a SAC window, else SVX Type 4).
int preselectedSaveFormat(const CEqDoc& doc);

// Writes every record (or only `slot`), each under its name; on success the slots take the new
// names. The sample type "Auto" is decided once for all the records written together.
bool writeRecords(CEqDoc& doc, const SaveChoice& choice, int slot, Messages& messages);

} // namespace tlx
