#include "services/google_earth_file.h"

#include "core/file_io.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

TEST(GoogleEarthFile, OnePointFileOfTheMapWithEscapedTextsWrittenInPlace) {
    test::TempDir dir;
    const auto path = writeGoogleEarthFile(
        dir.path(), {{"Tellurix", "", 47.5, -122.25}, {"A<B & C>", "M4.6", -1, 2}}, kKmlPointRange);
    ASSERT_EQ(path, dir / "GoogleEarth.kml");
    std::string text;
    ASSERT_TRUE(readTextFile(path, text));
    EXPECT_EQ(text, "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                    "<kml xmlns=\"http://earth.google.com/kml/2.0\">\n"
                    "<Folder><name>Tellurix</name>\n"
                    "<LookAt>\n<longitude>-122.250000</longitude>\n<latitude>47.500000</latitude>\n"
                    "<range>160934.000000</range>\n<tilt>0</tilt>\n<heading>0.0</heading>\n</LookAt>\n"
                    "<Placemark>\n<name>Tellurix</name>\n<description></description>\n"
                    "<Point><coordinates>-122.250000,47.500000</coordinates></Point>\n</Placemark>\n"
                    "<Placemark>\n<name>A&lt;B &amp; C&gt;</name>\n<description>M4.6</description>\n"
                    "<Point><coordinates>2.000000,-1.000000</coordinates></Point>\n</Placemark>\n"
                    "</Folder>\n</kml>\n");
    // A folder that cannot be written: no file, an empty path.
    EXPECT_TRUE(writeGoogleEarthFile(dir / "missing" / "deeper", {{"x", "", 0, 0}}, 1).empty());
}

} // namespace
} // namespace tlx
