#include "settings_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using core::ReadSettings;
using core::Settings;
using core::SettingsText;

void ExpectSame(const Settings& expected, const Settings& actual) {
    EXPECT_EQ(expected.url, actual.url);
    EXPECT_EQ(expected.forward, actual.forward);
    EXPECT_EQ(expected.flag, actual.flag);
    EXPECT_EQ(expected.interval, actual.interval);
}

// A file in an order of its own, of exactly `size` bytes, the address padded to fit.
std::string ShuffledFileOfSize(size_t size) {
    const std::string head = "CheckTime=60;Flag=ok;NoDire=0;URL=";
    return head + std::string(size - head.size() - 1, 'a') + ";";
}

TEST(SettingsText, WritesTheFourEntriesWithoutALineEnd) {
    EXPECT_EQ("URL=http://a.cn/;NoDire=1;Flag=\xD5\xFD\xB3\xA3;CheckTime=105;",
              SettingsText({"http://a.cn/", true, "\xD5\xFD\xB3\xA3", 105}));
    EXPECT_EQ("URL=;NoDire=0;Flag=;CheckTime=5;", SettingsText({"", false, "", 5}));
}

TEST(SettingsText, RoundTripsWhatTheBoxesHold) {
    const Settings cases[] = {
        {"http://example.com/", true, "OK", 1},
        {"http://example.com/", false, "OK", 5},
        {"http://example.com/", true, "OK", 60},
        {"http://example.com/", true, "OK", 105},
        {"http://example.com/", true, "OK", 300},
        {"http://example.com/", true, "OK", 600},
        {"http://\xCD\xFB\xD5\xBE.cn/", false, "\xCD\xF8\xD5\xBE\xD5\xFD\xB3\xA3", 5},  // Chinese text
        {"http://a.cn/?a=1;b=2", false, "x;y", 5},                                      // ";" inside values
        {"http://a.cn/?Flag=1&CheckTime=2", true, "NoDire=0;URL=", 7},                  // key texts inside values
        {"", false, "", 5},                                                             // empty values
        {std::string(5000, 'u'), true, std::string(5000, 'f'), 600},                    // files far over 256 bytes
    };
    for (const Settings& s : cases) {
        SCOPED_TRACE(s.url.substr(0, 40));
        const core::SettingsReading reading = ReadSettings(SettingsText(s));
        EXPECT_FALSE(reading.damaged);
        EXPECT_TRUE(reading.intervalGiven);
        ExpectSame(s, reading.settings);
    }
}

TEST(SettingsText, SizeDecidesWhetherAFileIsRead) {
    const std::string smallest = "URL=;NoDire=;Flag=;CheckTime=";
    ASSERT_EQ(29u, smallest.size());
    EXPECT_TRUE(ReadSettings(smallest.substr(0, 28)).damaged);
    const core::SettingsReading least = ReadSettings(smallest);
    EXPECT_FALSE(least.damaged);
    ExpectSame({"", true, "", 1}, least.settings);

    EXPECT_FALSE(ReadSettings(ShuffledFileOfSize(256)).damaged);
    EXPECT_EQ(std::string(256 - 35, 'a'), ReadSettings(ShuffledFileOfSize(256)).settings.url);
    const core::SettingsReading over = ReadSettings(ShuffledFileOfSize(257));
    EXPECT_TRUE(over.damaged);
    ExpectSame(Settings(), over.settings);

    // The writer's own files are read at any length the boxes can give.
    const std::string written = SettingsText({std::string(300, 'a'), false, "ok", 5});
    EXPECT_FALSE(ReadSettings(written).damaged);
    EXPECT_TRUE(ReadSettings(std::string(core::kMaxSettingsSize + 1, 'a')).damaged);
}

TEST(SettingsText, OtherFilesReadByEachKeysFirstOccurrence) {
    const auto read = [](const std::string& file) { return ReadSettings(file); };
    const core::SettingsReading shuffled = read("CheckTime=60;Flag=ok;NoDire=0;URL=http://a.cn/;");
    EXPECT_FALSE(shuffled.damaged);
    ExpectSame({"http://a.cn/", false, "ok", 60}, shuffled.settings);
    // A value that no ";" follows is empty; for the interval that makes 1.
    const core::SettingsReading open = read("URL=http://a.cn/;NoDire=0;Flag=ok;CheckTime=6");
    EXPECT_EQ(1, open.settings.interval);
    EXPECT_FALSE(open.damaged);
    // A zero byte ends the text.
    EXPECT_EQ(1,
              read(std::string("URL=http://a.cn/;NoDire=0;Flag=ok;CheckTime=", 44) + '\0' + "60;").settings.interval);
}

TEST(SettingsText, ForwardingIsOffOnlyForZero) {
    const auto forward = [](const std::string& value) {
        return ReadSettings("URL=http://a.cn/;NoDire=" + value + ";Flag=ok;CheckTime=5;").settings.forward;
    };
    EXPECT_FALSE(forward("0"));
    EXPECT_TRUE(forward("1"));
    EXPECT_TRUE(forward(""));
    EXPECT_TRUE(forward("00"));
    EXPECT_TRUE(forward("no"));
}

TEST(SettingsText, IntervalByByteArithmeticWithinTheRange) {
    const auto read = [](const std::string& value) {
        return ReadSettings("URL=http://a.cn/;NoDire=0;Flag=ok;CheckTime=" + value + ";");
    };
    const struct {
        const char* digits;
        int interval;
    } cases[] = {{"0", 1}, {"", 1}, {"999", 600}, {"1a", 59}, {"5", 5}, {"60", 60}, {"600", 600}, {"-5", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.digits);
        EXPECT_EQ(c.interval, read(c.digits).settings.interval);
        EXPECT_TRUE(read(c.digits).intervalGiven);
        EXPECT_FALSE(read(c.digits).damaged);
    }
    const core::SettingsReading tooLong = read("1234");
    EXPECT_TRUE(tooLong.damaged);
    EXPECT_FALSE(tooLong.intervalGiven);
    EXPECT_EQ("http://a.cn/", tooLong.settings.url);
    EXPECT_EQ("ok", tooLong.settings.flag);
}

TEST(SettingsText, AMissingKeyLeavesItsDefaultAndDamagesTheFile) {
    const core::SettingsReading reading = ReadSettings("URL=http://a.cn/;NoDire=1;CheckTime=60;xxxxxxxxx");
    EXPECT_TRUE(reading.damaged);
    ExpectSame({"http://a.cn/", true, "", 60}, reading.settings);
    const core::SettingsReading noUrl = ReadSettings("Address=a;NoDire=1;Flag=ok;CheckTime=60;");
    EXPECT_TRUE(noUrl.damaged);
    EXPECT_EQ("http://", noUrl.settings.url);
}

}  // namespace
