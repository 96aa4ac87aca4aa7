// EMAIL.DAT: the mail settings the send and authentication dialogs keep, one value a line, and the
// reversible scrambling its password (and REMOTE.DAT's) is stored through.
#pragma once

#include "services/mail_record.h"

#include <filesystem>
#include <string>

namespace tlx {

// Hex text of the password mixed with a running key: no plain text, no line ends, no blanks.
std::string scramblePassword(const std::string& password);
// The reverse; text that is not a scrambled password comes back unchanged.
std::string unscramblePassword(const std::string& stored);

// Fills the fields whose lines are present (server, sender name, from, to, authentication type,
// account, password, port); false when the file cannot be read.
bool readEmailDat(const std::filesystem::path& path, MailRecord& record);
// Written through a temporary file; false when it cannot be written.
bool writeEmailDat(const std::filesystem::path& path, const MailRecord& record);

// Where EMAIL.DAT is read from (the local data folder, else the program folder) and written to.
std::filesystem::path emailDatToRead(const std::filesystem::path& localDirectory,
                                     const std::filesystem::path& programDirectory);
std::filesystem::path emailDatToWrite(const std::filesystem::path& localDirectory,
                                      const std::filesystem::path& programDirectory);

extern const char* const kEmailDatSaveError; // "Can't open EMAIL.DAT file to save Email Information."

} // namespace tlx
