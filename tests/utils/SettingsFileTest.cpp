#include "velmorutils/utils/SettingsFile.h"

#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "velmorutils/utils/AppDirs.h"

using Str = zel_text::CZelStringT<char>;

TEST(SettingsFile, SavedIntoTheSettingsFolderWhichIsCreatedOnDemand) {
    const std::string root = TestFolder("settings_root");
    SetAppDir(root.c_str());
    CINIFile ini;
    EXPECT_FALSE(LoadSettingsFile(Str("survey.ini"), ini));
    ini.SetIntValue("Instrument", "Baud", 9600);
    ini.SetRealValue("Instrument", "Height", 1.65);
    ASSERT_TRUE(SaveSettingsFile(Str("survey.ini"), ini));
    EXPECT_EQ("[Instrument]\r\nBaud=9600\r\nHeight=1.650000000\r\n\r\n",
              ReadWholeFile(root + "/Settings/survey.ini"));
    ASSERT_TRUE(SaveSettingsFile(Str("second.ini"), ini));  // the folder exists now

    CINIFile back;
    ASSERT_TRUE(LoadSettingsFile(Str("survey.ini"), back));
    EXPECT_EQ(9600, back.GetIntValue("Instrument", "Baud", 0));
    EXPECT_DOUBLE_EQ(1.65, back.GetRealValue("Instrument", "Height", 0.0));

    // The settings folder cannot be made where a file stands in its way.
    const std::string blocked = TestFolder("settings_blocked");
    WriteWholeFile(blocked + "/Settings", "not a folder");
    SetAppDir(blocked.c_str());
    EXPECT_FALSE(SaveSettingsFile(Str("survey.ini"), ini));
    SetAppDir(nullptr);
}
