#include "platform/file_associations.h"

#include "core/file_io.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

// Associating writes an entry that starts this program, makes it the user's default for every
// event-file type, and the freedesktop tool compiles the file names of those types.
TEST(FileAssociations, WrittenIntoTheUsersFoldersAndRecognised) {
    test::TempDir dir;
    const DesktopFolders folders{dir / "data", dir / "config", {dir / "system"}};
    EXPECT_FALSE(eventFilesAssociated(folders));
    std::string failed;
    ASSERT_TRUE(associateEventFiles(folders, "/opt/my tellurix/tellurix", failed)) << failed;
    EXPECT_TRUE(eventFilesAssociated(folders));

    std::string entry, defaults, globs;
    ASSERT_TRUE(readTextFile(dir / "data/applications/tellurix.desktop", entry));
    EXPECT_NE(entry.find("\nExec=\"/opt/my tellurix/tellurix\" %F\n"), std::string::npos) << entry;
    ASSERT_TRUE(readTextFile(dir / "config/mimeapps.list", defaults));
    for (const std::string& type : eventFileTypes()) {
        EXPECT_NE(entry.find(type + ";"), std::string::npos) << type;
        EXPECT_NE(defaults.find(type + "=tellurix.desktop"), std::string::npos) << type;
    }
    if (!readTextFile(dir / "data/mime/globs2", globs))
        GTEST_SKIP() << "update-mime-database is not installed";
    EXPECT_NE(globs.find("application/x-svx:*.svx"), std::string::npos);
    EXPECT_NE(globs.find("application/vnd.fdsn.mseed:*.mseed"), std::string::npos);
}

} // namespace
} // namespace tlx
